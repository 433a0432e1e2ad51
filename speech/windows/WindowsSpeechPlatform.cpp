// WindowsSpeechPlatform.cpp: the Window-Eyes object and the SAPI 5 voice as the speech object
// uses them, every call made by name through IDispatch.
#include "speech/windows/WindowsSpeechPlatform.h"

#include <string>
#include <utility>

#include "base/windows/WideText.h"

namespace orvanta::speech {

namespace {

// SpVoice, the SAPI 5 voice.
constexpr CLSID kSpVoice{
    0x96749377, 0x3391, 0x11D2, {0x9E, 0xE3, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};

class WindowEyesSpeech final : public WindowEyesObject {
 public:
  explicit WindowEyesSpeech(DispatchObject object) : object_(std::move(object)) {}
  void SpeakString(std::string_view text) override {
    object_.Call(L"speakstring", {text::WideFromUtf8(text)});
  }

 private:
  DispatchObject object_;
};

class SapiSpeech final : public SapiVoice {
 public:
  explicit SapiSpeech(DispatchObject voice) : voice_(std::move(voice)) {}
  void Speak(std::string_view text, int flags) override {
    voice_.Call(L"Speak", {text::WideFromUtf8(text), static_cast<long>(flags)});
  }
  void Skip(std::string_view type, int count) override {
    voice_.Call(L"Skip", {text::WideFromUtf8(type), static_cast<long>(count)});
  }
  int RunningState() override {
    return static_cast<int>(voice_.GetObject(L"Status").GetLong(L"RunningState"));
  }

 private:
  DispatchObject voice_;
};

}  // namespace

WindowsSpeechPlatform::WindowsSpeechPlatform(SpeechChoice choice,
                                             const std::filesystem::path& gameFolder,
                                             std::unique_ptr<WindowToPresentFrom> windows,
                                             DebugOutput debug, DebugOutput log)
    // Linux's speech service is not here: choosing it means the screen readers.
    : choice_(choice == SpeechChoice::SpeechDispatcher ? SpeechChoice::ScreenReader : choice),
      windows_(std::move(windows)),
      screenReader_(gameFolder, windows_.get(), std::move(debug), std::move(log)) {}

ScreenReaderRoute& WindowsSpeechPlatform::ScreenReader() {
  if (choice_ == SpeechChoice::ScreenReader) {
    return screenReader_;
  }
  return unreachable_;
}

std::unique_ptr<WindowEyesObject> WindowsSpeechPlatform::CreateWindowEyes() {
  try {
    return std::make_unique<WindowEyesSpeech>(DispatchObject::Create(L"gwspeak.speak"));
  } catch (const SpeechRouteError&) {
    return nullptr;  // not registered on this machine
  }
}

std::unique_ptr<SapiVoice> WindowsSpeechPlatform::CreateSapiVoice() {
  if (choice_ == SpeechChoice::Silent) {
    return nullptr;
  }
  try {
    return std::make_unique<SapiSpeech>(DispatchObject::Create(kSpVoice));
  } catch (const SpeechRouteError&) {
    return nullptr;
  }
}

std::string WindowsSpeechPlatform::SpeechProblem() {
  // Without a voice the screen readers still speak: JAWS and NVDA need nothing beside the game,
  // and UI Automation reaches any other.
  if (choice_ != SpeechChoice::SelfVoicing || CreateSapiVoice() != nullptr) {
    return {};
  }
  return "No speech is available: the Windows voice (SAPI 5) cannot be started.";
}

}  // namespace orvanta::speech
