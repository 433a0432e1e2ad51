// main.cpp: the command line, the choice of platform (the real window, speech and sound, or the
// script platform), and one run of the game.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/CheckPuzzles.h"
#include "app/DataFolder.h"
#include "app/NativePlatform.h"
#include "app/Options.h"
#include "app/Program.h"
#include "app/Windowed.h"
#include "base/ProgramEnd.h"
#include "script/ScriptSpeech.h"
#include "script/ScriptToolkit.h"

namespace {

using namespace orvanta;

int RunScript(const Options& options, ui::AppInfo app, std::filesystem::path puzzleFolder) {
  UseBinaryStandardOutput();
  script::ScriptEvents events(std::cout);
  QueuedRandom random;
  for (double r : options.rand)
    random.Queue(r);
  SteadyClock clock;
  script::ScriptToolkit toolkit(std::cin, events, random);
  script::ScriptSpeechPlatform speech(events);
  script::ScriptWavePlayer wavePlayer(events);

  ProgramEnded end;
  {
    Program program(Platform{toolkit, wavePlayer, speech, random, clock, std::move(app),
                             std::move(puzzleFolder)});
    toolkit.SetStateReporter([&program] { return program.State(); });
    try {
      program.Main();
    } catch (ProgramEnded& ended) {
      end = std::move(ended);
    }
  }
  try {
    if (!end.error.empty())
      events.Error(end.error);
    events.Exit(end.exitCode);
  } catch (const ProgramEnded&) {
    // The last events could not be written either; said below.
  }
  if (events.Failure()) {
    std::cerr << "orvanta: " << *events.Failure() << ".\n";
    return script::kOutputFailedStatus;
  }
  return end.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  ConnectStandardStreams();
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  std::string error;
  const std::optional<Options> options = ParseOptions(args, error);
  if (!options) {
    std::cerr << "orvanta: " << error << "\nTry 'orvanta --help'.\n";
    return 2;
  }
  if (options->help) {
    std::cout << kUsage;
    return 0;
  }
  if (options->version) {
    std::cout << "orvanta " << ORVANTA_VERSION_MAJOR << "." << ORVANTA_VERSION_MINOR << "\n";
    return 0;
  }

  ui::AppInfo app;
  app.folder = FindDataFolder(ExecutableFolder());
  const std::filesystem::path puzzleFolder = options->puzzles.value_or(app.folder / "Puzzles");

  if (options->checkPuzzles) {
    return RunCheckPuzzles(puzzleFolder, std::cout, std::cerr);
  }
  if (options->script) {
    return RunScript(*options, std::move(app), puzzleFolder);
  }
  return RunWindowed(argc, argv, *options, std::move(app), puzzleFolder);
}
