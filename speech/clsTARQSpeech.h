// clsTARQSpeech.h: the game's only voice. Every announcement is one SayText call, which goes to
// the route chosen by SpeechType: 0 silence, 1 the screen reader, 2 Window-Eyes, 3 self-voicing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "speech/SpeechRoutes.h"

namespace orvanta::speech {

class clsTARQSpeech {
 public:
  // Speech type values.
  static constexpr int kSilent = 0;
  static constexpr int kScreenReader = 1;
  static constexpr int kWindowEyes = 2;
  static constexpr int kSelfVoicing = 3;

  // Interrupt() gives up on a voice that still reports speaking after this many skips.
  static constexpr int kMaxInterruptSkips = 100;

  // A new object is silent (speech type 0), with debugging off and nothing spoken yet.
  explicit clsTARQSpeech(SpeechPlatform& platform);
  ~clsTARQSpeech();  // writes the farewell debug line

  clsTARQSpeech(const clsTARQSpeech&) = delete;
  clsTARQSpeech& operator=(const clsTARQSpeech&) = delete;

  std::unique_ptr<WindowEyesObject> WEObject;  // empty until StartWE succeeds
  std::unique_ptr<SapiVoice> SAPI;             // empty until StartSAPI succeeds
  std::int32_t TotalSpoken = 0;                // characters handed to a route; saturates
  bool DebugType = false;                      // when true, debug lines go to DebugOutput
  std::function<void(std::string_view DebugText)> DebugOutput;  // the DebugOutput event

  // Selects the route; values outside 0..3 select silence. Assigning 2 or 3 starts the route
  // object, and a failed start leaves the speech type at 0.
  void SpeechType(int ST);
  int SpeechType() const { return speechType_; }

  // Raises DebugOutput with the line while DebugType is on.
  void WriteDebug(std::string_view DebugString);

  // Speaks Text on the selected route. Interrupt 1 cuts off current speech first (any other
  // value queues); OnlyIfSelfVoicing drops the text unless the route is self-voicing; MSTTSSync
  // makes the self-voicing route wait until the text has been spoken.
  void SayText(std::string_view Text, int Interrupt = 0, bool OnlyIfSelfVoicing = false,
               bool MSTTSSync = false);

  // Silences current speech on the selected route.
  void Interrupt();

  // The player pressed a key (in any of the game's windows or boxes), before the key is
  // handled. The screen reader's route is told (one whose reader does not stop at a key by
  // itself cuts off the game's speech there); the game's own voice, also where it spoke for a
  // missing screen reader, keeps its queue and only Ctrl alone silences it.
  void KeyPressed(bool controlAlone);

  // Create the Window-Eyes object or the self-voicing voice; false (and silence) on failure.
  bool StartWE();
  bool StartSAPI();

 private:
  enum class Reach { Reached, ScreenReaderMissing };

  Reach SpeakOnRoute(std::string_view text, bool interrupt, bool onlyIfSelfVoicing,
                     bool synchronous);
  Reach InterruptRoute();
  void InterruptVoice();
  void SpeakWithVoice(std::string_view text, bool interrupt, bool synchronous);
  // Makes the own voice (SAPI); false, and the voice kept as it was, when there is none.
  bool CreateVoice();
  // The own voice for a sentence that no screen reader took, created at the first such one.
  bool HaveFallbackVoice();
  void CountSpoken(std::string_view text);

  SpeechPlatform& platform_;
  int speechType_ = kSilent;
  bool fallbackVoiceTried_ = false;
};

}  // namespace orvanta::speech
