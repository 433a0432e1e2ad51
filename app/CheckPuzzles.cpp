#include "app/CheckPuzzles.h"

#include <cstdint>
#include <string>

#include "base/Text.h"
#include "puzzles/PuzzleChecker.h"

namespace orvanta {
namespace {

// "1 puzzle file", "12 puzzle files".
std::string Counted(std::int64_t count, const std::string& what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

// "Cannot check the puzzle folder /x/Puzzles: the folder does not exist."
std::string FolderProblem(const PuzzleError& error) {
  return "Cannot check the puzzle folder " + text::PathText(error.Path) + ": " + error.What + ".";
}

}  // namespace

int RunCheckPuzzles(const std::filesystem::path& folder, std::ostream& out, std::ostream& err) {
  // Each problem is printed as soon as it is found.
  const PuzzleFolderReport report = CheckPuzzleFolder(folder, [&out](const PuzzleProblem& problem) {
    out << text::PathText(problem.File) << ": ";
    if (problem.Item > 0) {
      out << "item " << problem.Item << ": ";
    }
    out << problem.What;
    if (problem.Line > 0) {
      out << " (line " << problem.Line << ")";
    }
    out << '\n';
  });
  if (report.FolderError) {
    err << FolderProblem(*report.FolderError) << '\n';
    if (report.Files == 0) {
      return 1;
    }
  }
  if (report.Problems == 0 && !report.FolderError) {
    out << Counted(report.Files, "puzzle file") << ", " << Counted(report.Puzzles, "puzzle")
        << ": all good.\n";
    return 0;
  }
  out << Counted(report.Problems, "problem") << " in " << report.FilesWithProblems << " of "
      << Counted(report.Files, "puzzle file") << ".\n";
  return 1;
}

}  // namespace orvanta
