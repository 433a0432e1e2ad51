// ScriptSpeech.h: the speech routes and the wave player of `orvanta --script`. The screen
// reader's route writes `say` events (what the game hands the screen reader's API), the wave
// player writes `sound` events; there is no Window-Eyes object and no self-voicing voice.
#pragma once

#include "script/ScriptEvents.h"
#include "speech/SpeechRoutes.h"
#include "speech/WavePlayer.h"

namespace orvanta::script {

class ScriptScreenReader final : public speech::ScreenReaderRoute {
 public:
  explicit ScriptScreenReader(script::ScriptEvents& events) : events_(events) {}
  bool SayString(std::string_view text, bool interrupt) override {
    events_.Say(text, interrupt);
    return true;
  }

 private:
  script::ScriptEvents& events_;
};

class ScriptSpeechPlatform final : public speech::SpeechPlatform {
 public:
  explicit ScriptSpeechPlatform(script::ScriptEvents& events) : screenReader_(events) {}
  speech::ScreenReaderRoute& ScreenReader() override { return screenReader_; }
  std::unique_ptr<speech::WindowEyesObject> CreateWindowEyes() override { return nullptr; }
  std::unique_ptr<speech::SapiVoice> CreateSapiVoice() override { return nullptr; }

 private:
  ScriptScreenReader screenReader_;
};

class ScriptWavePlayer final : public speech::WavePlayer {
 public:
  explicit ScriptWavePlayer(script::ScriptEvents& events) : events_(events) {}
  void PlaySound(std::string_view fileName, speech::PlayMode mode) override {
    events_.Sound(fileName, mode == speech::PlayMode::Async);
  }

 private:
  script::ScriptEvents& events_;
};

}  // namespace orvanta::script
