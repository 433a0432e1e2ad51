// Loading a puzzle: how the folder is scanned, how a file and a puzzle are drawn, and every way a
// load can fail, each with the number and sentence the player is shown.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "puzzles/ItemReader.h"
#include "puzzles/modPuzzler.h"
#include "tests/fixtures/puzzles/TempPuzzleFolder.h"

namespace orvanta {
namespace {

using testing::PuzzleFileText;
using testing::TempPuzzleFolder;

// A clock that ticks once per reading, so every seed differs.
class CountingClock final : public Clock {
 public:
  std::uint64_t Ticks() override { return ++ticks_; }

 private:
  std::uint64_t ticks_ = 1000;
};

// Queued draws, and a log of the seeds and draws in the order they happen.
class LoggingRandom final : public RandomSource {
 public:
  void Queue(double value) { queued_.Queue(value); }
  void Randomize(std::uint64_t seed) override {
    log_ += "seed ";
    queued_.Randomize(seed);
  }
  double Rnd() override {
    log_ += "draw ";
    return queued_.Rnd();
  }
  const std::string& Log() const { return log_; }

 private:
  QueuedRandom queued_;
  std::string log_;
};

class LoadPuzzleTest : public ::testing::Test {
 protected:
  // Loads with the given draws queued.
  LoadResult Load(std::initializer_list<double> draws) {
    for (double r : draws) {
      random_.Queue(r);
    }
    return LoadPuzzle(folder_.Path(), random_, clock_);
  }
  // Loads with the given draws and expects a puzzle.
  PuzzleData Loaded(std::initializer_list<double> draws) {
    LoadResult result = Load(draws);
    if (auto* error = std::get_if<PuzzleError>(&result)) {
      ADD_FAILURE() << error->Message();
      return {};
    }
    return std::get<PuzzleData>(result);
  }
  // Loads with the given draws and expects a failure.
  PuzzleError Failed(std::initializer_list<double> draws) {
    LoadResult result = Load(draws);
    if (auto* puzzle = std::get_if<PuzzleData>(&result)) {
      ADD_FAILURE() << "loaded \"" << puzzle->Solution << "\"";
      return {};
    }
    return std::get<PuzzleError>(result);
  }

