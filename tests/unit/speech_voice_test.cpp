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
  bool srReachable = true, srThrows = false, hasVoice = true, throwsOnCreate = false;
  int queued = 0;      // texts the voice queued and has not yet spoken
  bool stuck = false;  // the voice reports speaking forever, skips do nothing
  bool failsStatus = false, failsSpeak = false;
  int skips = 0;
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
  std::unique_ptr<WindowEyesObject> CreateWindowEyes() override { return nullptr; }
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

// --- The screen reader, and a screen reader that cannot be reached ---------------------------

// The screen reader (the one route the game chooses) hears each text with the interrupt flag
// as the game gives it. Each text no screen reader takes is spoken by the voice alone, with the
// caller's flags; the route stays the screen reader's, so one started later hears the next text.
// Any key silences the screen reader; only Ctrl alone the voice that spoke for it.
TEST_F(SpeechTest, TextNoScreenReaderTookIsVoicedAloneAndTheNextTriesTheReaderAgain) {
  platform.srReachable = false;
  speech.SpeechType(1);
  speech.SayText("Wait for me", 1, false, true);
  speech.SayText("Queued");
  speech.KeyPressed(false);
  EXPECT_EQ(platform.queued, 1);
  speech.KeyPressed(true);
  speech.Interrupt();
  platform.srReachable = true;
  speech.SayText("Next");
  EXPECT_EQ(speech.SpeechType(), 1);
  EXPECT_THAT(calls, ElementsAre("SR 'Wait for me' 1", "SAPI 'Wait for me' 16", "SR 'Queued' 0",
                                 "SAPI 'Queued' 17", "SR silenced", "SR silenced",
                                 "skip Sentence 255", "SR ' ' 1", "SR 'Next' 0"));
}

// --- The game's own voice, standing in for a missing screen reader -----------------------------

TEST_F(SpeechTest, VoiceThatCannotBeInterruptedStillSpeaksTheTextWithoutHanging) {
  platform.srReachable = false;
  platform.stuck = true;  // never falls idle
  speech.SpeechType(1);
  speech.SayText("after the stuck voice", 1);
  EXPECT_EQ(platform.skips, clsTARQSpeech::kMaxInterruptSkips);
  EXPECT_EQ(calls.back(), "SAPI 'after the stuck voice' 17");
  platform.failsStatus = true;  // fails while being interrupted
  EXPECT_NO_THROW(speech.SayText("still heard", 1));
  EXPECT_EQ(calls.back(), "SAPI 'still heard' 17");
}

// No route failure reaches the game: a screen reader that throws, a voice that refuses a text,
// is gone, or cannot even be made (or throws when it is); each call ends quietly.
TEST_F(SpeechTest, RouteFailuresEndEachCallQuietly) {
  platform.srThrows = platform.failsSpeak = true;
  speech.SpeechType(1);
  EXPECT_NO_THROW(speech.SayText("lost"));
  speech.SAPI.reset();  // no voice at all: just as quiet
  EXPECT_NO_THROW(speech.SayText("nobody", 1));
  EXPECT_NO_THROW(speech.Interrupt());
  EXPECT_EQ(speech.SpeechType(), 1);
  EXPECT_THAT(calls, ElementsAre("SR 'lost' 0", "SAPI 'lost' 17", "SR 'nobody' 1", "SR ' ' 1"));
  for (const bool throws : {true, false}) {
    PlatformFake fake;
    fake.srReachable = fake.hasVoice = false;
    fake.throwsOnCreate = throws;
    clsTARQSpeech local(fake);
    local.SpeechType(1);
    EXPECT_NO_THROW(local.SayText("Hello"));
    EXPECT_THAT(fake.calls, ElementsAre("SR 'Hello' 0"));
  }
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
