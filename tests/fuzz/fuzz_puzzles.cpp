// Arbitrary bytes as a puzzle file: the item reader, the checker and the loader's reading of the
// picked file must never crash, never hold an item past the limit, and always hand out UTF-8.
// The board functions then run on whatever puzzle came out.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "puzzles/ItemReader.h"
#include "puzzles/PuzzleChecker.h"
#include "puzzles/Text.h"
#include "puzzles/modPuzzler.h"
#include "puzzles/modStringFunc.h"

namespace {

// A clock that always says the same, so a run can be repeated from its input alone.
class StillClock final : public orvanta::Clock {
 public:
  std::uint64_t Ticks() override { return 1; }
};

void Require(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

// Every item is numbered in turn, starts on a line not before the last one, stays within the
// limit and is UTF-8; the word functions take it apart into pieces of itself.
void ReadEveryItem(const std::string& bytes) {
  orvanta::ItemReader reader = orvanta::ItemReader::FromBytes(bytes, "fuzz.orp");
  int number = 0;
  int line = 1;
  while (reader.Next()) {
    Require(reader.Number() == ++number);
    Require(reader.Line() >= line);
    line = reader.Line();
    const std::string_view item = reader.Text();
    Require(orvanta::text::IsValidUtf8(item));
    Require(orvanta::text::Length(item) <=
            static_cast<std::size_t>(orvanta::ItemReader::kMaxItemCharacters));
    for (int word = 0; word <= 3; ++word) {
      const std::string rest = orvanta::GetFromWord(item, word);
      Require(item.ends_with(rest));
      Require(rest.starts_with(orvanta::GetWord(item, word)));
    }
  }
  Require(!reader.Next());
}

// The board of a loaded puzzle matches it position for position, whatever is called.
void PlayTheBoard(const std::string& solution) {
  std::string board = orvanta::MaskPuzzle(solution);
  const std::size_t length = orvanta::text::Length(solution);
  Require(orvanta::text::Length(board) == length);
  for (std::string_view letter : {"e", "T", "_", "é", ""}) {
    board = orvanta::RevealLetter(board, solution, letter);
    Require(orvanta::text::Length(board) == length);
    Require(orvanta::CountLetter(board, "_") <= static_cast<int>(length));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  ReadEveryItem(bytes);

  orvanta::ItemReader forChecker = orvanta::ItemReader::FromBytes(bytes, "fuzz.orp");
  const orvanta::PuzzleFileReport report = orvanta::CheckPuzzleFile(forChecker, {});
  Require(report.Puzzles >= 0);

  orvanta::ItemReader forLoader = orvanta::ItemReader::FromBytes(bytes, "fuzz.orp");
  orvanta::QueuedRandom random;
  random.Queue(static_cast<double>(size % 101) / 101.0);
  StillClock clock;
  const orvanta::LoadResult result = orvanta::ReadPuzzleFromFile(forLoader, random, clock);
  // A file the checker passes always loads, whatever the draw.
  Require(report.Problems > 0 || std::holds_alternative<orvanta::PuzzleData>(result));
  if (const auto* puzzle = std::get_if<orvanta::PuzzleData>(&result)) {
    PlayTheBoard(puzzle->Solution);
  } else {
    const auto& error = std::get<orvanta::PuzzleError>(result);
    Require(!error.Message().empty());
    Require(error.Item >= 0);
  }
  return 0;
}
