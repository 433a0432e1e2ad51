// SpeechChoice.h: how the player asked the game to speak (--speech screenreader|
// speech-dispatcher|selfvoicing|silent), the same choice on every platform; each platform's
// speech routes follow it.
#pragma once

namespace orvanta::speech {

enum class SpeechChoice {
  // The player's screen reader (Orca, or speech-dispatcher without it, on Linux; JAWS, NVDA or
  // UI Automation on Windows), else the game's own voice for that sentence.
  ScreenReader,
  // Linux: speech-dispatcher even when Orca runs, else the game's own voice. Windows has no such
  // service: there it is the screen readers' choice.
  SpeechDispatcher,
  SelfVoicing,  // the game's own voice (espeak-ng on Linux, SAPI 5 on Windows)
  Silent,       // no speech at all
};

}  // namespace orvanta::speech
