// PuzzleFormat.h: what the first three items of a puzzle file must say (the format mark, the
// category and the count of puzzles), shared by the game's loader and the puzzle checker so both
// judge a file the same way and describe a fault in the same words.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "puzzles/modPuzzler.h"

namespace orvanta::puzzle_format {

// Item 1 of every puzzle file, exactly: whole item, case-sensitive.
inline constexpr std::string_view kFormatMark = "ZONTARY_WHEEL/PDATA/1.x";
// The extension of a puzzle file, in any case.
inline constexpr std::string_view kExtension = ".orp";
// The most puzzle files a folder may hold.
inline constexpr int kMaxPuzzleFiles = 32767;

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
inline constexpr std::string_view kCountOutOfRange =
    "gives a count of puzzles outside the range -32768 to 32767";
// "is longer than 32767 characters"
std::string TooLongText();

// "gives a count of 1 puzzle", "gives a count of 5 puzzles".
std::string CountGiven(int count);

// Whether a file name ends in ".orp", in any case.
bool HasPuzzleExtension(std::string_view fileName);

// The puzzle files directly inside `folder` (regular files whose names end in ".orp", in any
// case), sorted by name so that runs can be repeated; or why the folder cannot be listed. An
// empty list is not a failure here.
std::variant<std::vector<std::filesystem::path>, PuzzleError> ListPuzzleFiles(
    const std::filesystem::path& folder);

// The category of a category item ("C", blanks, the category text), or nullopt when the item's
// first word is not "C". The text after the key is kept as written, inner spacing included.
std::optional<std::string> CategoryOf(std::string_view item);

// The count item read: a count, or why there is none.
struct CountItem {
  enum class Fault { None, WrongKey, NotANumber, OutOfRange };
  Fault Problem = Fault::None;
  int Count = 0;
  // What is wrong, in the words that follow "item 3"; empty when all is well.
  std::string_view What() const;
};
// Reads a count item ("TP", blanks, a decimal whole number, anything after it ignored).
CountItem CountOf(std::string_view item);

}  // namespace orvanta::puzzle_format
