// The game's texts are UTF-8; these helpers are what make an accented letter one board position
// that changes case as a whole. (Old Windows puzzle files: puzzles_items_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "base/Text.h"

namespace orvanta {
namespace {

TEST(Text, DecodeAndEncodeRoundTrip) {
  const std::string text = "Aé€😀";
  EXPECT_EQ(text::Decode(text), (std::u32string{U'A', U'é', U'€', U'😀'}));
  EXPECT_EQ(text::Encode(text::Decode(text)), text);
  EXPECT_EQ(text::Length(text), 4u);
}

// (Each byte that is not UTF-8 becoming U+FFFD: the script events' JSON test.)
TEST(Text, MalformedBytesAreNotValidUtf8) {
  EXPECT_FALSE(text::IsValidUtf8("\xC0\xAF"));      // an over-long "/"
  EXPECT_FALSE(text::IsValidUtf8("\xED\xA0\x80"));  // a surrogate
  EXPECT_FALSE(text::IsValidUtf8("\xE2\x82"));      // cut short
  EXPECT_TRUE(text::IsValidUtf8("\xE2\x82\xAC"));
}

TEST(Text, CaseChangesLatinGreekAndCyrillicLetters) {
  EXPECT_EQ(text::Upper("crème brûlée ÿ ž ł"), "CRÈME BRÛLÉE Ÿ Ž Ł");
  EXPECT_EQ(text::Lower("CRÈME BRÛLÉE Ÿ Ž Ł"), "crème brûlée ÿ ž ł");
  EXPECT_EQ(text::Upper("αβγ ς"), "ΑΒΓ ς");
  EXPECT_EQ(text::Lower("МОСКВА Ё"), "москва ё");
  EXPECT_EQ(text::Upper("ß × ÷ 7 _"), "ß × ÷ 7 _");
}

TEST(Text, DotlessAndDottedIKeepTheirIdentity) {
  // Neither maps one-to-one to the other: İ lower-cases to i and ı upper-cases to I, so the
  // simple mapping leaves them as they are rather than turning one into the other.
  EXPECT_EQ(text::ToLower(U'\u0130'), U'\u0130');
  EXPECT_EQ(text::ToUpper(U'\u0131'), U'\u0131');
}

}  // namespace
}  // namespace orvanta
