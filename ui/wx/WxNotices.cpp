// WxNotices.cpp: notifications shown in the active frame, the held call that shows them, and
// the event loop turned for the screen reader alone.
#include "ui/wx/WxNotices.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "ui/wx/GtkNative.h"

namespace orvanta::ui::wx {
namespace {

unsigned Milliseconds(std::chrono::milliseconds duration) {
  return static_cast<unsigned>(std::max<std::chrono::milliseconds::rep>(duration.count(), 0));
}

// How often a wait for something outside the loop (a sound) looks again.
constexpr unsigned kPollMs = 10;

}  // namespace

WxNotices::WxNotices(std::function<std::vector<const wxWindow*>()> frames, EventGate& gate)
    : frames_(std::move(frames)), gate_(gate) {}

WxNotices::~WxNotices() {
  Schedule({}, {});
}

bool WxNotices::Notify(std::string_view text) {
  const wxWindow* frame = gtk::ActiveFrame(frames_());
  if (frame == nullptr) {
    AnswerUntil(
        [this, &frame] {
          frame = gtk::ActiveFrame(frames_());
          return frame != nullptr;
        },
        kActivationPatience);
  }
  if (frame == nullptr || !gtk::ShowNotification(frame, text, Milliseconds(kKeep)))
    return false;
  lastShown_[frame] = Clock::now();
  return true;
}

bool WxNotices::Shown() {
  return !frames_().empty();
}

void WxNotices::Schedule(std::chrono::milliseconds delay, std::function<void()> due) {
  if (timer_ != 0)
    gtk::CancelCall(std::exchange(timer_, 0));
  due_ = std::move(due);
  if (due_)
    timer_ = gtk::CallLater(Milliseconds(delay), &WxNotices::Due, this);
}

void WxNotices::Due(void* self) {
  auto& notices = *static_cast<WxNotices*>(self);
  notices.timer_ = 0;
  const std::function<void()> due = std::exchange(notices.due_, {});
  try {
    if (due)
      due();
  } catch (const std::exception&) {
    // A sentence lost is better than an exception through GTK's C frames.
  }
}

void WxNotices::AnswerUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const EventGate::Hold hold(gate_);
  gtk::TurnLoopUntil(done, Milliseconds(limit), kPollMs);
}

void WxNotices::BeforeClosing(const wxWindow* frame) {
  if (timer_ != 0) {
    gtk::CancelCall(timer_);
    Due(this);
  }
  const auto shown = lastShown_.find(frame);
  if (shown == lastShown_.end())
    return;
  const Clock::time_point readBy = shown->second + kReadTime;
  lastShown_.erase(shown);
  if (Clock::now() < readBy)
    AnswerUntil([readBy] { return Clock::now() >= readBy; }, kLingerLimit);
}

}  // namespace orvanta::ui::wx
