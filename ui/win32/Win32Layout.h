// Win32Layout.h: the arithmetic behind the Win32 back end that needs no message loop: the DPI of
// a window and lengths scaled for it, where each control lies on the window in pixels, the
// window class and styles of each kind of control, the Z order that is also the tab order, and
// the fonts that stand in for the layouts' Windows faces.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "ui/Window.h"

namespace orvanta::ui::win32 {

// The DPI of the monitor the window is on; the screen's where Windows cannot say (before 10).
UINT DpiOf(HWND window);
// `length` in 1/`per` inch, in pixels at `dpi`, rounded.
int Scale(int length, UINT dpi, int per);
// The outer size of `window` (its style and menu bar as they are) around a client area of the
// layout's size, at `dpi`.
SIZE WindowSize(HWND window, const WindowLayout& layout, UINT dpi);
// Where a window of `size` stands when it is centred on `area`.
POINT CentredOn(const RECT& area, SIZE size);

// Text boxes and buttons take the focus; labels, frames, images and shapes do not.
bool TakesFocus(const ControlLayout& layout);

// The window class and styles of the Win32 control that stands for a layout.
struct ControlClass {
  const wchar_t* name = L"STATIC";
  DWORD style = WS_CHILD;
  DWORD exStyle = 0;
};
// Nothing for a shape: an outline drawn on the window itself.
std::optional<ControlClass> ClassOf(const ControlLayout& layout);

// A position in pixels at `dpi`, edges rounded (ui/Twips.h).
RECT ToPixels(const Twips& position, UINT dpi);
// Where `control` lies on the window's client area at `dpi`: its frames' offsets added, and a
// label cut short above the text box or button it overlaps by a pixel of rounding.
RECT PlaceOf(Window& window, const Control& control, UINT dpi);
// The width for a left-aligned label laid out `laidOut` pixels wide that must show all of `text`
// in the label's font: the layouts were drawn for an older, narrower dialog font, so a caption
// that does not fit grows to the right instead of being cut off.
int LabelWidth(HWND label, std::wstring_view text, int laidOut);

// The Z order of the controls, top first, which is also their tab order: each control that takes
// the focus with the labels created just before it, by tab index; then the rest; frames last, so
// that the controls inside them are drawn over them. `layouts` are the controls that have a
// window of their own, in creation order; the answer is their places in `layouts`.
std::vector<std::size_t> ZOrder(const std::vector<const ControlLayout*>& layouts);

// The layouts name the faces of old Windows; the board keeps a monospaced face, everything else
// takes the desktop's own dialog face, at the layout's size and weight for `dpi`.
LOGFONTW FontFor(const Font& font, bool monospaced, UINT dpi);

}  // namespace orvanta::ui::win32
