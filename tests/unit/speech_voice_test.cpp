// The speech object over fake routes: which route hears a text, with which flags, and that no
// route failure ever reaches the game.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "speech/NotificationRoute.h"
#include "speech/SpeechRoutes.h"
#include "speech/clsTARQSpeech.h"

namespace orvanta::speech {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// What the test controls about every route, and one log of every route call, so tests can
// check order across routes.
struct Routes {
  std::vector<std::string> calls;
  bool srReachable = true, srThrows = false;
  bool hasWindowEyes = true, windowEyesRefuses = false, hasVoice = true, throwsOnCreate = false;
  int queued = 0;      // texts the voice queued and has not yet spoken
  bool stuck = false;  // the voice reports speaking forever, skips do nothing
  bool failsStatus = false, failsSpeak = false;
  int skips = 0;
};

struct WindowEyesFake : WindowEyesObject {
  explicit WindowEyesFake(Routes& routes) : r(routes) {}
  void SpeakString(std::string_view text) override {
    r.calls.push_back("WE '" + std::string(text) + "'");
    if (r.windowEyesRefuses)
      throw SpeechRouteError("speakstring refused");
  }
  Routes& r;
};

struct VoiceFake : SapiVoice {
  explicit VoiceFake(Routes& routes) : r(routes) {}
  void Speak(std::string_view text, int flags) override {
    r.calls.push_back("SAPI '" + std::string(text) + "' " + std::to_string(flags));
    if (r.failsSpeak)
      throw SpeechRouteError("voice refused");
    if ((flags & kSvsfAsync) != 0)
      ++r.queued;  // queued: still to be spoken after Speak returns
  }
  void Skip(std::string_view type, int count) override {
    r.calls.push_back("skip " + std::string(type) + " " + std::to_string(count));
    ++r.skips;
    if (!r.stuck)
      r.queued = 0;
  }
  int RunningState() override {
    if (r.failsStatus)
      throw SpeechRouteError("status unavailable");
    return (r.stuck || r.queued > 0) ? kSrseIsSpeaking : kSrseDone;
  }
  Routes& r;
};

struct PlatformFake : SpeechPlatform, ScreenReaderRoute, Routes {
  ScreenReaderRoute& ScreenReader() override { return *this; }
  bool SayString(std::string_view text, bool interrupt) override {
    calls.push_back("SR '" + std::string(text) + "' " + (interrupt ? "1" : "0"));
    if (srThrows)
      throw SpeechRouteError("screen reader gone");
    return srReachable;
  }
  void Silence() override { calls.emplace_back("SR silenced"); }
  std::unique_ptr<WindowEyesObject> CreateWindowEyes() override {
    if (throwsOnCreate)
      throw SpeechRouteError("no COM");
    return hasWindowEyes ? std::make_unique<WindowEyesFake>(*this) : nullptr;
  }
  std::unique_ptr<SapiVoice> CreateSapiVoice() override {
    if (throwsOnCreate)
      throw SpeechRouteError("no COM");
    return hasVoice ? std::make_unique<VoiceFake>(*this) : nullptr;
  }
};

class SpeechTest : public ::testing::Test {
 protected:
  PlatformFake platform;
  std::vector<std::string>& calls = platform.calls;
  clsTARQSpeech speech{platform};
};

// --- Choosing a route ---------------------------------------------------------------------

// A new object is silent; out-of-range speech types select silence; switching route keeps the
// old object. A route that cannot start, or throws, is a failed start and leaves silence.
TEST_F(SpeechTest, ChoosingARouteStartsItOrFallsSilentAndSaysWhich) {
  EXPECT_EQ(speech.SpeechType(), 0);
  speech.SayText("Welcome");
  for (const int type : {-1, 7}) {
    speech.SpeechType(type);
    EXPECT_EQ(speech.SpeechType(), 0);
  }
  speech.SpeechType(2);
  speech.SpeechType(3);
  EXPECT_EQ(speech.SpeechType(), 3);
  EXPECT_NE(speech.SAPI, nullptr);
  EXPECT_NE(speech.WEObject, nullptr);
  EXPECT_THAT(calls, IsEmpty());
  platform.hasWindowEyes = platform.hasVoice = false;
  speech.SpeechType(2);
  EXPECT_EQ(speech.SpeechType(), 0);
  speech.SpeechType(1);
  EXPECT_FALSE(speech.StartSAPI());  // while on the screen reader
  EXPECT_EQ(speech.SpeechType(), 0);
  speech.SayText("There are 2 T's.");
  EXPECT_THAT(calls, IsEmpty());
  platform.throwsOnCreate = true;
  EXPECT_FALSE(speech.StartWE());
  speech.SpeechType(3);
  EXPECT_EQ(speech.SpeechType(), 0);
}

// --- The screen reader ------------------------------------------------------------------------

// The screen reader interrupts only when interrupt is exactly one; self-voicing-only text is
// heard only from the voice.
TEST_F(SpeechTest, ScreenReaderInterruptsOnlyOnOneAndSelfVoicingTextIsLeftToTheVoice) {
  speech.SpeechType(1);
  speech.SayText("queued", 5);
  speech.SayText("now", 1);
  speech.SayText("plain");
  speech.Interrupt();  // a space with the interrupt flag
  speech.SayText("one", 0, true);
  speech.SpeechType(2);
  speech.SayText("two", 0, true);
  speech.SpeechType(3);
  speech.SayText("three", 0, true);
  EXPECT_THAT(calls, ElementsAre("SR 'queued' 0", "SR 'now' 1", "SR 'plain' 0", "SR ' ' 1",
                                 "SAPI 'three' 17"));
}

// --- A screen reader that cannot be reached ------------------------------------------------

// Each text no screen reader takes is spoken by the voice alone, with the caller's flags; the
// route stays the screen reader's, so one started later hears the next text.
TEST_F(SpeechTest, TextNoScreenReaderTookIsVoicedAloneAndTheNextTriesTheReaderAgain) {
  platform.srReachable = false;
  speech.SpeechType(1);
  speech.SayText("Wait for me", 1, false, true);
  speech.SayText("Queued");
  speech.KeyPressed(true);  // Ctrl alone silences the voice that spoke for the reader
  speech.Interrupt();
  platform.srReachable = true;
  speech.SayText("Next");
  EXPECT_EQ(speech.SpeechType(), 1);
  EXPECT_THAT(calls, ElementsAre("SR 'Wait for me' 1", "SAPI 'Wait for me' 16", "SR 'Queued' 0",
                                 "SAPI 'Queued' 17", "SR silenced", "skip Sentence 255", "SR ' ' 1",
                                 "SR 'Next' 0"));
}

TEST_F(SpeechTest, ScreenReaderThatThrowsOrIsMissingWithoutAVoiceStaysQuiet) {
  for (const bool throws : {true, false}) {
    PlatformFake fake;
    fake.srReachable = fake.hasVoice = false;
    fake.srThrows = throws;
    clsTARQSpeech local(fake);
    local.SpeechType(1);
    EXPECT_NO_THROW(local.SayText("Hello"));
    EXPECT_NO_THROW(local.Interrupt());
    EXPECT_EQ(local.SpeechType(), 1);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"SR 'Hello' 0", "SR ' ' 1"}));
  }
}

