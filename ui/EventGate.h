// EventGate.h: the way from a native event loop (GTK, Win32) into the game's handlers. A
// handler runs to its end inside the native callback; whatever it throws (ending the program
// is an exception) is caught there, never unwinds through the toolkit's C frames, and is
// rethrown by the toolkit call that turned the loop, once control is back in the game.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <utility>
#include <vector>

namespace orvanta::ui {

class EventGate {
 public:
  // `closeModal` ends every modal box or loop that is running, so that the toolkit call that
  // turned the loop returns once the program has ended.
  explicit EventGate(std::function<void()> closeModal) : closeModal_(std::move(closeModal)) {}

  // Whether an event may run its handler now. Once the program has ended, no handler runs;
  // while input is held (a repaint turns the loop, which is not a yield), `retry` waits for
  // the next RunDeferred.
  bool Admit(std::function<void()> retry);
  // Runs one handler, counting it; anything it throws ends the program (see End).
  void Run(const std::function<void()>& handler);
  // Ends the program with `error` (the first one is kept) and closes the running modal boxes.
  void End(std::exception_ptr error);

  // Rethrows what a handler threw, once: called by every toolkit call after it turned the loop.
  void RethrowPending();
  // Whether a handler's exception waits to be rethrown: the loop must stop turning.
  bool Pending() const { return pending_ != nullptr; }
  // Handlers run so far: a wait for an event ends when this changes.
  std::uint64_t Handled() const { return handled_; }
  // Runs the handlers held back while input was held.
  void RunDeferred();

  // While one exists, events wait (see Admit).
  class Hold {
   public:
    explicit Hold(EventGate& gate) : gate_(gate) { ++gate_.holds_; }
    ~Hold() { --gate_.holds_; }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    EventGate& gate_;
  };

 private:
  std::function<void()> closeModal_;
  std::vector<std::function<void()>> deferred_;
  std::exception_ptr pending_;
  bool ended_ = false;
  int holds_ = 0;
  std::uint64_t handled_ = 0;
};

}  // namespace orvanta::ui
