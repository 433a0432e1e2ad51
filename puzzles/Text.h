// Text.h: the game's texts are UTF-8 strings; these helpers treat them as characters, not bytes,
// so an accented letter is one position of the board and changes case as a whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvanta::text {

// UTF-8 to code points; a malformed byte becomes U+FFFD.
std::u32string Decode(std::string_view utf8);
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
