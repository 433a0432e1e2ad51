// WxLayout.h: the arithmetic behind the wx back end that needs no display: wx key codes to the
// game's virtual key codes, and the fonts that stand in for the layouts' Windows faces. Twips
// become pixels through ui/Twips.h.
#pragma once

#include <optional>
#include <string_view>

#include "ui/Control.h"

namespace orvanta::ui::wx {

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
