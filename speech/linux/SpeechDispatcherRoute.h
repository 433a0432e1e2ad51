// SpeechDispatcherRoute.h: the screen-reader route on Linux. The game's announcements go to
// speech-dispatcher, the speech service the desktop screen reader speaks through, at the
// priority "message": they neither cut off the screen reader nor are cut off by it.
//
// A speech service can hang (with no audio device the daemon stops answering), so every
// libspeechd call runs on a worker thread behind a queue, and the game only ever waits a
// bounded time for it.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "speech/NotificationRoute.h"

namespace orvanta::speech {

struct SpeechDispatcherOptions {
  // "unix_socket:/path/to/socket"; empty: libspeechd's own choice (SPEECHD_ADDRESS, or the
  // user's socket).
  std::string address;
  // Let libspeechd start the daemon when none is running.
  bool autospawn = true;
  // The longest the game waits for the service: to connect, or for one call to return.
  std::chrono::milliseconds timeout{2000};
  std::string clientName = "orvanta";
  // The game's speech rate from -100 to 100 and a synthesis voice of the service's own
  // (as `spd-say -L` lists them); unset or empty: the service's defaults.
  std::optional<int> rate{};
  std::string voice{};
};

class SpeechDispatcherRoute : public DirectSpeech {
 public:
  // Starts connecting at once, on the worker.
  explicit SpeechDispatcherRoute(SpeechDispatcherOptions options = {});
  // Lets what was said reach the service, then closes; never waits longer than a second or two.
  ~SpeechDispatcherRoute() override;
  SpeechDispatcherRoute(const SpeechDispatcherRoute&) = delete;
  SpeechDispatcherRoute& operator=(const SpeechDispatcherRoute&) = delete;

  // Queues the text. Interrupt cuts off the game's own speech first (not the screen reader's).
  // False when the service cannot be reached, or has stopped answering.
  bool SayString(std::string_view text, bool interrupt) override;
  // Cuts off the game's speech in progress and drops what it has queued, here and at the
  // service; the screen reader's own speech goes on.
  void Silence() override;
  // Cuts off everyone's speech (CANCEL all), waiting at most `limit` for the service's answer.
  void CancelAll(std::chrono::milliseconds limit) override;

  // Whether the service answers; waits for the first connection at most the timeout.
  bool Reachable();
  // Why the service cannot be reached, for the player; empty while it answers.
  std::string Problem();
  // What the service refused of the rate and voice asked for; empty when all was taken.
  std::string SettingsProblem();
  // Waits until everything said so far has been handed to the service, at most `limit`.
  bool WaitUntilSent(std::chrono::milliseconds limit);

 private:
  struct Shared;
  static void Work(std::shared_ptr<Shared> shared);

  std::shared_ptr<Shared> shared_;
  std::thread worker_;
};

}  // namespace orvanta::speech
