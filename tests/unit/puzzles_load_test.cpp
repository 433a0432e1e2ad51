// Loading a puzzle: how the folder is scanned, how a file and a puzzle are drawn, and every way a
// load can fail, each with the number and sentence the player is shown.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "puzzles/ItemReader.h"
#include "puzzles/modPuzzler.h"
#include "tests/fixtures/puzzles/TempPuzzleFolder.h"

namespace orvanta {
namespace {

using testing::PuzzleFileText;
using testing::TempPuzzleFolder;

class LoadPuzzleTest : public ::testing::Test {
 protected:
  // Loads with the given draws queued, expecting a puzzle (PuzzleData) or a failure (PuzzleError).
  template <typename Expected>
  Expected Load(std::initializer_list<double> draws) {
    for (double r : draws) {
      random_.Queue(r);
    }
    const LoadResult result = LoadPuzzle(folder_.Path(), random_, clock_);
    if (const auto* expected = std::get_if<Expected>(&result))
      return *expected;
    if (const auto* error = std::get_if<PuzzleError>(&result)) {
      ADD_FAILURE() << error->Message();
    } else {
      ADD_FAILURE() << "loaded \"" << std::get<PuzzleData>(result).Solution << "\"";
    }
    return {};
  }
  PuzzleData Loaded(std::initializer_list<double> draws) { return Load<PuzzleData>(draws); }
  PuzzleError Failed(std::initializer_list<double> draws) { return Load<PuzzleError>(draws); }

