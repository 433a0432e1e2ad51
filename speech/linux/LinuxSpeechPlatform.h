// LinuxSpeechPlatform.h: where the speech object gets its routes from on Linux, following the
// player's choice (--speech screenreader|selfvoicing|silent): the screen-reader route is
// speech-dispatcher, the self-voicing voice is espeak-ng, and there is no Window-Eyes.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "speech/SpeechRoutes.h"
#include "speech/linux/AudioOutput.h"
#include "speech/linux/EspeakVoice.h"
#include "speech/linux/SpeechDispatcherRoute.h"

namespace orvanta::speech {

enum class SpeechChoice {
  ScreenReader,  // speech-dispatcher, falling back to the game's own voice
  SelfVoicing,   // the game's own voice (espeak-ng)
  Silent,        // no speech at all
};

// A screen reader that is never there: the speech object then falls back to its own voice.
class UnreachableScreenReader : public ScreenReaderRoute {
 public:
  bool SayString(std::string_view, bool) override { return false; }
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
  UnreachableScreenReader unreachable_;
};

}  // namespace orvanta::speech
