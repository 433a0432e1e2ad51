// WaveFile.cpp: decoding a WAV file with SDL and converting it for the audio output.
#include "speech/linux/WaveFile.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>

namespace orvanta::speech {
namespace {

// Frees what SDL_LoadWAV_RW allocated.
struct WaveBuffer {
  std::uint8_t* data = nullptr;
  std::uint32_t length = 0;
  WaveBuffer() = default;
  WaveBuffer(const WaveBuffer&) = delete;
  WaveBuffer& operator=(const WaveBuffer&) = delete;
  ~WaveBuffer() { SDL_FreeWAV(data); }
};

std::uint32_t ReadLittleEndian32(const std::string& bytes, std::size_t pos) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) {
    value = (value << 8U) | static_cast<unsigned char>(bytes[pos + i]);
  }
  return value;
}

void WriteLittleEndian32(std::string& bytes, std::size_t pos, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i, value >>= 8U) {
    bytes[pos + i] = static_cast<char>(value & 0xFFU);
  }
}

// A chunk of a WAV file that claims more bytes than the file holds is taken to end with the
// file: SDL would otherwise set aside the memory claimed (up to 4 GB for a file of a few bytes)
// before finding the file short, and plays a cut-short file up to its cut anyway.
std::string WithChunksInsideFile(std::string_view file) {
  std::string bytes(file);
  const auto remaining = [&](std::size_t pos) {
    return static_cast<std::uint32_t>(bytes.size() - pos - 8);
  };
  // The chunks follow the RIFF header, or start the file when SDL finds it lacks that header.
  std::size_t pos = 4;
  if (bytes.starts_with("RIFF") && bytes.size() >= 12) {
    WriteLittleEndian32(bytes, 4, std::min(ReadLittleEndian32(bytes, 4), remaining(0)));
    pos = 12;
  } else if (!bytes.starts_with("WAVE")) {
    return bytes;  // not a WAV file: SDL refuses it
  }
  while (pos + 8 <= bytes.size()) {
    const std::uint32_t length = std::min(ReadLittleEndian32(bytes, pos + 4), remaining(pos));
    WriteLittleEndian32(bytes, pos + 4, length);
    pos += 8 + std::size_t{length} + (length & 1U);  // chunks are padded to an even length
  }
  return bytes;
}

}  // namespace

std::optional<Samples> DecodeWave(std::string_view contents) {
  if (contents.size() > kMaxWaveFileBytes) {
    return std::nullopt;
  }
  const std::string bytes = WithChunksInsideFile(contents);
  SDL_AudioSpec spec{};
  WaveBuffer wave;
  // The memory stream is freed by SDL_LoadWAV_RW (its last argument), whatever the outcome.
  if (SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1, &spec,
                     &wave.data, &wave.length) == nullptr ||
      wave.length == 0) {
    return std::nullopt;
  }
  SDL_AudioCVT cvt{};
  const int needed = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, 1,
                                       AudioOutput::kSampleRate);
  // A very low sample rate would be stretched into far more memory than the file takes.
  const std::size_t bufferBytes =
      std::size_t{wave.length} * static_cast<std::size_t>(std::max(1, cvt.len_mult));
  if (needed < 0 || bufferBytes > 4 * kMaxWaveFileBytes) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> buffer(bufferBytes);
  std::memcpy(buffer.data(), wave.data, wave.length);
  std::size_t converted = wave.length;
  if (needed == 1) {
    cvt.buf = buffer.data();
    cvt.len = static_cast<int>(wave.length);
    if (SDL_ConvertAudio(&cvt) != 0) {
      return std::nullopt;
    }
    converted = static_cast<std::size_t>(cvt.len_cvt);  // only set when a conversion ran
  }
  Samples samples(converted / sizeof(std::int16_t));
  if (samples.empty()) {
    return std::nullopt;
  }
  std::memcpy(samples.data(), buffer.data(), samples.size() * sizeof(std::int16_t));
  return samples;
}

std::optional<Samples> LoadWave(const std::filesystem::path& file) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error || size > kMaxWaveFileBytes) {
    return std::nullopt;
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::ifstream in(file, std::ios::binary);
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
    return std::nullopt;
  }
  return DecodeWave(bytes);
}

}  // namespace orvanta::speech
