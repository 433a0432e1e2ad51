// WaveFile.h: reading the game's sound effects: a WAV file decoded by SDL and converted to the
// audio output's format (mono, 16-bit, AudioOutput::kSampleRate).
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "speech/linux/AudioOutput.h"

namespace orvanta::speech {

// The largest sound file the game reads; a longer one is refused rather than held in memory.
inline constexpr std::uintmax_t kMaxWaveFileBytes = 64U << 20U;

// Decodes the contents of a WAV file; empty when they are not a WAV file SDL can read, or hold no
// sound.
std::optional<Samples> DecodeWave(std::string_view contents);

// Reads and decodes a WAV file; empty when it cannot be read, is too long or is not a WAV file.
std::optional<Samples> LoadWave(const std::filesystem::path& file);

}  // namespace orvanta::speech
