// Win32Text.h: the text of a window or control, in the game's UTF-8.
#pragma once

#include <windows.h>

#include <string>

#include "base/windows/WideText.h"

namespace orvanta::ui::win32 {

// The whole text of a window or control.
inline std::string WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text::Utf8FromWide(text);
}

}  // namespace orvanta::ui::win32
