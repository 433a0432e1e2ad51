// The item reader is the one way the game and the checker read a puzzle file; these cases are
// the ways a pack author may write items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "puzzles/ItemReader.h"

namespace orvanta {
namespace {

std::vector<std::string> Items(std::string bytes) {
  ItemReader reader = ItemReader::FromBytes(std::move(bytes), "test.orp");
  std::vector<std::string> items;
  while (reader.Next()) {
    items.emplace_back(reader.Text());
  }
  return items;
}

using Strings = std::vector<std::string>;

TEST(ItemReader, ItemsEndAtCommasAndLineEnds) {
  EXPECT_EQ(Items("a,b\r\nc\r\n"), (Strings{"a", "b", "c"}));
}

TEST(ItemReader, UnquotedCommaSplitsAPhraseInTwo) {
  EXPECT_EQ(Items("ONCE UPON A TIME, LONG AGO\r\nNEXT\r\n"),
            (Strings{"ONCE UPON A TIME", "LONG AGO", "NEXT"}));
}

TEST(ItemReader, QuotedItemKeepsItsCommas) {
  EXPECT_EQ(Items("\"ONCE UPON A TIME, LONG AGO\"\r\nNEXT\r\n"),
            (Strings{"ONCE UPON A TIME, LONG AGO", "NEXT"}));
  EXPECT_EQ(Items("\"a,b\",\"c\"\r\n"), (Strings{"a,b", "c"}));
}

TEST(ItemReader, QuotedItemReadsExactlyTheTextBetweenTheQuotes) {
  EXPECT_EQ(Items("\"  spaced  \"\r\n"), (Strings{"  spaced  "}));
  EXPECT_EQ(Items("\"\"\r\nx\r\n"), (Strings{"", "x"}));
}

TEST(ItemReader, BlanksBeforeAnItemAndAfterAnUnquotedItemAreDropped) {
  EXPECT_EQ(Items("  \tC Food  \t\r\n   \"q\"\r\n"), (Strings{"C Food", "q"}));
  EXPECT_EQ(Items("a ,  b\r\n"), (Strings{"a", "b"}));
}

TEST(ItemReader, BlankLineIsOneEmptyItem) {
  EXPECT_EQ(Items("a\r\n\r\nb\r\n"), (Strings{"a", "", "b"}));
  EXPECT_EQ(Items("a\r\n   \r\nb\r\n"), (Strings{"a", "", "b"}));
  EXPECT_EQ(Items("a\r\n\r\n"), (Strings{"a", ""}));
}

TEST(ItemReader, EmptyItemsBetweenCommas) {
  EXPECT_EQ(Items("a,,b\r\n"), (Strings{"a", "", "b"}));
  EXPECT_EQ(Items(",a\r\n"), (Strings{"", "a"}));
}

TEST(ItemReader, CommaAtTheEndOfALineAddsNoItem) {
  EXPECT_EQ(Items("a,\r\nb\r\n"), (Strings{"a", "b"}));
  EXPECT_EQ(Items("a,  \r\nb"), (Strings{"a", "b"}));
}

TEST(ItemReader, EveryKindOfLineEndEndsAnItem) {
  EXPECT_EQ(Items("a\nb\rc\r\nd"), (Strings{"a", "b", "c", "d"}));
  // CR LF is one line end, not a line end and a blank line.
  EXPECT_EQ(Items("a\r\n\nb"), (Strings{"a", "", "b"}));
  EXPECT_EQ(Items("a\n\r\nb"), (Strings{"a", "", "b"}));
}

TEST(ItemReader, EndOfFileEndsTheLastItem) {
  EXPECT_EQ(Items("a\r\nlast"), (Strings{"a", "last"}));
  EXPECT_EQ(Items("a\r\n   "), (Strings{"a"}));
  EXPECT_EQ(Items("a,"), (Strings{"a"}));
  EXPECT_TRUE(Items("").empty());
}

TEST(ItemReader, NoItemAfterTheEndOfTheFile) {
  ItemReader reader = ItemReader::FromBytes("one\r\n", "test.orp");
  ASSERT_TRUE(reader.Next());
  EXPECT_FALSE(reader.Next());
  EXPECT_FALSE(reader.Next());
  EXPECT_EQ(reader.Number(), 1);
}

TEST(ItemReader, KnowsTheFileTheNumberAndTheLineOfEachItem) {
  ItemReader reader = ItemReader::FromBytes("a,b\r\n\r\n\"c\nd\"\ne", "pack/food.orp");
  EXPECT_EQ(reader.File(), "pack/food.orp");
  EXPECT_EQ(reader.Number(), 0);
  struct Expected {
    const char* text;
    int number;
    int line;
  };
  for (const Expected& expected : {Expected{"a", 1, 1}, Expected{"b", 2, 1}, Expected{"", 3, 2},
                                   Expected{"c\nd", 4, 3}, Expected{"e", 5, 5}}) {
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.Text(), expected.text);
    EXPECT_EQ(reader.Number(), expected.number);
    EXPECT_EQ(reader.Line(), expected.line) << expected.text;
  }
  EXPECT_FALSE(reader.Next());
}

TEST(ItemReader, QuoteFaultsAreReportedOnTheirItem) {
  ItemReader reader = ItemReader::FromBytes("\"ab\"cd,\"two\nlines\",\"open", "t.orp");
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Text(), "ab");  // text after the closing quote is dropped
  EXPECT_TRUE(reader.TextAfterQuote());
  EXPECT_FALSE(reader.QuoteSpansLines());
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Text(), "two\nlines");
  EXPECT_TRUE(reader.QuoteSpansLines());
  EXPECT_FALSE(reader.TextAfterQuote());
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Text(), "open");
  EXPECT_TRUE(reader.QuoteUnclosed());
  EXPECT_FALSE(reader.Next());
}

