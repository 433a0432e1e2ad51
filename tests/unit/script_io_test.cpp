// What `orvanta --script` reads and writes: command lines in bounded memory whatever their
// length, and events that are always valid JSON lines in UTF-8. (Events that cannot be written at
// all: the script test EmptyFolderNameOrUnwritableOutputEndsWithAClearMessage.)
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

#include "script/ScriptCommandReader.h"
#include "script/ScriptEvents.h"

namespace orvanta::script {
namespace {

using Reader = ScriptCommandReader;

TEST(ScriptCommandReader, ReadsCommandLinesAndCutsOverlongOnes) {
  const std::string overlong = "key " + std::string(Reader::kMaxLineBytes, 'x');
  std::istringstream in("# comment\n\nkey T\r\n" + overlong + "\r\n" +
                        std::string(Reader::kMaxLineBytes, 'y') + "\r\nanswer OK  a b \nlast");
  Reader reader(in);
  struct Expected {
    std::string line;
    std::uint64_t number;
    bool tooLong;
  };
  const Expected expected[] = {
      {"key T", 3, false},
      {overlong.substr(0, Reader::kMaxLineBytes), 4, true},
      {std::string(Reader::kMaxLineBytes, 'y'), 5, false},  // the longest line is whole
      {"answer OK  a b ", 6, false},
      {"last", 7, false},
  };
  for (const Expected& line : expected) {
    const auto read = reader.Next();
    ASSERT_TRUE(read.has_value()) << line.number;
    EXPECT_EQ(*read, line.line);
    EXPECT_EQ(reader.LineNumber(), line.number);
    EXPECT_EQ(reader.TooLong(), line.tooLong) << line.number;
  }
  EXPECT_FALSE(reader.Next().has_value());
}

TEST(ScriptCommandReader, QuoteOfALongLineIsBoundedAndCutAtAWholeCharacter) {
  std::istringstream in("key " + std::string(Reader::kQuotedBytes - 5, 'x') + "é and more\n");
  Reader reader(in);
  ASSERT_TRUE(reader.Next().has_value());
  EXPECT_EQ(reader.Quote(), "key " + std::string(Reader::kQuotedBytes - 5, 'x') + "...");
}

TEST(ScriptEvents, TextsThatAreNotUtf8OrHoldControlsBecomeValidJson) {
  const std::pair<std::string, std::string> cases[] = {
      {"Café \"menu\"\\", R"("Café \"menu\"\\")"},
      {"a\r\n\t\x01", R"("a\r\n\t\u0001")"},
      // Bytes that are no UTF-8, a cut character and a surrogate: one U+FFFD for each byte.
      {"key \xFF", "\"key \xEF\xBF\xBD\""},
      {"\xC3 \xED\xA0\x80", "\"\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
  };
  for (const auto& [text, json] : cases) {
    EXPECT_EQ(JsonString(text), json);
  }
  std::ostringstream out;
  ScriptEvents(out).Sound("/p/\xE9t\xE9.wav", false);
  EXPECT_EQ(
      out.str(),
      "{\"event\":\"sound\",\"file\":\"/p/\xEF\xBF\xBDt\xEF\xBF\xBD.wav\",\"async\":false}\n");
}

}  // namespace
}  // namespace orvanta::script
