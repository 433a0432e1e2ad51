// Loading a puzzle: the folder is scanned for puzzle files, each one's format mark is checked,
// one file is drawn, and then one of the puzzles it holds. Every failure comes back as a
// PuzzleError that names the folder or file, the item, and what is wrong.
#include "puzzles/modPuzzler.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "base/Text.h"
#include "puzzles/ItemReader.h"
#include "puzzles/PuzzleFormat.h"

namespace orvanta {
namespace {

namespace fs = std::filesystem;
namespace format = puzzle_format;

using format::kCannotRead;
using format::kFormatError;
using format::kNoPuzzleFiles;
using format::kNotANumber;
using format::kOverflow;
using format::kPastEndOfFile;

PuzzleError Failure(int number, fs::path path, int item, std::string what) {
  return PuzzleError{number, std::move(path), item, std::move(what)};
}

// "item N is missing", with the reason the file gives.
PuzzleError Missing(const ItemReader& reader, int item) {
  return Failure(kPastEndOfFile, reader.File(), item, format::MissingItem(reader.Number()));
}

PuzzleError TooLong(const ItemReader& reader) {
  return Failure(kFormatError, reader.File(), reader.Number(), format::TooLongText());
}

// Reads the next item the load needs as item `item`; a failure when the file has none or it is
// over-long.
std::optional<PuzzleError> NextNeeded(ItemReader& reader, int item) {
  if (!reader.Next()) {
    return Missing(reader, item);
  }
  if (reader.TooLong()) {
    return TooLong(reader);
  }
  return std::nullopt;
}

// A draw made safe for indexing: r outside 0 <= r < 1 (or not a number) is brought inside.
double InsideUnitRange(double r) {
  if (!(r >= 0.0)) {
    return 0.0;
  }
  if (!(r < 1.0)) {
    return std::nextafter(1.0, 0.0);
  }
  return r;
}

// Step 3 for one file: its first item must be the format mark.
std::optional<PuzzleError> CheckFormatMark(const fs::path& file) {
  std::error_code error;
  std::optional<ItemReader> reader = ItemReader::OpenFile(file, error);
  if (!reader) {
    return Failure(kCannotRead, file, 0, format::CannotOpen(error));
  }
  if (std::optional<PuzzleError> failure = NextNeeded(*reader, 1)) {
    return failure;
  }
  if (reader->Text() != format::kFormatMark) {
    return Failure(kFormatError, file, 1, std::string(format::kFormatMarkExpected));
  }
  return std::nullopt;
}

}  // namespace

std::string PuzzleError::Message() const {
  std::string message;
  if (Item > 0) {
    message = "The puzzle file " + text::PathText(Path) + " is not valid: item " +
              std::to_string(Item) + " " + What + ".";
  } else {
    message = "No puzzle could be loaded from " + text::PathText(Path) + ": " + What + ".";
  }
  return message + " (error " + std::to_string(Number) + ")";
}

int PuzzleIndexForDraw(double r, int count) {
  if (count < 1) {
    return 0;
  }
  // The product is taken in single precision, as the game always has; a draw just below 1 can
  // round up to the count itself, which would point past the last puzzle, so it is held inside.
  const float product = static_cast<float>(InsideUnitRange(r)) * static_cast<float>(count);
  const int k = static_cast<int>(std::floor(product));
  return std::clamp(k, 0, count - 1);
}

LoadResult ReadPuzzleFromFile(ItemReader& reader, RandomSource& random, Clock& clock) {
  // 5. Items 1 and 2; the format mark was checked when the folder was scanned.
  if (std::optional<PuzzleError> failure = NextNeeded(reader, 1)) {
    return *failure;
  }
  if (std::optional<PuzzleError> failure = NextNeeded(reader, 2)) {
    return *failure;
  }
  // 6. The category item.
  std::optional<std::string> category = format::CategoryOf(reader.Text());
  if (!category) {
    return Failure(kFormatError, reader.File(), 2, format::CategoryFault(reader.Text()));
  }
  // 7. Reseed before the second draw.
  random.Randomize(clock.Ticks());
  // 8. The count item.
  if (std::optional<PuzzleError> failure = NextNeeded(reader, 3)) {
    return *failure;
  }
  const format::CountItem count = format::CountOf(reader.Text());
  switch (count.Problem) {
    case format::CountItem::Fault::None:
      break;
    case format::CountItem::Fault::WrongKey:
    case format::CountItem::Fault::TabAfterKey:
      return Failure(kFormatError, reader.File(), 3, std::string(count.What()));
    case format::CountItem::Fault::NotANumber:
      return Failure(kNotANumber, reader.File(), 3, std::string(count.What()));
    case format::CountItem::Fault::OutOfRange:
      return Failure(kOverflow, reader.File(), 3, std::string(count.What()));
  }
  // 9. Draw the puzzle.
  const int k = PuzzleIndexForDraw(random.Rnd(), count.Count);
  // 10 and 11. Every puzzle the count promises is read, so a file that holds fewer fails the same
  // way whatever the draw; the one drawn is kept. Items past the count are never read.
  const int promised = std::max(count.Count, 1);
  std::string solution;
  for (int index = 0; index < promised; ++index) {
    if (!reader.Next()) {
      const int held = reader.Number() - 3;
      if (count.Count < 1) {
        return Failure(kPastEndOfFile, reader.File(), 4, std::string(format::kNoPuzzleAfterCount));
      }
      return Failure(kPastEndOfFile, reader.File(), 3, format::CountDiffers(count.Count, held));
    }
    if (reader.TooLong()) {
      return TooLong(reader);
    }
    if (index == k) {
      solution = reader.Text();
    }
  }
  // 12. The file is closed when its reader goes.
  return PuzzleData{std::move(solution), std::move(*category)};
}

LoadResult LoadPuzzle(const fs::path& folder, RandomSource& random, Clock& clock, int maxFiles) {
  // 1. Seed the generator for the draw of the file.
  random.Randomize(clock.Ticks());

  // 2. The folder, and the files directly in it whose names end in ".orp", in the order of
  // their names so a run can be repeated; the draw gives every file the same chance whatever the
  // order.
  auto listing =
      format::ListPuzzleFiles(folder, {}, static_cast<std::size_t>(std::max(maxFiles, 0)));
  if (auto* failure = std::get_if<PuzzleError>(&listing)) {
    return std::move(*failure);
  }
  const format::PuzzleListing& candidates = std::get<format::PuzzleListing>(listing);

  // 3. The scan: every puzzle file must carry the format mark; one bad file stops the load.
  std::vector<fs::path> PuzzleFileNames;
  for (const fs::path& file : candidates.Files) {
    if (std::optional<PuzzleError> failure = CheckFormatMark(file)) {
      return *failure;
    }
    if (static_cast<int>(PuzzleFileNames.size()) >= maxFiles) {
      return Failure(kOverflow, folder, 0, format::TooManyFiles(maxFiles));
    }
    PuzzleFileNames.push_back(file);
  }

  // 4. Pick a file, each with the same chance.
  if (PuzzleFileNames.empty()) {
    return Failure(kNoPuzzleFiles, folder, 0, candidates.NoPuzzleFiles());
  }
  const auto n = static_cast<double>(PuzzleFileNames.size());
  const auto index = static_cast<std::size_t>(std::floor(InsideUnitRange(random.Rnd()) * n)) + 1;
  const fs::path& picked = PuzzleFileNames[std::min(index, PuzzleFileNames.size()) - 1];

  // 5 to 12, on the picked file.
  std::error_code error;
  std::optional<ItemReader> reader = ItemReader::OpenFile(picked, error);
  if (!reader) {
    return Failure(kCannotRead, picked, 0, format::CannotOpen(error));
  }
  return ReadPuzzleFromFile(*reader, random, clock);
}

}  // namespace orvanta