  TempPuzzleFolder folder_;
  LoggingRandom random_;
  CountingClock clock_;
};

TEST_F(LoadPuzzleTest, OneFileWithOnePuzzleAlwaysGivesThatPuzzle) {
  folder_.Write("phrases.orp", PuzzleFileText("Famous Phrases", "1", {"BETTER LATE THAN NEVER"}));
  for (double r : {0.0, 0.5, 0.999999}) {
    const PuzzleData puzzle = Loaded({r, r});
    EXPECT_EQ(puzzle.Solution, "BETTER LATE THAN NEVER");
    EXPECT_EQ(puzzle.Category, "Famous Phrases");
  }
}

TEST_F(LoadPuzzleTest, GeneratorIsSeededBeforeEachOfTheTwoDraws) {
  folder_.Write("a.orp", PuzzleFileText("A", "1", {"X"}));
  Loaded({0.0, 0.0});
  EXPECT_EQ(random_.Log(), "seed draw seed draw ");
}

TEST_F(LoadPuzzleTest, CategoryDropsTheSpacesAfterTheKeyAndKeepsInnerSpacing) {
  folder_.Write("a.orp", "ZONTARY_WHEEL/PDATA/1.x\r\nC    Famous  Phrases\r\nTP 1\r\nX\r\n");
  EXPECT_EQ(Loaded({0, 0}).Category, "Famous  Phrases");
}

TEST_F(LoadPuzzleTest, KeyAloneGivesAnEmptyCategory) {
  folder_.Write("a.orp", "ZONTARY_WHEEL/PDATA/1.x\r\nC\r\nTP 1\r\nX\r\n");
  EXPECT_EQ(Loaded({0, 0}).Category, "");
}

TEST_F(LoadPuzzleTest, SolutionIsTheItemExactlyAsWritten) {
  folder_.Write("a.orp", PuzzleFileText("Mixed", "1", {"\"  Don't Stop-Me Now, 2 & 3 \""}));
  EXPECT_EQ(Loaded({0, 0}).Solution, "  Don't Stop-Me Now, 2 & 3 ");
}

TEST_F(LoadPuzzleTest, WordsAfterTheCountAreIgnored) {
  folder_.Write("a.orp", PuzzleFileText("A", "3 puzzles", {"ONE", "TWO", "THREE"}));
  EXPECT_EQ(Loaded({0, 0.9}).Solution, "THREE");
}

TEST_F(LoadPuzzleTest, DrawOfThePuzzleIsUniformOverTheCount) {
  folder_.Write("a.orp", PuzzleFileText("A", "4", {"ONE", "TWO", "THREE", "FOUR"}));
  const std::map<double, std::string> expected = {{0.0, "ONE"},   {0.2499, "ONE"},   {0.25, "TWO"},
                                                  {0.5, "THREE"}, {0.7499, "THREE"}, {0.75, "FOUR"},
                                                  {0.999, "FOUR"}};
  for (const auto& [r, solution] : expected) {
    EXPECT_EQ(Loaded({0.0, r}).Solution, solution) << r;
  }
}

TEST_F(LoadPuzzleTest, DrawOfTheFileIsUniformOverTheFilesInNameOrder) {
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

TEST_F(LoadPuzzleTest, DrawJustBelowOneStaysOnTheLastPuzzle) {
  // In single precision this draw times the count rounds up to the count itself.
  folder_.Write("a.orp", PuzzleFileText("A", "3", {"ONE", "TWO", "THREE"}));
  EXPECT_EQ(Loaded({0.0, 0.99999999}).Solution, "THREE");
  EXPECT_EQ(PuzzleIndexForDraw(0.99999999, 32767), 32766);
  EXPECT_EQ(PuzzleIndexForDraw(0.5, 3), 1);
}

TEST_F(LoadPuzzleTest, CountOfZeroOrBelowAlwaysGivesTheFirstPuzzle) {
  for (const char* count : {"0", "-5", "-32768"}) {
    folder_.Write("a.orp", PuzzleFileText("A", count, {"FIRST", "SECOND"}));
    for (double r : {0.0, 0.5, 0.99}) {
      EXPECT_EQ(Loaded({0.0, r}).Solution, "FIRST") << count << " " << r;
    }
  }
}

TEST_F(LoadPuzzleTest, CountSmallerThanThePuzzlesLeavesTheLaterOnesOut) {
  folder_.Write("a.orp", PuzzleFileText("A", "2", {"ONE", "TWO", "THREE"}));
  EXPECT_EQ(Loaded({0.0, 0.999}).Solution, "TWO");
}

TEST_F(LoadPuzzleTest, UnquotedCommaShiftsTheLaterPuzzles) {
  folder_.Write("a.orp", PuzzleFileText("A", "3", {"ONCE UPON A TIME, LONG AGO", "NEXT"}));
  EXPECT_EQ(Loaded({0.0, 0.0}).Solution, "ONCE UPON A TIME");
  EXPECT_EQ(Loaded({0.0, 0.4}).Solution, "LONG AGO");
  EXPECT_EQ(Loaded({0.0, 0.7}).Solution, "NEXT");
  folder_.Write("a.orp", PuzzleFileText("A", "2", {"\"ONCE UPON A TIME, LONG AGO\"", "NEXT"}));
  EXPECT_EQ(Loaded({0.0, 0.0}).Solution, "ONCE UPON A TIME, LONG AGO");
  EXPECT_EQ(Loaded({0.0, 0.6}).Solution, "NEXT");
}

TEST_F(LoadPuzzleTest, QuotedKeyItemsReadAsTheTextBetweenTheQuotes) {
  folder_.Write("a.orp",
                "\"ZONTARY_WHEEL/PDATA/1.x\"\r\n\"C Food, Drink\"\r\n\"TP 1\"\r\n\"PIE\"\r\n");
  const PuzzleData puzzle = Loaded({0, 0});
  EXPECT_EQ(puzzle.Category, "Food, Drink");
  EXPECT_EQ(puzzle.Solution, "PIE");
}

TEST_F(LoadPuzzleTest, BlankLineIsAnEmptyPuzzleCountedByTheSkip) {
  folder_.Write("a.orp", PuzzleFileText("A", "3", {"ONE", "", "THREE"}));
  EXPECT_EQ(Loaded({0.0, 0.4}).Solution, "");
  EXPECT_EQ(Loaded({0.0, 0.7}).Solution, "THREE");
}

TEST_F(LoadPuzzleTest, FilesInSubfoldersAndOtherNamesAreIgnored) {
  folder_.Write("good.orp", PuzzleFileText("Good", "1", {"YES"}));
  folder_.Write("sub/deep.orp", "not a puzzle file");
  folder_.Write("puzzles.orp.bak", "not a puzzle file");
  folder_.Write("readme.txt", "not a puzzle file");
  folder_.Write("orp", "not a puzzle file");
  for (double r : {0.0, 0.5, 0.99}) {
    EXPECT_EQ(Loaded({r, 0.0}).Category, "Good");
  }
}

TEST_F(LoadPuzzleTest, Windows1252AndUtf8FilesBothGiveTheSameText) {
  folder_.Write("a.orp", PuzzleFileText("Caf\xE9", "1", {"CR\xC8ME BR\xDBL\xC9\x45"}));
  folder_.Write("b.orp", PuzzleFileText("Café", "1", {"CRÈME BRÛLÉE"}));
  const PuzzleData fromWindows = Loaded({0.0, 0.0});
  const PuzzleData fromUtf8 = Loaded({0.9, 0.0});
  EXPECT_EQ(fromWindows.Category, "Café");
  EXPECT_EQ(fromWindows.Solution, "CRÈME BRÛLÉE");
  EXPECT_EQ(fromUtf8.Category, fromWindows.Category);
  EXPECT_EQ(fromUtf8.Solution, fromWindows.Solution);
}

TEST_F(LoadPuzzleTest, FileNeverPickedIsCheckedOnlyForItsMark) {
  folder_.Write("a.orp", PuzzleFileText("Good", "1", {"YES"}));
  folder_.Write("b.orp", "ZONTARY_WHEEL/PDATA/1.x\r\nc Bad\r\nTP many\r\n");
  EXPECT_EQ(Loaded({0.0, 0.0}).Category, "Good");
  const PuzzleError error = Failed({0.9, 0.0});
  EXPECT_EQ(error.Number, 254);
  EXPECT_EQ(error.Item, 2);
}

// Every row of the failure table: the number, the file or folder, the item and the sentence.

TEST_F(LoadPuzzleTest, MissingFolderIsNamed) {
  const std::filesystem::path missing = folder_.Path() / "nowhere";
  const PuzzleError error = std::get<PuzzleError>(LoadPuzzle(missing, random_, clock_));
  EXPECT_EQ(error.Number, 76);
  EXPECT_EQ(error.Path, missing);
  EXPECT_EQ(error.Item, 0);
  EXPECT_EQ(error.Message(), "No puzzle could be loaded from " + missing.string() +
                                 ": the folder does not exist. (error 76)");
}

TEST_F(LoadPuzzleTest, FolderThatIsAFileIsNamed) {
  const std::filesystem::path file = folder_.Write("plain", "x");
  const PuzzleError error = std::get<PuzzleError>(LoadPuzzle(file, random_, clock_));
  EXPECT_EQ(error.Number, 76);
  EXPECT_NE(error.Message().find("it is not a folder"), std::string::npos);
}

TEST_F(LoadPuzzleTest, FolderWithoutPuzzleFilesFails) {
  folder_.Write("notes.txt", "hello");
  const PuzzleError error = Failed({0.0, 0.0});
  EXPECT_EQ(error.Number, 9);
  EXPECT_EQ(error.Path, folder_.Path());
  EXPECT_NE(error.Message().find(".orp"), std::string::npos);
}

TEST_F(LoadPuzzleTest, EmptyFileFailsTheScanWhicheverFileIsDrawn) {
  folder_.Write("a.orp", PuzzleFileText("Good", "1", {"YES"}));
  const auto empty = folder_.Write("b.orp", "");
  const PuzzleError error = Failed({0.0, 0.0});
  EXPECT_EQ(error.Number, 62);
  EXPECT_EQ(error.Path, empty);
  EXPECT_EQ(error.Item, 1);
  EXPECT_EQ(error.Message(), "The puzzle file " + empty.string() +
                                 " is not valid: item 1 is missing: the file is empty. (error 62)");
}

TEST_F(LoadPuzzleTest, WrongFormatMarkFailsTheScanEvenWithGoodFiles) {
  folder_.Write("a.orp", PuzzleFileText("Good", "1", {"YES"}));
  for (const char* mark : {"zontary_wheel/pdata/1.x", "ZONTARY_WHEEL/PDATA/1.0",
                           "ZONTARY_WHEEL/PDATA/1.x extra", ""}) {
    const auto bad = folder_.Write("b.orp", std::string(mark) + "\r\nC Bad\r\nTP 1\r\nX\r\n");
    const PuzzleError error = Failed({0.0, 0.0});
    EXPECT_EQ(error.Number, 254) << mark;
    EXPECT_EQ(error.Path, bad);
    EXPECT_EQ(error.Item, 1);
    EXPECT_EQ(error.Message(),
              "The puzzle file " + bad.string() +
                  " is not valid: item 1 should be the format mark \"ZONTARY_WHEEL/PDATA/1.x\"."
                  " (error 254)");
  }
}

TEST_F(LoadPuzzleTest, CategoryWithoutTheKeyFailsOncePicked) {
  for (const char* item : {"c Famous", "Category Famous", " ", "CFamous", "\"\""}) {
    const auto file = folder_.Write(
        "a.orp", "ZONTARY_WHEEL/PDATA/1.x\r\n" + std::string(item) + "\r\nTP 1\r\nX\r\n");
    const PuzzleError error = Failed({0.0, 0.0});
    EXPECT_EQ(error.Number, 254) << item;
    EXPECT_EQ(error.Item, 2);
    EXPECT_EQ(error.Message(),
              "The puzzle file " + file.string() +
                  " is not valid: item 2 should be the category (\"C\" and the category text)."
                  " (error 254)");
  }
}

TEST_F(LoadPuzzleTest, CountWithoutTheKeyFailsOncePicked) {
  const auto file = folder_.Write("a.orp", "ZONTARY_WHEEL/PDATA/1.x\r\nC A\r\ntp 1\r\nX\r\n");
  const PuzzleError error = Failed({0.0, 0.0});
  EXPECT_EQ(error.Number, 254);
  EXPECT_EQ(error.Item, 3);
  EXPECT_EQ(error.Message(),
            "The puzzle file " + file.string() +
                " is not valid: item 3 should be the count of puzzles (\"TP\" and a number)."
                " (error 254)");
}

TEST_F(LoadPuzzleTest, CountThatIsNoNumberIsATypeMismatch) {
  for (const char* item : {"TP", "TP three", "TP 3.5", "TP 3x", "TP -", "TP 0x10"}) {
    folder_.Write("a.orp", "ZONTARY_WHEEL/PDATA/1.x\r\nC A\r\n" + std::string(item) + "\r\nX\r\n");
    const PuzzleError error = Failed({0.0, 0.0});
    EXPECT_EQ(error.Number, 13) << item;
    EXPECT_EQ(error.Item, 3);
  }
}

TEST_F(LoadPuzzleTest, CountOutsideSixteenBitsIsAnOverflow) {
  for (const char* count : {"32768", "-32769", "99999999999999999999999"}) {
    folder_.Write("a.orp", PuzzleFileText("A", count, {"X"}));
    const PuzzleError error = Failed({0.0, 0.0});
    EXPECT_EQ(error.Number, 6) << count;
    EXPECT_EQ(error.Item, 3);
  }
  folder_.Write("a.orp", PuzzleFileText("A", "+1", {"PLUS"}));
  EXPECT_EQ(Loaded({0.0, 0.0}).Solution, "PLUS");
}

TEST_F(LoadPuzzleTest, CountLargerThanThePuzzlesFailsWhateverTheDraw) {
  const auto file = folder_.Write("a.orp", PuzzleFileText("A", "5", {"ONE", "TWO", "THREE"}));
  for (double r : {0.0, 0.5, 0.7, 0.99}) {
    const PuzzleError error = Failed({0.0, r});
    EXPECT_EQ(error.Number, 62) << r;
    EXPECT_EQ(error.Item, 3);
    EXPECT_EQ(error.Message(), "The puzzle file " + file.string() +
                                   " is not valid: item 3 gives a count of 5 puzzles, but the"
                                   " file holds only 3. (error 62)");
  }
}

TEST_F(LoadPuzzleTest, FileThatEndsEarlyNamesTheMissingItem) {
  struct Case {
    const char* text;
    int item;
  };
  for (const Case& c :
       {Case{"ZONTARY_WHEEL/PDATA/1.x\r\n", 2}, Case{"ZONTARY_WHEEL/PDATA/1.x\r\nC A\r\n", 3},
        Case{"ZONTARY_WHEEL/PDATA/1.x\r\nC A\r\nTP 0\r\n", 4},
        Case{"ZONTARY_WHEEL/PDATA/1.x\r\nC A\r\nTP -2\r\n", 4}}) {
    folder_.Write("a.orp", c.text);
    const PuzzleError error = Failed({0.0, 0.0});
    EXPECT_EQ(error.Number, 62) << c.text;
    EXPECT_EQ(error.Item, c.item) << c.text;
    EXPECT_NE(error.Message().find("is missing"), std::string::npos) << error.Message();
  }
}

TEST_F(LoadPuzzleTest, OverLongPuzzleIsAFormatErrorOfItsFile) {
  const std::string tooLong(ItemReader::kMaxItemCharacters + 1, 'A');
  const auto file = folder_.Write("a.orp", PuzzleFileText("A", "2", {"SHORT", tooLong}));
  for (double r : {0.0, 0.9}) {
    const PuzzleError error = Failed({0.0, r});
    EXPECT_EQ(error.Number, 254);
    EXPECT_EQ(error.Item, 5);
    EXPECT_EQ(error.Message(), "The puzzle file " + file.string() +
                                   " is not valid: item 5 is longer than 32767 characters."
                                   " (error 254)");
  }
}

TEST_F(LoadPuzzleTest, ItemsPastTheCountAreNeverRead) {
  const std::string tooLong(ItemReader::kMaxItemCharacters + 1, 'A');
  folder_.Write("a.orp", PuzzleFileText("A", "1", {"ONLY", tooLong, "\"never closed"}));
  EXPECT_EQ(Loaded({0.0, 0.0}).Solution, "ONLY");
}

TEST_F(LoadPuzzleTest, MoreThan32767PuzzleFilesIsAnOverflow) {
  // Only the format mark is read while the folder is scanned, so that is all each file needs.
  const std::string text = "ZONTARY_WHEEL/PDATA/1.x";
  for (int i = 0; i < 32768; ++i) {
    folder_.Write("p" + std::to_string(i) + ".orp", text);
  }
  const PuzzleError error = Failed({0.0, 0.0});
  EXPECT_EQ(error.Number, 6);
  EXPECT_EQ(error.Path, folder_.Path());
}

TEST(PuzzleFromFile, ReadsTheDrawnPuzzleFromBytes) {
  ItemReader reader =
      ItemReader::FromBytes(PuzzleFileText("Songs", "2", {"ONE", "TWO"}), "songs.orp");
  QueuedRandom random;
  random.Queue(0.6);
  CountingClock clock;
  const LoadResult result = ReadPuzzleFromFile(reader, random, clock);
  ASSERT_TRUE(std::holds_alternative<PuzzleData>(result));
  EXPECT_EQ(std::get<PuzzleData>(result).Solution, "TWO");
  EXPECT_EQ(std::get<PuzzleData>(result).Category, "Songs");
}

}  // namespace
}  // namespace orvanta
