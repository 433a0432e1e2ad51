// The word functions take the player's actions ("LTR b", "SLV ...") and the puzzle files' key
// items apart; these cases are the ways a text can be split.
#include <gtest/gtest.h>

#include "puzzles/modStringFunc.h"

namespace orvanta {
namespace {

TEST(WordFunctions, LetterActionSplitsIntoCommandAndLetter) {
  EXPECT_EQ(GetWord("LTR b", 1), "LTR");
  EXPECT_EQ(GetWord("LTR b", 2), "b");
  EXPECT_EQ(GetWord("LTR b", 3), "");
}

TEST(WordFunctions, SolveActionKeepsTheWholeAttemptWithItsSpaces) {
  EXPECT_EQ(GetFromWord("SLV BETTER LATE THAN NEVER", 2), "BETTER LATE THAN NEVER");
  EXPECT_EQ(GetFromWord("SLV BETTER LATE THAN NEVER", 1), "SLV BETTER LATE THAN NEVER");
  EXPECT_EQ(GetFromWord("SLV BETTER LATE THAN NEVER", 5), "NEVER");
  EXPECT_EQ(GetFromWord("SLV BETTER LATE THAN NEVER", 6), "");
}

TEST(WordFunctions, RunOfDelimitersSeparatesOnceAndIsKeptInTheRest) {
  EXPECT_EQ(GetFromWord("a  b   c", 2), "b   c");
  EXPECT_EQ(GetWord("a  b   c", 2), "b");
  EXPECT_EQ(GetWord("a  b   c", 3), "c");
  EXPECT_EQ(GetWord("a  b   c", 4), "");
  EXPECT_EQ(GetFromWord("a  b   c", 3), "c");
}

TEST(WordFunctions, LeadingDelimiterMakesAnEmptyFirstWord) {
  EXPECT_EQ(GetWord(" abc", 1), "");
  EXPECT_EQ(GetWord(" abc", 2), "abc");
  EXPECT_EQ(GetFromWord(" abc", 1), " abc");
  EXPECT_EQ(GetFromWord(" abc", 2), "abc");
  // A run at the start still closes only the one empty word.
  EXPECT_EQ(GetWord("   abc", 2), "abc");
  EXPECT_EQ(GetFromWord("   abc  d", 2), "abc  d");
}

TEST(WordFunctions, TrailingDelimiterMakesAnEmptyLastWord) {
  EXPECT_EQ(GetWord("a b ", 2), "b");
  EXPECT_EQ(GetFromWord("a b ", 2), "b ");
  EXPECT_EQ(GetWord("a b ", 3), "");
  EXPECT_EQ(GetFromWord("a b ", 3), "");
  EXPECT_EQ(GetWord("a b ", 4), "");
  EXPECT_EQ(GetFromWord("a b ", 4), "");
}

TEST(WordFunctions, EmptyTextHasNoWords) {
  for (int word = -1; word <= 3; ++word) {
    EXPECT_EQ(GetWord("", word), "") << word;
    EXPECT_EQ(GetFromWord("", word), "") << word;
  }
}

TEST(WordFunctions, WordNumberBelowOneGivesNothing) {
  EXPECT_EQ(GetWord("LTR b", 0), "");
  EXPECT_EQ(GetWord("LTR b", -3), "");
  EXPECT_EQ(GetFromWord("LTR b", 0), "");
  EXPECT_EQ(GetFromWord("LTR b", -3), "");
}

TEST(WordFunctions, OnlyTheFirstCharacterOfTheDelimiterCounts) {
  EXPECT_EQ(GetWord("a;b,c d", 2, ",;"), "c d");
  EXPECT_EQ(GetWord("a;b,c d", 1, ",;"), "a;b");
  EXPECT_EQ(GetFromWord("x,,y,z", 2, ","), "y,z");
  // An empty delimiter is a space.
  EXPECT_EQ(GetWord("a,b c", 2, ""), "c");
}

TEST(WordFunctions, DelimiterComparesExactlyWithCase) {
  EXPECT_EQ(GetWord("aXbxc", 2, "x"), "c");
  EXPECT_EQ(GetWord("aXbxc", 1, "x"), "aXb");
}

TEST(WordFunctions, TabIsAnOrdinaryCharacterUnderTheSpaceDelimiter) {
  EXPECT_EQ(GetWord("LTR\tb", 1), "LTR\tb");
  EXPECT_EQ(GetWord("LTR\tb", 2), "");
}

TEST(WordFunctions, AccentedLettersAreWholeCharacters) {
  // "é" as a delimiter is one character of two bytes; it splits only at itself.
  EXPECT_EQ(GetWord("caféxcafé", 2, "é"), "xcaf");
  EXPECT_EQ(GetFromWord("crème brûlée", 2), "brûlée");
  EXPECT_EQ(GetWord("Ça va", 1), "Ça");
}

TEST(WordFunctions, BrokenBytesDoNotSwallowTheNextSpace) {
  // A lone lead byte followed by a space: the space still separates the words.
  EXPECT_EQ(GetWord("a\xC3 b", 2), "b");
  EXPECT_EQ(GetFromWord("a\xC3 b", 1), "a\xC3 b");
}

}  // namespace
}  // namespace orvanta
