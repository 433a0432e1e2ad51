// The arithmetic of the wx back end that needs no display: twips on the screen and the fonts
// standing in for the layouts' Windows faces. (The keys' codes are checked with real key presses
// in ui_wx_toolkit_test.cpp.)
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <tuple>

#include "ui/wx/WxLayout.h"

namespace orvanta::ui::wx {
namespace {

// Fifteen twips make a pixel at 96 dots per inch; a higher resolution grows the layout.
TEST(TwipsOnTheScreen, TheLayoutScalesWithTheResolutionAndTouchingControlsStillTouch) {
  const std::tuple<int, int, int> cases[] = {{6840, 96, 456}, {3990, 96, 266},  {15, 96, 1},
                                             {0, 96, 0},      {1440, 120, 120}, {1440, 192, 192}};
  for (const auto& [twips, dpi, pixels] : cases) {
    EXPECT_EQ(TwipsToPixels(twips, dpi), pixels) << twips << " at " << dpi;
  }
  const PixelRect board = ScaleTwips({480, 600, 3855, 975}, 96);
  EXPECT_EQ((std::array{board.left, board.top, board.width, board.height}),
            (std::array{32, 40, 257, 65}));
  // 1 twip short of a pixel boundary on each side at 120 dpi: sizes rounded on their own
  // would leave a gap between the two.
  const PixelRect first = ScaleTwips({0, 0, 1357, 100}, 120);
  EXPECT_EQ(first.left + first.width, ScaleTwips({1357, 0, 1357, 100}, 120).left);
}

// The faces the game's layouts use: the board's Courier New becomes the monospaced family, the
// Windows dialog faces the desktop's dialog font, each at its size and weight; a control without
// a font of its own takes the window's.
TEST(Fonts, WindowsFacesBecomeTheDesktopsFamiliesAtTheirSizeAndWeight) {
  const Font dialog{"MS Sans Serif", 8.25, false};
  const struct {
    std::optional<Font> font;
    bool monospacedFlag;
    FontChoice chosen;
  } cases[] = {
      {Font{"Courier New", 9.75, false}, true, {FontFamily::Monospaced, 9.75, false}},
      {Font{"MS Sans Serif", 18, true}, false, {FontFamily::Dialog, 18, true}},
      {Font{"Tahoma", 8.25, false}, false, {FontFamily::Dialog, 8.25, false}},
      {std::nullopt, false, {FontFamily::Dialog, 8.25, false}},
  };
  for (const auto& c : cases) {
    const FontChoice chosen = ChooseFont(c.font, dialog, c.monospacedFlag);
    EXPECT_EQ(chosen.family, c.chosen.family);
    EXPECT_DOUBLE_EQ(chosen.points, c.chosen.points);
    EXPECT_EQ(chosen.bold, c.chosen.bold);
  }
}

}  // namespace
}  // namespace orvanta::ui::wx
