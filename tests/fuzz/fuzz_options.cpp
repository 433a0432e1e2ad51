// Arbitrary command lines through the option parser. Input: the arguments, parted by zero bytes.
// A command line is either taken, with every random value in 0 <= R < 1 and no empty folder name,
// or refused with a reason.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/Options.h"
#include "tests/fuzz/FuzzCheck.h"

using orvanta::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto args = size == 0 ? std::vector<std::string_view>() : orvanta::fuzz::Split(input, '\0');
  std::string error;
  const std::optional<orvanta::Options> options = orvanta::ParseOptions(args, error);
  if (!options) {
    Require(!error.empty(), "a refused command line says why");
    return 0;
  }
  Require(!options->puzzles || !options->puzzles->empty(), "a folder named is never empty");
  for (const double r : options->rand) {
    Require(r >= 0 && r < 1, "random values lie in 0 <= R < 1");
  }
  return 0;
}
