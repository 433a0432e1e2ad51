// SpeechDispatcherRoute.cpp: the worker that owns the libspeechd connection, and the game-side
// calls that only ever touch the queue. The worker's state is shared, so a worker stuck in a
// call to a hung service can be left behind safely when the game ends.
#include "speech/linux/SpeechDispatcherRoute.h"

#include <libspeechd.h>
#include <pthread.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <mutex>

namespace orvanta::speech {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kUnixPrefix = "unix_socket:";

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](unsigned char c) { return std::isspace(c) != 0; });
}

// Opens a connection in single mode (no notification thread of libspeechd's own).
SPDConnection* Connect(const SpeechDispatcherOptions& options, std::string& problem) {
  char* error = nullptr;
  SPDConnection* connection = nullptr;
  if (options.address.empty()) {
    connection = spd_open2(options.clientName.c_str(), "main", nullptr, SPD_MODE_SINGLE, nullptr,
                           options.autospawn ? 1 : 0, &error);
  } else if (options.address.starts_with(kUnixPrefix)) {
    std::string socketPath = options.address.substr(kUnixPrefix.size());
    SPDConnectionAddress address{};
    address.method = SPD_METHOD_UNIX_SOCKET;
    address.unix_socket_name = socketPath.data();
    connection = spd_open2(options.clientName.c_str(), "main", nullptr, SPD_MODE_SINGLE, &address,
                           options.autospawn ? 1 : 0, &error);
  } else {
    problem = "the speech service address \"" + options.address + "\" is not a unix_socket address";
    return nullptr;
  }
  if (connection == nullptr) {
    // libspeechd's report, without its prefix and the long story of a failed autospawn.
    std::string report = error != nullptr ? error : "the connection was refused";
    if (report.starts_with("Error: ")) {
      report.erase(0, 7);
    }
    if (const auto autospawn = report.find(" Autospawn:"); autospawn != std::string::npos) {
      report.erase(autospawn);
    }
    while (!report.empty() &&
           (std::isspace(static_cast<unsigned char>(report.back())) != 0 || report.back() == '.')) {
      report.pop_back();
    }
    problem = report;
  }
  std::free(error);  // NOLINT(cppcoreguidelines-*): libspeechd hands its report over malloc'd
  return connection;
}

// Sets the rate and voice asked for on a new connection; what was refused, for the player.
std::string ApplySettings(SPDConnection* connection, const SpeechDispatcherOptions& options) {
  std::string refused;
  if (options.rate && spd_set_voice_rate(connection, *options.rate) != 0) {
    refused =
        "the speech service speech-dispatcher refused the rate " + std::to_string(*options.rate);
  }
  if (options.voice.empty()) {
    return refused;
  }
  bool known = false;
  if (SPDVoice** voices = spd_list_synthesis_voices(connection); voices != nullptr) {
    for (SPDVoice** voice = voices; *voice != nullptr; ++voice) {
      known = known || options.voice == (*voice)->name;
    }
    free_spd_voices(voices);
  }
  if (!known || spd_set_synthesis_voice(connection, options.voice.c_str()) != 0) {
    refused += refused.empty() ? "the speech service speech-dispatcher" : " and";
    refused += " has no voice \"" + options.voice + "\" (spd-say -L lists its voices)";
  }
  return refused;
}

}  // namespace

struct SpeechDispatcherRoute::Shared {
  enum class Link { Connecting, Connected, Unreachable };
  struct Message {
    std::string text;
    bool interrupt;
    bool everyone = false;  // cancel every client's speech, not only the game's
  };

  explicit Shared(SpeechDispatcherOptions opts)
      : options(std::move(opts)), connectDeadline(Clock::now() + options.timeout) {}

  // The service is taken for hung when one call has not returned within the timeout.
  bool HungLocked() const { return callInProgress && Clock::now() - callStarted > options.timeout; }
  // Waits for the first connection to settle, up to its deadline.
  void SettleLocked(std::unique_lock<std::mutex>& lock) {
    changed.wait_until(lock, connectDeadline, [this] { return link != Link::Connecting; });
    if (link == Link::Connecting) {
      link = Link::Unreachable;
      problem = "it did not answer within " + std::to_string(options.timeout.count()) + " ms";
    }
  }

  const SpeechDispatcherOptions options;
  const Clock::time_point connectDeadline;

  std::mutex mutex;
  std::condition_variable wake;     // the worker: something to do
  std::condition_variable changed;  // the game: the worker got on
  Link link = Link::Connecting;
  std::string problem;
  std::string settingsProblem;
  std::deque<Message> queue;
  bool spokenSinceSilence = false;  // whether a Silence() has anything to cut off
  std::uint64_t said = 0;           // messages handed to the route
  std::uint64_t handled = 0;        // messages the worker is done with (sent, or lost)
  bool callInProgress = false;
  Clock::time_point callStarted;
  bool stopping = false;
  bool finished = false;
};

SpeechDispatcherRoute::SpeechDispatcherRoute(SpeechDispatcherOptions options)
    : shared_(std::make_shared<Shared>(std::move(options))), worker_(&Work, shared_) {}

SpeechDispatcherRoute::~SpeechDispatcherRoute() {
  std::unique_lock lock(shared_->mutex);
  shared_->stopping = true;
  shared_->wake.notify_all();
  const bool answering = shared_->link == Shared::Link::Connected && !shared_->HungLocked();
  const auto limit = answering ? std::chrono::milliseconds(1500) : std::chrono::milliseconds(100);
  const bool done = shared_->changed.wait_for(lock, limit, [this] { return shared_->finished; });
  lock.unlock();
  if (done) {
    worker_.join();
  } else {
    worker_.detach();  // stuck in a call to the service; it holds its own share of the state
  }
}

