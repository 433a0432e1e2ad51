// The word functions take the player's actions ("LTR b", "SLV ...") and the puzzle files' key
// items apart; these cases are the ways a text can be split.
#include <gtest/gtest.h>

#include "puzzles/modStringFunc.h"

namespace orvanta {
namespace {

// Each text, word number and delimiter, with the word and the text from that word on.
TEST(WordFunctions, SplitTextsIntoWords) {
  struct Case {
    const char* text;
    int word;
    const char* delimiter;
    const char* getWord;
    const char* fromWord;
  };
  const Case cases[] = {
      // The player's actions: the command, the letter, an attempt with its spaces.
      {"LTR b", 1, "", "LTR", "LTR b"},
      {"LTR b", 2, "", "b", "b"},
      {"SLV BETTER LATE THAN NEVER", 2, "", "BETTER", "BETTER LATE THAN NEVER"},
      {"SLV BETTER LATE THAN NEVER", 6, "", "", ""},
      // A run of delimiters separates once and is kept in the rest.
      {"a  b   c", 2, "", "b", "b   c"},
      {"a  b   c", 3, "", "c", "c"},
      // A delimiter (or a run) at the start makes an empty first word.
      {" abc", 1, "", "", " abc"},
      {"   abc  d", 2, "", "abc", "abc  d"},
      // A delimiter at the end makes an empty last word.
      {"a b ", 2, "", "b", "b "},
      {"a b ", 3, "", "", ""},
      {"a b ", 4, "", "", ""},
      // No word in an empty text, and none numbered below 1.
      {"", 1, "", "", ""},
      {"LTR b", 0, "", "", ""},
      // Only the first character of the delimiter counts, exactly, case and all; empty is a space.
      {"a;b,c d", 1, ",;", "a;b", "a;b,c d"},
      {"a;b,c d", 2, ",;", "c d", "c d"},
      {"x,,y,z", 2, ",", "y", "y,z"},
      {"a,b c", 2, "", "c", "c"},
      {"aXbxc", 1, "x", "aXb", "aXbxc"},
      {"aXbxc", 2, "x", "c", "c"},
      // A tab is an ordinary character under the space delimiter.
      {"LTR\tb", 1, "", "LTR\tb", "LTR\tb"},
      {"LTR\tb", 2, "", "", ""},
      // Accented letters are whole characters, and a broken byte does not swallow the next space.
      {"caféxcafé", 2, "é", "xcaf", "xcafé"},
      {"crème brûlée", 2, "", "brûlée", "brûlée"},
      {"a\xC3 b", 1, "", "a\xC3", "a\xC3 b"},
      {"a\xC3 b", 2, "", "b", "b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetWord(c.text, c.word, c.delimiter), c.getWord) << c.text << " " << c.word;
    EXPECT_EQ(GetFromWord(c.text, c.word, c.delimiter), c.fromWord) << c.text << " " << c.word;
  }
}

}  // namespace
}  // namespace orvanta
