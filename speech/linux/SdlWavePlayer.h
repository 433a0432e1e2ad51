// SdlWavePlayer.h: the wave player on Linux. Sound effects play on the effects channel of the
// audio output: a synchronous sound plays to its end before returning, an asynchronous one
// returns at once, and a new sound cuts off the one playing.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "speech/NotificationRoute.h"
#include "speech/WavePlayer.h"
#include "speech/linux/AudioOutput.h"

namespace orvanta::speech {

// Finds the file a sound name stands for: a bare name in the working directory first, then in
// the game's data folder; a path (relative or full) as it is. A name whose case differs from the
// file on disk is still found, as it would be on Windows. Empty when there is no such file.
std::optional<std::filesystem::path> FindSoundFile(std::string_view fileName,
                                                   const std::filesystem::path& dataFolder);

class SdlWavePlayer : public WavePlayer {
 public:
  // While a sound plays to its end, `screenReader` (may be null) keeps answering Orca, which
  // may still be reading the game's last sentences.
  SdlWavePlayer(std::shared_ptr<AudioOutput> output, std::filesystem::path dataFolder,
                NotificationRoute* screenReader = nullptr);

  void PlaySound(std::string_view fileName, PlayMode mode) override;

 private:
  std::shared_ptr<const Samples> SoundFor(std::string_view fileName);

  std::shared_ptr<AudioOutput> output_;
  std::filesystem::path dataFolder_;
  NotificationRoute* screenReader_;
  std::shared_ptr<const Samples> defaultSound_;
  // Each file is decoded and converted once, at its first play.
  std::map<std::filesystem::path, std::shared_ptr<const Samples>> cache_;
};

}  // namespace orvanta::speech
