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
  const auto frames = static_cast<std::uint32_t>(rate * milliseconds / 1000);
  const std::uint32_t dataBytes = frames * static_cast<std::uint32_t>(channels) * 2;
  std::ofstream out(file, std::ios::binary);
  auto u32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  u32(36 + dataBytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);  // PCM
  u16(static_cast<std::uint16_t>(channels));
  u32(static_cast<std::uint32_t>(rate));
  u32(static_cast<std::uint32_t>(rate * channels * 2));
  u16(static_cast<std::uint16_t>(channels * 2));
  u16(16);
  out.write("data", 4);
  u32(dataBytes);
  for (std::uint32_t i = 0; i < frames * static_cast<std::uint32_t>(channels); ++i) {
    u16(static_cast<std::uint16_t>(value));
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
