// NotificationRoute.h: the screen-reader route through a screen reader that presents the game's
// notifications itself (Orca on Linux): in the player's voice and settings, on the braille
// display and in the reader's notification history. Without such a reader, or while none of
// the game's windows is active, a sentence goes the direct way (the speech service), and a
// sentence no way took is said in the game's own voice, for that sentence alone.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "speech/SentenceBatch.h"
#include "speech/SpeechRoutes.h"

namespace orvanta::speech {

// Whether the screen reader that presents notifications is running now.
class ScreenReaderWatch {
 public:
  virtual ~ScreenReaderWatch() = default;
  virtual bool Running() = 0;
};

// The game's windows as a place for notifications; the window toolkit implements it.
class NotificationWindow {
 public:
  virtual ~NotificationWindow() = default;
  // Shows `text` as a new notification in the game's active window (or the window of the
  // active box), and removes it a few seconds later; false when none of them is active, or
  // becomes active within a moment (a box that closes hands the keyboard back a little later).
  virtual bool Notify(std::string_view text) = 0;
  // Whether one of the game's windows is on the screen.
  virtual bool Shown() = 0;
  // Calls `due` once, `delay` from now, from the event loop, in place of a call still waiting;
  // at once when the game's window is about to close. An empty `due` cancels the waiting one.
  virtual void Schedule(std::chrono::milliseconds delay, std::function<void()> due) = 0;
  // Turns the event loop, answering the screen reader and running no handler of the game,
  // until `done` or `limit`.
  virtual void AnswerUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) = 0;
};

// The speech service: the direct way, which can also cut off everyone's speech.
class DirectSpeech : public ScreenReaderRoute {
 public:
  // Cuts off all speech of every client, the screen reader's included; waits at most `limit`
  // for the service to confirm.
  virtual void CancelAll(std::chrono::milliseconds limit) = 0;
};

class NotificationRoute : public ScreenReaderRoute {
 public:
  // The longest an interrupting sentence waits for the speech service's cancel.
  static constexpr std::chrono::milliseconds kCancelPatience{200};

  // `ownVoice` speaks a sentence neither the screen reader nor the speech service took.
  NotificationRoute(ScreenReaderWatch& reader, DirectSpeech& direct, ScreenReaderRoute& ownVoice);
  ~NotificationRoute() override;
  NotificationRoute(const NotificationRoute&) = delete;
  NotificationRoute& operator=(const NotificationRoute&) = delete;

  // The game's windows, once they exist; null: none (every sentence goes the direct way).
  void UseWindow(NotificationWindow* window);

  // Always reaches the player one way or another (or drops the sentence when no way is left),
  // so the speech object stays on this route and the next sentence tries every way again.
  bool SayString(std::string_view text, bool interrupt) override;
  // Drops the sentences not shown yet and silences the direct ways; the screen reader stops
  // its own speech at a key by itself.
  void Silence() override;

  // While the screen reader presents the game's sentences, turns the event loop until `done`
  // or `limit` (a sound playing to its end) and answers true; false, at once, otherwise.
  bool AnswerUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

 private:
  bool Presenting();
  void ShowHeld();
  void SayDirectly(std::string_view text, bool interrupt);

  ScreenReaderWatch& reader_;
  DirectSpeech& direct_;
  ScreenReaderRoute& ownVoice_;
  NotificationWindow* window_ = nullptr;
  SentenceBatch held_;  // sentences waiting to be shown as one notification
};

}  // namespace orvanta::speech
