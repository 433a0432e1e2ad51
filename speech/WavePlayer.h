// WavePlayer.h: the platform's simple wave player (sndPlaySoundA on Windows, SDL2 on Linux, a
// recorder in script mode, silence for --no-sound). The sound-effect module hands it a file name
// and one of two modes.
#pragma once

#include <string_view>

namespace orvanta::speech {

enum class PlayMode {
  Sync = 0,   // SND_SYNC: play the whole sound before returning
  Async = 1,  // SND_ASYNC: start it and return at once
};

class WavePlayer {
 public:
  virtual ~WavePlayer() = default;
  // Plays `fileName` (a bare name or a full path). A new sound cuts off one still playing.
  // A file that cannot be played gives the player's default sound; nothing is reported.
  virtual void PlaySound(std::string_view fileName, PlayMode mode) = 0;
};

// Plays nothing, at once: sound effects switched off by the player (--no-sound).
class SilentWavePlayer final : public WavePlayer {
 public:
  void PlaySound(std::string_view, PlayMode) override {}
};

}  // namespace orvanta::speech