// --- Window-Eyes ------------------------------------------------------------------------------

TEST_F(SpeechTest, WindowEyesSpeaksEveryTextWithoutInterruptingAndARefusalEndsQuietly) {
  speech.SpeechType(2);
  speech.SayText("first", 1);
  speech.Interrupt();
  speech.SayText("second", 0, false, true);
  EXPECT_THAT(calls, ElementsAre("WE 'first'", "WE 'second'"));
  platform.windowEyesRefuses = true;
  EXPECT_NO_THROW(speech.SayText("refused"));
  EXPECT_EQ(speech.SpeechType(), 2);
  speech.WEObject.reset();  // an empty object is as quiet as a refusing one
  EXPECT_NO_THROW(speech.SayText("nobody"));
  EXPECT_EQ(calls.size(), 3U);
}

// --- Self-voicing -----------------------------------------------------------------------------

TEST_F(SpeechTest, VoiceQueuesPlainTextAndSkipsToIdleOnlyForAnInterruptingText) {
  speech.SpeechType(3);
  speech.Interrupt();  // an idle voice is left alone
  speech.SayText("one");
  speech.SayText("two", 5);
  EXPECT_EQ(platform.skips, 0);
  ASSERT_EQ(platform.queued, 2);
  speech.SayText("now", 1);
  EXPECT_EQ(platform.queued, 1);
  speech.SayText("waited", 0, false, true);
  EXPECT_THAT(calls, ElementsAre("SAPI 'one' 17", "SAPI 'two' 17", "skip Sentence 255",
                                 "SAPI 'now' 17", "SAPI 'waited' 16"));
}

TEST_F(SpeechTest, KeyPressSilencesTheScreenReaderAlwaysAndTheVoiceOnlyForCtrlAlone) {
  speech.SpeechType(1);
  speech.KeyPressed(false);
  speech.SpeechType(3);
  speech.SayText("queued");
  speech.KeyPressed(false);  // the game's own voice keeps its queue for any other key
  EXPECT_EQ(platform.queued, 1);
  speech.KeyPressed(true);
  EXPECT_EQ(platform.queued, 0);
  speech.SpeechType(2);
  speech.KeyPressed(true);
  EXPECT_THAT(calls, ElementsAre("SR silenced", "SAPI 'queued' 17", "skip Sentence 255"));
}

TEST_F(SpeechTest, VoiceThatCannotBeInterruptedStillSpeaksTheTextWithoutHanging) {
  platform.stuck = true;  // never falls idle
  speech.SpeechType(3);
  speech.SayText("after the stuck voice", 1);
  EXPECT_EQ(platform.skips, clsTARQSpeech::kMaxInterruptSkips);
  EXPECT_EQ(calls.back(), "SAPI 'after the stuck voice' 17");
  platform.failsStatus = true;  // fails while being interrupted
  EXPECT_NO_THROW(speech.SayText("still heard", 1));
  EXPECT_EQ(calls.back(), "SAPI 'still heard' 17");
}

