// LinuxPlatform.cpp: the game on Linux: a wxWidgets window on GTK (ui/wx), Orca (through
// notifications in that window) or speech-dispatcher for the screen reader and espeak-ng for the
// game's own voice (speech/linux), SDL2 for sound, and the executable's folder from
// /proc/self/exe.
#include <iostream>
#include <system_error>

#include "app/NativePlatform.h"

#ifdef ORVANTA_NATIVE_WINDOW
#include "speech/linux/AudioOutput.h"
#include "speech/linux/LinuxSpeechPlatform.h"
#include "speech/linux/SdlWavePlayer.h"
#include "ui/wx/WxToolkit.h"
#endif

namespace orvanta {

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error)
    return std::filesystem::current_path(error);
  return exe.parent_path();
}

void ConnectStandardStreams() {}  // a Linux program always has its streams

void UseBinaryStandardOutput() {}  // output is never translated on Linux

#ifdef ORVANTA_NATIVE_WINDOW

std::optional<NativeParts> BuildNativeParts(int argc, char** argv, const Options& options,
                                            const std::filesystem::path& dataFolder,
                                            std::string& error) {
  NativeParts parts;
  std::unique_ptr<ui::WxToolkit> toolkit = ui::WxToolkit::Create(argc, argv, dataFolder, error);
  if (!toolkit)
    return std::nullopt;

  const speech::SpeechChoice choice = options.speech;
  // One audio output carries both the effects and the game's own voice.
  std::shared_ptr<speech::AudioOutput> output;
  if (!options.noSound || choice != speech::SpeechChoice::Silent) {
    output = std::make_shared<speech::AudioOutput>();
    if (!output->Available())
      std::cerr << "orvanta: " << output->Problem() << "\n";
  }
  speech::SpeechDispatcherOptions service;
  service.rate = options.rate;
  service.voice = options.voice;
  auto speech = std::make_unique<speech::LinuxSpeechPlatform>(choice, output, std::move(service));
  // Orca is shown the sentences in the game's windows.
  speech::NotificationRoute* screenReader = speech->Notifications();
  if (screenReader != nullptr)
    screenReader->UseWindow(&toolkit->Notices());
  if (options.noSound || output == nullptr || !output->Available()) {
    parts.wavePlayer = std::make_unique<speech::SilentWavePlayer>();
  } else {
    parts.wavePlayer = std::make_unique<speech::SdlWavePlayer>(output, dataFolder, screenReader);
  }
  parts.toolkit = std::move(toolkit);
  parts.speechProblem = speech->SpeechProblem();
  if (const std::string refused = speech->SettingsProblem();
      parts.speechProblem.empty() && !refused.empty()) {
    std::cerr << "orvanta: " << refused << "\n";  // the game still speaks, as it would have
  }
  parts.speech = std::move(speech);
  return parts;
}

#endif  // ORVANTA_NATIVE_WINDOW

}  // namespace orvanta
