#include "tools/SoundSynth.h"

#include <algorithm>

namespace orvanta::sounds {
namespace {

// Loudness every effect is brought to (RMS of its sounding part), and the ceiling of its peak.
constexpr double kTargetLoudness = 0.125;  // about -18 dBFS
constexpr double kPeakCeiling = 0.89;      // about -1 dBFS
constexpr double kFadeIn = 0.004;
constexpr double kFadeOut = 0.025;

// Peaks above the knee are rounded off smoothly towards the ceiling instead of being cut.
double SoftLimit(double x) {
  constexpr double kKnee = 0.6;
  const double magnitude = std::abs(x);
  if (magnitude <= kKnee) {
    return x;
  }
  const double room = kPeakCeiling - kKnee;
  return std::copysign(kKnee + room * std::tanh((magnitude - kKnee) / room), x);
}

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFFU));
  }
}

}  // namespace

std::size_t ToSamples(double seconds) {
  return static_cast<std::size_t>(std::lround(std::max(0.0, seconds) * kRate));
}

double Ramp(double x) {
  x = std::clamp(x, 0.0, 1.0);
  return 0.5 - 0.5 * std::cos(kPi * x);
}

Timbre Mallet() {
  return {{{1.0, 1.0, 0.55}, {2.0, 0.35, 0.25}, {3.0, 0.12, 0.12}, {4.0, 0.05, 0.06}}, 0.003, 0.04};
}

Timbre Bell(double decay) {
  return {{{1.0, 1.0, decay},
           {2.0, 0.45, decay * 0.6},
           {3.0, 0.2, decay * 0.4},
           {4.17, 0.12, decay * 0.25},
           {5.43, 0.05, decay * 0.15}},
          0.002,
          0.03};
}

Timbre Pluck(double decay) {
  Timbre t{{}, 0.002, 0.04};
  for (int n = 1; n <= 8; ++n) {
    const double nd = static_cast<double>(n);
    t.partials.push_back({nd, 1.0 / nd, decay / std::pow(nd, 0.8)});
  }
  return t;
}

Timbre Piano() {
  return {{{1.0, 1.0, 1.2}, {2.0, 0.4, 0.5}, {3.0, 0.15, 0.3}, {4.0, 0.06, 0.15}}, 0.008, 0.08};
}

Timbre Pad() {
  return {{{1.0, 1.0, 0.0}, {2.0, 0.3, 0.0}, {3.0, 0.12, 0.0}}, 0.04, 0.1};
}

Timbre Bass() {
  return {{{1.0, 1.0, 0.7}, {2.0, 0.45, 0.35}, {3.0, 0.2, 0.2}}, 0.005, 0.06};
}

Timbre Ocarina() {
  return {{{1.0, 1.0, 0.0}, {2.0, 0.12, 0.0}, {3.0, 0.18, 0.0}}, 0.02, 0.06};
}

void AddNote(Sound& sound, double start, double length, double frequency, const Timbre& timbre,
             double gain, double vibrato) {
  const std::size_t first = ToSamples(start);
  const std::size_t count = ToSamples(length);
  for (const Partial& partial : timbre.partials) {
    const double f = frequency * partial.ratio;
    if (f * (1.0 + vibrato) >= kHighestPartial) {
      continue;
    }
    double phase = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
      const double t = static_cast<double>(i) / kRate;
      double level = partial.level;
      if (partial.decay > 0.0) {
        level *= std::exp(-t / partial.decay);
      }
      const double envelope = Ramp(t / timbre.attack) * Ramp((length - t) / timbre.release);
      sound.Add(first + i, gain * level * envelope * std::sin(phase));
      phase += 2.0 * kPi * f * (1.0 + vibrato * std::sin(2.0 * kPi * 5.5 * t)) / kRate;
    }
  }
}

// --- Loudness, fades and the WAV file ---------------------------------------------------------

double Peak(const std::vector<double>& samples) {
  double peak = 0.0;
  for (double x : samples) {
    peak = std::max(peak, std::abs(x));
  }
  return peak;
}

// RMS of the sounding part of a sound: 50 ms windows, leaving out those more than 20 dB below
// the loudest, so the gaps of the spin's clicks do not count as quiet.
double Loudness(const std::vector<double>& samples) {
  const std::size_t window = ToSamples(0.05);
  const std::size_t hop = window / 2;
  std::vector<double> powers;
  for (std::size_t start = 0; start + window <= samples.size(); start += hop) {
    double sum = 0.0;
    for (std::size_t i = start; i < start + window; ++i) {
      sum += samples[i] * samples[i];
    }
    powers.push_back(sum / static_cast<double>(window));
  }
  if (powers.empty()) {
    return 0.0;
  }
  const double gate = *std::max_element(powers.begin(), powers.end()) * 0.01;
  double sum = 0.0;
  std::size_t counted = 0;
  for (double power : powers) {
    if (power >= gate) {
      sum += power;
      ++counted;
    }
  }
  return std::sqrt(sum / static_cast<double>(counted));
}

// Brings the sound to the common loudness, then fades both ends so nothing clicks. A sound with
// sharp peaks (claps, clicks) gets its peaks rounded off by at most a few decibels; beyond that
// it stays a little quieter rather than be crushed.
void Finish(Sound& sound) {
  std::vector<double>& x = sound.Samples();
  const double peak = Peak(x);
  if (peak <= 0.0) {
    return;
  }
  const double seconds = sound.Seconds();
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double t = static_cast<double>(i) / kRate;
    x[i] *= Ramp(t / kFadeIn) * Ramp((seconds - t - 1.0 / kRate) / kFadeOut);
  }
  const auto scaled = [&x](double gain) {
    std::vector<double> y(x.size());
    std::transform(x.begin(), x.end(), y.begin(), [gain](double v) { return SoftLimit(gain * v); });
    return y;
  };
  // The loudness grows with the gain, so halving the interval finds the gain that meets it.
  double low = 0.0;
  double high = kPeakCeiling / peak * 1.6;  // at most about 4 dB of peaks rounded off
  for (int step = 0; step < 40; ++step) {
    const double middle = 0.5 * (low + high);
    (Loudness(scaled(middle)) < kTargetLoudness ? low : high) = middle;
  }
  x = scaled(low);
}

std::string EncodeWav(const Sound& sound) {
  const auto dataBytes = static_cast<std::uint32_t>(sound.Size() * 2);
  std::string out;
  out.reserve(44 + dataBytes);
  out += "RIFF";
  PutLittleEndian(out, 36 + dataBytes, 4);
  out += "WAVEfmt ";
  PutLittleEndian(out, 16, 4);         // fmt chunk size
  PutLittleEndian(out, 1, 2);          // PCM
  PutLittleEndian(out, 1, 2);          // mono
  PutLittleEndian(out, kRate, 4);      // samples per second
  PutLittleEndian(out, kRate * 2, 4);  // bytes per second
  PutLittleEndian(out, 2, 2);          // bytes per frame
  PutLittleEndian(out, 16, 2);         // bits per sample
  out += "data";
  PutLittleEndian(out, dataBytes, 4);
  for (double v : sound.Samples()) {
    const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
    PutLittleEndian(out, static_cast<std::uint32_t>(static_cast<std::uint16_t>(q)), 2);
  }
  return out;
}

double Decibels(double level) {
  return 20.0 * std::log10(std::max(level, 1e-9));
}

}  // namespace orvanta::sounds
