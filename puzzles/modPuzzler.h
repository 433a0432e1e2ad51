// modPuzzler.h: the puzzles and the board. LoadPuzzle picks one phrase at random from the puzzle
// files of a folder; MaskPuzzle, RevealLetter and CountLetter are the rules of the board of blanks.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "base/RandomSource.h"

namespace orvanta {

class ItemReader;

// The most puzzle files a folder may hold.
inline constexpr int kMaxPuzzleFiles = 32767;

// One puzzle: the phrase exactly as its file holds it, and the category of its file.
struct PuzzleData {
  std::string Solution;
  std::string Category;
};

// Why no puzzle could be loaded. The numbers:
//   6   overflow: more than 32767 puzzle files, or a count of puzzles outside -32768..32767
//   9   the folder holds no puzzle file (no name ending in ".orp")
//   13  the count item has no number after "TP"
//   62  a file ends before an item the load needs (an empty file, a file that holds fewer
//       puzzles than its count says)
//   75  the folder or a file in it cannot be read
//   76  the folder does not exist
//   254 a file breaks the format: a wrong format mark, category or count item, an over-long item
struct PuzzleError {
  int Number = 0;
  std::filesystem::path Path;  // the folder or the file the failure concerns
  int Item = 0;                // the item of that file, counted from 1; 0 when none
  std::string What;            // what is wrong; after "item N" when there is an item
  // One sentence a player can read, naming the file, the item and what is wrong.
  std::string Message() const;
};

using LoadResult = std::variant<PuzzleData, PuzzleError>;

// Lists the puzzle files of `folder` (the Puzzles folder itself), checks each one's format mark,
// picks one file and then one of its puzzles at random, reseeding `random` from `clock` before
// each of the two draws. More than `maxFiles` puzzle files is an overflow.
LoadResult LoadPuzzle(const std::filesystem::path& folder, RandomSource& random, Clock& clock,
                      int maxFiles = kMaxPuzzleFiles);

// The part of LoadPuzzle that reads the picked file: its category, its count, and the puzzle drawn
// (reseeding `random` from `clock` before the draw). The reader must be at the file's start.
LoadResult ReadPuzzleFromFile(ItemReader& reader, RandomSource& random, Clock& clock);

// Which puzzle of a file a draw r (0 <= r < 1) picks among `count`, from 0: r times the count in
// single precision, rounded down; 0 for a count of 0 or below.
int PuzzleIndexForDraw(double r, int count);

// The first board for a solution: every letter a to z (either case) becomes "_", everything else
// is shown lower-cased.
std::string MaskPuzzle(std::string_view Solution);

// The board with every hidden occurrence of `Letter` (its first character, either case) uncovered,
// upper-cased as a whole; "ERROR" when the board and the solution differ in length.
std::string RevealLetter(std::string_view Board, std::string_view Solution,
                         std::string_view Letter);

// How often the first character of `Letter` occurs in `Text`, ignoring case; 0 for an empty letter.
int CountLetter(std::string_view Text, std::string_view Letter);

}  // namespace orvanta
