// The arithmetic of the wx back end that needs no display: twips on the screen, the keys the
// window's key handler is told of, and the fonts standing in for the layouts' Windows faces.
#include <gtest/gtest.h>
#include <wx/defs.h>

#include "ui/wx/WxLayout.h"

namespace orvanta::ui::wx {
namespace {

TEST(TwipsOnTheScreen, FifteenTwipsMakeAPixelAtNinetySixDotsPerInch) {
  EXPECT_EQ(TwipsToPixels(6840, 96), 456);
  EXPECT_EQ(TwipsToPixels(3990, 96), 266);
  EXPECT_EQ(TwipsToPixels(15, 96), 1);
  EXPECT_EQ(TwipsToPixels(0, 96), 0);
}

TEST(TwipsOnTheScreen, AHigherResolutionGrowsTheLayout) {
  EXPECT_EQ(TwipsToPixels(1440, 120), 120);
  EXPECT_EQ(TwipsToPixels(1440, 192), 192);
}

TEST(TwipsOnTheScreen, ControlsThatTouchInTwipsStillTouchInPixels) {
  // 1 twip short of a pixel boundary on each side at 120 dpi: sizes rounded on their own
  // would leave a gap between the two.
  const PixelRect first = ScaleTwips({0, 0, 1357, 100}, 120);
  const PixelRect second = ScaleTwips({1357, 0, 1357, 100}, 120);
  EXPECT_EQ(first.left + first.width, second.left);
}

TEST(TwipsOnTheScreen, TheBoardKeepsItsSize) {
  const PixelRect board = ScaleTwips({480, 600, 3855, 975}, 96);
  EXPECT_EQ(board.left, 32);
  EXPECT_EQ(board.top, 40);
  EXPECT_EQ(board.width, 257);
  EXPECT_EQ(board.height, 65);
}

TEST(KeyReleases, LettersGiveTheUpperCaseCodeWhateverTheCase) {
  EXPECT_EQ(VirtualKeyFromWx('T'), 84);
  EXPECT_EQ(VirtualKeyFromWx('t'), 84);
  EXPECT_EQ(VirtualKeyFromWx('a'), 65);
  EXPECT_EQ(VirtualKeyFromWx('Z'), 90);
}

TEST(KeyReleases, DigitsAndTheirShiftedSymbolsAreTheDigitKey) {
  EXPECT_EQ(VirtualKeyFromWx('0'), 48);
  EXPECT_EQ(VirtualKeyFromWx('9'), 57);
  EXPECT_EQ(VirtualKeyFromWx('!'), 49);
  EXPECT_EQ(VirtualKeyFromWx(')'), 48);
}

TEST(KeyReleases, FunctionKeysAreOneHundredAndTwelveOnwards) {
  EXPECT_EQ(VirtualKeyFromWx(WXK_F1), 112);
  EXPECT_EQ(VirtualKeyFromWx(WXK_F4), 115);
  EXPECT_EQ(VirtualKeyFromWx(WXK_F8), 119);
  EXPECT_EQ(VirtualKeyFromWx(WXK_F12), 123);
}

TEST(KeyReleases, TheKeysTheGameNamesHaveTheirWindowsCodes) {
  EXPECT_EQ(VirtualKeyFromWx(WXK_ESCAPE), 27);
  EXPECT_EQ(VirtualKeyFromWx(WXK_RETURN), 13);
  EXPECT_EQ(VirtualKeyFromWx(WXK_NUMPAD_ENTER), 13);
  EXPECT_EQ(VirtualKeyFromWx(WXK_SPACE), 32);
  EXPECT_EQ(VirtualKeyFromWx(WXK_TAB), 9);
  EXPECT_EQ(VirtualKeyFromWx(WXK_SHIFT), 16);
  EXPECT_EQ(VirtualKeyFromWx(WXK_LEFT), 37);
  EXPECT_EQ(VirtualKeyFromWx(WXK_NUMPAD5), 101);
  EXPECT_EQ(VirtualKeyFromWx(';'), 186);
  EXPECT_EQ(VirtualKeyFromWx('\''), 222);
}

TEST(KeyReleases, KeysWithoutAWindowsCodeAreNotReported) {
  EXPECT_FALSE(VirtualKeyFromWx(WXK_NONE).has_value());
  EXPECT_FALSE(VirtualKeyFromWx(0xE9).has_value());  // e with an acute accent
}

TEST(Fonts, TheBoardsCourierNewBecomesTheMonospacedFamilyAtItsSize) {
  const FontChoice board =
      ChooseFont(Font{"Courier New", 9.75, false}, Font{"MS Sans Serif", 8.25, false}, true);
  EXPECT_EQ(board.family, FontFamily::Monospaced);
  EXPECT_DOUBLE_EQ(board.points, 9.75);
  EXPECT_FALSE(board.bold);
}

TEST(Fonts, AFixedPitchFaceIsMonospacedEvenWithoutTheFlag) {
  EXPECT_EQ(ChooseFont(Font{"courier new", 10, false}, Font{}, false).family,
            FontFamily::Monospaced);
  EXPECT_TRUE(IsFixedPitchFace("Lucida Console"));
  EXPECT_FALSE(IsFixedPitchFace("Tahoma"));
}

TEST(Fonts, WindowsDialogFacesBecomeTheDesktopDialogFontWithTheirWeight) {
  const FontChoice name =
      ChooseFont(Font{"MS Sans Serif", 18, true}, Font{"MS Sans Serif", 8.25, false}, false);
  EXPECT_EQ(name.family, FontFamily::Dialog);
  EXPECT_DOUBLE_EQ(name.points, 18);
  EXPECT_TRUE(name.bold);
}

TEST(Fonts, AControlWithoutItsOwnFontTakesTheWindowsDefault) {
  const FontChoice plain = ChooseFont(std::nullopt, Font{"MS Sans Serif", 8.25, false}, false);
  EXPECT_EQ(plain.family, FontFamily::Dialog);
  EXPECT_DOUBLE_EQ(plain.points, 8.25);
  EXPECT_FALSE(plain.bold);
}

}  // namespace
}  // namespace orvanta::ui::wx
