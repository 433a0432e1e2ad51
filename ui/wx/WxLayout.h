// WxLayout.h: the arithmetic behind the wx back end that needs no display: twips to pixels,
// wx key codes to the game's virtual key codes, and the fonts that stand in for the layouts'
// Windows faces.
#pragma once

#include <optional>
#include <string_view>

#include "ui/Control.h"

namespace orvanta::ui::wx {

// A rectangle in screen pixels.
struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// 1440 twips make an inch; at 96 dots per inch a pixel is 15 twips. Edges are rounded, not
// sizes, so controls that touch in twips still touch on the screen.
int TwipsToPixels(int twips, double dotsPerInch);
PixelRect ScaleTwips(const Twips& position, double dotsPerInch);

// The Windows virtual key code of a wx key code as seen on a key release: letters give the
// upper-case code whatever Shift or Caps Lock, digits 48..57, F1..F12 112..123. Keys the game
// has no code for give nothing.
std::optional<int> VirtualKeyFromWx(int wxKeyCode);

enum class FontFamily { Dialog, Monospaced };

struct FontChoice {
  FontFamily family = FontFamily::Dialog;
  double points = 8.25;
  bool bold = false;
};

// The layouts name Windows faces ("MS Sans Serif", "Tahoma", "Courier New"). Proportional
// faces become the desktop's dialog font, fixed-pitch ones (or a monospaced control) its
// monospaced family, at the layout's size and weight.
FontChoice ChooseFont(const std::optional<Font>& own, const Font& windowDefault, bool monospaced);
bool IsFixedPitchFace(std::string_view face);

}  // namespace orvanta::ui::wx
