// WindowsSpeechPlatform.h: where the speech object gets its routes from on Windows: the screen
// readers' libraries beside the game (JAWS, NVDA), the Window-Eyes object "gwspeak.speak" and the
// SAPI 5 voice, the last two through COM on the window thread.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "speech/SpeechRoutes.h"
#include "speech/windows/DispatchObject.h"
#include "speech/windows/ScreenReaderApis.h"

namespace orvanta::speech {

enum class WindowsSpeech {
  ScreenReader,  // JAWS or NVDA, falling back to SAPI 5
  SelfVoicing,   // SAPI 5 only
  Silent,        // no speech at all
};

class WindowsSpeechPlatform final : public SpeechPlatform {
 public:
  // `gameFolder` is where the screen readers' libraries are looked for; `debug` hears why one
  // of them went unused.
  WindowsSpeechPlatform(WindowsSpeech choice, const std::filesystem::path& gameFolder,
                        DebugOutput debug = WindowsDebugOutput);

  ScreenReaderRoute& ScreenReader() override;
  std::unique_ptr<WindowEyesObject> CreateWindowEyes() override;
  std::unique_ptr<SapiVoice> CreateSapiVoice() override;

  // A sentence for the player when the game can speak through nothing at all (no screen
  // reader's library beside the game and no SAPI 5 voice); empty when it can, or is to be silent.
  std::string SpeechProblem();

 private:
  class Unreachable final : public ScreenReaderRoute {
   public:
    bool SayString(std::string_view, bool) override { return false; }
  };

  ComApartment com_;  // first in, last out: the route objects are COM objects
  WindowsSpeech choice_;
  std::filesystem::path gameFolder_;
  ScreenReaderApis screenReader_;
  Unreachable unreachable_;
};

}  // namespace orvanta::speech
