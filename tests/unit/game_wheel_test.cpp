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

// The middle of each twenty-fourth of [0, 1) lands on that slot, and the wheel reads as the
// game's wheel: 200 to 900 dollars, 2500, Lose a Turn and Bankrupt, tokens on 7 and 19.
TEST_F(WheelDraw, EachTwentyFourthOfTheDrawIsOneSlotOfTheWheel) {
  struct Expected {
    int slot;
    WheelSlot result;
  };
  const std::vector<Expected> wheel = {
      {1, {200, false, false, false}},  {2, {200, false, false, false}},
      {3, {200, false, false, false}},  {4, {300, false, false, false}},
      {5, {300, false, false, false}},  {6, {300, false, false, false}},
      {7, {300, false, false, true}},   {8, {400, false, false, false}},
      {9, {400, false, false, false}},  {10, {450, false, false, false}},
      {11, {500, false, false, false}}, {12, {500, false, false, false}},
      {13, {550, false, false, false}}, {14, {600, false, false, false}},
      {15, {600, false, false, false}}, {16, {650, false, false, false}},
      {17, {700, false, false, false}}, {18, {700, false, false, false}},
      {19, {700, false, false, true}},  {20, {800, false, false, false}},
      {21, {900, false, false, false}}, {22, {2500, false, false, false}},
      {23, {0, true, false, false}},    {24, {0, false, true, false}},
  };
  for (const Expected& expected : wheel) {
    EXPECT_EQ(Spin((expected.slot - 0.5) / 24.0), expected.result) << "slot " << expected.slot;
  }
}

TEST_F(WheelDraw, LowestAndHighestDrawsStayOnTheWheel) {
  EXPECT_EQ(Spin(0.0).Amount, 200);
  EXPECT_TRUE(Spin(0.9999).Bankrupt);
}

// Int(r * 24) + 1: the edge between slots 3 and 4 lies at 3/24, between 21 and 22 at 21/24.
TEST_F(WheelDraw, DrawsEitherSideOfAnEdgeLandOnNeighbouringSlots) {
  EXPECT_EQ(Spin(0.124).Amount, 200);
  EXPECT_EQ(Spin(0.126).Amount, 300);
  EXPECT_EQ(Spin(0.874).Amount, 900);
  EXPECT_EQ(Spin(0.876).Amount, 2500);
}

TEST_F(WheelDraw, EveryDrawIsPrecededByAFreshSeedFromTheClock) {
  Spin(0.1);
  Spin(0.2);
  EXPECT_EQ(random_.Log(), "seed 501; draw; seed 502; draw; ");
}

// Reseeding never throws away the values a test or a script has queued.
TEST_F(WheelDraw, QueuedValuesSurviveTheReseeding) {
  random_.Queue((22 - 0.5) / 24.0);
  random_.Queue((24 - 0.5) / 24.0);
  int wheel = 0;
  EXPECT_EQ(GetWheelSlot(wheel, random_, clock_).Amount, 2500);
  EXPECT_TRUE(GetWheelSlot(wheel, random_, clock_).Bankrupt);
}

TEST_F(WheelDraw, WheelZeroIsTheDefaultWheelAndBecomesWheelOne) {
  random_.Queue((10 - 0.5) / 24.0);
  int wheel = 0;
  EXPECT_EQ(GetWheelSlot(wheel, random_, clock_).Amount, 450);
  EXPECT_EQ(wheel, 1);
}

TEST_F(WheelDraw, WheelsOtherThanOneAreEmptyButStillReseed) {
  for (int number : {2, -1, 7}) {
    int wheel = number;
    EXPECT_EQ(GetWheelSlot(wheel, random_, clock_), WheelSlot{}) << "wheel " << number;
    EXPECT_EQ(wheel, number);
  }
  EXPECT_EQ(random_.Log(), "seed 501; seed 502; seed 503; ");
}

// ---------------------------------------------------------------------------------------------

TEST(UsedLetterSort, LettersComeOutInAlphabeticalOrder) {
  EXPECT_EQ(BubbleSort({"T", "A", "E"}), (std::vector<std::string>{"A", "E", "T"}));
}

TEST(UsedLetterSort, WholeAlphabetBackwardsIsSorted) {
  std::vector<std::string> backwards;
  std::vector<std::string> forwards;
  for (char c = 'Z'; c >= 'A'; --c) {
    backwards.push_back(std::string(1, c));
  }
  for (char c = 'A'; c <= 'Z'; ++c) {
    forwards.push_back(std::string(1, c));
  }
  EXPECT_EQ(BubbleSort(backwards), forwards);
}

TEST(UsedLetterSort, SortedLettersAndASingleLetterStayAsTheyAre) {
  EXPECT_EQ(BubbleSort({"A", "E", "T"}), (std::vector<std::string>{"A", "E", "T"}));
  EXPECT_EQ(BubbleSort({"T"}), (std::vector<std::string>{"T"}));
}

// Character codes decide: capitals before small letters, shorter before longer.
TEST(UsedLetterSort, ValuesCompareByCharacterCode) {
  EXPECT_EQ(BubbleSort({"b", "B", "a", "A", "AA"}),
            (std::vector<std::string>{"A", "AA", "B", "a", "b"}));
}

TEST(UsedLetterSort, NothingToSortGivesNoResult) {
  EXPECT_FALSE(BubbleSort({}).has_value());
}

}  // namespace
}  // namespace orvanta
