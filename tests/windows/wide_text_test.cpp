// The game's UTF-8 texts as Windows' wide calls take them (window captions, control texts, the
// screen readers' sentences), and what the player typed read back.
#include <gtest/gtest.h>

#include <string>

#include "base/windows/WideText.h"

namespace orvanta::text {
namespace {

// Accented letters and a character beyond the first 65,536 (two UTF-16 units) come through
// whole, both ways.
TEST(WideText, EveryCharacterOfAPuzzleReachesTheWindowWhole) {
  const std::string utf8 = "Caf\xC3\xA9 \xF0\x9F\x8E\xA1";
  const std::wstring wide = WideFromUtf8(utf8);
  EXPECT_EQ(wide, (std::wstring{L'C', L'a', L'f', 0x00E9, L' ', 0xD83C, 0xDFA1}));
  EXPECT_EQ(Utf8FromWide(wide), utf8);
  EXPECT_EQ(WideFromUtf8(""), L"");
  EXPECT_EQ(Utf8FromWide(L""), "");
}

// As everywhere in the game, each byte that is not UTF-8 becomes one U+FFFD and the rest of the
// text stays; half of a UTF-16 pair read back becomes U+FFFD too.
TEST(WideText, EachByteThatIsNotUtf8BecomesOneReplacementCharacter) {
  EXPECT_EQ(WideFromUtf8("A\xE9"
                         "B"),
            (std::wstring{L'A', 0xFFFD, L'B'}));
  EXPECT_EQ(WideFromUtf8("\xE2\x82"
                         "C"),
            (std::wstring{0xFFFD, 0xFFFD, L'C'}));
  EXPECT_EQ(Utf8FromWide(std::wstring{L'x', 0xD800, L'y'}), "x\xEF\xBF\xBDy");
}

}  // namespace
}  // namespace orvanta::text
