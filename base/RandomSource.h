// RandomSource.h: the game's dice. Every draw (the puzzle file, the puzzle, the wheel slot) is
// preceded by a reseed from the clock, as the game has always done; tests and script mode put
// queued values behind the same interface.
#pragma once

#include <cstdint>
#include <deque>
#include <random>

namespace orvanta {

// A clock for seeding: a high-resolution tick count, so two quick draws get different seeds.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint64_t Ticks() = 0;
};

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // Reseeds the generator.
  virtual void Randomize(std::uint64_t seed) = 0;
  // A uniform value r with 0 <= r < 1.
  virtual double Rnd() = 0;
};

// The real clock: nanoseconds of the steady clock.
class SteadyClock final : public Clock {
 public:
  std::uint64_t Ticks() override;
};

// The real generator, a 64-bit Mersenne twister.
class MersenneRandom final : public RandomSource {
 public:
  void Randomize(std::uint64_t seed) override;
  double Rnd() override;

 private:
  std::mt19937_64 engine_{};
};

// Values queued by a test or a script come out first, in order; then the real generator.
class QueuedRandom final : public RandomSource {
 public:
  void Queue(double value) { queued_.push_back(value); }
  void Randomize(std::uint64_t seed) override { fallback_.Randomize(seed); }
  double Rnd() override;

 private:
  std::deque<double> queued_;
  MersenneRandom fallback_;
};

}  // namespace orvanta
