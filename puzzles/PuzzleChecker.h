// PuzzleChecker.h: a careful reading of puzzle files for the people who write puzzle packs. Where
// the game only looks at what one load needs, the checker reads every file to its end and reports
// each problem with its file, its item and what is wrong.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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

// What the checker found in one puzzle file.
struct PuzzleFileReport {
  std::filesystem::path File;
  std::optional<int> Count;  // the count of puzzles its item 3 gives, when it gives one
  int Puzzles = 0;           // the puzzle items the file holds after item 3
  std::vector<PuzzleProblem> Problems;
};

// What the checker found in a folder of puzzle files, in the order of the files' names.
struct PuzzleFolderReport {
  std::optional<PuzzleError> FolderError;  // a folder that cannot be checked at all
  std::vector<PuzzleFileReport> Files;
  // All problems of all files.
  int ProblemCount() const;
  // Files with at least one problem.
  int FilesWithProblems() const;
  // Puzzle items in all files.
  int PuzzleCount() const;
};

// Checks one puzzle file from its start to its end.
PuzzleFileReport CheckPuzzleFile(ItemReader& reader);
PuzzleFileReport CheckPuzzleFile(const std::filesystem::path& file);
// Checks every puzzle file (a name ending in ".orp", any case) directly inside `folder`.
PuzzleFolderReport CheckPuzzleFolder(const std::filesystem::path& folder);

}  // namespace orvanta
