// Arbitrary bytes as a puzzle file: the item reader, the checker and the loader's reading of the
// picked file must never crash, never hold an item past the limit, read a UTF-8 file as UTF-8
// (however it is cut into pieces) and always hand out UTF-8; a file the checker passes always
// loads.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Text.h"
#include "puzzles/ItemReader.h"
#include "puzzles/PuzzleChecker.h"
#include "puzzles/modPuzzler.h"
#include "tests/fuzz/FuzzCheck.h"

using orvanta::fuzz::Require;

namespace {

// Every item is numbered in turn, starts on a line not before the last one, stays within the
// limit and is UTF-8.
void ReadEveryItem(const std::string& bytes) {
  orvanta::ItemReader reader = orvanta::ItemReader::FromBytes(bytes, "fuzz.orp");
  const bool utf8 = orvanta::text::IsValidUtf8(bytes);
  Require((reader.Encoding() == orvanta::TextEncoding::Utf8) == utf8,
          "a file is read as UTF-8 exactly when it is UTF-8");
  orvanta::text::Utf8Check pieces;
  for (std::string_view rest = bytes; !rest.empty(); rest.remove_prefix(rest.size() / 2 + 1)) {
    pieces.Feed(rest.substr(0, rest.size() / 2 + 1));
  }
  Require(pieces.Valid() == utf8, "UTF-8 is told apart the same in pieces as whole");
  int number = 0;
  int line = 1;
  while (reader.Next()) {
    Require(reader.Number() == ++number, "items are numbered in turn");
    Require(reader.Line() >= line, "items come in the order of their lines");
    line = reader.Line();
    const std::string_view item = reader.Text();
    Require(orvanta::text::IsValidUtf8(item), "items are UTF-8");
    Require(orvanta::text::Length(item) <=
                static_cast<std::size_t>(orvanta::ItemReader::kMaxItemCharacters),
            "an item is cut at the limit");
  }
  Require(!reader.Next(), "the end of a file stays its end");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  ReadEveryItem(bytes);

  orvanta::ItemReader forChecker = orvanta::ItemReader::FromBytes(bytes, "fuzz.orp");
  std::int64_t listed = 0;
  const orvanta::PuzzleFileReport report =
      orvanta::CheckPuzzleFile(forChecker, [&](const orvanta::PuzzleProblem& problem) {
        ++listed;
        Require(
            problem.Item >= 0 && !problem.What.empty() && orvanta::text::IsValidUtf8(problem.What),
            "a problem names its item and what is wrong, in UTF-8");
      });
  Require(report.Puzzles >= 0 && report.Problems >= 0, "counts are never negative");
  Require(listed == std::min(report.Problems, orvanta::kListedProblems + 1),
          "problems are listed up to the cap, then one says how many more");

  orvanta::ItemReader forLoader = orvanta::ItemReader::FromBytes(bytes, "fuzz.orp");
  orvanta::QueuedRandom random;
  random.Queue(static_cast<double>(size % 101) / 101.0);
  orvanta::fuzz::StillClock clock;
  const orvanta::LoadResult result = orvanta::ReadPuzzleFromFile(forLoader, random, clock);
  Require(report.Problems > 0 || std::holds_alternative<orvanta::PuzzleData>(result),
          "a file the checker passes always loads, whatever the draw");
  if (const auto* error = std::get_if<orvanta::PuzzleError>(&result)) {
    Require(!error->Message().empty() && error->Item >= 0, "a failed load says why");
  }
  return 0;
}
