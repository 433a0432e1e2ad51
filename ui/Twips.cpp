// Twips.cpp: twips to pixels.
#include "ui/Twips.h"

#include <cmath>

namespace orvanta::ui {

namespace {

constexpr double kTwipsPerInch = 1440.0;

}  // namespace

int TwipsToPixels(int twips, double dotsPerInch) {
  return static_cast<int>(std::lround(twips * dotsPerInch / kTwipsPerInch));
}

PixelRect ScaleTwips(const Twips& position, double dotsPerInch) {
  const int left = TwipsToPixels(position.left, dotsPerInch);
  const int top = TwipsToPixels(position.top, dotsPerInch);
  const int right = TwipsToPixels(position.left + position.width, dotsPerInch);
  const int bottom = TwipsToPixels(position.top + position.height, dotsPerInch);
  return {left, top, right - left, bottom - top};
}

}  // namespace orvanta::ui
