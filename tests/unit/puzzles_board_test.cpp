// The board of blanks: what the player sees of the phrase at the start and after each call.
#include <gtest/gtest.h>

#include <string>

#include "puzzles/modPuzzler.h"

namespace orvanta {
namespace {

constexpr const char* kSolution = "Don't Stop-Me Now, 2 & 3";

TEST(PuzzleBoard, FirstBoardHidesLettersAndShowsEverythingElse) {
  EXPECT_EQ(MaskPuzzle(kSolution), "___'_ ____-__ ___, 2 & 3");
  EXPECT_EQ(MaskPuzzle(""), "");
  EXPECT_EQ(MaskPuzzle("?!.:;\"()[]{}0123456789"), "?!.:;\"()[]{}0123456789");
}

TEST(PuzzleBoard, CallingALetterUncoversItInEitherCase) {
  const std::string board = MaskPuzzle(kSolution);
  const std::string expected = "_O_'_ __O_-__ _O_, 2 & 3";
  EXPECT_EQ(RevealLetter(board, kSolution, "o"), expected);
  EXPECT_EQ(RevealLetter(board, kSolution, "O"), expected);
  EXPECT_EQ(RevealLetter(board, kSolution, "Ox"), expected);
}

TEST(PuzzleBoard, EveryOccurrenceUncoversWhateverItsCase) {
  const std::string solution = "Bob bakes BREAD";
  EXPECT_EQ(RevealLetter(MaskPuzzle(solution), solution, "b"), "B_B B____ B____");
}

TEST(PuzzleBoard, RevealedLettersStayRevealed) {
  const std::string solution = "TO BE";
  std::string board = MaskPuzzle(solution);
  board = RevealLetter(board, solution, "t");
  board = RevealLetter(board, solution, "e");
  EXPECT_EQ(board, "T_ _E");
  board = RevealLetter(board, solution, "b");
  board = RevealLetter(board, solution, "z");
  EXPECT_EQ(board, "T_ BE");
}

TEST(PuzzleBoard, LetterNotInThePhraseLeavesTheBoardUpperCased) {
  const std::string solution = "é b";
  EXPECT_EQ(MaskPuzzle(solution), "é _");
  EXPECT_EQ(RevealLetter(MaskPuzzle(solution), solution, "q"), "É _");
}

TEST(PuzzleBoard, EmptyLetterUncoversNothing) {
  EXPECT_EQ(RevealLetter(MaskPuzzle(kSolution), kSolution, ""), "___'_ ____-__ ___, 2 & 3");
}

TEST(PuzzleBoard, BoardOfAnotherLengthGivesError) {
  const std::string board = MaskPuzzle(kSolution);
  EXPECT_EQ(RevealLetter(board.substr(1), kSolution, "o"), "ERROR");
  EXPECT_EQ(RevealLetter(board + "_", kSolution, "o"), "ERROR");
}

TEST(PuzzleBoard, AccentedLetterIsOnePositionNeverHiddenAndUpperCasedOnReveal) {
  const std::string solution = "Café Crème";
  const std::string board = MaskPuzzle(solution);
  EXPECT_EQ(board, "___é __è__");
  const std::string revealed = RevealLetter(board, solution, "c");
  EXPECT_EQ(revealed, "C__É C_È__");
  // Calling an accented letter uncovers nothing: it was never hidden.
  EXPECT_EQ(RevealLetter(board, solution, "é"), "___É __È__");
  EXPECT_EQ(CountLetter(revealed, "_"), 5);
}

TEST(PuzzleBoard, CapitalAccentedLetterShowsLowerCasedOnTheFirstBoard) {
  EXPECT_EQ(MaskPuzzle("ÉCOLE ÑANDÚ"), "é____ ñ___ú");
}

TEST(PuzzleBoard, UnderscoreInAPhraseLooksLikeAHiddenPosition) {
  const std::string solution = "A_B";
  EXPECT_EQ(MaskPuzzle(solution), "___");
  EXPECT_EQ(CountLetter(MaskPuzzle(solution), "_"), 3);
  EXPECT_EQ(RevealLetter("___", solution, "a"), "A__");
}

TEST(PuzzleBoard, CountIgnoresCase) {
  EXPECT_EQ(CountLetter("Mississippi", "S"), 4);
  EXPECT_EQ(CountLetter("Mississippi", "s"), 4);
  EXPECT_EQ(CountLetter("Mississippi", "Ix"), 4);
  EXPECT_EQ(CountLetter("Mississippi", "z"), 0);
  EXPECT_EQ(CountLetter("ÉTÉ été", "é"), 4);
}

TEST(PuzzleBoard, EmptyLetterCountsNothing) {
  EXPECT_EQ(CountLetter("anything at all", ""), 0);
  EXPECT_EQ(CountLetter("", ""), 0);
}

TEST(PuzzleBoard, BlanksOfAFreshBoardAreTheLettersOfThePhrase) {
  EXPECT_EQ(CountLetter(MaskPuzzle(kSolution), "_"), 13);
  EXPECT_EQ(CountLetter(MaskPuzzle("Café Crème"), "_"), 7);
}

TEST(PuzzleBoard, SolvingEveryLetterLeavesNoBlank) {
  const std::string solution = "Hello, World";
  std::string board = MaskPuzzle(solution);
  for (char c : std::string("helowrd")) {
    board = RevealLetter(board, solution, std::string(1, c));
  }
  EXPECT_EQ(board, "HELLO, WORLD");
  EXPECT_EQ(CountLetter(board, "_"), 0);
}

}  // namespace
}  // namespace orvanta
