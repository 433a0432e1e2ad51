// Arbitrary texts, delimiters and word numbers through the word functions. Input: one byte for
// the word number (its value less 128), the delimiter up to the first zero byte, then the text.
// Word k, the delimiters after it and the text from word k + 1 on must add up to the text from
// word k on, and a word never holds the delimiter.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Text.h"
#include "puzzles/modStringFunc.h"
#include "tests/fuzz/FuzzCheck.h"

using orvanta::fuzz::Require;

namespace {

// The delimiter's one character as bytes, when it can be told without a UTF-8 decoder of its
// own: a space for none, an ASCII byte, or the first character of a UTF-8 delimiter.
std::string DelimiterCharacter(std::string_view delimiter) {
  if (delimiter.empty()) {
    return " ";
  }
  if (static_cast<unsigned char>(delimiter[0]) < 0x80) {
    return std::string(delimiter.substr(0, 1));
  }
  if (orvanta::text::IsValidUtf8(delimiter)) {
    return orvanta::text::Encode(orvanta::text::Decode(delimiter).front());
  }
  return {};
}

bool OnlyRepeats(std::string_view text, std::string_view unit) {
  for (; text.starts_with(unit); text.remove_prefix(unit.size())) {
  }
  return text.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const int requested = int{data[0]} - 128;  // -128 to 127
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t zero = rest.find('\0');
  const std::string_view delimiter = rest.substr(0, zero);
  const std::string_view text = zero == std::string_view::npos ? "" : rest.substr(zero + 1);

  const std::string word = orvanta::GetWord(text, requested, delimiter);
  const std::string from = orvanta::GetFromWord(text, requested, delimiter);
  Require(text.ends_with(from) && from.starts_with(word), "the words are pieces of the text");
  Require(requested >= 1 || (word.empty() && from.empty()), "there is no word below 1");
  Require(orvanta::GetFromWord(text, 1, delimiter) == text, "word 1 starts the text");

  const std::string unit = DelimiterCharacter(delimiter);
  if (unit.empty()) {
    return 0;
  }
  std::string fromThis = orvanta::GetFromWord(text, 1, delimiter);
  for (int k = 1; k <= 64 && !fromThis.empty(); ++k) {
    const std::string thisWord = orvanta::GetWord(text, k, delimiter);
    const std::string fromNext = orvanta::GetFromWord(text, k + 1, delimiter);
    Require(thisWord.find(unit) == std::string::npos, "a word holds no delimiter");
    Require(fromThis.starts_with(thisWord) && fromThis.ends_with(fromNext) &&
                thisWord.size() + fromNext.size() <= fromThis.size(),
            "the text from word k holds word k, then the text from word k + 1");
    const std::string_view between = std::string_view(fromThis).substr(
        thisWord.size(), fromThis.size() - thisWord.size() - fromNext.size());
    Require(OnlyRepeats(between, unit), "only delimiters stand between two words");
    Require(fromNext.empty() || !between.empty(), "two words are parted by a delimiter");
    fromThis = fromNext;
  }
  return 0;
}
