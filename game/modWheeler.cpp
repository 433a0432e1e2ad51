#include "game/modWheeler.h"

#include <array>
#include <cmath>

namespace orvanta {
namespace {

// Wheel 1, slot by slot: amounts from 200 to 2500, two of them with a free spin token, then
// Lose a Turn and Bankrupt.
constexpr std::array<WheelSlot, kWheelSlots> kWheelOne = {{
    {200, false, false, false},  {200, false, false, false}, {200, false, false, false},
    {300, false, false, false},  {300, false, false, false}, {300, false, false, false},
    {300, false, false, true},   {400, false, false, false}, {400, false, false, false},
    {450, false, false, false},  {500, false, false, false}, {500, false, false, false},
    {550, false, false, false},  {600, false, false, false}, {600, false, false, false},
    {650, false, false, false},  {700, false, false, false}, {700, false, false, false},
    {700, false, false, true},   {800, false, false, false}, {900, false, false, false},
    {2500, false, false, false}, {0, true, false, false},    {0, false, true, false},
}};

}  // namespace

WheelSlot WheelOneSlot(int slot) {
  if (slot < 1 || slot > kWheelSlots) {
    return {};
  }
  return kWheelOne[static_cast<std::size_t>(slot - 1)];
}

WheelSlot GetWheelSlot(int& WheelNumber, RandomSource& random, Clock& clock) {
  WheelSlot result;
  random.Randomize(clock.Ticks());
  if (WheelNumber == 0) {
    WheelNumber = 1;
  }
  if (WheelNumber == 1) {
    // The draw is made in single precision, as the wheel always has been.
    const auto r = static_cast<float>(random.Rnd());
    const auto slot = static_cast<int>(std::floor(r * 24.0F)) + 1;
    result = WheelOneSlot(slot);
  }
  return result;
}

}  // namespace orvanta
