// Arbitrary scripts through a whole game in script mode. Input: a puzzle phrase up to the first
// line feed (written as the one puzzle of a puzzle file), then the script's commands.
// Whatever the script holds, the run writes JSON lines in UTF-8 and ends with one exit event
// whose code is 0, 1 or 2; a script error is named in an error event first.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "app/Program.h"
#include "base/ProgramEnd.h"
#include "script/ScriptSpeech.h"
#include "script/ScriptToolkit.h"
#include "tests/fixtures/puzzles/TempPuzzleFolder.h"
#include "tests/fuzz/FuzzCheck.h"

using orvanta::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const orvanta::testing::TempPuzzleFolder folder;  // for the whole fuzzing run
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t lineEnd = input.find('\n');
  folder.Write("fuzz.orp", "ZONTARY_WHEEL/PDATA/1.x\r\nC Fuzz\r\nTP 1\r\n" +
                               std::string(input.substr(0, lineEnd)));
  std::istringstream script(
      std::string(lineEnd == std::string_view::npos ? "" : input.substr(lineEnd + 1)));

  // Wired as `orvanta --script --puzzles <folder> --rand 0,0` wires it.
  std::ostringstream out;
  orvanta::script::ScriptEvents events(out);
  orvanta::QueuedRandom random;
  random.Queue(0);
  random.Queue(0);
  orvanta::fuzz::StillClock clock;
  orvanta::script::ScriptToolkit toolkit(script, events, random);
  orvanta::script::ScriptSpeechPlatform speech(events);
  orvanta::script::ScriptWavePlayer wavePlayer(events);
  orvanta::ProgramEnded end;
  {
    orvanta::Program program(orvanta::Platform{toolkit, wavePlayer, speech, random, clock,
                                               orvanta::ui::AppInfo{}, folder.Path()});
    toolkit.SetStateReporter([&program] { return program.State(); });
    try {
      program.Main();
    } catch (orvanta::ProgramEnded& ended) {
      end = std::move(ended);
    }
  }
  if (!end.error.empty()) {
    events.Error(end.error);
  }
  events.Exit(end.exitCode);  // writing to memory never fails

  std::istringstream written(out.str());
  orvanta::fuzz::JsonFields last;
  bool errorSeen = false;
  int exits = 0;
  for (std::string line; std::getline(written, line);) {
    auto fields = orvanta::fuzz::ReadJsonLine(line);
    Require(fields.has_value(), "every event is one line of JSON in UTF-8");
    errorSeen = errorSeen || fields->at("event") == "error";
    exits += fields->at("event") == "exit" ? 1 : 0;
    last = std::move(*fields);
  }
  Require(exits == 1 && last.at("event") == "exit", "the run ends with one exit event");
  Require(end.exitCode >= 0 && end.exitCode <= 2, "the exit code is 0, 1 or 2");
  Require(end.exitCode != 2 || errorSeen, "a script error is named");
  return 0;
}
