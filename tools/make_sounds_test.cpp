// Runs the sound generator into a folder of its own and listens to the result the way a test
// can: the file format the wave players expect, the length and loudness of each effect, silent
// edges, and the shape that makes each one recognisable (a rise, a fall, clicks slowing down).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fixtures/SystemCommand.h"
#include "tests/fixtures/WaveHeader.h"
#include "tests/fixtures/puzzles/TempPuzzleFolder.h"

namespace {

namespace fs = std::filesystem;
using orvanta::testing::ReadFile;

constexpr int kRate = 22050;

std::vector<double> Samples(const std::string& bytes) {
  std::vector<double> samples;
  for (std::size_t i = 44; i + 1 < bytes.size(); i += 2) {
    const auto low = static_cast<unsigned char>(bytes[i]);
    const auto high = static_cast<unsigned char>(bytes[i + 1]);
    samples.push_back(static_cast<std::int16_t>(low | (high << 8)) / 32768.0);
  }
  return samples;
}

double Peak(std::vector<double>::const_iterator from, std::vector<double>::const_iterator to) {
  double peak = 0.0;
  for (; from != to; ++from) {
    peak = std::max(peak, std::abs(*from));
  }
  return peak;
}

// RMS over the sounding 50 ms windows (those within 20 dB of the loudest), in decibels.
double LoudnessDb(const std::vector<double>& x) {
  const std::size_t window = kRate / 20;
  std::vector<double> powers;
  for (std::size_t start = 0; start + window <= x.size(); start += window / 2) {
    double sum = 0.0;
    for (std::size_t i = start; i < start + window; ++i) {
      sum += x[i] * x[i];
    }
    powers.push_back(sum / static_cast<double>(window));
  }
  const double gate = *std::max_element(powers.begin(), powers.end()) * 0.01;
  double sum = 0.0;
  int counted = 0;
  for (double p : powers) {
    if (p >= gate) {
      sum += p;
      ++counted;
    }
  }
  return 10.0 * std::log10(sum / counted);
}

// Sign changes per second between `from` and `to` seconds: a rough pitch for a tonal sound,
// and high for noise.
double CrossingRate(const std::vector<double>& x, double from, double to) {
  const auto first = static_cast<std::size_t>(from * kRate);
  const auto last = std::min(x.size(), static_cast<std::size_t>(to * kRate));
  int crossings = 0;
  for (std::size_t i = first + 1; i < last; ++i) {
    crossings += (x[i - 1] < 0.0) != (x[i] < 0.0) ? 1 : 0;
  }
  return crossings / (static_cast<double>(last - first) / kRate);
}

int RunGenerator(const fs::path& folder) {
  using orvanta::testing::Quoted;
  return orvanta::testing::RunCommand(Quoted(ORVANTA_MAKE_SOUNDS) + " " + Quoted(folder));
}

fs::path TempFolder(const std::string& name) {
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  return fs::temp_directory_path() / (name + "_" + std::to_string(stamp));
}

TEST(SoundGenerator, EveryEffectIsAShortQuietRecognisableWaveWrittenTheSameEachRun) {
  const fs::path folder = TempFolder("orvanta_sounds"), again = TempFolder("orvanta_sounds_2");
  ASSERT_EQ(RunGenerator(folder), 0);
  ASSERT_EQ(RunGenerator(again), 0);
  // Each with its length in seconds and, for tonal ones, a pitch that rises or falls: the
  // crossing rate over the first window is over `factor` times that over the second.
  const struct {
    const char* name;
    double shortest, longest;
    double from1, to1, from2, to2, factor;
  } effects[] = {
      {"intro.wav", 0.2, 1.5, 0.4, 0.6, 0.005, 0.05, 1.3},      // rising arpeggio
      {"newpuzzle.wav", 0.2, 1.5, 0.4, 0.6, 0.005, 0.05, 1.3},  // rising arpeggio
      {"spin.wav", 1.5, 2.0, 0, 0, 0, 0, 0},                    // clicks: below
      {"bankrupt.wav", 0.2, 1.5, 0.0, 0.2, 0.9, 1.1, 2.5},      // a falling glide
      {"loseturn.wav", 0.2, 1.5, 0.03, 0.17, 0.3, 0.5, 1.1},    // "uh-oh"
      {"applause.wav", 0.2, 1.5, 0, 0, 0, 0, 0},                // noise: below
      {"reveal.wav", 0.2, 0.4, 0.08, 0.2, 0.005, 0.05, 1.3},    // once per letter: short
      {"wrong.wav", 0.2, 1.5, 0, 0, 0, 0, 0},                   // a low buzz: below
      {"exit.wav", 0.2, 1.5, 0, 0, 0, 0, 0},
      {"ZONTARY.WAV", 2.7, 3.3, 0, 0, 0, 0, 0},  // the splash jingle
  };
  for (const auto& e : effects) {
    const std::string bytes = ReadFile(folder / e.name);
    ASSERT_GT(bytes.size(), 44U) << e.name;
    EXPECT_EQ(bytes.substr(0, 44),
              orvanta::testing::WaveHeader(static_cast<std::uint32_t>(bytes.size() - 44)))
        << e.name;
    EXPECT_EQ(bytes, ReadFile(again / e.name)) << e.name;
    const auto x = Samples(bytes);
    const double seconds = static_cast<double>(x.size()) / kRate;
    EXPECT_GE(seconds, e.shortest) << e.name;
    EXPECT_LE(seconds, e.longest) << e.name;
    EXPECT_NEAR(LoudnessDb(x), -18.0, 1.0) << e.name;     // all equally loud...
    EXPECT_LT(Peak(x.begin(), x.end()), 0.95) << e.name;  // ...never clipping
    EXPECT_LT(Peak(x.begin(), x.begin() + kRate / 1000), 0.1) << e.name << " starts with a click";
    EXPECT_LT(Peak(x.end() - kRate / 1000, x.end()), 0.02) << e.name << " ends with a click";
    EXPECT_LT(std::abs(x.front()), 0.002) << e.name;
    EXPECT_LT(std::abs(x.back()), 0.002) << e.name;
    if (e.factor > 0) {
      EXPECT_GT(CrossingRate(x, e.from1, e.to1), e.factor * CrossingRate(x, e.from2, e.to2))
          << e.name;
    }
  }
  const auto sound = [&folder](const char* name) { return Samples(ReadFile(folder / name)); };
  EXPECT_NE(sound("intro.wav"), sound("newpuzzle.wav"));
  EXPECT_GT(CrossingRate(sound("applause.wav"), 0.2, 1.0), 1500.0);  // noise, not a tone
  const double wrong = CrossingRate(sound("wrong.wav"), 0.05, 0.4);
  EXPECT_LT(wrong, 600.0);
  EXPECT_LT(wrong, CrossingRate(sound("reveal.wav"), 0.0, 0.3) / 3.0);

  // The wheel's clicks (a jump of the 1 ms peak above 0.3, 15 ms after the last) slow down.
  const auto spin = sound("spin.wav");
  std::vector<double> clicks;
  double last = -1.0;
  for (std::size_t start = 0; start + kRate / 1000 <= spin.size(); start += kRate / 1000) {
    const double t = static_cast<double>(start) / kRate;
    if (Peak(spin.begin() + static_cast<long>(start),
             spin.begin() + static_cast<long>(start + kRate / 1000)) > 0.3) {
      if (last < 0.0 || t - last > 0.015) {
        clicks.push_back(t);
      }
      last = t;
    }
  }
  ASSERT_GE(clicks.size(), 15U);
  EXPECT_LT(clicks.front(), 0.05) << "the wheel starts turning at once";
  for (std::size_t i = 2; i < clicks.size(); ++i) {
    EXPECT_GE(clicks[i] - clicks[i - 1], clicks[i - 1] - clicks[i - 2] - 0.003)
        << "click " << i + 1 << " comes early";
  }
  EXPECT_GT(clicks.back() - clicks[clicks.size() - 2], 3.0 * (clicks[1] - clicks[0]));

  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::remove_all(again, ignored);
}

TEST(SoundGenerator, UnwritableFolderIsReportedNotIgnored) {
  const fs::path blocker = TempFolder("orvanta_sounds_blocker");
  std::ofstream(blocker).put('x');
  EXPECT_NE(RunGenerator(blocker / "inside"), 0);
  fs::remove(blocker);
}

}  // namespace
