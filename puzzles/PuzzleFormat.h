// PuzzleFormat.h: what a puzzle folder and the first three items of a puzzle file must hold, and
// every message about them: the one place the game's loader and the puzzle checker share, so
// both judge a file the same way and describe a fault in the same words.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

#include "puzzles/modPuzzler.h"

namespace orvanta::puzzle_format {

// Item 1 of every puzzle file, exactly: whole item, case-sensitive.
inline constexpr std::string_view kFormatMark = "ZONTARY_WHEEL/PDATA/1.x";
// The extension of a puzzle file, in any case.
inline constexpr std::string_view kExtension = ".orp";
using orvanta::kMaxPuzzleFiles;

// The numbers of load failures (see PuzzleError).
inline constexpr int kOverflow = 6;
inline constexpr int kNoPuzzleFiles = 9;
inline constexpr int kNotANumber = 13;
inline constexpr int kPastEndOfFile = 62;
inline constexpr int kCannotRead = 75;
inline constexpr int kFolderNotFound = 76;
inline constexpr int kFormatError = 254;

// What is wrong with an item, as the words that follow "item N" in a report.
inline constexpr std::string_view kFormatMarkExpected =
    "should be the format mark \"ZONTARY_WHEEL/PDATA/1.x\"";
inline constexpr std::string_view kCategoryExpected =
    "should be the category (\"C\" and the category text)";
inline constexpr std::string_view kCountExpected =
    "should be the count of puzzles (\"TP\" and a number)";
inline constexpr std::string_view kCountNotANumber =
    "should give the count of puzzles as a whole number after \"TP\"";
inline constexpr std::string_view kCountTabAfterKey =
    "should be the count of puzzles (\"TP\" and a number): a tab after \"TP\" does not end the "
    "key, only a space does";
inline constexpr std::string_view kCountOutOfRange =
    "gives a count of puzzles outside the range -32768 to 32767";
inline constexpr std::string_view kNoPuzzleAfterCount =
    "is missing: the file holds no puzzle after the count";
// "is longer than 32767 characters"
std::string TooLongText();
// "is missing: the file is empty", "is missing: the file ends after item 2".
std::string MissingItem(int itemsRead);
// "gives a count of 1 puzzle", "gives a count of 5 puzzles".
std::string CountGiven(int count);
// "gives a count of 5 puzzles, but the file holds only 3".
std::string CountDiffers(int count, long long held);
// "the file cannot be opened for reading (Permission denied)".
std::string CannotOpen(const std::error_code& error);
// "the folder holds more than 32767 puzzle files".
std::string TooManyFiles(int limit);

// Whether a file name ends in ".orp", in any case.
bool HasPuzzleExtension(std::string_view fileName);

// An entry of the folder named like a puzzle file that is no file to read, and why: "is a
// folder", "is a link that leads nowhere".
struct SkippedEntry {
  std::filesystem::path Path;
  std::string Why;
};

// The puzzle files of a folder, and a few of the entries named like them that are not files.
struct PuzzleListing {
  static constexpr std::size_t kSkippedNamed = 3;  // the skipped entries a message names
  std::vector<std::filesystem::path> Files;
  std::vector<SkippedEntry> Skipped;  // the first kSkippedNamed of them by name
  std::size_t SkippedCount = 0;       // all of them
  // "the folder holds no puzzle files (files whose names end in .orp)", naming the skipped ones.
  std::string NoPuzzleFiles() const;
};

// The puzzle files directly inside `folder` (regular files whose names end in ".orp", in any
// case), sorted by name so that runs can be repeated; or why the folder cannot be listed. An
// empty list is not a failure here. Each entry named like a puzzle file that is not a regular
// file (a folder, a pipe, a link that leads nowhere) is passed to `skipped` as it is found. The
// listing stops once it holds more than `maxFiles` puzzle files, so a huge folder costs no more.
using SkippedHandler = std::function<void(const SkippedEntry&)>;
std::variant<PuzzleListing, PuzzleError> ListPuzzleFiles(
    const std::filesystem::path& folder, const SkippedHandler& skipped = {},
    std::size_t maxFiles = std::numeric_limits<std::size_t>::max() - 1);

// The category of a category item ("C", blanks, the category text), or nullopt when the item's
// first word is not "C". The text after the key is kept as written, inner spacing included.
std::optional<std::string> CategoryOf(std::string_view item);
// What is wrong with an item that is no category item: a tab after the key gets a word of its own.
std::string CategoryFault(std::string_view item);

// The count item read: a count, or why there is none.
struct CountItem {
  enum class Fault { None, WrongKey, NotANumber, OutOfRange, TabAfterKey };
  Fault Problem = Fault::None;
  int Count = 0;
  // What is wrong, in the words that follow "item 3"; empty when all is well.
  std::string_view What() const;
};
// Reads a count item ("TP", blanks, a decimal whole number, anything after it ignored).
CountItem CountOf(std::string_view item);

}  // namespace orvanta::puzzle_format
