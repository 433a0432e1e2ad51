// The item reader is the one way the game and the checker read a puzzle file; these cases are
// the ways a pack author may write items.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <streambuf>
#include <string>
#include <utility>
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

// Each file's bytes and the items read from them.
TEST(ItemReader, ReadsTheItemsOfAFile) {
  struct Case {
    const char* bytes;
    Strings items;
  };
  const Case cases[] = {
      // Items end at commas and line ends; an unquoted comma splits a phrase in two.
      {"ONCE UPON A TIME, LONG AGO\r\nNEXT\r\n", {"ONCE UPON A TIME", "LONG AGO", "NEXT"}},
      // A quoted item keeps its commas and exactly the text between the quotes.
      {"\"ONCE UPON A TIME, LONG AGO\"\r\nNEXT\r\n", {"ONCE UPON A TIME, LONG AGO", "NEXT"}},
      {"\"a,b\",\"c\"\r\n", {"a,b", "c"}},
      {"\"  spaced  \"\r\n", {"  spaced  "}},
      {"\"\"\r\nx\r\n", {"", "x"}},
      // Blanks before an item and after an unquoted item are dropped.
      {"  \tC Food  \t\r\n   \"q\"\r\n", {"C Food", "q"}},
      {"a ,  b\r\n", {"a", "b"}},
      // A blank line is one empty item; so is nothing between commas.
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"a\r\n   \r\nb\r\n", {"a", "", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"a,,b\r\n", {"a", "", "b"}},
      {",a\r\n", {"", "a"}},
      // A comma at the end of a line adds no item.
      {"a,\r\nb\r\n", {"a", "b"}},
      {"a,  \r\nb", {"a", "b"}},
      // Every kind of line end ends an item; CR LF is one line end, not one and a blank line.
      {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
      {"a\r\n\nb", {"a", "", "b"}},
      {"a\n\r\nb", {"a", "", "b"}},
      // The end of the file ends the last item.
      {"a\r\nlast", {"a", "last"}},
      {"a\r\n   ", {"a"}},
      {"a,", {"a"}},
      {"", {}},
      // A quote inside an unquoted item is an ordinary character.
      {"HE SAID \"HI\"\r\n", {"HE SAID \"HI\""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Items(c.bytes), c.items) << c.bytes;
  }
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

// Length is counted in characters, not bytes: "é" takes two bytes in UTF-8 and the longest item
// of them is still whole. After the odd-length first item, an "é" straddles bytes 16383 and
// 16384, where the file's first 16 KB end: the file is still UTF-8.
TEST(ItemReader, ItemOfTheLongestLengthIsWholeAndALongerOneIsMarkedCut) {
  std::string accents;
  for (int i = 0; i < ItemReader::kMaxItemCharacters; ++i) {
    accents += "é";
  }
  const std::string longest(ItemReader::kMaxItemCharacters, 'x');
  const std::string tooLong = longest + "x";
  ItemReader reader =
      ItemReader::FromBytes("x\r\n" + accents + "\r\n" + accents + "é\r\n" + longest + "   \r\n" +
                                tooLong + "\r\n\"" + tooLong + "\"\r\nnext",
                            "t.orp");
  EXPECT_EQ(reader.Encoding(), TextEncoding::Utf8);
  ASSERT_TRUE(reader.Next());
  // Each item with whether it is cut, then the text kept (cut at a whole character).
  const std::pair<bool, std::string> items[] = {{false, accents}, {true, accents}, {false, longest},
                                                {true, longest},  {true, longest}, {false, "next"}};
  for (const auto& [tooLongItem, text] : items) {
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.TooLong(), tooLongItem) << text.substr(0, 4);
    EXPECT_EQ(reader.Text(), text);
  }
}

// Each file's bytes, the encoding found for the whole file and its items as UTF-8.
TEST(ItemReader, FileIsReadAsUtf8OrConvertedFromWindows1252) {
  struct Case {
    const char* bytes;
    TextEncoding encoding;
    Strings items;
  };
  const Case cases[] = {
      {"CAF\xC3\x89 CR\xC3\x88ME\r\n", TextEncoding::Utf8, {"CAFÉ CRÈME"}},
      // 0xC9 is É, 0x92 a right single quote and 0x80 the euro sign in Windows-1252.
      {"CAF\xC9\r\nDON\x92T\r\n5\x80\r\n", TextEncoding::Windows1252, {"CAFÉ", "DON\u2019T", "5€"}},
      // One stray byte makes the whole file Windows-1252, though the first line alone is UTF-8.
      {"\xC3\xA9\r\nNA\xEFVE\r\n", TextEncoding::Windows1252, {"Ã©", "NAïVE"}},
      // A byte order mark is not part of the first item.
      {"\xEF\xBB\xBFZONTARY_WHEEL/PDATA/1.x\r\n", TextEncoding::Utf8, {"ZONTARY_WHEEL/PDATA/1.x"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ItemReader::FromBytes(c.bytes, "t.orp").Encoding(), c.encoding) << c.bytes;
    EXPECT_EQ(Items(c.bytes), c.items) << c.bytes;
  }
}

// An endless item: `size` bytes of "x", made as they are read, never held.
class EndlessItem final : public std::streambuf {
 public:
  explicit EndlessItem(std::uint64_t size) : size_(size) { chunk_.fill('x'); }

 private:
  int_type underflow() override {
    const std::uint64_t left = size_ - given_;
    if (left == 0) {
      return traits_type::eof();
    }
    const auto n = static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(left, chunk_.size()));
    given_ += static_cast<std::uint64_t>(n);
    setg(chunk_.data(), chunk_.data(), chunk_.data() + n);
    return traits_type::to_int_type('x');
  }
  pos_type seekpos(pos_type pos, std::ios_base::openmode /*which*/) override {
    given_ = 0;
    setg(nullptr, nullptr, nullptr);
    return pos;
  }

  std::array<char, 1 << 20> chunk_{};
  std::uint64_t size_;
  std::uint64_t given_ = 0;
};

// An item longer than a 32-bit count of its characters is still only marked too long and cut.
TEST(ItemReader, ItemOfMoreThanTwoGigabytesIsCutWithoutOverflow) {
  ItemReader reader = ItemReader::FromStream(
      std::make_unique<EndlessItem>((std::uint64_t{1} << 31) + 10), "endless.orp");
  ASSERT_TRUE(reader.Next());
  EXPECT_TRUE(reader.TooLong());
  EXPECT_EQ(reader.Text().size(), static_cast<std::size_t>(ItemReader::kMaxItemCharacters));
  EXPECT_FALSE(reader.Next());
}

}  // namespace
}  // namespace orvanta
