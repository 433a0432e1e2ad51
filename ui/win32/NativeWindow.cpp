// NativeWindow.cpp: how a window of the game becomes a Win32 window. Its sections: building
// (menus, controls, Z order, DPI); mirroring the controls and keeping the focus; showing and
// painting; messages. The arithmetic of positions, sizes and fonts is in Win32Layout.
//
// Every control is a child of the top-level window itself, frames too: a frame is a group box
// drawn behind the controls that lie inside it, and hiding a frame hides them one by one. The
// order of the children (their Z order) is the tab order, and each label comes right before
// the control after it in the window's creation order, so a screen reader names a text box by
// its label. Positions are in twips, turned into pixels for the DPI of the window's monitor
// and again whenever the window moves to a monitor of another DPI.
#include "ui/win32/NativeWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <utility>

#include "base/windows/WideText.h"
#include "base/windows/WindowClass.h"
#include "ui/AppInfo.h"
#include "ui/win32/Resources.h"
#include "ui/win32/Win32Layout.h"
#include "ui/win32/Win32Text.h"

namespace orvanta::ui::win32 {

namespace {

constexpr const wchar_t* kClassName = L"OrvantaWindow";
constexpr UINT kFirstMenuId = 1000;
constexpr int kFirstControlId = 100;

HICON LoadProgramIcon(int size) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(ORVANTA_ICON),
                                       IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

bool IsKeyMessage(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
         message == WM_SYSKEYUP;
}

}  // namespace

bool NativeWindow::RegisterClass() {
  return RegisterWindowClassOnce(kClassName, Procedure, [](WNDCLASSEXW& windowClass) {
    windowClass.hIcon = LoadProgramIcon(GetSystemMetrics(SM_CXICON));
    windowClass.hIconSm = LoadProgramIcon(GetSystemMetrics(SM_CXSMICON));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_3DFACE + 1));
  });
}

NativeWindow::NativeWindow(Window& window, Events& events) : window_(window), events_(events) {
  const WindowLayout& layout = window.Layout();
  const DWORD style = layout.titleBar ? (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)
                                      : (WS_POPUP | WS_DLGFRAME);
  const DWORD exStyle = WS_EX_CONTROLPARENT | (layout.inTaskbar ? 0 : WS_EX_TOOLWINDOW);
  // The caption names the window for a screen reader even where no title bar shows it.
  const std::wstring title =
      text::WideFromUtf8(layout.caption.empty() ? kProgramTitle : layout.caption);
  CreateWindowExW(exStyle, kClassName, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (handle_ == nullptr) {
    throw std::runtime_error("Windows could not create the window " + layout.name + " (error " +
                             std::to_string(GetLastError()) + ").");
  }
  BuildMenus();
  const std::vector<Control*> controls = window.Controls();
  controls_.resize(controls.size());
  bool built = true;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    controls_[i].control = controls[i];
    BuildControl(controls_[i], kFirstControlId + static_cast<int>(i));
    built = built && (controls_[i].handle != nullptr ||
                      controls_[i].control->Layout().kind == ControlKind::Shape);
  }
  if (!built) {
    const DWORD error = GetLastError();
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
    throw std::runtime_error("Windows could not create the controls of the window " + layout.name +
                             " (error " + std::to_string(error) + ").");
  }
  ApplyTabOrder();
  ApplyDpi(DpiOf(handle_));
  ApplyVisibility();
  for (NativeControl& entry : controls_)
    entry.control->SetListener(this);
}

NativeWindow::~NativeWindow() {
  for (NativeControl& entry : controls_)
    entry.control->SetListener(nullptr);
  // The messages of its destruction no longer reach this object.
  SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
  DestroyWindow(handle_);
}

// ---------------------------------------------------------------------------------------
// Building

void NativeWindow::BuildMenus() {
  const WindowLayout& layout = window_.Layout();
  if (layout.menus.empty())
    return;
  // The window owns its menu bar, and the bar its menus: they go with the window.
  HMENU bar = CreateMenu();
  UINT id = kFirstMenuId;
  for (const MenuLayout& menu : layout.menus) {
    HMENU items = CreatePopupMenu();
    for (const MenuItemLayout& item : menu.items) {
      AppendMenuW(items, MF_STRING, id, text::WideFromUtf8(item.caption).c_str());
      menuItems_.emplace(id, item.name);
      ++id;
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(items),
                text::WideFromUtf8(menu.caption).c_str());
  }
  SetMenu(handle_, bar);
}

