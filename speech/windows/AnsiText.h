// AnsiText.h: the game's texts (UTF-8) as Windows wants them: wide (UTF-16) for Unicode APIs,
// or 8-bit in the system's ANSI code page for the older APIs (JFWSayString, sndPlaySoundA).
#pragma once

#include <string>
#include <string_view>

namespace orvanta::speech {

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// A character the code page lacks becomes the code page's default character ("?").
std::string AnsiFromUtf8(std::string_view text);
std::string AnsiFromWide(std::wstring_view text);

}  // namespace orvanta::speech
