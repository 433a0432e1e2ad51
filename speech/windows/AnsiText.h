// AnsiText.h: the game's texts (UTF-8) as the older Windows APIs want them, 8-bit in the
// system's ANSI code page (JFWSayString, sndPlaySoundA). Wide (UTF-16) text is in
// base/windows/WideText.h.
#pragma once

#include <string>
#include <string_view>

namespace orvanta::speech {

// A character the code page lacks becomes the code page's default character ("?").
std::string AnsiFromUtf8(std::string_view text);
std::string AnsiFromWide(std::wstring_view text);

}  // namespace orvanta::speech