TEST_F(SpeechTest, VoiceRefusingTextEndsSayTextQuietly) {
  platform.failsSpeak = true;
  speech.SpeechType(3);
  EXPECT_NO_THROW(speech.SayText("lost"));
  EXPECT_EQ(speech.SpeechType(), 3);
  speech.SAPI.reset();  // no voice at all: just as quiet
  EXPECT_NO_THROW(speech.SayText("nobody", 1));
  EXPECT_NO_THROW(speech.Interrupt());
  EXPECT_EQ(calls.size(), 1U);
}

// --- Through a screen reader that presents notifications (Orca) ------------------------------

// Orca, the game's windows, speech-dispatcher and the game's own voice, all logging into one
// list; `due` is the call the window holds for the event loop.
struct OrcaFakes : ScreenReaderWatch, NotificationWindow, DirectSpeech {
  struct Voice : ScreenReaderRoute {
    explicit Voice(OrcaFakes& fakes) : f(fakes) {}
    bool SayString(std::string_view text, bool) override {
      f.calls.push_back("voice '" + std::string(text) + "'");
      return true;
    }
    void Silence() override { f.calls.emplace_back("voice silenced"); }
    OrcaFakes& f;
  };
  bool Running() override { return orca; }
  bool Notify(std::string_view text) override {
    calls.push_back((active ? "notify '" : "inactive '") + std::string(text) + "'");
    return active;
  }
  bool Shown() override { return shown; }
  void Schedule(std::chrono::milliseconds delay, std::function<void()> call) override {
    EXPECT_TRUE(!call || delay == SentenceBatch::kJoinWithin);
    due = std::move(call);
  }
  void AnswerUntil(const std::function<bool()>&, std::chrono::milliseconds) override {}
  bool SayString(std::string_view text, bool interrupt) override {
    calls.push_back("direct '" + std::string(text) + "' " + (interrupt ? "1" : "0"));
    return service;
  }
  void Silence() override { calls.emplace_back("direct silenced"); }
  void CancelAll(std::chrono::milliseconds limit) override {
    calls.push_back("cancel all " + std::to_string(limit.count()));
  }
  void Fire() { std::exchange(due, {})(); }

  bool orca = true, shown = true, active = true, service = true;
  std::vector<std::string> calls;
  std::function<void()> due;
  Voice voice{*this};
  NotificationRoute route{*this, *this, voice};
};

// Close sentences become one notification, in order, said by no one else; an interrupting one
// cancels everyone's speech first and drops what was not shown; a key drops the rest.
TEST(NotificationRoute, SentencesReachOrcaJoinedAndInterruptDropsWhatWasNotShown) {
  OrcaFakes f;
  f.route.UseWindow(&f);
  EXPECT_TRUE(f.route.SayString("Spinning the wheel.", false));
  f.route.SayString("400 dollars.", false);
  EXPECT_THAT(f.calls, IsEmpty());
  f.Fire();
  f.route.SayString("The current puzzle is.", false);
  f.route.SayString("Used letters: W", true);
  f.Fire();
  f.route.SayString("Blank.", false);
  f.route.SayString(" ", true);  // the interrupt alone: speech is cut off, nothing is shown
  f.Fire();
  f.route.SayString("Blank.", false);
  f.route.Silence();
  EXPECT_EQ(f.due, nullptr);
  EXPECT_THAT(f.calls, ElementsAre("notify 'Spinning the wheel. 400 dollars.'", "cancel all 200",
                                   "notify 'Used letters: W'", "cancel all 200", "direct silenced",
                                   "voice silenced"));
}

// Without Orca, before the windows exist, or while none is active, sentences go the direct way,
// after what was held; a sentence the service does not take is said by the game's own voice,
// and the next one tries the service again.
TEST(NotificationRoute, WithoutOrcaOrAnActiveWindowSentencesGoTheDirectWay) {
  OrcaFakes f;
  f.route.SayString("Before the window.", false);
  f.route.UseWindow(&f);
  f.route.SayString("Held.", false);
  f.orca = false;
  f.route.SayString("Orca stopped.", true);
  f.service = false;
  f.route.SayString("No service.", false);
  EXPECT_FALSE(f.route.AnswerUntil([] { return true; }, std::chrono::milliseconds(10)));
  f.orca = f.service = true;
  EXPECT_TRUE(f.route.AnswerUntil([] { return true; }, std::chrono::milliseconds(10)));
  f.active = false;
  f.route.SayString("Switched away.", false);
  f.Fire();
  EXPECT_THAT(f.calls, ElementsAre("direct 'Before the window.' 0", "notify 'Held.'",
                                   "direct 'Orca stopped.' 1", "direct 'No service.' 0",
                                   "voice 'No service.'", "inactive 'Switched away.'",
                                   "direct 'Switched away.' 0"));
}

}  // namespace
}  // namespace orvanta::speech
