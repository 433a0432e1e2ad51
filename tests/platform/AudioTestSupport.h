// AudioTestSupport.h: what the sound tests share. SDL's "disk" driver stands in for a sound
// card: it consumes audio in real time and writes exactly what was played to a file, which the
// tests read back after the output has closed. Also writes small WAV files.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/fixtures/WaveHeader.h"

namespace orvanta::speech::testing {

using Clock = std::chrono::steady_clock;

// How long since `start`, for checking how long the game is held by a sound or a voice.
inline std::chrono::milliseconds Since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

// A WAV file of `milliseconds` of a constant level `value` (DC), so each sound can be recognised
// by its sample values in what the device played.
inline void WriteWave(const std::filesystem::path& file, int milliseconds, std::int16_t value,
                      int rate = 22050, int channels = 1) {
  const auto samples = static_cast<std::uint32_t>(rate * milliseconds / 1000 * channels);
  std::ofstream out(file, std::ios::binary);
  out << orvanta::testing::WaveHeader(samples * 2, static_cast<std::uint32_t>(rate),
                                      static_cast<std::uint32_t>(channels));
  for (std::uint32_t i = 0; i < samples; ++i) {
    out.write(reinterpret_cast<const char*>(&value), 2);
  }
}

// A temporary folder and SDL's disk driver writing into it; set before any output is opened.
class DiskAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("orvanta-audio-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", Played().c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path Played() const { return folder_ / "played.raw"; }

  // Everything the device played, once the output has been closed.
  std::vector<std::int16_t> PlayedSamples() const {
    std::ifstream in(Played(), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
    return samples;
  }

  static std::size_t CountOf(const std::vector<std::int16_t>& samples, std::int16_t value) {
    return static_cast<std::size_t>(std::count(samples.begin(), samples.end(), value));
  }
  static std::size_t CountSounding(const std::vector<std::int16_t>& samples) {
    return samples.size() - CountOf(samples, 0);
  }

  std::filesystem::path folder_;
};

}  // namespace orvanta::speech::testing
