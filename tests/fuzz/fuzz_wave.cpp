// Arbitrary bytes as a sound effect file: SDL reads the WAV file, the game converts it to the
// audio output's format. A file either gives some sound or none, in bounded memory (the run's
// memory limit), and never crashes the game.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "speech/linux/WaveFile.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto samples =
      orvanta::speech::DecodeWave(std::string_view(reinterpret_cast<const char*>(data), size));
  orvanta::fuzz::Require(!samples || !samples->empty(), "a sound that decodes is not empty");
  return 0;
}
