// modSound.h: the game's sound effects. One switch silences them all; PlaySound hands a WAV file
// name, unchanged, to the platform's wave player.
#pragma once

#include <string_view>

#include "speech/WavePlayer.h"

namespace orvanta::speech {

class modSound {
 public:
  explicit modSound(WavePlayer& player);

  // Off when the program starts; the main window switches it on as it loads.
  bool SoundEnabled = false;

  // Plays FileName (a bare name or a full path) through the wave player: Sync returns when the
  // sound has ended, Async returns at once. Does nothing while SoundEnabled is off.
  void PlaySound(std::string_view FileName, PlayMode Async);

 private:
  WavePlayer& player_;
};

}  // namespace orvanta::speech
