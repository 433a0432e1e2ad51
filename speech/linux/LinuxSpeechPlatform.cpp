// LinuxSpeechPlatform.cpp: the player's speech choice turned into routes.
#include "speech/linux/LinuxSpeechPlatform.h"

#include "speech/linux/OrcaWatch.h"

namespace orvanta::speech {
namespace {

constexpr int kSkipAllSentences = 255;  // as the speech object's own interrupt skips

}  // namespace

LinuxSpeechPlatform::LinuxSpeechPlatform(SpeechChoice choice, std::shared_ptr<AudioOutput> output,
                                         SpeechDispatcherOptions dispatcher)
    : choice_(choice),
      output_(std::move(output)),
      rate_(dispatcher.rate),
      voice_(dispatcher.voice) {
  if (choice_ == SpeechChoice::ScreenReader || choice_ == SpeechChoice::SpeechDispatcher) {
    // Connecting and looking for Orca start now, while the game loads its windows.
    dispatcher_ = std::make_unique<SpeechDispatcherRoute>(std::move(dispatcher));
    if (choice_ == SpeechChoice::ScreenReader) {
      orca_ = std::make_unique<OrcaWatch>();
    } else {
      orca_ = std::make_unique<NoScreenReaderWatch>();
    }
    route_ = std::make_unique<NotificationRoute>(*orca_, *dispatcher_, ownVoice_);
  }
}

ScreenReaderRoute& LinuxSpeechPlatform::ScreenReader() {
  if (route_) {
    return *route_;
  }
  return unreachable_;
}

bool OwnVoiceRoute::SayString(std::string_view text, bool interrupt) {
  if (!voice_)
    voice_ = platform_.CreateSapiVoice();
  if (!voice_)
    return false;
  if (interrupt)
    Silence();
  voice_->Speak(text, kSvsfAsync | kSvsfIsNotXml);
  return true;
}

void OwnVoiceRoute::Silence() {
  if (voice_ && voice_->RunningState() != kSrseDone)
    voice_->Skip("Sentence", kSkipAllSentences);
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
  if (dispatcher_->Reachable() || orca_->Running()) {
    return {};  // Orca, if not the service, speaks the game's sentences
  }
  return "No speech is available: the speech service speech-dispatcher cannot be reached and " +
         why + ".";
}

}  // namespace orvanta::speech
