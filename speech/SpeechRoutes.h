// SpeechRoutes.h: the three outside speech routes the speech object can drive, as small
// interfaces. Each platform supplies its own: speech-dispatcher and espeak-ng on Linux, the
// screen readers' APIs and SAPI 5 on Windows, a recorder in script mode, fakes in tests.
#pragma once

#include <memory>
#include <stdexcept>
#include <string_view>

namespace orvanta::speech {

// A route call that the route refused (the object is gone, the service answered an error).
class SpeechRouteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The screen reader's own API (JFWSayString on Windows): speak, optionally cutting off
// what the screen reader is saying.
class ScreenReaderRoute {
 public:
  virtual ~ScreenReaderRoute() = default;
  // Returns false when the screen reader cannot be reached at all (its library or service is
  // missing); the speech object then falls back to another route.
  virtual bool SayString(std::string_view text, bool interrupt) = 0;
  // The player pressed a key: a screen reader stops talking then, so everything the game has
  // said or queued on this route is cut off. A screen reader that does so by itself (JAWS
  // silences every text it was handed) needs nothing here.
  virtual void Silence() {}
};

// A screen reader that is never there (the player chose another route): the speech object then
// falls back to its own voice.
class UnreachableScreenReader final : public ScreenReaderRoute {
 public:
  bool SayString(std::string_view, bool) override { return false; }
};

// The Window-Eyes speech object, called by method name ("speakstring").
class WindowEyesObject {
 public:
  virtual ~WindowEyesObject() = default;
  // Throws SpeechRouteError when the call is refused.
  virtual void SpeakString(std::string_view text) = 0;
};

// SAPI 5 speech flags that the game uses.
inline constexpr int kSvsfAsync = 1;       // SVSFlagsAsync: queue and return at once
inline constexpr int kSvsfIsNotXml = 16;   // SVSFIsNotXML: plain text
inline constexpr int kSrseDone = 1;        // SRSEDone: the voice is idle
inline constexpr int kSrseIsSpeaking = 2;  // SRSEIsSpeaking

// A self-voicing synthesizer voice (SAPI 5 SpVoice on Windows, espeak-ng on Linux).
// Every method may throw SpeechRouteError.
class SapiVoice {
 public:
  virtual ~SapiVoice() = default;
  // flags 16: speak and wait until spoken; flags 17: queue and return at once.
  virtual void Speak(std::string_view text, int flags) = 0;
  // Skips up to `count` items of `type` ("Sentence") of what is queued or being spoken.
  virtual void Skip(std::string_view type, int count) = 0;
  // kSrseDone when idle, kSrseIsSpeaking while speaking.
  virtual int RunningState() = 0;
};

// Where the speech object gets its routes from.
class SpeechPlatform {
 public:
  virtual ~SpeechPlatform() = default;
  // The screen-reader route; never null (it may answer false to every call).
  virtual ScreenReaderRoute& ScreenReader() = 0;
  // A new Window-Eyes object, or null when none is registered.
  virtual std::unique_ptr<WindowEyesObject> CreateWindowEyes() = 0;
  // A new self-voicing voice, or null when none can be created.
  virtual std::unique_ptr<SapiVoice> CreateSapiVoice() = 0;
};

}  // namespace orvanta::speech
