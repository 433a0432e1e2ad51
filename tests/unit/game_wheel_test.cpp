// The wheel's draw: one of 24 equal slots.
#include <gtest/gtest.h>

#include <utility>

#include "game/modWheeler.h"

namespace orvanta {
namespace {

class WheelDraw : public ::testing::Test {
 protected:
  // One draw of the default wheel with `r` queued.
  WheelSlot Spin(double r) {
    random_.Queue(r);
    int wheel = 0;
    return GetWheelSlot(wheel, random_, clock_);
  }

  QueuedRandom random_;
  SteadyClock clock_;
};

// Int(r * 24) + 1 picks the slot: draws either side of an edge land on neighbouring slots, and
// the lowest and highest draws stay on the wheel. Slots 7 and 19 carry a free spin token.
TEST_F(WheelDraw, EachTwentyFourthOfTheDrawIsOneSlotOfTheWheel) {
  const std::pair<double, WheelSlot> draws[] = {
      {0.0, {200, false, false, false}},      {0.124, {200, false, false, false}},
      {0.126, {300, false, false, false}},    {6.5 / 24, {300, false, false, true}},
      {18.5 / 24, {700, false, false, true}}, {0.874, {900, false, false, false}},
      {0.876, {2500, false, false, false}},   {22.5 / 24, {0, true, false, false}},
      {0.9999, {0, false, true, false}},
  };
  for (const auto& [r, slot] : draws) {
    EXPECT_EQ(Spin(r), slot) << r;
  }
}

}  // namespace
}  // namespace orvanta
