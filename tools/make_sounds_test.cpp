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
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 22050;

const char* const kEffects[] = {"intro.wav",    "newpuzzle.wav", "spin.wav",   "bankrupt.wav",
                                "loseturn.wav", "applause.wav",  "reveal.wav", "wrong.wav",
                                "exit.wav",     "ZONTARY.WAV"};

std::uint32_t ReadLittleEndian(const std::string& bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
  }
  return value;
}

// A WAV file as the game's players will read it, with what was wrong when it is not one.
struct Wave {
  std::string problem;  // empty when the file is a 16-bit PCM mono 22050 Hz WAV
  std::vector<double> samples;

  double Seconds() const { return static_cast<double>(samples.size()) / kRate; }
};

Wave ParseWave(const std::string& bytes) {
  Wave wave;
  if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
    wave.problem = "not a RIFF WAVE file";
    return wave;
  }
  if (ReadLittleEndian(bytes, 4, 4) != bytes.size() - 8) {
    wave.problem = "RIFF size does not match the file";
    return wave;
  }
  bool haveFormat = false;
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    const std::string id = bytes.substr(at, 4);
    const std::uint32_t size = ReadLittleEndian(bytes, at + 4, 4);
    const std::size_t body = at + 8;
    if (body + size > bytes.size()) {
      wave.problem = "chunk '" + id + "' runs past the end";
      return wave;
    }
    if (id == "fmt ") {
      if (size < 16 || ReadLittleEndian(bytes, body, 2) != 1 ||
          ReadLittleEndian(bytes, body + 2, 2) != 1 ||
          ReadLittleEndian(bytes, body + 4, 4) != kRate ||
          ReadLittleEndian(bytes, body + 8, 4) != kRate * 2 ||
          ReadLittleEndian(bytes, body + 12, 2) != 2 ||
          ReadLittleEndian(bytes, body + 14, 2) != 16) {
        wave.problem = "format is not 16-bit PCM mono at 22050 Hz";
        return wave;
      }
      haveFormat = true;
    } else if (id == "data") {
      if (!haveFormat) {
        wave.problem = "data before format";
        return wave;
      }
      for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto raw = static_cast<std::uint16_t>(ReadLittleEndian(bytes, body + i, 2));
        wave.samples.push_back(static_cast<std::int16_t>(raw) / 32768.0);
      }
      return wave;
    }
    at = body + size + (size & 1U);
  }
  wave.problem = "no data chunk";
  return wave;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double Peak(const std::vector<double>& x) {
  double peak = 0.0;
  for (double v : x) {
    peak = std::max(peak, std::abs(v));
  }
  return peak;
}

// RMS over the sounding 50 ms windows (those within 20 dB of the loudest).
double Loudness(const std::vector<double>& x) {
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
  return std::sqrt(sum / counted);
}

double Decibels(double level) {
  return 20.0 * std::log10(level);
}

// Sign changes per second between `from` and `to` seconds: a rough pitch for a tonal sound,
// and high for noise.
double CrossingRate(const std::vector<double>& x, double from, double to) {
  const auto first = static_cast<std::size_t>(from * kRate);
  const auto last = std::min(x.size(), static_cast<std::size_t>(to * kRate));
  int crossings = 0;
  for (std::size_t i = first + 1; i < last; ++i) {
    if ((x[i - 1] < 0.0) != (x[i] < 0.0)) {
      ++crossings;
    }
  }
  return crossings / (static_cast<double>(last - first) / kRate);
}

// Start times of the clicks: a jump of the 1 ms peak level above `threshold`, at least 15 ms
// after the previous click.
std::vector<double> ClickTimes(const std::vector<double>& x, double threshold) {
  const std::size_t block = kRate / 1000;
  std::vector<double> times;
  double last = -1.0;
  for (std::size_t start = 0; start + block <= x.size(); start += block) {
    double peak = 0.0;
    for (std::size_t i = start; i < start + block; ++i) {
      peak = std::max(peak, std::abs(x[i]));
    }
    const double t = static_cast<double>(start) / kRate;
    if (peak > threshold && (last < 0.0 || t - last > 0.015)) {
      times.push_back(t);
      last = t;
    } else if (peak > threshold) {
      last = t;  // still inside the same click
    }
  }
  return times;
}

fs::path RunGenerator(const std::string& name) {
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const fs::path folder = fs::temp_directory_path() / (name + "_" + std::to_string(stamp));
  const std::string command =
      std::string("\"") + ORVANTA_MAKE_SOUNDS + "\" \"" + folder.string() + "\"";
  if (std::system(command.c_str()) != 0) {
    ADD_FAILURE() << "the generator failed: " << command;
  }
  return folder;
}

class GeneratedSounds : public ::testing::Test {
 protected:
  struct Generated {
    fs::path folder;
    std::map<std::string, Wave, std::less<>> waves;
  };

  static void SetUpTestSuite() {
    generated_ = std::make_unique<Generated>();
    generated_->folder = RunGenerator("orvanta_sounds");
    for (const char* name : kEffects) {
      generated_->waves[name] = ParseWave(ReadFile(generated_->folder / name));
    }
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(generated_->folder, ignored);
    generated_.reset();
  }
  static const Wave& Sound(std::string_view name) { return generated_->waves.find(name)->second; }
  static const fs::path& Folder() { return generated_->folder; }

 private:
  // Made once for the suite: every test listens to the same run of the generator.
  static inline std::unique_ptr<Generated> generated_;
};

TEST_F(GeneratedSounds, EveryEffectIsA16BitMonoWaveAt22050Hz) {
  for (const char* name : kEffects) {
    const Wave& wave = Sound(name);
    EXPECT_EQ(wave.problem, "") << name;
    EXPECT_FALSE(wave.samples.empty()) << name;
  }
}

