// The screen-reader route on Linux, against a speech-dispatcher stand-in of our own: what the
// service hears, and that a missing or hung service never holds up the game.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "speech/linux/SpeechDispatcherRoute.h"
#include "tests/platform/FakeSsipServer.h"

namespace orvanta::speech {
namespace {

using std::chrono::milliseconds;
using testing::FakeSsipServer;
using Clock = std::chrono::steady_clock;

milliseconds Since(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

class SpeechDispatcherRouteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("orvanta-ssip-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;  // a fake server may be removing its socket at the same moment
    std::filesystem::remove_all(folder_, ignored);
  }

  std::filesystem::path Socket() const { return folder_ / "speechd.sock"; }

  static SpeechDispatcherOptions At(const std::string& address) {
    return {.address = address, .autospawn = false, .timeout = milliseconds(700)};
  }

  std::filesystem::path folder_;
};

TEST_F(SpeechDispatcherRouteTest, AnnouncementArrivesAtMessagePriority) {
  FakeSsipServer server(Socket());
  SpeechDispatcherRoute route(At(server.Address()));
  ASSERT_TRUE(route.Reachable());

  EXPECT_TRUE(route.SayString("Spinning the wheel.", false));
  EXPECT_TRUE(route.SayString("Catégorie: Café €5", false));
  ASSERT_TRUE(server.WaitForEvents(2, milliseconds(2000)));

  const auto events = server.Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, "speak");
  EXPECT_EQ(events[0].text, "Spinning the wheel.");
  EXPECT_EQ(events[0].priority, "message");
  EXPECT_EQ(events[1].text, "Catégorie: Café €5");  // UTF-8 arrives unchanged
  EXPECT_EQ(events[1].priority, "message");
  EXPECT_TRUE(route.Problem().empty());
}

TEST_F(SpeechDispatcherRouteTest, MultiLineTextAndLeadingDotsArriveWhole) {
  FakeSsipServer server(Socket());
  SpeechDispatcherRoute route(At(server.Address()));
  EXPECT_TRUE(route.SayString("First line\n.Second line starts with a dot", false));
  ASSERT_TRUE(server.WaitForEvents(1, milliseconds(2000)));
  EXPECT_EQ(server.Events()[0].text, "First line\n.Second line starts with a dot");
}

TEST_F(SpeechDispatcherRouteTest, InterruptCancelsOwnSpeechBeforeTheNewText) {
  FakeSsipServer server(Socket());
  SpeechDispatcherRoute route(At(server.Address()));
  EXPECT_TRUE(route.SayString("You currently have $600", false));
  ASSERT_TRUE(route.WaitUntilSent(milliseconds(2000)));
  EXPECT_TRUE(route.SayString("Used letters: t, s.", true));
  ASSERT_TRUE(server.WaitForEvents(3, milliseconds(2000)));

  const auto events = server.Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].text, "You currently have $600");
  EXPECT_EQ(events[1].kind, "cancel");
  EXPECT_EQ(events[1].text, "SELF");  // only the game's own speech, not the screen reader's
  EXPECT_EQ(events[2].kind, "speak");
  EXPECT_EQ(events[2].text, "Used letters: t, s.");
}

TEST_F(SpeechDispatcherRouteTest, InterruptWithABlankOnlyCancels) {
  FakeSsipServer server(Socket());
  SpeechDispatcherRoute route(At(server.Address()));
  EXPECT_TRUE(route.SayString(" ", true));
  ASSERT_TRUE(route.WaitUntilSent(milliseconds(2000)));
  ASSERT_TRUE(server.WaitForEvents(1, milliseconds(2000)));
  const auto events = server.Events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, "cancel");
}

TEST_F(SpeechDispatcherRouteTest, AbsentServiceIsUnreachableAtOnce) {
  const auto start = Clock::now();
  SpeechDispatcherRoute route(At("unix_socket:" + Socket().string()));
  EXPECT_FALSE(route.Reachable());
  EXPECT_FALSE(route.SayString("Hello", false));
  EXPECT_LT(Since(start), milliseconds(500));
  EXPECT_NE(route.Problem().find("speech-dispatcher cannot be reached"), std::string::npos)
      << route.Problem();
}

TEST_F(SpeechDispatcherRouteTest, ServiceThatNeverAnswersIsUnreachableWithinTheTimeout) {
  FakeSsipServer server(Socket(), FakeSsipServer::Behaviour::NeverAnswer);
  const auto start = Clock::now();
  {
    SpeechDispatcherRoute route(At(server.Address()));
    EXPECT_FALSE(route.SayString("Hello", false));
    EXPECT_FALSE(route.Reachable());
    EXPECT_LT(Since(start), milliseconds(1200));
    EXPECT_NE(route.Problem().find("did not answer"), std::string::npos) << route.Problem();
  }
  // Leaving the worker stuck in its connect costs the game no more than a moment.
  EXPECT_LT(Since(start), milliseconds(1500));
}

TEST_F(SpeechDispatcherRouteTest, ServiceThatStopsAnsweringNeverHoldsUpTheGame) {
  // Answers the first message, then hangs like a daemon without an audio device.
  FakeSsipServer server(Socket(), FakeSsipServer::Behaviour::Answer, 1);
  const auto start = Clock::now();
  {
    SpeechDispatcherRoute route(At(server.Address()));
    EXPECT_TRUE(route.SayString("Welcome", false));
    EXPECT_TRUE(route.SayString("Spinning the wheel.", false));
    ASSERT_TRUE(server.WaitForEvents(2, milliseconds(2000)));
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
    EXPECT_NE(route.Problem().find("stopped answering"), std::string::npos) << route.Problem();
  }
  EXPECT_LT(Since(start), milliseconds(2500));
}

