// Twips.h: the layouts' positions are in twips, as the game's windows were first drawn; each
// window back end turns them into pixels for the screen's resolution with these.
#pragma once

namespace orvanta::ui {

// A position in twips (1/1440 inch; 15 twips make a pixel at 96 dots per inch), within the
// containing frame or the window's client area.
struct Twips {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A rectangle in screen pixels.
struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// 1440 twips make an inch; at 96 dots per inch a pixel is 15 twips. Rounded to the nearest
// pixel, halves away from zero.
int TwipsToPixels(int twips, double dotsPerInch);
// Edges are rounded, not sizes, so controls that touch in twips still touch on the screen.
PixelRect ScaleTwips(const Twips& position, double dotsPerInch);

}  // namespace orvanta::ui
