// PuzzleChecker.h: a careful reading of puzzle files for the people who write puzzle packs. Where
// the game only looks at what one load needs, the checker reads every file to its end and reports
// each problem with its file, its item and what is wrong, as it finds it. Its memory stays the
// same whatever the size of a file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "puzzles/modPuzzler.h"

namespace orvanta {

class ItemReader;

// One problem of a puzzle file.
struct PuzzleProblem {
  std::filesystem::path File;
  int Item = 0;  // counted from 1; 0 for a problem of the file as a whole
  int Line = 0;  // the line on which the item begins; 0 when unknown
  std::string What;
};

// Takes each problem as it is found. Past kListedProblems in one file, the rest of that file's
// problems are only counted, and one last problem says "and N more problems".
using ProblemHandler = std::function<void(const PuzzleProblem&)>;
inline constexpr std::int64_t kListedProblems = 100;

// What the checker found in one puzzle file.
struct PuzzleFileReport {
  std::optional<int> Count;   // the count of puzzles its item 3 gives, when it gives one
  std::int64_t Puzzles = 0;   // the puzzle items the file holds after item 3
  std::int64_t Problems = 0;  // every problem found, listed or not
};

// What the checker found in a folder of puzzle files.
struct PuzzleFolderReport {
  std::optional<PuzzleError> FolderError;  // a folder that cannot be checked at all
  std::int64_t Files = 0;                  // puzzle files and entries named like them
  std::int64_t FilesWithProblems = 0;
  std::int64_t Puzzles = 0;
  std::int64_t Problems = 0;
};

// Checks one puzzle file from its start to its end.
PuzzleFileReport CheckPuzzleFile(ItemReader& reader, const ProblemHandler& problem);
PuzzleFileReport CheckPuzzleFile(const std::filesystem::path& file, const ProblemHandler& problem);
// Checks every puzzle file (a name ending in ".orp", any case) directly inside `folder`, in the
// order of their names; an entry so named that is not a file to read is a problem of its own.
PuzzleFolderReport CheckPuzzleFolder(const std::filesystem::path& folder,
                                     const ProblemHandler& problem);

}  // namespace orvanta
