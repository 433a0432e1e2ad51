// WideText.cpp: UTF-16 from the game's one UTF-8 decoder, and UTF-8 from UTF-16.
#include "base/windows/WideText.h"

#include "base/Text.h"

namespace orvanta::text {
namespace {

constexpr char32_t kFirstHighSurrogate = 0xD800;
constexpr char32_t kFirstLowSurrogate = 0xDC00;
constexpr char32_t kPastLowSurrogates = 0xE000;
constexpr char32_t kFirstSupplementary = 0x10000;

}  // namespace

std::wstring WideFromUtf8(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  for (const char32_t c : Decode(utf8)) {
    if (c < kFirstSupplementary) {
      wide.push_back(static_cast<wchar_t>(c));
    } else {
      const char32_t above = c - kFirstSupplementary;
      wide.push_back(static_cast<wchar_t>(kFirstHighSurrogate + (above >> 10)));
      wide.push_back(static_cast<wchar_t>(kFirstLowSurrogate + (above & 0x3FF)));
    }
  }
  return wide;
}

std::string Utf8FromWide(std::wstring_view wide) {
  std::u32string chars;
  chars.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const auto unit = static_cast<char32_t>(wide[i]);
    if (unit < kFirstHighSurrogate || unit >= kPastLowSurrogates) {
      chars.push_back(unit);
      continue;
    }
    const char32_t low = i + 1 < wide.size() ? static_cast<char32_t>(wide[i + 1]) : 0;
    if (unit < kFirstLowSurrogate && low >= kFirstLowSurrogate && low < kPastLowSurrogates) {
      chars.push_back(kFirstSupplementary + ((unit - kFirstHighSurrogate) << 10) +
                      (low - kFirstLowSurrogate));
      ++i;
    } else {
      chars.push_back(kReplacement);
    }
  }
  return Encode(chars);
}

}  // namespace orvanta::text
