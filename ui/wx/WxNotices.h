// WxNotices.h: the game's wx windows as the place where the screen reader (Orca) is shown the
// game's sentences as notifications (speech/NotificationRoute.h). The GTK side is in GtkNative.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

#include "speech/NotificationRoute.h"
#include "ui/EventGate.h"

class wxWindow;

namespace orvanta::ui::wx {

class WxNotices final : public speech::NotificationWindow {
 public:
  // A notification stays this long; Orca flashes it on the braille display for 5 s.
  static constexpr std::chrono::milliseconds kKeep{3000};
  // A frame that closes stays until its last notification is this old (the screen reader
  // reads it meanwhile), but the game waits at most kLingerLimit for it.
  static constexpr std::chrono::milliseconds kReadTime{1000};
  static constexpr std::chrono::milliseconds kLingerLimit{1500};
  // How long a notification waits for one of the game's windows to become active.
  static constexpr std::chrono::milliseconds kActivationPatience{300};

  // `frames` lists the game's frames that are shown; `gate` holds the game's handlers back
  // while the loop turns for the screen reader alone.
  WxNotices(std::function<std::vector<const wxWindow*>()> frames, EventGate& gate);
  ~WxNotices() override;
  WxNotices(const WxNotices&) = delete;
  WxNotices& operator=(const WxNotices&) = delete;

  bool Notify(std::string_view text) override;
  bool Shown() override;
  void Schedule(std::chrono::milliseconds delay, std::function<void()> due) override;
  void AnswerUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override;

  // The frame is about to close: a waiting call runs now, and the frame stays open until the
  // screen reader has had time to read its last notification.
  void BeforeClosing(const wxWindow* frame);

 private:
  using Clock = std::chrono::steady_clock;
  static void Due(void* self);

  std::function<std::vector<const wxWindow*>()> frames_;
  EventGate& gate_;
  std::function<void()> due_;
  unsigned timer_ = 0;
  std::map<const wxWindow*, Clock::time_point> lastShown_;
};

}  // namespace orvanta::ui::wx
