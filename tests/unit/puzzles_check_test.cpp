// The puzzle checker, for the people who write puzzle packs: a good folder passes, and every
// problem of a broken one is reported with its file, its item and what is wrong.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
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

TEST(PuzzleChecker, GoodFolderIsAllGood) {
  TempPuzzleFolder folder;
  folder.Write("a.orp", PuzzleFileText("Food", "2", {"APPLE PIE", "\"FISH, CHIPS\""}));
  folder.Write("b.orp", PuzzleFileText("Places", "1", {"PARIS"}));
  const CheckRun run = Check(folder.Path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, (std::vector<std::string>{"2 puzzle files, 3 puzzles: all good."}));
  EXPECT_TRUE(run.err.empty());
}

TEST(PuzzleChecker, OneFileWithOnePuzzleIsCountedInTheSingular) {
  TempPuzzleFolder folder;
  folder.Write("a.orp", PuzzleFileText("Food", "1", {"APPLE PIE"}));
  EXPECT_EQ(Check(folder.Path()).out,
            (std::vector<std::string>{"1 puzzle file, 1 puzzle: all good."}));
}

TEST(PuzzleChecker, BrokenFolderReportsEveryProblemWithFileAndItem) {
  TempPuzzleFolder folder;
  const std::string tooLong(ItemReader::kMaxItemCharacters + 1, 'A');
  const auto marks =
      folder.Write("a-mark.orp", "ZONTARY_WHEEL/PDATA/1.0\r\nc Food\r\nTP x\r\nPIE\r\n");
  const auto counts =
      folder.Write("b-count.orp", PuzzleFileText("Animals", "4", {"CAT", "Dog", "cat", tooLong}));
  const auto quotes =
      folder.Write("c-quotes.orp", PuzzleFileText("", "3", {"\"OPEN\"ED", "", "\"NEVER CLOSED"}));
  folder.Write("d-good.orp", PuzzleFileText("Fine", "1", {"FINE"}));
  const auto empty = folder.Write("e-empty.ORP", "");

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

TEST(PuzzleChecker, CountIsCheckedAgainstThePuzzlesPresentBothWays) {
  TempPuzzleFolder folder;
  folder.Write("more.orp", PuzzleFileText("A", "5", {"ONE", "TWO"}));
  folder.Write("fewer.orp", PuzzleFileText("B", "1", {"ONE", "TWO"}));
  const PuzzleFolderReport report = CheckPuzzleFolder(folder.Path());
  ASSERT_EQ(report.Files.size(), 2u);
  EXPECT_EQ(report.Files[0].File.filename(), "fewer.orp");
  ASSERT_EQ(report.Files[0].Problems.size(), 1u);
  EXPECT_EQ(report.Files[0].Problems[0].Item, 3);
  EXPECT_EQ(report.Files[0].Problems[0].What, "gives a count of 1 puzzle, but the file holds 2");
  ASSERT_EQ(report.Files[1].Problems.size(), 1u);
  EXPECT_EQ(report.Files[1].Problems[0].What, "gives a count of 5 puzzles, but the file holds 2");
}

TEST(PuzzleChecker, FileThatEndsEarlyIsReportedAtTheMissingItem) {
  ItemReader reader = ItemReader::FromBytes("ZONTARY_WHEEL/PDATA/1.x\r\nC A\r\n", "short.orp");
  const PuzzleFileReport report = CheckPuzzleFile(reader);
  ASSERT_EQ(report.Problems.size(), 1u);
  EXPECT_EQ(report.Problems[0].Item, 3);
  EXPECT_EQ(report.Problems[0].What, "is missing: the file ends after item 2");
  EXPECT_FALSE(report.Count.has_value());
}

TEST(PuzzleChecker, FileWithoutPuzzlesIsReportedWhateverItsCount) {
  for (const char* count : {"0", "-3", "2"}) {
    ItemReader reader = ItemReader::FromBytes(PuzzleFileText("A", count, {}), "none.orp");
    const PuzzleFileReport report = CheckPuzzleFile(reader);
    ASSERT_EQ(report.Problems.size(), 1u) << count;
    EXPECT_EQ(report.Problems[0].Item, 4);
    EXPECT_EQ(report.Problems[0].What, "is missing: the file holds no puzzle after the count");
  }
}

TEST(PuzzleChecker, DuplicatesAreFoundWhateverTheirCase) {
  ItemReader reader = ItemReader::FromBytes(
      PuzzleFileText("A", "4", {"Café au lait", "CAFÉ AU LAIT", "TEA", "café au lait"}), "d.orp");
  const PuzzleFileReport report = CheckPuzzleFile(reader);
  ASSERT_EQ(report.Problems.size(), 2u);
  EXPECT_EQ(report.Problems[0].Item, 5);
  EXPECT_EQ(report.Problems[0].What, "is the same phrase as item 4");
  EXPECT_EQ(report.Problems[1].Item, 7);
  EXPECT_EQ(report.Problems[1].What, "is the same phrase as item 4");
}

TEST(PuzzleChecker, PhraseWithoutLettersToGuessIsReported) {
  ItemReader reader = ItemReader::FromBytes(PuzzleFileText("A", "2", {"1 2 3", "ÉÉ"}), "n.orp");
  const PuzzleFileReport report = CheckPuzzleFile(reader);
  ASSERT_EQ(report.Problems.size(), 2u);
  EXPECT_EQ(report.Problems[0].What, "has no letter a to z to guess");
  EXPECT_EQ(report.Problems[1].Item, 5);
}

TEST(PuzzleChecker, MissingFolderIsAnErrorOnTheErrorStream) {
  TempPuzzleFolder folder;
  const CheckRun run = Check(folder.Path() / "nowhere");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.out.empty());
  ASSERT_EQ(run.err.size(), 1u);
  EXPECT_EQ(run.err[0], "Cannot check the puzzle folder " + (folder.Path() / "nowhere").string() +
                            ": the folder does not exist.");
}

TEST(PuzzleChecker, FolderWithoutPuzzleFilesFails) {
  TempPuzzleFolder folder;
  folder.Write("notes.txt", "x");
  const CheckRun run = Check(folder.Path());
  EXPECT_EQ(run.status, 1);
  ASSERT_EQ(run.err.size(), 1u);
  EXPECT_NE(run.err[0].find("holds no puzzle files"), std::string::npos);
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