void NativeWindow::BuildControl(NativeControl& entry, int id) {
  const Control& control = *entry.control;
  const ControlLayout& layout = control.Layout();
  const std::optional<ControlClass> made = ClassOf(layout);
  if (!made)
    return;  // a shape: an outline drawn on the window itself
  const std::wstring text =
      layout.kind == ControlKind::Image ? L"" : text::WideFromUtf8(control.Text());
  entry.handle = CreateWindowExW(made->exStyle, made->name, text.c_str(), made->style, 0, 0, 0, 0,
                                 handle_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (entry.handle == nullptr)
    return;
  // Every key a control receives passes by the toolkit first (the window's key preview).
  SetWindowSubclass(entry.handle, ControlProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
  entry.shownText = control.Text();
  entry.shownVisible = false;  // shown by ApplyVisibility
  entry.shownEnabled = control.Enabled();
  EnableWindow(entry.handle, entry.shownEnabled ? TRUE : FALSE);
}

void NativeWindow::ApplyTabOrder() {
  std::vector<const ControlLayout*> layouts;
  std::vector<HWND> handles;
  for (const NativeControl& entry : controls_) {
    if (entry.handle != nullptr) {
      layouts.push_back(&entry.control->Layout());
      handles.push_back(entry.handle);
    }
  }
  HWND after = HWND_TOP;
  for (const std::size_t place : ZOrder(layouts)) {
    SetWindowPos(handles[place], after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = handles[place];
  }
}

void NativeWindow::FitLabel(NativeControl& entry) {
  const ControlLayout& layout = entry.control->Layout();
  if (layout.kind != ControlKind::Label || layout.align != TextAlign::Left)
    return;  // only a left-aligned caption grows to the right
  const RECT rect = PlaceOf(window_, *entry.control, dpi_);
  const int width =
      LabelWidth(entry.handle, text::WideFromUtf8(entry.shownText), rect.right - rect.left);
  SetWindowPos(entry.handle, nullptr, 0, 0, width, rect.bottom - rect.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

NativeWindow::FontHandle NativeWindow::MakeFont(const Font& font, bool monospaced) const {
  const LOGFONTW description = FontFor(font, monospaced, dpi_);
  return FontHandle(CreateFontIndirectW(&description));
}

void NativeWindow::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  const WindowLayout& layout = window_.Layout();
  FontHandle windowFont = MakeFont(layout.defaultFont, false);
  for (NativeControl& entry : controls_) {
    if (entry.handle == nullptr)
      continue;
    const ControlLayout& controlLayout = entry.control->Layout();
    const RECT rect = PlaceOf(window_, *entry.control, dpi_);
    SetWindowPos(entry.handle, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (controlLayout.kind == ControlKind::Image) {
      IconHandle picture(LoadProgramIcon(rect.right - rect.left));
      SendMessageW(entry.handle, STM_SETICON, reinterpret_cast<WPARAM>(picture.get()), 0);
      entry.picture = std::move(picture);
      continue;
    }
    FontHandle own;
    if (controlLayout.font || controlLayout.monospaced)
      own = MakeFont(controlLayout.font.value_or(layout.defaultFont), controlLayout.monospaced);
    HFONT font = own ? own.get() : windowFont.get();
    SendMessageW(entry.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    entry.font = std::move(own);
    FitLabel(entry);
  }
  windowFont_ = std::move(windowFont);

  const int big = Scale(32, dpi, USER_DEFAULT_SCREEN_DPI);
  const int small = Scale(16, dpi, USER_DEFAULT_SCREEN_DPI);
  IconHandle bigIcon(LoadProgramIcon(big));
  IconHandle smallIcon(LoadProgramIcon(small));
  SendMessageW(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
  SendMessageW(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
  bigIcon_ = std::move(bigIcon);
  smallIcon_ = std::move(smallIcon);

  const SIZE size = WindowSize(handle_, layout, dpi);
  SetWindowPos(handle_, nullptr, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(handle_, nullptr, TRUE);
}

// ---------------------------------------------------------------------------------------
// Mirroring the controls and keeping the focus

void NativeWindow::ControlChanged(const Control& control) {
  const auto found =
      std::find_if(controls_.begin(), controls_.end(),
                   [&control](const NativeControl& e) { return e.control == &control; });
  if (found == controls_.end())
    return;
  NativeControl& entry = *found;
  if (entry.handle == nullptr) {
    InvalidateRect(handle_, nullptr, TRUE);  // a shape: drawn again as it is now
    return;
  }
  if (control.Text() != entry.shownText && control.Layout().kind != ControlKind::Image) {
    entry.shownText = control.Text();
    SetWindowTextW(entry.handle, text::WideFromUtf8(entry.shownText).c_str());
    FitLabel(entry);
  }
  if (control.Enabled() != entry.shownEnabled) {
    entry.shownEnabled = control.Enabled();
    // Windows drops the focus of a control that is disabled, and keys would then reach no
    // control: the window itself keeps it until the control comes back.
    if (!entry.shownEnabled && GetFocus() == entry.handle)
      Park(entry.handle);
    EnableWindow(entry.handle, entry.shownEnabled ? TRUE : FALSE);
    if (entry.shownEnabled && parkedFrom_ == entry.handle && GetFocus() == handle_) {
      parkedFrom_ = nullptr;
      SetFocus(entry.handle);
    }
  }
  ApplyVisibility();
}

void NativeWindow::ApplyVisibility() {
  const HWND focus = GetFocus();
  bool focusHidden = false;
  bool appeared = false;
  bool changed = false;
  for (NativeControl& entry : controls_) {
    if (entry.handle == nullptr)
      continue;
    const bool visible = window_.Shown(*entry.control);
    if (visible == entry.shownVisible)
      continue;
    entry.shownVisible = visible;
    changed = true;
    if (!visible && focus == entry.handle) {
      focusHidden = true;
      Park(nullptr);
    }
    appeared = appeared || visible;
    ShowWindow(entry.handle, visible ? SW_SHOWNA : SW_HIDE);
  }
  if (!focusHidden && !appeared && !changed)
    return;
  // Group boxes lie behind the controls: everything is drawn again, in order.
  RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  if (focusHidden || appeared)
    FocusFirstIfLost();
}

bool NativeWindow::CanFocus(const NativeControl& entry) const {
  return entry.handle != nullptr && TakesFocus(entry.control->Layout()) &&
         IsWindowVisible(entry.handle) != FALSE && IsWindowEnabled(entry.handle) != FALSE;
}

void NativeWindow::Park(HWND from) {
  parkedFrom_ = from;
  SetFocus(handle_);
}

void NativeWindow::FocusFirstIfLost() {
  if (IsWindowVisible(handle_) == FALSE || GetActiveWindow() != handle_)
    return;  // another window has the keyboard
  if (const HWND focus = GetFocus(); focus != nullptr && focus != handle_) {
    const NativeControl* entry = FindEntry(focus);
    if (entry == nullptr || CanFocus(*entry))
      return;
  }
  const NativeControl* first = nullptr;
  for (const NativeControl& entry : controls_) {
    const int tabIndex = entry.control->Layout().tabIndex;
    if (CanFocus(entry) && tabIndex >= 0 &&
        (first == nullptr || tabIndex < first->control->Layout().tabIndex)) {
      first = &entry;
    }
  }
  if (first != nullptr) {
    parkedFrom_ = nullptr;
    SetFocus(first->handle);
  } else {
    SetFocus(handle_);  // nothing to focus: the window itself still hears the keys
  }
}

void NativeWindow::MoveFocus(bool backwards) {
  HWND focus = GetFocus();
  if (focus != nullptr && IsChild(handle_, focus) == FALSE)
    focus = nullptr;
  if (HWND next = GetNextDlgTabItem(handle_, focus, backwards ? TRUE : FALSE); next != nullptr) {
    parkedFrom_ = nullptr;
    SetFocus(next);
  }
}

const Control* NativeWindow::ButtonForEnter() const {
  const HWND focus = GetFocus();
  const NativeControl* defaultButton = nullptr;
  for (const NativeControl& entry : controls_) {
    if (entry.handle == nullptr || entry.control->Layout().kind != ControlKind::Button)
      continue;
    if (entry.handle == focus)
      return CanFocus(entry) ? entry.control : nullptr;
    if (entry.control->Layout().defaultButton)
      defaultButton = &entry;
  }
  return defaultButton != nullptr && CanFocus(*defaultButton) ? defaultButton->control : nullptr;
}

bool NativeWindow::TakesTyping(HWND focus) const {
  const NativeControl* entry = FindEntry(focus);
  return entry != nullptr && entry->control->Layout().kind == ControlKind::TextBox &&
         !entry->control->Layout().readOnly;
}

NativeWindow::NativeControl* NativeWindow::FindEntry(HWND handle) {
  for (NativeControl& entry : controls_) {
    if (entry.handle != nullptr && entry.handle == handle)
      return &entry;
  }
  return nullptr;
}

const NativeWindow::NativeControl* NativeWindow::FindEntry(HWND handle) const {
  return const_cast<NativeWindow*>(this)->FindEntry(handle);
}

// ---------------------------------------------------------------------------------------
// Showing and painting

void NativeWindow::Show() {
  const WindowLayout& layout = window_.Layout();
  if (IsWindowVisible(handle_) == FALSE) {
    if (layout.centred || !layout.titleBar) {
      MONITORINFO monitor{};
      monitor.cbSize = sizeof(monitor);
      RECT rect{};
      GetWindowRect(handle_, &rect);
      if (GetMonitorInfoW(MonitorFromWindow(handle_, MONITOR_DEFAULTTOPRIMARY), &monitor) !=
          FALSE) {
        const POINT place =
            CentredOn(monitor.rcWork, {rect.right - rect.left, rect.bottom - rect.top});
        SetWindowPos(handle_, nullptr, place.x, place.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
    }
    ShowWindow(handle_, SW_SHOW);
  }
  // A player who cannot see the screen must find the keyboard on the window just shown.
  SetForegroundWindow(handle_);
  UpdateWindow(handle_);
  FocusFirstIfLost();
}

void NativeWindow::Repaint() {
  if (IsWindowVisible(handle_) == FALSE)
    return;
  RedrawWindow(handle_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // Paint messages only: a repaint is not a yield, no input is handled here.
  MSG message;
  for (int i = 0; i < 100 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i)
    DispatchMessageW(&message);
  GdiFlush();
}

void NativeWindow::PaintShapes(HDC dc) const {
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  SetDCPenColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  for (const NativeControl& entry : controls_) {
    const Control& control = *entry.control;
    if (control.Layout().kind != ControlKind::Shape || !control.Visible())
      continue;
    const RECT rect = ToPixels(control.Layout().position, dpi_);
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

// ---------------------------------------------------------------------------------------
// Messages

LRESULT CALLBACK NativeWindow::Procedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* self = static_cast<NativeWindow*>(creation->lpCreateParams);
    self->handle_ = handle;
    SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<NativeWindow*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
  return self != nullptr ? self->Handle(message, wParam, lParam)
                         : DefWindowProcW(handle, message, wParam, lParam);
}

LRESULT CALLBACK NativeWindow::ControlProcedure(HWND handle, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR window) {
  auto* self = reinterpret_cast<NativeWindow*>(window);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(handle, ControlProcedure, 0);
  } else if (IsKeyMessage(message)) {
    // The key's handler may unload the window: then the control is gone too.
    if (!self->events_.Key(*self, handle, message, wParam, lParam) || IsWindow(handle) == FALSE)
      return 0;
  } else if (message == WM_CHAR && wParam >= L' ' && !self->TakesTyping(handle)) {
    return 0;  // letters are commands, not typing: no read-only box beeps at them
  }
  return DefSubclassProc(handle, message, wParam, lParam);
}

// The toolkit's events may unload this window: nothing here touches it after one.
LRESULT NativeWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsKeyMessage(message)) {
    const HWND handle = handle_;
    if (!events_.Key(*this, handle, message, wParam, lParam) || IsWindow(handle) == FALSE)
      return 0;
    return DefWindowProcW(handle, message, wParam, lParam);
  }
  switch (message) {
    case WM_COMMAND: {
      const auto sender = reinterpret_cast<HWND>(lParam);
      if (sender == nullptr && HIWORD(wParam) == 0) {
        if (const auto item = menuItems_.find(LOWORD(wParam)); item != menuItems_.end()) {
          const std::string name = item->second;
          events_.MenuChosen(*this, name);
        }
        return 0;
      }
      NativeControl* entry = FindEntry(sender);
      if (entry == nullptr)
        return 0;
      if (HIWORD(wParam) == BN_CLICKED && entry->control->Layout().kind == ControlKind::Button) {
        events_.Clicked(*this, *entry->control);
      } else if (HIWORD(wParam) == EN_CHANGE && TakesTyping(sender)) {
        // What the player types is the control's text at once.
        entry->shownText = WindowText(sender);
        entry->control->SetText(entry->shownText);
      }
      return 0;
    }
    case WM_CLOSE:
      events_.CloseRequested(*this);
      return 0;  // the window logic unloads the window itself
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(handle_, &paint);
      PaintShapes(dc);
      EndPaint(handle_, &paint);
      return 0;
    }
    case WM_ACTIVATE:
      // The control that had the focus gets it back when the player returns to the window.
      if (LOWORD(wParam) == WA_INACTIVE) {
        // Keys still down now are released in another window: their releases are not ours.
        keysDown_.fill(false);
        const HWND focus = GetFocus();
        savedFocus_ = focus != nullptr && IsChild(handle_, focus) != FALSE ? focus : nullptr;
      } else if (const NativeControl* saved = FindEntry(savedFocus_);
                 saved != nullptr && CanFocus(*saved)) {
        SetFocus(savedFocus_);
      } else {
        SetFocus(handle_);
        FocusFirstIfLost();
      }
      return 0;
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wParam));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(handle_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(handle_, message, wParam, lParam);
}

}  // namespace orvanta::ui::win32
