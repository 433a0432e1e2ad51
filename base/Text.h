// Text.h: the game's texts are UTF-8 strings; these helpers treat them as characters, not bytes,
// so an accented letter is one position of the board and changes case as a whole.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvanta::text {

// The character that stands for bytes that are not UTF-8.
inline constexpr char32_t kReplacement = 0xFFFD;

// The game's one UTF-8 decoder: the character at the front of `bytes` (which are not empty).
struct Utf8Char {
  char32_t value = kReplacement;  // kReplacement when the bytes there are no well-formed character
  std::size_t size = 1;           // the bytes it takes; 1 for a byte that starts no character
  bool valid = false;
  bool cut = false;  // a well-formed start of a character that the bytes end too soon for
};
// Defined here so that the loops over text can take plain ASCII without a call per character.
inline Utf8Char DecodeFront(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes.front());
  if (lead < 0x80) {
    return {lead, 1, true, false};
  }
  std::size_t size = 0;
  char32_t c = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    size = 2;
    c = lead & 0x1Fu;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    size = 3;
    c = lead & 0x0Fu;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    size = 4;
    c = lead & 0x07u;
    minimum = 0x10000;
  } else {
    return {};
  }
  for (std::size_t i = 1; i < size; ++i) {
    if (i >= bytes.size()) {
      return {kReplacement, 1, false, true};
    }
    const auto next = static_cast<unsigned char>(bytes[i]);
    if ((next & 0xC0) != 0x80) {
      return {};
    }
    c = (c << 6) | (next & 0x3Fu);
  }
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    return {};
  }
  return {c, size, true, false};
}

// Checks UTF-8 that comes in pieces, such as the chunks of a file: a character may straddle
// two pieces. Holds at most the three bytes of one unfinished character.
class Utf8Check {
 public:
  void Feed(std::string_view piece);
  // Whether a byte fed so far breaks UTF-8 (a character still unfinished does not).
  bool Broken() const { return broken_; }
  // At the end of the input: whether all of it was well-formed, the last character complete.
  bool Valid() const { return !broken_ && pending_.empty(); }

 private:
  std::string pending_;
  bool broken_ = false;
};

// UTF-8 to code points; a malformed byte becomes U+FFFD.
std::u32string Decode(std::string_view utf8);
// The bytes with every byte that starts no well-formed character replaced by U+FFFD, so that
// what the game writes out is always UTF-8.
std::string ValidUtf8(std::string_view bytes);
// A file or folder name as UTF-8 for the player to read: on Windows from its wide name,
// elsewhere its bytes with U+FFFD for each byte that is not UTF-8.
std::string PathText(const std::filesystem::path& path);
// Whether a byte of UTF-8 text starts a character (is not a continuation byte).
inline bool StartsCharacter(unsigned char byte) {
  return (byte & 0xC0) != 0x80;
}
std::string Encode(std::u32string_view chars);
std::string Encode(char32_t c);

bool IsValidUtf8(std::string_view bytes);
// Windows-1252 (the Windows ANSI code page of Western Europe) to UTF-8.
std::string FromWindows1252(std::string_view bytes);

// Simple one-to-one case mapping for Latin, Greek and Cyrillic letters; others unchanged.
char32_t ToLower(char32_t c);
char32_t ToUpper(char32_t c);
std::string Lower(std::string_view utf8);
std::string Upper(std::string_view utf8);

// Number of characters (code points).
std::size_t Length(std::string_view utf8);

}  // namespace orvanta::text