TEST(ItemReader, QuoteInsideAnUnquotedItemIsAnOrdinaryCharacter) {
  EXPECT_EQ(Items("HE SAID \"HI\"\r\n"), (Strings{"HE SAID \"HI\""}));
}

TEST(ItemReader, ItemOfTheLongestLengthIsWhole) {
  const std::string longest(ItemReader::kMaxItemCharacters, 'x');
  ItemReader reader = ItemReader::FromBytes(longest + "   \r\nnext", "t.orp");
  ASSERT_TRUE(reader.Next());
  EXPECT_FALSE(reader.TooLong());
  EXPECT_EQ(reader.Text(), longest);
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Text(), "next");
}

TEST(ItemReader, OverLongItemIsMarkedCutAndTheNextItemStillFollows) {
  const std::string tooLong(ItemReader::kMaxItemCharacters + 1, 'x');
  ItemReader reader = ItemReader::FromBytes(tooLong + "\r\n\"" + tooLong + "\"\r\nnext", "t.orp");
  ASSERT_TRUE(reader.Next());
  EXPECT_TRUE(reader.TooLong());
  EXPECT_EQ(reader.Text().size(), static_cast<std::size_t>(ItemReader::kMaxItemCharacters));
  ASSERT_TRUE(reader.Next());
  EXPECT_TRUE(reader.TooLong());
  ASSERT_TRUE(reader.Next());
  EXPECT_FALSE(reader.TooLong());
  EXPECT_EQ(reader.Text(), "next");
}

TEST(ItemReader, LengthIsCountedInCharactersNotBytes) {
  // "é" takes two bytes in UTF-8; the longest item of them is still whole.
  std::string accents;
  for (int i = 0; i < ItemReader::kMaxItemCharacters; ++i) {
    accents += "é";
  }
  ItemReader reader = ItemReader::FromBytes(accents + "\r\n" + accents + "é\r\n", "t.orp");
  ASSERT_TRUE(reader.Next());
  EXPECT_FALSE(reader.TooLong());
  EXPECT_EQ(reader.Text(), accents);
  ASSERT_TRUE(reader.Next());
  EXPECT_TRUE(reader.TooLong());
  EXPECT_EQ(reader.Text(), accents);  // cut at a whole character
}

TEST(ItemReader, Utf8FileIsReadAsUtf8) {
  ItemReader reader = ItemReader::FromBytes("CAF\xC3\x89 CR\xC3\x88ME\r\n", "t.orp");
  EXPECT_EQ(reader.Encoding(), TextEncoding::Utf8);
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Text(), "CAFÉ CRÈME");
}

TEST(ItemReader, Windows1252FileIsConvertedToUtf8) {
  // 0xC9 is É, 0x92 a right single quote and 0x80 the euro sign in Windows-1252.
  ItemReader reader = ItemReader::FromBytes("CAF\xC9\r\nDON\x92T\r\n5\x80\r\n", "t.orp");
  EXPECT_EQ(reader.Encoding(), TextEncoding::Windows1252);
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Text(), "CAFÉ");
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Text(), "DON\u2019T");
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Text(), "5€");
}

TEST(ItemReader, OneStrayByteMakesTheWholeFileWindows1252) {
  // The first line is valid UTF-8 on its own, but the file as a whole is not.
  ItemReader reader = ItemReader::FromBytes("\xC3\xA9\r\nNA\xEFVE\r\n", "t.orp");
  EXPECT_EQ(reader.Encoding(), TextEncoding::Windows1252);
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Text(), "Ã©");
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Text(), "NAïVE");
}

TEST(ItemReader, ByteOrderMarkIsNotPartOfTheFirstItem) {
  ItemReader reader = ItemReader::FromBytes("\xEF\xBB\xBFZONTARY_WHEEL/PDATA/1.x\r\n", "t.orp");
  EXPECT_EQ(reader.Encoding(), TextEncoding::Utf8);
  ASSERT_TRUE(reader.Next());
  EXPECT_EQ(reader.Text(), "ZONTARY_WHEEL/PDATA/1.x");
}

TEST(ItemReader, FileThatCannotBeOpenedGivesNoReader) {
  EXPECT_FALSE(ItemReader::OpenFile("/nonexistent/orvanta/none.orp").has_value());
}

}  // namespace
}  // namespace orvanta
