// The wheel's draw (a fresh seed from the clock before every draw, one of 24 equal slots) and the
// sort behind the used-letter board.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/modBubbleSort.h"
#include "game/modWheeler.h"

namespace orvanta {
namespace {

// A clock that moves on by one tick each time it is read.
class TickingClock final : public Clock {
 public:
  std::uint64_t Ticks() override { return ++ticks_; }

 private:
  std::uint64_t ticks_ = 500;
};

// The game's queued generator, with a log of every seed and draw in the order they happen.
class RecordingRandom final : public RandomSource {
 public:
  void Queue(double value) { queued_.Queue(value); }
  void Randomize(std::uint64_t seed) override {
    log_ += "seed " + std::to_string(seed) + "; ";
    queued_.Randomize(seed);
  }
  double Rnd() override {
    log_ += "draw; ";
    return queued_.Rnd();
  }
  const std::string& Log() const { return log_; }

 private:
  QueuedRandom queued_;
  std::string log_;
};

class WheelDraw : public ::testing::Test {
 protected:
  // One draw of the default wheel with `r` queued.
  WheelSlot Spin(double r) {
    random_.Queue(r);
    int wheel = 0;
    return GetWheelSlot(wheel, random_, clock_);
  }

  RecordingRandom random_;
  TickingClock clock_;
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

TEST_F(WheelDraw, EveryDrawIsPrecededByAFreshSeedFromTheClock) {
  Spin(0.1);
  Spin(0.2);
  EXPECT_EQ(random_.Log(), "seed 501; draw; seed 502; draw; ");
}

// ---------------------------------------------------------------------------------------------

// Character codes decide: capitals before small letters, shorter before longer.
TEST(UsedLetterSort, LettersComeOutInCharacterCodeOrder) {
  using Letters = std::vector<std::string>;
  EXPECT_EQ(BubbleSort({"T", "b", "B", "a", "A", "AA", "Z"}),
            (Letters{"A", "AA", "B", "T", "Z", "a", "b"}));
  EXPECT_EQ(BubbleSort({"T"}), Letters{"T"});
  EXPECT_FALSE(BubbleSort({}).has_value());
}

}  // namespace
}  // namespace orvanta
