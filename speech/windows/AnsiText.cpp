// AnsiText.cpp: UTF-8 to UTF-16 to the ANSI code page, through the system's own conversions.
#include "speech/windows/AnsiText.h"

#include <windows.h>

namespace orvanta::speech {

std::wstring WideFromUtf8(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  const int size = static_cast<int>(text.size());
  // Bytes that are not UTF-8 become U+FFFD rather than failing the whole text.
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string AnsiFromUtf8(std::string_view text) {
  return AnsiFromWide(WideFromUtf8(text));
}

namespace {

std::string NarrowFromWide(std::wstring_view wide, UINT codePage) {
  if (wide.empty()) {
    return {};
  }
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

}  // namespace

std::string AnsiFromWide(std::wstring_view wide) {
  return NarrowFromWide(wide, CP_ACP);
}

std::string Utf8FromWide(std::wstring_view wide) {
  return NarrowFromWide(wide, CP_UTF8);
}

}  // namespace orvanta::speech
