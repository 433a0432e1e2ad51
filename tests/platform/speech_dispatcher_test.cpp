// The screen-reader route on Linux, against our speech-dispatcher stand-in (fake_ssip_server.py,
// which the end-to-end tests use too): what the service hears, and that a missing or hung
// service never holds up the game.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "speech/linux/SpeechDispatcherRoute.h"
#include "tests/platform/AudioTestSupport.h"

namespace orvanta::speech {
namespace {

using std::chrono::milliseconds;
using testing::Clock;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::Since;

class SpeechDispatcherRouteTest : public testing::DiskAudioTest {
 protected:
  void TearDown() override {
    StopService();
    DiskAudioTest::TearDown();
  }

  std::string Address() const { return "unix_socket:" + (folder_ / "speechd.sock").string(); }
  SpeechDispatcherOptions Options() const {
    return {.address = Address(), .autospawn = false, .timeout = milliseconds(700)};
  }

  // Starts the stand-in on the socket; with `answered`, it falls silent after that many
  // messages (0: it never answers at all).
  void StartService(const char* answered = nullptr) {
    const std::string script =
        (std::filesystem::path(ORVANTA_SOURCE_DIR) / "tests/platform/fake_ssip_server.py").string();
    const std::string socket = (folder_ / "speechd.sock").string();
    const std::string log = (folder_ / "speech.jsonl").string();
    server_ = ::fork();
    if (server_ == 0) {
      ::execlp("python3", "python3", script.c_str(), socket.c_str(), log.c_str(), answered,
               nullptr);
      ::_exit(127);
    }
    for (int i = 0; i < 250 && !std::filesystem::exists(socket); ++i) {
      std::this_thread::sleep_for(milliseconds(20));
    }
    ASSERT_TRUE(std::filesystem::exists(socket)) << "fake_ssip_server.py did not start";
  }
  // The service goes away at once, as a crashed daemon does.
  void StopService() {
    if (server_ > 0) {
      ::kill(server_, SIGKILL);
      ::waitpid(server_, nullptr, 0);
      server_ = 0;
    }
  }

  // What the service has heard, one JSON line an event, once there are `count` (at most 2 s).
  std::vector<std::string> Heard(std::size_t count) const {
    std::vector<std::string> lines;
    for (int i = 0; i < 100 && lines.size() < count; ++i) {
      std::this_thread::sleep_for(milliseconds(20));
      lines.clear();
      std::ifstream in(folder_ / "speech.jsonl");
      for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
      }
    }
    return lines;
  }

  pid_t server_ = 0;
};

TEST_F(SpeechDispatcherRouteTest, AnnouncementsArriveWholeAtMessagePriorityAndInterruptCancels) {
  StartService();
  {
    SpeechDispatcherRoute route(Options());
    ASSERT_TRUE(route.Reachable());
    route.Silence();  // a key pressed before the game said anything: nothing to cut off
    EXPECT_TRUE(route.SayString("Catégorie: Café €5", false));  // UTF-8 arrives unchanged
    EXPECT_TRUE(route.SayString("First line\n.Second line starts with a dot", false));
    ASSERT_TRUE(route.WaitUntilSent(milliseconds(2000)));
    route.Silence();  // a key cuts it all off, once
    route.Silence();
    EXPECT_TRUE(route.SayString("Used letters: \"t\".", true));
    EXPECT_TRUE(route.SayString(" ", true));  // a blank with interrupt only cancels
    route.CancelAll(milliseconds(200));       // before Orca is shown an interrupting sentence
    // Everything queued reaches the service before the route closes.
    for (int i = 0; i < 5; ++i) {
      route.SayString("Goodbye " + std::to_string(i), false);
    }
    EXPECT_TRUE(route.Problem().empty()) << route.Problem();
  }
  const auto speak = [](const std::string& text) {
    return HasSubstr(R"({"event": "speak", "text": )" + text + R"(, "priority": "message")");
  };
  // Only the game's own speech is cancelled, not the screen reader's, but for CancelAll.
  const auto cancel = HasSubstr(R"({"event": "cancel", "scope": "self")");
  EXPECT_THAT(Heard(12),
              ElementsAre(speak(R"("Catégorie: Café €5")"),
                          speak(R"("First line\n.Second line starts with a dot")"), cancel, cancel,
                          speak(R"("Used letters: \"t\".")"), cancel,
                          HasSubstr(R"({"event": "cancel", "scope": "all")"),
                          speak(R"("Goodbye 0")"), speak(R"("Goodbye 1")"), speak(R"("Goodbye 2")"),
                          speak(R"("Goodbye 3")"), speak(R"("Goodbye 4")")));
}

// No service at all is SpeechPlatformTest's case (speech_voice_test.cpp).
TEST_F(SpeechDispatcherRouteTest, SilentServiceIsUnreachableWithinTheTimeout) {
  StartService("0");  // accepts the connection, then says nothing at all
  const auto start = Clock::now();
  {
    SpeechDispatcherRoute route(Options());
    EXPECT_FALSE(route.SayString("Hello", false));
    EXPECT_FALSE(route.Reachable());
    EXPECT_LT(Since(start), milliseconds(1200));
    EXPECT_THAT(route.Problem(), HasSubstr("did not answer"));
  }
  // Leaving the worker stuck in its connect costs the game no more than a moment.
  EXPECT_LT(Since(start), milliseconds(1500));
}

TEST_F(SpeechDispatcherRouteTest, ServiceThatStopsAnsweringNeverHoldsUpTheGame) {
  StartService("1");  // answers the first message, then hangs like a daemon without audio
  const auto start = Clock::now();
  {
    SpeechDispatcherRoute route(Options());
    EXPECT_TRUE(route.SayString("Welcome", false));
    EXPECT_TRUE(route.SayString("Spinning the wheel.", false));
    ASSERT_EQ(Heard(2).size(), 2U);
    // Each call returns at once while the worker waits on the hung service...
    for (int i = 0; i < 20; ++i) {
      const auto call = Clock::now();
      route.SayString("300 dollars.", false);
      EXPECT_LT(Since(call), milliseconds(50));
    }
    // ...and once the service has been silent for the timeout, the route says it is gone.
    std::this_thread::sleep_for(milliseconds(800));
    EXPECT_FALSE(route.SayString("There are 2 T's.", false));
    EXPECT_FALSE(route.Reachable());
    EXPECT_THAT(route.Problem(), HasSubstr("stopped answering"));
  }
  EXPECT_LT(Since(start), milliseconds(2500));
}

TEST_F(SpeechDispatcherRouteTest, ServiceThatGoesAwayLeavesTheRouteUnreachable) {
  StartService();
  SpeechDispatcherRoute route(Options());
  EXPECT_TRUE(route.SayString("Welcome", false));
  ASSERT_EQ(Heard(1).size(), 1U);
  StopService();
  // The route may learn of it only by the next message it sends; after that it gives up.
  route.SayString("Spinning the wheel.", false);
  EXPECT_TRUE(route.WaitUntilSent(milliseconds(2000)));
  EXPECT_FALSE(route.SayString("300 dollars.", false));
  EXPECT_FALSE(route.Reachable());
  EXPECT_THAT(route.Problem(), HasSubstr("connection was lost"));
}

}  // namespace
}  // namespace orvanta::speech
