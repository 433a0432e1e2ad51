// modSound.cpp: the sound-effect switch in front of the wave player.
#include "speech/modSound.h"

namespace orvanta::speech {

modSound::modSound(WavePlayer& player) : player_(player) {}

void modSound::PlaySound(std::string_view FileName, PlayMode Async) {
  if (!SoundEnabled) {
    return;
  }
  // No folder, no extension, no other flag: the player gets the name as the game gave it.
  player_.PlaySound(FileName, Async);
}

}  // namespace orvanta::speech
