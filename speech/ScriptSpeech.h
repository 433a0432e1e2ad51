// ScriptSpeech.h: the speech routes and the wave player of `orvanta --script`. The screen
// reader's route writes `say` events (what the game hands the screen reader's API), the wave
// player writes `sound` events; there is no Window-Eyes object and no self-voicing voice.
#pragma once

#include "speech/SpeechRoutes.h"
#include "speech/WavePlayer.h"
#include "ui/ScriptEvents.h"

namespace orvanta::speech {

class ScriptScreenReader final : public ScreenReaderRoute {
 public:
  explicit ScriptScreenReader(ui::ScriptEvents& events) : events_(events) {}
  bool SayString(std::string_view text, bool interrupt) override {
    events_.Say(text, interrupt);
    return true;
  }

 private:
  ui::ScriptEvents& events_;
};

class ScriptSpeechPlatform final : public SpeechPlatform {
 public:
  explicit ScriptSpeechPlatform(ui::ScriptEvents& events) : screenReader_(events) {}
  ScreenReaderRoute& ScreenReader() override { return screenReader_; }
  std::unique_ptr<WindowEyesObject> CreateWindowEyes() override { return nullptr; }
  std::unique_ptr<SapiVoice> CreateSapiVoice() override { return nullptr; }

 private:
  ScriptScreenReader screenReader_;
};

class ScriptWavePlayer final : public WavePlayer {
 public:
  explicit ScriptWavePlayer(ui::ScriptEvents& events) : events_(events) {}
  void PlaySound(std::string_view fileName, PlayMode mode) override {
    events_.Sound(fileName, mode == PlayMode::Async);
  }

 private:
  ui::ScriptEvents& events_;
};

}  // namespace orvanta::speech
