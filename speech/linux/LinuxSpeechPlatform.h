// LinuxSpeechPlatform.h: where the speech object gets its routes from on Linux, following the
// player's choice (--speech screenreader|speech-dispatcher|selfvoicing|silent): the
// screen-reader route is Orca when it runs, else speech-dispatcher, else the game's own voice
// for that sentence; the self-voicing voice is espeak-ng; there is no Window-Eyes.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "speech/NotificationRoute.h"
#include "speech/SpeechChoice.h"
#include "speech/SpeechRoutes.h"
#include "speech/linux/AudioOutput.h"
#include "speech/linux/EspeakVoice.h"
#include "speech/linux/SpeechDispatcherRoute.h"

namespace orvanta::speech {

class LinuxSpeechPlatform;

// The game's own voice for a sentence the screen reader and the speech service did not take.
class OwnVoiceRoute : public ScreenReaderRoute {
 public:
  explicit OwnVoiceRoute(LinuxSpeechPlatform& platform) : platform_(platform) {}
  bool SayString(std::string_view text, bool interrupt) override;
  void Silence() override;

 private:
  LinuxSpeechPlatform& platform_;
  std::unique_ptr<SapiVoice> voice_;
};

class LinuxSpeechPlatform : public SpeechPlatform {
 public:
  // `output` may be null, or without a device: then there is no self-voicing.
  LinuxSpeechPlatform(SpeechChoice choice, std::shared_ptr<AudioOutput> output,
                      SpeechDispatcherOptions dispatcher = {});

  ScreenReaderRoute& ScreenReader() override;
  std::unique_ptr<WindowEyesObject> CreateWindowEyes() override { return nullptr; }
  std::unique_ptr<SapiVoice> CreateSapiVoice() override;

  SpeechChoice Choice() const { return choice_; }
  // The screen-reader route, for the window toolkit to give it the game's windows and for
  // sounds to keep answering the screen reader while they play; null without that route.
  NotificationRoute* Notifications() { return route_.get(); }
  // A sentence for the player when the game cannot speak at all; empty when it can.
  // With the screen-reader choice this waits for the first connection (at most its timeout).
  std::string SpeechProblem();
  // What the route refused of the rate and voice asked for (after SpeechProblem); empty when
  // it took them all.
  std::string SettingsProblem();

 private:
  // Starts espeak-ng the first time a voice is wanted; why it cannot, for the player.
  bool VoicePossible(std::string& why);

  SpeechChoice choice_;
  std::shared_ptr<AudioOutput> output_;
  std::optional<int> rate_;  // for the game's own voice, as for the service
  std::string voice_;
  bool configured_ = false;
  std::string voiceRefused_;  // what the game's own voice did not take
  std::unique_ptr<SpeechDispatcherRoute> dispatcher_;
  std::unique_ptr<ScreenReaderWatch> orca_;
  OwnVoiceRoute ownVoice_{*this};
  std::unique_ptr<NotificationRoute> route_;
  UnreachableScreenReader unreachable_;
};

}  // namespace orvanta::speech