  TempPuzzleFolder folder_;
  QueuedRandom random_;
  SteadyClock clock_;
};

constexpr const char* kMark = "ZONTARY_WHEEL/PDATA/1.x\r\n";

// How the items of a file are read: the file's text and the draw of the puzzle give the
// category and solution loaded.
TEST_F(LoadPuzzleTest, ItemsAreReadAsWritten) {
  const std::string m = kMark;
  const std::string blank = PuzzleFileText("A", "3", {"ONE", "", "THREE"});
  const std::string tooLong(ItemReader::kMaxItemCharacters + 1, 'A');
  const std::tuple<std::string, double, std::string> cases[] = {
      // The spaces after the key go, the inner spacing stays; the key alone is an empty category.
      {m + "C    Famous  Phrases\r\nTP 1\r\nX\r\n", 0.0, "Famous  Phrases / X"},
      {m + "C\r\nTP 1\r\nX\r\n", 0.0, " / X"},
      // Quoted key items read between the quotes.
      {"\"ZONTARY_WHEEL/PDATA/1.x\"\r\n\"C Food, Drink\"\r\n\"TP 1\"\r\n\"PIE\"\r\n", 0.0,
       "Food, Drink / PIE"},
      // Words after the count and a plus sign are ignored.
      {PuzzleFileText("A", "3 puzzles", {"ONE", "TWO", "THREE"}), 0.9, "A / THREE"},
      {PuzzleFileText("A", "+1", {"PLUS"}), 0.0, "A / PLUS"},
      // A count smaller than the puzzles leaves the later ones out.
      {PuzzleFileText("A", "2", {"ONE", "TWO", "THREE"}), 0.999, "A / TWO"},
      // A blank line is an empty puzzle, counted by the skip.
      {blank, 0.4, "A / "},
      {blank, 0.7, "A / THREE"},
      // Items past the count are never read, however bad.
      {PuzzleFileText("A", "1", {"ONLY", tooLong, "\"never closed"}), 0.0, "A / ONLY"},
  };
  for (const auto& [text, draw, loaded] : cases) {
    folder_.Write("a.orp", text);
    const PuzzleData puzzle = Loaded({0.0, draw});
    EXPECT_EQ(puzzle.Category + " / " + puzzle.Solution, loaded) << text.substr(0, 60) << draw;
  }
}

TEST_F(LoadPuzzleTest, DrawOfThePuzzleIsUniformOverTheCountAndStaysOnTheLastJustBelowOne) {
  folder_.Write("a.orp", PuzzleFileText("A", "4", {"ONE", "TWO", "THREE", "FOUR"}));
  // In single precision 0.99999999 times the count rounds up to the count itself.
  const std::map<double, std::string> expected = {
      {0.0, "ONE"},      {0.2499, "ONE"}, {0.25, "TWO"},   {0.5, "THREE"},
      {0.7499, "THREE"}, {0.75, "FOUR"},  {0.999, "FOUR"}, {0.99999999, "FOUR"}};
  for (const auto& [r, solution] : expected) {
    EXPECT_EQ(Loaded({0.0, r}).Solution, solution) << r;
  }
  EXPECT_EQ(PuzzleIndexForDraw(0.99999999, 32767), 32766);
}

TEST_F(LoadPuzzleTest, DrawOfTheFileIsUniformOverTheFilesInNameOrderAndOtherNamesAreIgnored) {
  for (const char* name : {"sub/deep.orp", "puzzles.orp.bak", "readme.txt", "orp"}) {
    folder_.Write(name, "not a puzzle file");
  }
  folder_.Write("c.orp", PuzzleFileText("Third", "1", {"C"}));
  folder_.Write("a.orp", PuzzleFileText("First", "1", {"A"}));
  folder_.Write("b.ORP", PuzzleFileText("Second", "1", {"B"}));
  const std::map<double, std::string> expected = {{0.0, "First"},     {0.3333, "First"},
                                                  {0.3334, "Second"}, {0.6666, "Second"},
                                                  {0.6667, "Third"},  {0.9999, "Third"}};
  for (const auto& [r, category] : expected) {
    EXPECT_EQ(Loaded({r, 0.0}).Category, category) << r;
  }
}

TEST_F(LoadPuzzleTest, CountOfZeroOrBelowAlwaysGivesTheFirstPuzzle) {
  for (const char* count : {"0", "-5", "-32768"}) {
    folder_.Write("a.orp", PuzzleFileText("A", count, {"FIRST", "SECOND"}));
    for (double r : {0.0, 0.5, 0.99}) {
      EXPECT_EQ(Loaded({0.0, r}).Solution, "FIRST") << count << " " << r;
    }
  }
}

TEST_F(LoadPuzzleTest, FileNeverPickedIsCheckedOnlyForItsMark) {
  folder_.Write("a.orp", PuzzleFileText("Good", "1", {"YES"}));
  folder_.Write("b.orp", std::string(kMark) + "c Bad\r\nTP many\r\n");
  EXPECT_EQ(Loaded({0.0, 0.0}).Category, "Good");
  const PuzzleError error = Failed({0.9, 0.0});
  EXPECT_EQ(error.Number, 254);
  EXPECT_EQ(error.Item, 2);
}

// Every row of the failure table: the number, the file or folder, the item and the sentence.
TEST_F(LoadPuzzleTest, FolderThatGivesNoFileToDrawIsNamed) {
  const std::filesystem::path missing = folder_.Path() / "nowhere";
  const PuzzleError error = std::get<PuzzleError>(LoadPuzzle(missing, random_, clock_));
  EXPECT_EQ(error.Number, 76);
  EXPECT_EQ(error.Path, missing);
  EXPECT_EQ(error.Item, 0);
  EXPECT_EQ(error.Message(), "No puzzle could be loaded from " + missing.string() +
                                 ": the folder does not exist. (error 76)");
  const std::filesystem::path file = folder_.Write("plain.txt", "x");
  const PuzzleError notAFolder = std::get<PuzzleError>(LoadPuzzle(file, random_, clock_));
  EXPECT_EQ(notAFolder.Number, 76);
  EXPECT_NE(notAFolder.Message().find("it is not a folder"), std::string::npos);
  // Entries named like puzzle files that are no files are each named with the reason.
#ifdef _WIN32
  const std::string folderName = "a.orp";
  std::vector<std::string> named = {"a.orp is a folder"};
#else
  // A name that is not UTF-8 is shown with U+FFFD for the byte that is not.
  const std::string folderName = "a\xFF.orp";
  std::vector<std::string> named = {"a\xEF\xBF\xBD.orp is a folder"};
#endif
  std::filesystem::create_directory(folder_.Path() / folderName);
#ifndef _WIN32
  ASSERT_EQ(::mkfifo((folder_.Path() / "b.orp").c_str(), 0600), 0);
  std::filesystem::create_symlink(folder_.Path() / "nowhere", folder_.Path() / "c.orp");
  std::filesystem::create_symlink(folder_.Path() / "d.orp", folder_.Path() / "d.orp");
  // The message names the first three by name and counts the rest.
  named.insert(named.end(), {"b.orp is a named pipe (FIFO), c.orp is a link that leads nowhere, "
                             "and 1 more entry that is no file"});
#endif
  const PuzzleError noPuzzleFiles = Failed({0.0, 0.0});
  EXPECT_EQ(noPuzzleFiles.Number, 9);
  EXPECT_EQ(noPuzzleFiles.Path, folder_.Path());
  EXPECT_NE(noPuzzleFiles.Message().find("holds no puzzle files"), std::string::npos);
  for (const std::string& entry : named) {
    EXPECT_NE(noPuzzleFiles.Message().find(entry), std::string::npos) << noPuzzleFiles.Message();
  }
  // More puzzle files than the limit (made small here) is an overflow. Only the format mark is
  // read while the folder is scanned, so that is all each file needs.
  for (const char* name : {"p1.orp", "p2.orp", "p3.orp"}) {
    folder_.Write(name, "ZONTARY_WHEEL/PDATA/1.x");
  }
  const LoadResult tooMany = LoadPuzzle(folder_.Path(), random_, clock_, 2);
  EXPECT_EQ(std::get<PuzzleError>(tooMany).Number, 6);
  EXPECT_EQ(std::get<PuzzleError>(tooMany).Path, folder_.Path());
#ifndef _WIN32
  // A file that cannot be read is named with the reason (the superuser reads every file).
  if (::geteuid() != 0) {
    const auto locked = folder_.Write("p0.orp", "ZONTARY_WHEEL/PDATA/1.x");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    EXPECT_EQ(Failed({0.0, 0.0}).Message(),
              "No puzzle could be loaded from " + locked.string() +
                  ": the file cannot be opened for reading (Permission denied). (error 75)");
  }
#endif
}

// A bad mark or an empty file fails the scan even beside a good file that is drawn.
TEST_F(LoadPuzzleTest, EmptyFileOrWrongFormatMarkFailsTheScanWhicheverFileIsDrawn) {
  folder_.Write("a.orp", PuzzleFileText("Good", "1", {"YES"}));
  const auto bad = folder_.Path() / "b.orp";
  std::vector<std::pair<std::string, std::string>> cases = {
      {"", "item 1 is missing: the file is empty. (error 62)"}};
  for (const char* mark : {"zontary_wheel/pdata/1.x", "ZONTARY_WHEEL/PDATA/1.0",
                           "ZONTARY_WHEEL/PDATA/1.x extra", ""}) {
    cases.emplace_back(std::string(mark) + "\r\nC Bad\r\nTP 1\r\nX\r\n",
                       "item 1 should be the format mark \"ZONTARY_WHEEL/PDATA/1.x\". (error 254)");
  }
  for (const auto& [text, sentence] : cases) {
    folder_.Write("b.orp", text);
    const PuzzleError error = Failed({0.0, 0.0});
    EXPECT_EQ(error.Path, bad) << text;
    EXPECT_EQ(error.Item, 1) << text;
    EXPECT_EQ(error.Message(), "The puzzle file " + bad.string() + " is not valid: " + sentence);
  }
}

// A picked file that breaks a rule: the number, the item and, where given, the sentence, the
// same whichever puzzle is drawn.
TEST_F(LoadPuzzleTest, PickedFileThatBreaksARuleFailsWithItsItemWhateverTheDraw) {
  const std::string category = "should be the category (\"C\" and the category text)";
  struct Case {
    std::string text;
    int number;
    int item;
    std::string what;  // empty: the sentence is not checked
  };
  std::vector<Case> cases;
  for (const char* item : {"c Famous", "Category Famous", " ", "CFamous", "\"\""}) {
    cases.push_back({kMark + std::string(item) + "\r\nTP 1\r\nX\r\n", 254, 2, category});
  }
  cases.push_back({std::string(kMark) + "C A\r\ntp 1\r\nX\r\n", 254, 3,
                   "should be the count of puzzles (\"TP\" and a number)"});
  for (const char* item : {"TP", "TP three", "TP 3.5", "TP 3x", "TP -", "TP 0x10"}) {
    cases.push_back({kMark + std::string("C A\r\n") + item + "\r\nX\r\n", 13, 3, ""});
  }
  for (const char* count : {"32768", "-32769", "99999999999999999999999"}) {
    cases.push_back({PuzzleFileText("A", count, {"X"}), 6, 3, ""});  // outside sixteen bits
  }
  // A file that ends early names the missing item.
  cases.push_back({kMark, 62, 2, "is missing: the file ends after item 1"});
  cases.push_back(
      {kMark + std::string("C A\r\n"), 62, 3, "is missing: the file ends after item 2"});
  for (const char* count : {"0", "-2"}) {
    cases.push_back({PuzzleFileText("A", count, {}), 62, 4,
                     "is missing: the file holds no puzzle after the count"});
  }
  // A count larger than the puzzles, and an over-long puzzle.
  cases.push_back({PuzzleFileText("A", "5", {"ONE", "TWO", "THREE"}), 62, 3,
                   "gives a count of 5 puzzles, but the file holds only 3"});
  cases.push_back(
      {PuzzleFileText("A", "2", {"SHORT", std::string(ItemReader::kMaxItemCharacters + 1, 'A')}),
       254, 5, "is longer than 32767 characters"});
  for (const Case& c : cases) {
    const auto file = folder_.Write("a.orp", c.text);
    for (double r : {0.0, 0.5, 0.7, 0.99}) {
      const PuzzleError error = Failed({0.0, r});
      EXPECT_EQ(error.Number, c.number) << c.text.substr(0, 60) << r;
      EXPECT_EQ(error.Path, file);
      EXPECT_EQ(error.Item, c.item) << c.text.substr(0, 60) << r;
      if (!c.what.empty()) {
        EXPECT_EQ(error.Message(), "The puzzle file " + file.string() + " is not valid: item " +
                                       std::to_string(c.item) + " " + c.what + ". (error " +
                                       std::to_string(c.number) + ")");
      }
    }
  }
}

}  // namespace
}  // namespace orvanta