void SpeechDispatcherRoute::Work(std::shared_ptr<Shared> shared) {
  // A service that closes the socket must give an error here, not a SIGPIPE for the game.
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

  auto call = [&shared](auto&& body) {
    {
      std::lock_guard lock(shared->mutex);
      shared->callInProgress = true;
      shared->callStarted = Clock::now();
    }
    auto result = body();
    std::lock_guard lock(shared->mutex);
    shared->callInProgress = false;
    shared->changed.notify_all();
    return result;
  };

  std::string problem;
  auto connect = [&] {
    SPDConnection* connection = Connect(shared->options, problem);
    if (connection != nullptr) {
      std::string refused = ApplySettings(connection, shared->options);
      std::lock_guard lock(shared->mutex);
      shared->settingsProblem = std::move(refused);
    }
    return connection;
  };
  SPDConnection* connection = call(connect);
  {
    std::lock_guard lock(shared->mutex);
    if (shared->link == Shared::Link::Connecting) {
      shared->link = connection != nullptr ? Shared::Link::Connected : Shared::Link::Unreachable;
      shared->problem = problem;
    } else if (connection != nullptr) {
      // Connected after the game stopped waiting: it has gone on without this route.
      spd_close(connection);
      connection = nullptr;
    }
    shared->changed.notify_all();
  }

  while (connection != nullptr) {
    Shared::Message message;
    {
      std::unique_lock lock(shared->mutex);
      shared->wake.wait(lock, [&] { return shared->stopping || !shared->queue.empty(); });
      if (shared->queue.empty()) {
        break;  // stopping, and everything said has been sent
      }
      message = std::move(shared->queue.front());
      shared->queue.pop_front();
    }
    const bool sent = call([&] {
      if (message.everyone) {
        return spd_cancel_all(connection) == 0;
      }
      if (message.interrupt && spd_cancel(connection) != 0) {
        return false;
      }
      return IsBlank(message.text) || spd_say(connection, SPD_MESSAGE, message.text.c_str()) >= 0;
    });
    if (!sent) {
      // The service went away: one new connection, or the route is lost for good.
      spd_close(connection);
      connection = call(connect);
      if (connection == nullptr) {
        std::lock_guard lock(shared->mutex);
        shared->link = Shared::Link::Unreachable;
        shared->problem = "the connection was lost (" + problem + ")";
        shared->handled += shared->queue.size();
        shared->queue.clear();
      }
    }
    std::lock_guard lock(shared->mutex);
    ++shared->handled;
    shared->changed.notify_all();
  }
  if (connection != nullptr) {
    call([&] {
      spd_close(connection);
      return true;
    });
  }
  std::lock_guard lock(shared->mutex);
  shared->finished = true;
  shared->changed.notify_all();
}

bool SpeechDispatcherRoute::SayString(std::string_view text, bool interrupt) {
  std::unique_lock lock(shared_->mutex);
  shared_->SettleLocked(lock);
  if (shared_->link != Shared::Link::Connected || shared_->HungLocked()) {
    return false;
  }
  shared_->queue.push_back({std::string(text), interrupt, false});
  ++shared_->said;
  shared_->spokenSinceSilence = true;
  shared_->wake.notify_all();
  return true;
}

void SpeechDispatcherRoute::Silence() {
  std::lock_guard lock(shared_->mutex);
  if (!shared_->spokenSinceSilence || shared_->link != Shared::Link::Connected) {
    return;
  }
  // What has not reached the service yet is dropped here; a blank interrupting message
  // cancels what has.
  shared_->handled += shared_->queue.size();
  shared_->queue.clear();
  shared_->queue.push_back({std::string(), true, false});
  ++shared_->said;
  shared_->spokenSinceSilence = false;
  shared_->wake.notify_all();
}

void SpeechDispatcherRoute::CancelAll(std::chrono::milliseconds limit) {
  std::unique_lock lock(shared_->mutex);
  if (shared_->link != Shared::Link::Connected || shared_->HungLocked()) {
    return;
  }
  shared_->queue.push_back({std::string(), true, true});
  const std::uint64_t mine = ++shared_->said;
  shared_->spokenSinceSilence = false;
  shared_->wake.notify_all();
  shared_->changed.wait_for(lock, limit, [this, mine] {
    return shared_->handled >= mine || shared_->link != Shared::Link::Connected;
  });
}

bool SpeechDispatcherRoute::Reachable() {
  std::unique_lock lock(shared_->mutex);
  shared_->SettleLocked(lock);
  return shared_->link == Shared::Link::Connected && !shared_->HungLocked();
}

std::string SpeechDispatcherRoute::Problem() {
  std::unique_lock lock(shared_->mutex);
  shared_->SettleLocked(lock);
  if (shared_->link == Shared::Link::Unreachable) {
    return "The speech service speech-dispatcher cannot be reached: " + shared_->problem + ".";
  }
  if (shared_->HungLocked()) {
    return "The speech service speech-dispatcher has stopped answering.";
  }
  return {};
}

std::string SpeechDispatcherRoute::SettingsProblem() {
  std::unique_lock lock(shared_->mutex);
  shared_->SettleLocked(lock);
  return shared_->settingsProblem;
}

bool SpeechDispatcherRoute::WaitUntilSent(std::chrono::milliseconds limit) {
  std::unique_lock lock(shared_->mutex);
  return shared_->changed.wait_for(lock, limit, [this] {
    return shared_->link == Shared::Link::Unreachable ||
           (shared_->link == Shared::Link::Connected && shared_->handled == shared_->said);
  });
}

}  // namespace orvanta::speech
