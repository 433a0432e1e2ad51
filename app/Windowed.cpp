// The real game on Linux: a wxWidgets window, speech-dispatcher or espeak-ng, SDL2 sound.
#include "app/Windowed.h"

#include <iostream>
#include <memory>

#include "app/Program.h"
#include "speech/linux/AudioOutput.h"
#include "speech/linux/LinuxSpeechPlatform.h"
#include "speech/linux/SdlWavePlayer.h"
#include "ui/ProgramEnd.h"
#include "ui/wx/WxToolkit.h"

namespace orvanta {
namespace {

speech::SpeechChoice ChoiceOf(SpeechOption option) {
  switch (option) {
    case SpeechOption::SelfVoicing:
      return speech::SpeechChoice::SelfVoicing;
    case SpeechOption::Silent:
      return speech::SpeechChoice::Silent;
    case SpeechOption::Default:
    case SpeechOption::ScreenReader:
      break;
  }
  return speech::SpeechChoice::ScreenReader;
}

}  // namespace

int RunWindowed(int argc, char** argv, const Options& options, ui::AppInfo app,
                const std::filesystem::path& puzzleFolder) {
  std::string error;
  const std::unique_ptr<ui::WxToolkit> toolkit =
      ui::WxToolkit::Create(argc, argv, app.folder, error);
  if (!toolkit) {
    std::cerr << "orvanta: " << error << "\n";
    return 1;
  }

  const speech::SpeechChoice choice = ChoiceOf(options.speech);
  // One audio output carries both the effects and the game's own voice.
  std::shared_ptr<speech::AudioOutput> output;
  if (!options.noSound || choice != speech::SpeechChoice::Silent) {
    output = std::make_shared<speech::AudioOutput>();
    if (!output->Available())
      std::cerr << "orvanta: " << output->Problem() << "\n";
  }
  std::unique_ptr<speech::WavePlayer> wavePlayer;
  if (options.noSound || output == nullptr || !output->Available()) {
    wavePlayer = std::make_unique<speech::SilentWavePlayer>();
  } else {
    wavePlayer = std::make_unique<speech::SdlWavePlayer>(output, app.folder);
  }
  speech::LinuxSpeechPlatform speech(choice, output);
  // Values given with --rand come first (tests use them to fix the puzzle and the spins).
  QueuedRandom random;
  for (double r : options.rand)
    random.Queue(r);
  SteadyClock clock;

  if (choice != speech::SpeechChoice::Silent) {
    // A player who hears nothing must still learn why: the screen reader reads message boxes.
    const std::string problem = speech.SpeechProblem();
    if (!problem.empty()) {
      std::cerr << "orvanta: " << problem << "\n";
      toolkit->MsgBox(problem, ui::kProgramTitle, ui::MsgButtons::OK, ui::MsgIcon::Information);
    }
  }

  ui::ProgramEnded end;
  try {
    Program program(
        Platform{*toolkit, *wavePlayer, speech, random, clock, std::move(app), puzzleFolder});
    program.Main();
  } catch (ui::ProgramEnded& ended) {
    end = std::move(ended);
  }
  if (!end.error.empty())
    std::cerr << "orvanta: " << end.error << "\n";
  return end.exitCode;
}

}  // namespace orvanta
