// LinuxSpeechPlatform.cpp: the player's speech choice turned into routes.
#include "speech/linux/LinuxSpeechPlatform.h"

namespace orvanta::speech {

LinuxSpeechPlatform::LinuxSpeechPlatform(SpeechChoice choice, std::shared_ptr<AudioOutput> output,
                                         SpeechDispatcherOptions dispatcher)
    : choice_(choice),
      output_(std::move(output)),
      rate_(dispatcher.rate),
      voice_(dispatcher.voice) {
  if (choice_ == SpeechChoice::ScreenReader) {
    // Connecting starts now, while the game loads its windows.
    dispatcher_ = std::make_unique<SpeechDispatcherRoute>(std::move(dispatcher));
  }
}

ScreenReaderRoute& LinuxSpeechPlatform::ScreenReader() {
  if (dispatcher_) {
    return *dispatcher_;
  }
  return unreachable_;
}

bool LinuxSpeechPlatform::VoicePossible(std::string& why) {
  if (choice_ == SpeechChoice::Silent) {
    why = "speech is switched off";
    return false;
  }
  if (!output_ || !output_->Available()) {
    why = "the game's own voice (espeak-ng) needs an audio device, and none could be opened";
    return false;
  }
  EspeakEngine& engine = EspeakEngine::Process();
  if (!engine.Ready()) {
    why = engine.Problem();
    return false;
  }
  if (!configured_) {
    configured_ = true;
    voiceRefused_ = engine.Configure(rate_, voice_);
  }
  return true;
}

std::unique_ptr<SapiVoice> LinuxSpeechPlatform::CreateSapiVoice() {
  std::string why;
  if (!VoicePossible(why)) {
    return nullptr;
  }
  return std::make_unique<EspeakVoice>(EspeakEngine::Process(), output_);
}

std::string LinuxSpeechPlatform::SettingsProblem() {
  std::string refused = voiceRefused_;
  if (dispatcher_ && dispatcher_->Reachable()) {
    refused = dispatcher_->SettingsProblem();
  }
  return refused.empty() ? refused : "The game's speech: " + refused + ".";
}

std::string LinuxSpeechPlatform::SpeechProblem() {
  if (choice_ == SpeechChoice::Silent) {
    return {};  // the player asked for silence
  }
  std::string why;
  if (VoicePossible(why)) {
    return {};
  }
  if (choice_ == SpeechChoice::SelfVoicing) {
    return "No speech is available: " + why + ".";
  }
  if (dispatcher_->Reachable()) {
    return {};
  }
  return "No speech is available: the speech service speech-dispatcher cannot be reached and " +
         why + ".";
}

}  // namespace orvanta::speech
