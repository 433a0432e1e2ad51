// WinmmWavePlayer.h: the wave player on Windows: winmm's sndPlaySoundA with the flags 0
// (SND_SYNC: play to the end, then return) or 1 (SND_ASYNC: return at once); a new sound cuts
// off one still playing, and a file that cannot be played gives the system's default sound.
#pragma once

#include <filesystem>
#include <string_view>

#include "speech/WavePlayer.h"

namespace orvanta::speech {

class WinmmWavePlayer final : public WavePlayer {
 public:
  // Bare names not in the working directory are looked for in `gameFolder`.
  explicit WinmmWavePlayer(std::filesystem::path gameFolder);

  void PlaySound(std::string_view fileName, PlayMode mode) override;

 private:
  std::filesystem::path gameFolder_;
};

}  // namespace orvanta::speech
