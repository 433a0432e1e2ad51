// The board of blanks: what the player sees of the phrase at the start and after each call.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "puzzles/modPuzzler.h"

namespace orvanta {
namespace {

constexpr const char* kSolution = "Don't Stop-Me Now, 2 & 3";

// Letters a to z are hidden; everything else shows, lower-cased, accented letters included.
TEST(PuzzleBoard, FirstBoardHidesLettersAndShowsEverythingElse) {
  const std::pair<const char*, const char*> cases[] = {
      {kSolution, "___'_ ____-__ ___, 2 & 3"},
      {"", ""},
      {"?!.:;\"()[]{}0123456789", "?!.:;\"()[]{}0123456789"},
      {"Café Crème", "___é __è__"},
      {"ÉCOLE ÑANDÚ", "é____ ñ___ú"},
      {"A_B", "___"},  // an underscore looks like a hidden position
  };
  for (const auto& [solution, board] : cases) {
    EXPECT_EQ(MaskPuzzle(solution), board) << solution;
  }
}

// Each solution, the letters called in turn on its first board, and the board they leave.
TEST(PuzzleBoard, CalledLettersUncoverEveryOccurrenceInEitherCase) {
  struct Case {
    const char* solution;
    std::vector<const char*> calls;
    const char* board;
  };
  const Case cases[] = {
      {kSolution, {"o"}, "_O_'_ __O_-__ _O_, 2 & 3"},
      {kSolution, {"O"}, "_O_'_ __O_-__ _O_, 2 & 3"},
      {kSolution, {"Ox"}, "_O_'_ __O_-__ _O_, 2 & 3"},  // only the first character counts
      {kSolution, {""}, "___'_ ____-__ ___, 2 & 3"},
      {"Bob bakes BREAD", {"b"}, "B_B B____ B____"},
      {"TO BE", {"t", "e", "b", "z"}, "T_ BE"},  // revealed letters stay revealed
      {"Hello, World", {"h", "e", "l", "o", "w", "r", "d"}, "HELLO, WORLD"},
      // A letter not in the phrase leaves the board upper-cased; accented letters are never
      // hidden, so calling one uncovers nothing.
      {"é b", {"q"}, "É _"},
      {"Café Crème", {"c"}, "C__É C_È__"},
      {"Café Crème", {"é"}, "___É __È__"},
      {"A_B", {"a"}, "A__"},
  };
  for (const Case& c : cases) {
    std::string board = MaskPuzzle(c.solution);
    for (const char* letter : c.calls) {
      board = RevealLetter(board, c.solution, letter);
    }
    EXPECT_EQ(board, c.board) << c.solution;
  }
  const std::string board = MaskPuzzle(kSolution);
  EXPECT_EQ(RevealLetter(board.substr(1), kSolution, "o"), "ERROR");
  EXPECT_EQ(RevealLetter(board + "_", kSolution, "o"), "ERROR");
}

TEST(PuzzleBoard, CountIgnoresCaseAndBlanksOfAFreshBoardAreItsLetters) {
  struct Case {
    std::string text;
    const char* letter;
    int count;
  };
  const Case cases[] = {
      {"Mississippi", "S", 4},
      {"Mississippi", "s", 4},
      {"Mississippi", "Ix", 4},
      {"Mississippi", "z", 0},
      {"ÉTÉ été", "é", 4},
      {"anything at all", "", 0},
      {"", "", 0},
      {MaskPuzzle(kSolution), "_", 13},
      {MaskPuzzle("Café Crème"), "_", 7},
      {"C__É C_È__", "_", 5},
      {MaskPuzzle("A_B"), "_", 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountLetter(c.text, c.letter), c.count) << c.text << " " << c.letter;
  }
}

}  // namespace
}  // namespace orvanta
