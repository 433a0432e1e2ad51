// WideText.h: the game's UTF-8 texts as Windows' wide (W) calls take them, UTF-16, and back.
// Bytes that are not UTF-8 follow the rule of all the game's text (base/Text.h): each one
// becomes U+FFFD, the rest of the text is kept.
#pragma once

#include <string>
#include <string_view>

namespace orvanta::text {

std::wstring WideFromUtf8(std::string_view utf8);
// A lone surrogate (half of a pair) becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace orvanta::text
