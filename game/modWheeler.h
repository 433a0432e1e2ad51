// modWheeler.h: the wheel of 24 slots and the random draw of one slot.
#pragma once

#include <cstdint>

#include "base/RandomSource.h"

namespace orvanta {

// One slot of the wheel.
struct WheelSlot {
  std::int16_t Amount = 0;     // dollars per occurrence of a consonant called on this spin
  bool LoseTurn = false;       // the spin loses the turn
  bool Bankrupt = false;       // the spin empties the player's money
  bool FreeSpinToken = false;  // a letter found after this spin earns a free spin token

  friend bool operator==(const WheelSlot&, const WheelSlot&) = default;
};

inline constexpr int kWheelSlots = 24;

// The slot `slot` (1..24) of wheel 1; the empty slot outside that range.
WheelSlot WheelOneSlot(int slot);

// Draws a slot of wheel `WheelNumber`, reseeding the generator from the clock first. Wheel 0 is
// the default wheel and is rewritten to 1; any wheel but 1 gives the empty slot.
WheelSlot GetWheelSlot(int& WheelNumber, RandomSource& random, Clock& clock);

}  // namespace orvanta
