#include "app/CheckPuzzles.h"

#include <string>

#include "puzzles/PuzzleChecker.h"

namespace orvanta {
namespace {

// "1 puzzle file", "12 puzzle files".
std::string Counted(int count, const std::string& what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

// "Cannot check the puzzle folder /x/Puzzles: the folder does not exist."
std::string FolderProblem(const PuzzleError& error) {
  return "Cannot check the puzzle folder " + error.Path.string() + ": " + error.What + ".";
}

}  // namespace

int RunCheckPuzzles(const std::filesystem::path& folder, std::ostream& out, std::ostream& err) {
  const PuzzleFolderReport report = CheckPuzzleFolder(folder);
  if (report.FolderError && report.Files.empty()) {
    err << FolderProblem(*report.FolderError) << '\n';
    return 1;
  }
  for (const PuzzleFileReport& file : report.Files) {
    for (const PuzzleProblem& problem : file.Problems) {
      out << problem.File.string() << ": ";
      if (problem.Item > 0) {
        out << "item " << problem.Item << ": ";
      }
      out << problem.What;
      if (problem.Line > 0) {
        out << " (line " << problem.Line << ")";
      }
      out << '\n';
    }
  }
  const int files = static_cast<int>(report.Files.size());
  if (report.FolderError) {
    err << FolderProblem(*report.FolderError) << '\n';
  }
  if (report.ProblemCount() == 0) {
    out << Counted(files, "puzzle file") << ", " << Counted(report.PuzzleCount(), "puzzle")
        << ": all good.\n";
    return 0;
  }
  out << Counted(report.ProblemCount(), "problem") << " in " << report.FilesWithProblems() << " of "
      << Counted(files, "puzzle file") << ".\n";
  return 1;
}

}  // namespace orvanta