TEST_F(GeneratedSounds, EffectsAreShortAndTheJingleLastsAboutThreeSeconds) {
  for (const char* name : kEffects) {
    const double seconds = Sound(name).Seconds();
    const std::string n = name;
    if (n == "spin.wav") {
      EXPECT_GE(seconds, 1.5) << n;
      EXPECT_LE(seconds, 2.0) << n;
    } else if (n == "ZONTARY.WAV") {
      EXPECT_GE(seconds, 2.7) << n;
      EXPECT_LE(seconds, 3.3) << n;
    } else if (n == "reveal.wav") {  // plays once per letter found: must stay short
      EXPECT_GE(seconds, 0.2) << n;
      EXPECT_LE(seconds, 0.4) << n;
    } else {
      EXPECT_GE(seconds, 0.2) << n;
      EXPECT_LE(seconds, 1.5) << n;
    }
  }
}

TEST_F(GeneratedSounds, EffectsShareOneLoudnessAndNeverClip) {
  for (const char* name : kEffects) {
    const Wave& wave = Sound(name);
    const double loudness = Decibels(Loudness(wave.samples));
    EXPECT_NEAR(loudness, -18.0, 1.0) << name;
    EXPECT_LT(Peak(wave.samples), 0.95) << name;
  }
}

TEST_F(GeneratedSounds, EffectsStartAndEndInSilence) {
  for (const char* name : kEffects) {
    const std::vector<double>& x = Sound(name).samples;
    ASSERT_GT(x.size(), 100U) << name;
    EXPECT_LT(std::abs(x.front()), 0.002) << name;
    EXPECT_LT(std::abs(x.back()), 0.002) << name;
    const std::vector<double> firstMillisecond(x.begin(), x.begin() + kRate / 1000);
    const std::vector<double> lastMillisecond(x.end() - kRate / 1000, x.end());
    EXPECT_LT(Peak(firstMillisecond), 0.1) << name << " starts with a click";
    EXPECT_LT(Peak(lastMillisecond), 0.02) << name << " ends with a click";
  }
}

TEST_F(GeneratedSounds, EveryRunWritesTheSameFiles) {
  const fs::path again = RunGenerator("orvanta_sounds_again");
  for (const char* name : kEffects) {
    EXPECT_EQ(ReadFile(Folder() / name), ReadFile(again / name)) << name;
  }
  std::error_code ignored;
  fs::remove_all(again, ignored);
}

TEST_F(GeneratedSounds, RevealChimeRises) {
  const std::vector<double>& x = Sound("reveal.wav").samples;
  EXPECT_GT(CrossingRate(x, 0.08, 0.2), 1.3 * CrossingRate(x, 0.005, 0.05));
}

TEST_F(GeneratedSounds, BankruptToneFalls) {
  const std::vector<double>& x = Sound("bankrupt.wav").samples;
  EXPECT_GT(CrossingRate(x, 0.0, 0.2), 2.5 * CrossingRate(x, 0.9, 1.1));
}

TEST_F(GeneratedSounds, LostTurnFallsFromTheFirstNoteToTheSecond) {
  const std::vector<double>& x = Sound("loseturn.wav").samples;
  EXPECT_GT(CrossingRate(x, 0.03, 0.17), 1.1 * CrossingRate(x, 0.3, 0.5));
}

TEST_F(GeneratedSounds, WrongLetterIsALowBuzz) {
  const double wrong = CrossingRate(Sound("wrong.wav").samples, 0.05, 0.4);
  EXPECT_LT(wrong, 600.0);
  EXPECT_LT(wrong, CrossingRate(Sound("reveal.wav").samples, 0.0, 0.3) / 3.0);
}

TEST_F(GeneratedSounds, ApplauseIsNoiseNotATone) {
  EXPECT_GT(CrossingRate(Sound("applause.wav").samples, 0.2, 1.0), 1500.0);
}

TEST_F(GeneratedSounds, SpinClicksSlowDownToAStop) {
  const std::vector<double>& x = Sound("spin.wav").samples;
  const std::vector<double> clicks = ClickTimes(x, 0.3);
  ASSERT_GE(clicks.size(), 15U);
  std::vector<double> gaps;
  for (std::size_t i = 1; i < clicks.size(); ++i) {
    gaps.push_back(clicks[i] - clicks[i - 1]);
  }
  for (std::size_t i = 1; i < gaps.size(); ++i) {
    EXPECT_GE(gaps[i], gaps[i - 1] - 0.003) << "click " << i + 1 << " comes early";
  }
  EXPECT_GT(gaps.back(), 3.0 * gaps.front());
  EXPECT_LT(clicks.front(), 0.05) << "the wheel starts turning at once";
}

TEST_F(GeneratedSounds, StartAndNewPuzzleArpeggiosRiseAndDiffer) {
  for (const char* name : {"intro.wav", "newpuzzle.wav"}) {
    const std::vector<double>& x = Sound(name).samples;
    EXPECT_GT(CrossingRate(x, 0.4, 0.6), 1.3 * CrossingRate(x, 0.005, 0.05)) << name;
  }
  EXPECT_NE(Sound("intro.wav").samples, Sound("newpuzzle.wav").samples);
}

TEST(SoundGenerator, UnwritableFolderIsReportedNotIgnored) {
  const fs::path blocker = fs::temp_directory_path() / "orvanta_sounds_blocker";
  { std::ofstream file(blocker); }
  const std::string command =
      std::string("\"") + ORVANTA_MAKE_SOUNDS + "\" \"" + (blocker / "inside").string() + "\"";
  EXPECT_NE(std::system(command.c_str()), 0);
  fs::remove(blocker);
}

}  // namespace
