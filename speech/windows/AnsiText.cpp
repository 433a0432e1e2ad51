// AnsiText.cpp: UTF-8 to UTF-16 to the ANSI code page, the last step through the system's own
// conversion.
#include "speech/windows/AnsiText.h"

#include <windows.h>

#include "base/windows/WideText.h"

namespace orvanta::speech {

std::string AnsiFromUtf8(std::string_view text) {
  return AnsiFromWide(text::WideFromUtf8(text));
}

std::string AnsiFromWide(std::wstring_view wide) {
  if (wide.empty()) {
    return {};
  }
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

}  // namespace orvanta::speech
