// The puzzle checker, for the people who write puzzle packs: a good folder passes, and every
// problem of a broken one is reported with its file, its item and what is wrong.
#include <gtest/gtest.h>

#include <cstdio>
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

// A good folder is all good, its file and puzzle counted in the singular (in the plural, and
// with quoted commas: the shipped puzzles below).
TEST(PuzzleChecker, GoodFolderIsAllGood) {
  TempPuzzleFolder folder;
  folder.Write("a.orp", PuzzleFileText("Food", "1", {"APPLE PIE"}));
  const CheckRun run = Check(folder.Path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, (std::vector<std::string>{"1 puzzle file, 1 puzzle: all good."}));
  EXPECT_TRUE(run.err.empty());
}

TEST(PuzzleChecker, BrokenFolderReportsEveryProblemWithFileAndItem) {
  TempPuzzleFolder folder;
  const std::string tooLong(ItemReader::kMaxItemCharacters + 1, 'A');
  // Written out of order: the report lists the files by name.
  const auto empty = folder.Write("e-empty.ORP", "");
  folder.Write("d-good.orp", PuzzleFileText("Fine", "1", {"FINE"}));
  // Each problem names the line its item starts on: two items share a line, one spans two.
  const auto quotes = folder.Write(
      "c-quotes.orp",
      PuzzleFileText("", "4", {"\"OPEN\"ED", "\"TWO\r\nLINES\"", "", "\"NEVER CLOSED"}));
  const auto counts =
      folder.Write("b-count.orp", PuzzleFileText("Animals", "4", {"CAT", "Dog,cat", tooLong}));
  const auto marks =
      folder.Write("a-mark.orp", "ZONTARY_WHEEL/PDATA/1.0\r\nc Food\r\nTP x\r\nPIE\r\n");
  // An entry named like a puzzle file that is none is named with the reason, first.
  std::filesystem::create_directory(folder.Path() / "f-folder.orp");

  const CheckRun run = Check(folder.Path());
  EXPECT_EQ(run.status, 1);
  const std::vector<std::string> expected = {
      (folder.Path() / "f-folder.orp").string() + ": is a folder, not a puzzle file",
      marks.string() + ": item 1: should be the format mark \"ZONTARY_WHEEL/PDATA/1.x\" (line 1)",
      marks.string() + ": item 2: should be the category (\"C\" and the category text) (line 2)",
      marks.string() +
          ": item 3: should give the count of puzzles as a whole number after \"TP\" (line 3)",
      counts.string() + ": item 6: is the same phrase as item 4 (line 5)",
      counts.string() + ": item 7: is longer than 32767 characters (line 6)",
      quotes.string() + ": item 2: gives an empty category (line 2)",
      quotes.string() +
          ": item 4: has text after its closing double quote, which is dropped (line 4)",
      quotes.string() +
          ": item 5: opens a double quote that is closed only on a later line (line 5)",
      quotes.string() + ": item 6: is an empty puzzle (a blank line counts as a puzzle) (line 7)",
      quotes.string() +
          ": item 7: opens a double quote that is never closed, so it runs to the end of the file"
          " (line 8)",
      empty.string() + ": item 1: is missing: the file is empty",
      "12 problems in 5 of 6 puzzle files.",
  };
  EXPECT_EQ(run.out, expected);
}

using Problems = std::vector<std::pair<int, std::string>>;

// The problems the checker finds in a file's bytes: each one's item and what is wrong.
Problems FileProblems(const std::string& bytes) {
  ItemReader reader = ItemReader::FromBytes(bytes, "t.orp");
  Problems problems;
  CheckPuzzleFile(reader, [&problems](const PuzzleProblem& problem) {
    problems.emplace_back(problem.Item, problem.What);
  });
  return problems;
}

// Each file's bytes and its problems, item by item.
TEST(PuzzleChecker, FileProblemsAreReportedOnTheirItems) {
  const std::string none = "is missing: the file holds no puzzle after the count";
  const std::string same = "is the same phrase as item 4";
  const std::string noLetter = "has no letter a to z to guess";
  const std::pair<std::string, Problems> cases[] = {
      // The count is checked against the puzzles present both ways.
      {PuzzleFileText("A", "5", {"ONE", "TWO"}),
       {{3, "gives a count of 5 puzzles, but the file holds only 2"}}},
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
      // A tab after a key is named as what is wrong.
      {"ZONTARY_WHEEL/PDATA/1.x\r\nC\tFood\r\nTP\t1\r\nPIE\r\n",
       {{2,
         "should be the category (\"C\" and the category text): a tab after \"C\" does not end "
         "the key, only a space does"},
        {3,
         "should be the count of puzzles (\"TP\" and a number): a tab after \"TP\" does not end "
         "the key, only a space does"}}},
  };
  for (const auto& [bytes, expected] : cases) {
    EXPECT_EQ(FileProblems(bytes), expected) << bytes;
  }
}

// However many problems a file has, the first hundred are listed and the rest counted, so the
// report of a huge file stays short.
TEST(PuzzleChecker, ProblemsPastAHundredInAFileAreCounted) {
  std::string bytes = PuzzleFileText("A", "103", {});
  for (int i = 0; i < 103; ++i) {
    bytes += "SAME\r\n";
  }
  const Problems problems = FileProblems(bytes);
  ASSERT_EQ(problems.size(), 101u);
  EXPECT_EQ(problems[99], (std::pair<int, std::string>{104, "is the same phrase as item 4"}));
  EXPECT_EQ(problems.back(), (std::pair<int, std::string>{0, "and 2 more problems"}));
}

// A folder that cannot be checked is an error on the error stream, with the reason the loader
// gives (each reason: puzzles_load_test.cpp).
TEST(PuzzleChecker, FolderThatCannotBeCheckedFails) {
  TempPuzzleFolder folder;
  const CheckRun missing = Check(folder.Path() / "nowhere");
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.out.empty());
  EXPECT_EQ(missing.err, (std::vector<std::string>{"Cannot check the puzzle folder " +
                                                   (folder.Path() / "nowhere").string() +
                                                   ": the folder does not exist."}));
}

// The puzzle files the game ships: every one is good and as full as it should be.
TEST(ShippedPuzzles, EveryShippedFileIsCompleteAndGood) {
  const std::filesystem::path shipped = ORVANTA_SHIPPED_PUZZLES;
  const CheckRun run = Check(shipped);
  EXPECT_EQ(run.status, 0);
  ASSERT_EQ(run.out.size(), 1u) << run.out.front();
  int files = 0;
  int puzzles = 0;
  ASSERT_EQ(
      std::sscanf(run.out[0].c_str(), "%d puzzle files, %d puzzles: all good.", &files, &puzzles),
      2)
      << run.out[0];
  EXPECT_GE(files, 12);
  EXPECT_GE(puzzles, 40 * files);
}

}  // namespace
}  // namespace orvanta
