// Win32Toolkit.cpp: the game's windows on the Windows desktop.
//
// How it fits together:
//  - Each loaded window is a NativeWindow: real controls mirrored from the window logic.
//  - The game owns the loop: DoEvents and WaitForEvent turn the thread's message queue.
//  - Every key message for a control or a window of the game passes through Key first (the
//    controls are subclassed), so the window's key handler sees every key release whichever
//    control has the focus. A release counts only when its key went down in the same window:
//    the key that closed a message box, or was pressed in another window, is not a command.
//  - While a modal box runs its own loop, keys that were already queued for the game's
//    windows are held and posted again once it closes: none is lost, none runs under the box.
//  - Handlers run through the EventGate: whatever they throw (ending the program is an
//    exception) stops at the window procedure and is rethrown once the loop is back in the
//    game, never through Windows' own frames.
#include "ui/win32/Win32Toolkit.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <exception>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "base/windows/WideText.h"
#include "ui/AppInfo.h"
#include "ui/EventGate.h"
#include "ui/win32/InputDialog.h"
#include "ui/win32/NativeWindow.h"

namespace orvanta::ui {

namespace {

using win32::NativeWindow;

ShiftState ShiftNow() {
  return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0};
}

bool IsKeyDown(UINT message) {
  return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

class Win32Toolkit final : public Toolkit, public NativeWindow::Events {
 public:
  Win32Toolkit() : gate_([this] { CloseModal(); }) {}
  ~Win32Toolkit() override = default;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  void Load(Window& window) override;
  void Show(Window& window) override;
  void Unload(Window& window) override;
  void Repaint(Window& window) override;
  void DoEvents() override;
  void WaitForEvent() override;
  MsgResult MsgBox(std::string_view text, std::string_view title, MsgButtons buttons,
                   MsgIcon icon) override;
  std::string InputBox(std::string_view prompt, std::string_view title) override;
  void OnKeyPressed(const std::function<void(bool controlAlone)>& handler) override {
    keyPressed_ = handler;
  }

 private:
  // A key message that reached a game window while a modal box ran its own loop.
  struct HeldKey {
    HWND target;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };

  // While one exists, a modal box is open: the other windows are disabled and keys are held.
  class Modal {
   public:
    explicit Modal(Win32Toolkit& toolkit, HWND owner);
    ~Modal();
    Modal(const Modal&) = delete;
    Modal& operator=(const Modal&) = delete;

   private:
    Win32Toolkit& toolkit_;
    std::vector<HWND> disabled_;
  };

  // NativeWindow::Events: what the windows report.
  void Clicked(NativeWindow& window, const Control& button) override;
  void MenuChosen(NativeWindow& window, std::string_view item) override;
  void CloseRequested(NativeWindow& window) override;
  bool Key(NativeWindow& window, HWND target, UINT message, WPARAM wParam, LPARAM lParam) override;

  void RunHandler(NativeWindow& window, const std::function<void(Window&)>& handler);
  void Dispatch(MSG& message);
  void CloseModal();
  HWND ParentForBox() const;
  NativeWindow* Find(const Window& window) const;
  bool IsOurs(HWND handle) const;

  EventGate gate_;
  std::vector<std::unique_ptr<NativeWindow>> windows_;
  std::vector<HWND> running_;  // windows whose handlers are running, innermost last
  int modal_ = 0;
  std::vector<HeldKey> heldKeys_;
  win32::InputDialog* openInput_ = nullptr;
  std::function<void(bool controlAlone)> keyPressed_;
};

// ---------------------------------------------------------------------------------------
// Windows

void Win32Toolkit::Load(Window& window) {
  if (Find(window) == nullptr)
    windows_.push_back(std::make_unique<NativeWindow>(window, *this));
}

void Win32Toolkit::Show(Window& window) {
  if (NativeWindow* native = Find(window); native != nullptr)
    native->Show();
}

void Win32Toolkit::Unload(Window& window) {
  const auto place = std::find_if(windows_.begin(), windows_.end(), [&window](const auto& native) {
    return &native->Logic() == &window;
  });
  if (place == windows_.end())
    return;
  // Out of the list first: the messages of its destruction find no window of the game.
  std::unique_ptr<NativeWindow> native = std::move(*place);
  windows_.erase(place);
  if (GetForegroundWindow() == native->Handle() && !windows_.empty()) {
    // Windows would give the foreground to another program, and the game's next window (the
    // main window after the splash) could then not take the keyboard: it stays with the game.
    const auto shown = std::find_if(windows_.begin(), windows_.end(), [](const auto& other) {
      return IsWindowVisible(other->Handle()) != FALSE;
    });
    SetForegroundWindow((shown != windows_.end() ? *shown : windows_.front())->Handle());
  }
}

void Win32Toolkit::Repaint(Window& window) {
  if (NativeWindow* native = Find(window); native != nullptr)
    native->Repaint();
}

NativeWindow* Win32Toolkit::Find(const Window& window) const {
  for (const auto& native : windows_) {
    if (&native->Logic() == &window)
      return native.get();
  }
  return nullptr;
}

bool Win32Toolkit::IsOurs(HWND handle) const {
  return std::any_of(windows_.begin(), windows_.end(),
                     [handle](const auto& native) { return native->Handle() == handle; });
}

// ---------------------------------------------------------------------------------------
// Events

void Win32Toolkit::RunHandler(NativeWindow& window, const std::function<void(Window&)>& handler) {
  if (!gate_.Admit([] {}))
    return;  // the program has ended: no further handler runs
  Window& logic = window.Logic();
  running_.push_back(window.Handle());
  gate_.Run([&handler, &logic] { handler(logic); });
  running_.pop_back();
}

void Win32Toolkit::Clicked(NativeWindow& window, const Control& button) {
  // A disabled or hidden button never clicks, whatever reached the control.
  if (!button.Enabled() || !window.Logic().Shown(button))
    return;
  RunHandler(window, [name = button.Name()](Window& logic) { logic.ButtonClicked(name); });
}

void Win32Toolkit::MenuChosen(NativeWindow& window, std::string_view item) {
  RunHandler(window, [name = std::string(item)](Window& logic) { logic.MenuChosen(name); });
}

void Win32Toolkit::CloseRequested(NativeWindow& window) {
  RunHandler(window, [](Window& logic) { logic.CloseRequested(); });
}

bool Win32Toolkit::Key(NativeWindow& window, HWND target, UINT message, WPARAM wParam,
                       LPARAM lParam) {
  if (modal_ > 0) {
    heldKeys_.push_back({target, message, wParam, lParam});
    return false;
  }
  const auto key = static_cast<std::size_t>(wParam & 0xFF);
  std::array<bool, 256>& down = window.KeysDown();
  if (IsKeyDown(message)) {
    down[key] = true;
    const ShiftState shift = ShiftNow();
    if (message == WM_KEYDOWN && key == VK_TAB && !shift.ctrl && !shift.alt) {
      window.MoveFocus(shift.shift);
      return false;
    }
    if (message == WM_KEYDOWN && key == VK_RETURN && !shift.Any()) {
      // Enter presses the focused button, else the default one; a held Enter presses once.
      const bool repeated = (lParam & (1L << 30)) != 0;
      if (const Control* button = window.ButtonForEnter(); button != nullptr && !repeated)
        Clicked(window, *button);
      return false;
    }
    return true;
  }
  if (!std::exchange(down[key], false))
    return true;  // it went down elsewhere (in a message box, a menu, another window)
  const ShiftState shift = ShiftNow();
  RunHandler(window,
             [code = static_cast<int>(key), shift](Window& logic) { logic.KeyUp(code, shift); });
  return !gate_.Pending();
}

// ---------------------------------------------------------------------------------------
// The loop

void Win32Toolkit::Dispatch(MSG& message) {
  // Every key pressed in the game's windows, before it does anything (the speech object stops
  // the game's own voice on Ctrl alone).
  if (IsKeyDown(message.message) && keyPressed_)
    keyPressed_((message.wParam & 0xFF) == VK_CONTROL);
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Win32Toolkit::DoEvents() {
  gate_.RethrowPending();
  gate_.RunDeferred();
  MSG message;
  while (!gate_.Pending() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE)
    Dispatch(message);
  gate_.RethrowPending();
}

void Win32Toolkit::WaitForEvent() {
  gate_.RethrowPending();
  const std::uint64_t before = gate_.Handled();
  gate_.RunDeferred();
  MSG message;
  while (gate_.Handled() == before && !gate_.Pending()) {
    // Sleeps until the thread has a message.
    if (GetMessageW(&message, nullptr, 0, 0) <= 0)
      break;
    Dispatch(message);
  }
  DoEvents();
}

// ---------------------------------------------------------------------------------------
// Modal boxes

Win32Toolkit::Modal::Modal(Win32Toolkit& toolkit, HWND owner) : toolkit_(toolkit) {
  // Modal for the whole game, as its players know message boxes: no other window of it
  // takes clicks or keys until the box is closed.
  for (const auto& native : toolkit_.windows_) {
    const HWND handle = native->Handle();
    if (handle != owner && IsWindowVisible(handle) != FALSE && IsWindowEnabled(handle) != FALSE) {
      EnableWindow(handle, FALSE);
      disabled_.push_back(handle);
    }
  }
  ++toolkit_.modal_;
}

Win32Toolkit::Modal::~Modal() {
  --toolkit_.modal_;
  for (HWND handle : disabled_) {
    if (IsWindow(handle) != FALSE)
      EnableWindow(handle, TRUE);
  }
  if (toolkit_.modal_ == 0) {
    // Keys typed before the box appeared go on to the game's windows, in their order.
    for (const HeldKey& key : std::exchange(toolkit_.heldKeys_, {})) {
      if (IsWindow(key.target) != FALSE)
        PostMessageW(key.target, key.message, key.wParam, key.lParam);
    }
  }
}

void Win32Toolkit::CloseModal() {
  if (openInput_ != nullptr)
    openInput_->Close();
}

HWND Win32Toolkit::ParentForBox() const {
  for (auto handle = running_.rbegin(); handle != running_.rend(); ++handle) {
    if (IsOurs(*handle) && IsWindowVisible(*handle) != FALSE)
      return *handle;
  }
  if (const HWND active = GetActiveWindow(); active != nullptr && IsOurs(active))
    return active;
  for (auto native = windows_.rbegin(); native != windows_.rend(); ++native) {
    if (IsWindowVisible((*native)->Handle()) != FALSE)
      return (*native)->Handle();
  }
  return nullptr;
}

MsgResult Win32Toolkit::MsgBox(std::string_view text, std::string_view title, MsgButtons buttons,
                               MsgIcon icon) {
  gate_.RethrowPending();
  UINT style = buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case MsgIcon::Information:
      style |= MB_ICONINFORMATION;
      break;
    case MsgIcon::Question:
      style |= MB_ICONQUESTION;
      break;
    case MsgIcon::Critical:
      style |= MB_ICONERROR;
      break;
    case MsgIcon::None:
      break;
  }
  const HWND owner = ParentForBox();
  if (owner == nullptr)
    style |= MB_TASKMODAL | MB_SETFOREGROUND;
  int answer = 0;
  {
    Modal modal(*this, owner);
    answer = MessageBoxW(owner, text::WideFromUtf8(text).c_str(),
                         text::WideFromUtf8(title.empty() ? kProgramTitle : title).c_str(), style);
  }
  gate_.RethrowPending();
  if (answer == IDYES)
    return MsgResult::Yes;
  if (answer == IDNO)
    return MsgResult::No;
  return MsgResult::OK;
}

std::string Win32Toolkit::InputBox(std::string_view prompt, std::string_view title) {
  gate_.RethrowPending();
  win32::InputDialog dialog{std::string(prompt),
                            std::string(title.empty() ? kProgramTitle : title)};
  std::string typed;
  {
    const HWND owner = ParentForBox();
    Modal modal(*this, owner);
    openInput_ = &dialog;
    typed = dialog.Run(owner);
    openInput_ = nullptr;
  }
  gate_.RethrowPending();
  return typed;
}

// The first shown window of this thread, for EnumThreadWindows.
BOOL CALLBACK FindShown(HWND window, LPARAM found) {
  if (IsWindowVisible(window) == FALSE)
    return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

}  // namespace

HWND ActiveGameWindow::ActiveWindow() {
  if (const HWND active = GetActiveWindow(); active != nullptr)
    return active;  // the splash, the main window or one of the game's boxes
  // The player is in another program: the game's shown window still is where it speaks from.
  HWND shown = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindShown, reinterpret_cast<LPARAM>(&shown));
  return shown;
}

std::unique_ptr<Toolkit> MakeWin32Toolkit(std::string& error) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  if (!NativeWindow::RegisterClass()) {
    error = "Orvanta cannot open its window: Windows refused its window class (error " +
            std::to_string(GetLastError()) + ").";
    return nullptr;
  }
  return std::make_unique<Win32Toolkit>();
}

}  // namespace orvanta::ui
