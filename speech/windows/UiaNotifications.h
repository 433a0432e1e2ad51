// UiaNotifications.h: sentences for any screen reader that listens to UI Automation
// notifications (NVDA, Narrator): each is raised from a provider of the game's own on a 1x1 child
// window of the game's active window, which answers WM_GETOBJECT with it. uiautomationcore.dll is
// loaded from the system folder only; UiaRaiseNotificationEvent is found at run time (Windows
// before 10 version 1709 lacks it, and then this route is never taken).
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "base/windows/Library.h"

namespace orvanta::speech {

// The window the game's sentences are presented from: the game's active window (the splash,
// the main window or one of its boxes). The window toolkit supplies it.
class WindowToPresentFrom {
 public:
  virtual ~WindowToPresentFrom() = default;
  // Null while the game shows no window.
  virtual HWND ActiveWindow() = 0;
};

class UiaNotifications {
 public:
  // `activityId` tells the screen reader whose notifications these are.
  UiaNotifications(WindowToPresentFrom* windows, std::wstring activityId);
  ~UiaNotifications();
  UiaNotifications(const UiaNotifications&) = delete;
  UiaNotifications& operator=(const UiaNotifications&) = delete;

  // Whether a notification would reach a screen reader now; else why not, in `why`. It comes
  // from the window active when it is raised: a window about to show speaks before it shows.
  bool Ready(std::wstring& why);
  // Raises one notification: it cuts off the ones before it when `mostRecent`, else queues.
  // False when UI Automation refused it.
  bool Raise(const std::wstring& text, bool mostRecent);
  // Called as the window the notifications come from goes (its game window is closing), while
  // a notification can still be raised from it.
  void OnHostClosing(std::function<void()> handler) { hostClosing_ = std::move(handler); }

 private:
  struct Api;
  class Provider;

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool Load(std::wstring& why);
  bool ScreenReaderRuns();
  bool HostUnder(HWND parent);
  void DestroyHost();

  WindowToPresentFrom* windows_;
  std::wstring activityId_;
  bool loaded_ = false;
  Library library_;
  std::unique_ptr<Api> api_;
  HWND host_ = nullptr;
  Provider* provider_ = nullptr;  // one reference, owned; the host window's provider
  std::function<void()> hostClosing_;
  bool closing_ = false;  // the host is being destroyed: raised from it all the same
  // Whether NVDA's or Narrator's process ran at the last look, and when that was.
  static constexpr std::chrono::seconds kLookAgainAfter{2};
  std::optional<std::chrono::steady_clock::time_point> lastLook_;
  bool readerProcess_ = false;
};

}  // namespace orvanta::speech
