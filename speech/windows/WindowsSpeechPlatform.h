// WindowsSpeechPlatform.h: where the speech object gets its routes from on Windows: the screen
// readers (JAWS, NVDA, UI Automation notifications; ScreenReaderApis.h), the Window-Eyes object
// "gwspeak.speak" and the SAPI 5 voice, all COM on the window thread.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "speech/SpeechChoice.h"
#include "speech/SpeechRoutes.h"
#include "speech/windows/DispatchObject.h"
#include "speech/windows/ScreenReaderApis.h"

namespace orvanta::speech {

class WindowsSpeechPlatform final : public SpeechPlatform {
 public:
  // `gameFolder` is where the screen readers' libraries are looked for; `windows` gives the
  // window UI Automation notifications come from; `debug` hears why a library went unused and
  // `log` (when set) which screen reader took each sentence.
  WindowsSpeechPlatform(SpeechChoice choice, const std::filesystem::path& gameFolder,
                        std::unique_ptr<WindowToPresentFrom> windows = nullptr,
                        DebugOutput debug = WindowsDebugOutput, DebugOutput log = {});

  ScreenReaderRoute& ScreenReader() override;
  std::unique_ptr<WindowEyesObject> CreateWindowEyes() override;
  std::unique_ptr<SapiVoice> CreateSapiVoice() override;

  // A sentence for the player when the game can speak through nothing at all (no SAPI 5 voice,
  // and not the screen readers either when self-voicing was chosen); empty when it can, or is to
  // be silent.
  std::string SpeechProblem();

 private:
  ComApartment com_;  // first in, last out: the route objects are COM objects
  SpeechChoice choice_;
  std::unique_ptr<WindowToPresentFrom> windows_;
  ScreenReaderApis screenReader_;
  UnreachableScreenReader unreachable_;
};

}  // namespace orvanta::speech