TEST_F(SpeechDispatcherRouteTest, ServiceThatHangsUpLeavesTheRouteUnreachable) {
  auto server = std::make_unique<FakeSsipServer>(Socket(), FakeSsipServer::Behaviour::HangUp);
  SpeechDispatcherRoute route(At(server->Address()));
  EXPECT_TRUE(route.SayString("Welcome", false));
  ASSERT_TRUE(server->WaitForEvents(1, milliseconds(2000)));
  server.reset();  // the service is gone for good
  // The route may learn of it only by the next message it sends; after that it gives up.
  route.SayString("Spinning the wheel.", false);
  EXPECT_TRUE(route.WaitUntilSent(milliseconds(2000)));
  EXPECT_FALSE(route.SayString("300 dollars.", false));
  EXPECT_FALSE(route.Reachable());
  EXPECT_NE(route.Problem().find("connection was lost"), std::string::npos) << route.Problem();
}

TEST_F(SpeechDispatcherRouteTest, QueuedAnnouncementsReachTheServiceBeforeTheRouteCloses) {
  FakeSsipServer server(Socket());
  {
    SpeechDispatcherRoute route(At(server.Address()));
    for (int i = 0; i < 5; ++i) {
      route.SayString("Goodbye " + std::to_string(i), false);
    }
  }
  ASSERT_TRUE(server.WaitForEvents(5, milliseconds(1000)));
  EXPECT_EQ(server.Events().back().text, "Goodbye 4");
}

// The standalone fake server that end-to-end tests of the game use speaks the same protocol.
TEST_F(SpeechDispatcherRouteTest, StandaloneFakeServerLogsWhatTheGameSays) {
  const std::filesystem::path script =
      std::filesystem::path(__FILE__).parent_path() / "fake_ssip_server.py";
  if (std::system("command -v python3 >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "python3 is not installed, so the standalone fake server cannot run";
  }
  const auto log = folder_ / "speech.jsonl";
  const std::string command = "python3 " + script.string() + " " + Socket().string() + " " +
                              log.string() + " & echo $! > " + (folder_ / "pid").string();
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (int i = 0; i < 100 && !std::filesystem::exists(Socket()); ++i) {
    std::this_thread::sleep_for(milliseconds(20));
  }
  {
    SpeechDispatcherRoute route(At("unix_socket:" + Socket().string()));
    ASSERT_TRUE(route.Reachable());
    route.SayString("Spinning the wheel.", false);
    route.SayString("Used letters: \"t\".", true);
    ASSERT_TRUE(route.WaitUntilSent(milliseconds(2000)));
  }
  std::ifstream pidFile(folder_ / "pid");
  int pid = 0;
  pidFile >> pid;
  ASSERT_GT(pid, 0);
  std::string lines;
  for (int i = 0; i < 100; ++i) {
    std::ifstream in(log);
    lines.assign(std::istreambuf_iterator<char>(in), {});
    if (lines.find("Used letters") != std::string::npos) {
      break;
    }
    std::this_thread::sleep_for(milliseconds(20));
  }
  std::system(("kill " + std::to_string(pid)).c_str());
  EXPECT_NE(
      lines.find(R"({"event": "speak", "text": "Spinning the wheel.", "priority": "message")"),
      std::string::npos)
      << lines;
  EXPECT_NE(lines.find(R"({"event": "cancel", "scope": "self")"), std::string::npos) << lines;
  EXPECT_NE(lines.find(R"("text": "Used letters: \"t\".")"), std::string::npos) << lines;
  EXPECT_LT(lines.find("cancel"), lines.find("Used letters"));
}

// The real daemon, when it is installed: the route connects, and however the daemon copes with
// the machine's audio (it hangs without a sound card), the game is never held up.
TEST_F(SpeechDispatcherRouteTest, RealDaemonNeverHoldsUpTheGame) {
  if (std::system("command -v speech-dispatcher >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "speech-dispatcher is not installed";
  }
  const auto home = folder_ / "home";
  std::filesystem::create_directories(home);
  const std::string command = "HOME=" + home.string() + " XDG_RUNTIME_DIR=" + home.string() +
                              " speech-dispatcher -s -c unix_socket -S " + Socket().string() +
                              " -t 5 >/dev/null 2>&1 & echo $! > " + (folder_ / "pid").string();
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (int i = 0; i < 150 && !std::filesystem::exists(Socket()); ++i) {
    std::this_thread::sleep_for(milliseconds(20));
  }
  int pid = 0;
  std::ifstream(folder_ / "pid") >> pid;
  ASSERT_GT(pid, 0);
  if (!std::filesystem::exists(Socket())) {
    std::system(("kill -9 " + std::to_string(pid)).c_str());
    GTEST_SKIP() << "speech-dispatcher did not start on its socket within 3 s";
  }
  const auto start = Clock::now();
  {
    SpeechDispatcherRoute route(At("unix_socket:" + Socket().string()));
    EXPECT_TRUE(route.Reachable()) << route.Problem();
    for (const char* text : {"Spinning the wheel.", "300 dollars.", "There are 2 T's."}) {
      const auto call = Clock::now();
      route.SayString(text, false);
      EXPECT_LT(Since(call), milliseconds(50));
    }
    route.SayString("Used letters: t.", true);
  }
  EXPECT_LT(Since(start), milliseconds(2500));
  std::system(("kill -9 " + std::to_string(pid)).c_str());  // it ignores SIGTERM while hung
}

}  // namespace
}  // namespace orvanta::speech
