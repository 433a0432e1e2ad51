// SoundSynth.h: the instruments of the sound generator (sine partials with envelopes, noise
// shaped by a band-pass filter) and the finishing of every effect: one loudness for all, fades
// at both ends, and the WAV file the game plays (16-bit PCM, mono, 22050 Hz).
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orvanta::sounds {

inline constexpr int kRate = 22050;
inline constexpr double kPi = 3.14159265358979323846;
// Partials above this are left out, so no tone folds back as a harsh alias.
inline constexpr double kHighestPartial = 0.45 * kRate;

inline double Midi(int note) {
  return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}
std::size_t ToSamples(double seconds);
// Raised-cosine ramp from 0 to 1 as x goes from 0 to 1.
double Ramp(double x);

// A fixed-seed noise source (xorshift32): the same claps and clicks on every run.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed) {}
  double Uniform() {  // [0, 1)
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 4294967296.0;
  }
  double Signed() { return 2.0 * Uniform() - 1.0; }  // [-1, 1)

 private:
  std::uint32_t state_;
};

// A two-pole band-pass filter (constant peak gain), for shaping noise.
class BandPass {
 public:
  BandPass(double centre, double q) {
    const double w = 2.0 * kPi * centre / kRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    b0_ = alpha / a0;
    b2_ = -alpha / a0;
    a1_ = -2.0 * std::cos(w) / a0;
    a2_ = (1.0 - alpha) / a0;
  }
  double Next(double x) {
    const double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
  }

 private:
  double b0_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

class Sound {
 public:
  explicit Sound(double seconds) : samples_(ToSamples(seconds), 0.0) {}
  std::size_t Size() const { return samples_.size(); }
  double Seconds() const { return static_cast<double>(samples_.size()) / kRate; }
  void Add(std::size_t index, double value) {
    if (index < samples_.size()) {
      samples_[index] += value;
    }
  }
  std::vector<double>& Samples() { return samples_; }
  const std::vector<double>& Samples() const { return samples_; }

 private:
  std::vector<double> samples_;
};

// One sine partial of a note: frequency ratio, level, and how fast it dies away (time constant
// in seconds; 0 holds the level for the whole note).
struct Partial {
  double ratio;
  double level;
  double decay;
};

struct Timbre {
  std::vector<Partial> partials;
  double attack;   // seconds to full level
  double release;  // seconds of fade at the note's end
};

// A soft mallet: the warm, round tone of the start-up arpeggio.
Timbre Mallet();
// A small bell: a bright, quickly fading chime, slightly inharmonic like struck metal.
Timbre Bell(double decay);
// A plucked string: bright at the start, mellowing as the upper partials die first.
Timbre Pluck(double decay);
// A mellow electric piano, for the cadence chords.
Timbre Piano();
// A held organ pad under the jingle's melody.
Timbre Pad();
// A round bass.
Timbre Bass();
// An ocarina-like voice for the falling "uh-oh".
Timbre Ocarina();

// Adds a note of `frequency` from `start` lasting `length` seconds (its fade included).
// `vibrato` is the relative depth of a 5.5 Hz pitch wobble.
void AddNote(Sound& sound, double start, double length, double frequency, const Timbre& timbre,
             double gain, double vibrato = 0.0);

double Peak(const std::vector<double>& samples);
// RMS of the sounding part of a sound: 50 ms windows, leaving out those more than 20 dB below
// the loudest, so the gaps of the spin's clicks do not count as quiet.
double Loudness(const std::vector<double>& samples);
// Brings the sound to the common loudness, then fades both ends so nothing clicks.
void Finish(Sound& sound);
std::string EncodeWav(const Sound& sound);
double Decibels(double level);

}  // namespace orvanta::sounds
