// Win32Layout.cpp: DPI, positions, control classes, Z order and fonts for the Win32 back end.
#include "ui/win32/Win32Layout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cwchar>
#include <string>
#include <utility>

#include "base/windows/Library.h"

namespace orvanta::ui::win32 {

namespace {

constexpr int kPointsPerInch = 72;

// Calls of newer Windows versions, looked up at run time so the game still starts on older ones.
template <typename Function>
Function FromUser32(const char* name) {
  return Entry<Function>(GetModuleHandleW(L"user32.dll"), name);
}

// The control's position on the window: inside its frames, each frame's offset added.
Twips OnWindow(Window& window, const ControlLayout& layout) {
  Twips position = layout.position;
  for (std::string parent = layout.parent; !parent.empty();) {
    const Control* frame = window.Find(parent);
    if (frame == nullptr)
      break;
    position.left += frame->Layout().position.left;
    position.top += frame->Layout().position.top;
    parent = frame->Layout().parent;
  }
  return position;
}

}  // namespace

UINT DpiOf(HWND window) {
  using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
  if (const auto call = FromUser32<GetDpiForWindowCall>("GetDpiForWindow"); call != nullptr) {
    if (const UINT dpi = call(window); dpi != 0)
      return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

int Scale(int length, UINT dpi, int per) {
  return MulDiv(length, static_cast<int>(dpi), per);
}

SIZE WindowSize(HWND window, const WindowLayout& layout, UINT dpi) {
  RECT frame{0, 0, TwipsToPixels(layout.clientWidth, dpi), TwipsToPixels(layout.clientHeight, dpi)};
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  const BOOL menu = GetMenu(window) != nullptr ? TRUE : FALSE;
  using AdjustCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  if (const auto call = FromUser32<AdjustCall>("AdjustWindowRectExForDpi"); call != nullptr) {
    call(&frame, style, menu, exStyle, dpi);
  } else {
    AdjustWindowRectEx(&frame, style, menu, exStyle);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

POINT CentredOn(const RECT& area, SIZE size) {
  return {area.left + (area.right - area.left - size.cx) / 2,
          area.top + (area.bottom - area.top - size.cy) / 2};
}

bool TakesFocus(const ControlLayout& layout) {
  return layout.kind == ControlKind::TextBox || layout.kind == ControlKind::Button;
}

std::optional<ControlClass> ClassOf(const ControlLayout& layout) {
  ControlClass made;
  switch (layout.kind) {
    case ControlKind::Frame:
      made.name = L"BUTTON";
      made.style |= BS_GROUPBOX;
      break;
    case ControlKind::Label:
      made.style |=
          SS_NOPREFIX | (layout.align == TextAlign::Centre ? SS_CENTER : SS_LEFTNOWORDWRAP);
      break;
    case ControlKind::TextBox:
      made.name = L"EDIT";
      made.exStyle = WS_EX_CLIENTEDGE;
      made.style |=
          (layout.readOnly ? ES_READONLY : 0) | (layout.multiLine ? ES_MULTILINE : ES_AUTOHSCROLL);
      break;
    case ControlKind::Button:
      made.name = L"BUTTON";
      made.style |= layout.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      break;
    case ControlKind::Image:
      made.style |= SS_ICON | SS_REALSIZECONTROL | SS_CENTERIMAGE;
      break;
    case ControlKind::Shape:
      return std::nullopt;
  }
  if (TakesFocus(layout) && layout.tabIndex >= 0)
    made.style |= WS_TABSTOP;
  return made;
}

RECT ToPixels(const Twips& position, UINT dpi) {
  const PixelRect pixels = ScaleTwips(position, dpi);
  return {pixels.left, pixels.top, pixels.left + pixels.width, pixels.top + pixels.height};
}

RECT PlaceOf(Window& window, const Control& control, UINT dpi) {
  const ControlLayout& layout = control.Layout();
  RECT rect = ToPixels(OnWindow(window, layout), dpi);
  if (layout.kind != ControlKind::Label)
    return rect;
  // A label never covers the top edge of a box it overlaps by a pixel of rounding.
  for (const Control* other : window.Controls()) {
    const ControlKind kind = other->Layout().kind;
    if (other == &control || (kind != ControlKind::TextBox && kind != ControlKind::Button))
      continue;
    const RECT below = ToPixels(OnWindow(window, other->Layout()), dpi);
    if (below.top > rect.top && below.top < rect.bottom && below.left < rect.right &&
        below.right > rect.left) {
      rect.bottom = below.top;
    }
  }
  return rect;
}

int LabelWidth(HWND label, std::wstring_view text, int laidOut) {
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  return std::max<int>(laidOut, extent.cx + 2);
}

std::vector<std::size_t> ZOrder(const std::vector<const ControlLayout*>& layouts) {
  std::vector<std::pair<int, std::vector<std::size_t>>> units;
  std::vector<std::size_t> waiting;
  std::vector<std::size_t> frames;
  for (std::size_t i = 0; i < layouts.size(); ++i) {
    const ControlLayout& layout = *layouts[i];
    if (layout.kind == ControlKind::Frame) {
      frames.push_back(i);
      continue;
    }
    waiting.push_back(i);
    if (TakesFocus(layout)) {
      units.emplace_back(layout.tabIndex < 0 ? INT_MAX : layout.tabIndex, std::move(waiting));
      waiting.clear();
    }
  }
  std::stable_sort(units.begin(), units.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::size_t> order;
  for (const auto& unit : units)
    order.insert(order.end(), unit.second.begin(), unit.second.end());
  order.insert(order.end(), waiting.begin(), waiting.end());
  order.insert(order.end(), frames.begin(), frames.end());
  return order;
}

LOGFONTW FontFor(const Font& font, bool monospaced, UINT dpi) {
  LOGFONTW description{};
  // Hundredths of a point, so that 8.25 points keep their quarter.
  description.lfHeight =
      -Scale(static_cast<int>(std::lround(font.points * 100)), dpi, kPointsPerInch * 100);
  description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = CLEARTYPE_QUALITY;
  if (monospaced) {
    description.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcsncpy(description.lfFaceName, L"Courier New", LF_FACESIZE - 1);
  } else {
    description.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) != FALSE)
      wcsncpy(description.lfFaceName, metrics.lfMessageFont.lfFaceName, LF_FACESIZE - 1);
  }
  return description;
}

}  // namespace orvanta::ui::win32
