// The puzzle checker, for the people who write puzzle packs: a good folder passes, and every
// problem of a broken one is reported with its file, its item and what is wrong.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/CheckPuzzles.h"
#include "puzzles/ItemReader.h"
#include "puzzles/PuzzleChecker.h"
#include "tests/fixtures/puzzles/TempPuzzleFolder.h"

namespace orvanta {
namespace {

using testing::PuzzleFileText;
using testing::TempPuzzleFolder;

// The lines of a text.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

struct CheckRun {
  int status = 0;
  std::vector<std::string> out;
  std::vector<std::string> err;
};

CheckRun Check(const std::filesystem::path& folder) {
  std::ostringstream out;
  std::ostringstream err;
  CheckRun run;
  run.status = RunCheckPuzzles(folder, out, err);
  run.out = Lines(out.str());
  run.err = Lines(err.str());
  return run;
}

// A good folder is all good, its files and puzzles counted in the singular or the plural.
TEST(PuzzleChecker, GoodFolderIsAllGood) {
  TempPuzzleFolder folder;
  folder.Write("a.orp", PuzzleFileText("Food", "1", {"APPLE PIE"}));
  for (const char* summary :
       {"1 puzzle file, 1 puzzle: all good.", "2 puzzle files, 3 puzzles: all good."}) {
    const CheckRun run = Check(folder.Path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, (std::vector<std::string>{summary}));
    EXPECT_TRUE(run.err.empty());
    folder.Write("a.orp", PuzzleFileText("Food", "2", {"APPLE PIE", "\"FISH, CHIPS\""}));
    folder.Write("b.orp", PuzzleFileText("Places", "1", {"PARIS"}));
  }
}

TEST(PuzzleChecker, BrokenFolderReportsEveryProblemWithFileAndItem) {
  TempPuzzleFolder folder;
  const std::string tooLong(ItemReader::kMaxItemCharacters + 1, 'A');
  // Written out of order: the report lists the files by name.
  const auto empty = folder.Write("e-empty.ORP", "");
  folder.Write("d-good.orp", PuzzleFileText("Fine", "1", {"FINE"}));
  const auto quotes =
      folder.Write("c-quotes.orp", PuzzleFileText("", "3", {"\"OPEN\"ED", "", "\"NEVER CLOSED"}));
  const auto counts =
      folder.Write("b-count.orp", PuzzleFileText("Animals", "4", {"CAT", "Dog", "cat", tooLong}));
  const auto marks =
      folder.Write("a-mark.orp", "ZONTARY_WHEEL/PDATA/1.0\r\nc Food\r\nTP x\r\nPIE\r\n");

  const CheckRun run = Check(folder.Path());
  EXPECT_EQ(run.status, 1);
  const std::vector<std::string> expected = {
      marks.string() + ": item 1: should be the format mark \"ZONTARY_WHEEL/PDATA/1.x\" (line 1)",
      marks.string() + ": item 2: should be the category (\"C\" and the category text) (line 2)",
      marks.string() +
          ": item 3: should give the count of puzzles as a whole number after \"TP\" (line 3)",
      counts.string() + ": item 6: is the same phrase as item 4 (line 6)",
      counts.string() + ": item 7: is longer than 32767 characters (line 7)",
      quotes.string() + ": item 2: gives an empty category (line 2)",
      quotes.string() +
          ": item 4: has text after its closing double quote, which is dropped (line 4)",
      quotes.string() + ": item 5: is an empty puzzle (a blank line counts as a puzzle) (line 5)",
      quotes.string() +
          ": item 6: opens a double quote that is never closed, so it runs to the end of the file"
          " (line 6)",
      empty.string() + ": item 1: is missing: the file is empty",
      "10 problems in 4 of 5 puzzle files.",
  };
  EXPECT_EQ(run.out, expected);
}

// Each file's bytes and its problems, item by item.
TEST(PuzzleChecker, FileProblemsAreReportedOnTheirItems) {
  using Problems = std::vector<std::pair<int, std::string>>;
  const std::string none = "is missing: the file holds no puzzle after the count";
  const std::string same = "is the same phrase as item 4";
  const std::string noLetter = "has no letter a to z to guess";
  const std::pair<std::string, Problems> cases[] = {
      // The count is checked against the puzzles present both ways.
      {PuzzleFileText("A", "5", {"ONE", "TWO"}),
       {{3, "gives a count of 5 puzzles, but the file holds 2"}}},
      {PuzzleFileText("B", "1", {"ONE", "TWO"}),
       {{3, "gives a count of 1 puzzle, but the file holds 2"}}},
      {"ZONTARY_WHEEL/PDATA/1.x\r\nC A\r\n", {{3, "is missing: the file ends after item 2"}}},
      // A file without puzzles is reported whatever its count.
      {PuzzleFileText("A", "0", {}), {{4, none}}},
      {PuzzleFileText("A", "-3", {}), {{4, none}}},
      {PuzzleFileText("A", "2", {}), {{4, none}}},
      // Duplicates are found whatever their case.
      {PuzzleFileText("A", "4", {"Café au lait", "CAFÉ AU LAIT", "TEA", "café au lait"}),
       {{5, same}, {7, same}}},
      {PuzzleFileText("A", "2", {"1 2 3", "ÉÉ"}), {{4, noLetter}, {5, noLetter}}},
  };
  for (const auto& [bytes, expected] : cases) {
    ItemReader reader = ItemReader::FromBytes(bytes, "t.orp");
    const PuzzleFileReport report = CheckPuzzleFile(reader);
    Problems problems;
    for (const PuzzleProblem& problem : report.Problems) {
      problems.emplace_back(problem.Item, problem.What);
    }
    EXPECT_EQ(problems, expected) << bytes;
  }
  // A file that ends before its count gives none.
  ItemReader reader = ItemReader::FromBytes(cases[2].first, "short.orp");
  EXPECT_FALSE(CheckPuzzleFile(reader).Count.has_value());
}

// A missing folder, or one without puzzle files, is an error on the error stream.
TEST(PuzzleChecker, FolderThatCannotBeCheckedFails) {
  TempPuzzleFolder folder;
  folder.Write("notes.txt", "x");
  const CheckRun missing = Check(folder.Path() / "nowhere");
  const CheckRun empty = Check(folder.Path());
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.out.empty());
  EXPECT_EQ(missing.err, (std::vector<std::string>{"Cannot check the puzzle folder " +
                                                   (folder.Path() / "nowhere").string() +
                                                   ": the folder does not exist."}));
  EXPECT_EQ(empty.status, 1);
  ASSERT_EQ(empty.err.size(), 1u);
  EXPECT_NE(empty.err[0].find("holds no puzzle files"), std::string::npos);
}

// The puzzle files the game ships: every one loads completely and is as full as it should be.
TEST(ShippedPuzzles, EveryShippedFileIsCompleteAndGood) {
  const std::filesystem::path shipped = ORVANTA_SHIPPED_PUZZLES;
  const PuzzleFolderReport report = CheckPuzzleFolder(shipped);
  ASSERT_FALSE(report.FolderError.has_value()) << report.FolderError->Message();
  EXPECT_GE(report.Files.size(), 12u) << "too few puzzle files in " << shipped;
  for (const PuzzleFileReport& file : report.Files) {
    for (const PuzzleProblem& problem : file.Problems) {
      ADD_FAILURE() << problem.File << ": item " << problem.Item << ": " << problem.What;
    }
    ASSERT_TRUE(file.Count.has_value()) << file.File;
    EXPECT_EQ(*file.Count, file.Puzzles) << file.File;
    EXPECT_GE(file.Puzzles, 40) << file.File;
  }
  const CheckRun run = Check(shipped);
  EXPECT_EQ(run.status, 0);
  ASSERT_FALSE(run.out.empty());
  EXPECT_NE(run.out.back().find("all good."), std::string::npos) << run.out.back();
}

}  // namespace
}  // namespace orvanta
