#include "base/RandomSource.h"

#include <chrono>

namespace orvanta {

std::uint64_t SteadyClock::Ticks() {
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch();
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

void MersenneRandom::Randomize(std::uint64_t seed) {
  engine_.seed(seed);
}

double MersenneRandom::Rnd() {
  // 53 random bits scaled into [0, 1): never 1.0, whatever the rounding.
  return static_cast<double>(engine_() >> 11) * 0x1.0p-53;
}

double QueuedRandom::Rnd() {
  if (queued_.empty()) {
    return fallback_.Rnd();
  }
  const double value = queued_.front();
  queued_.pop_front();
  return value;
}

}  // namespace orvanta
