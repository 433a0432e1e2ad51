// WxText.h: the game's texts (UTF-8) to and from wx strings.
#pragma once

#include <wx/string.h>

#include <string>
#include <string_view>

#include "base/Text.h"

namespace orvanta::ui::wx {

// A byte that is not UTF-8 shows as U+FFFD, as everywhere else in the game, rather than
// emptying the whole text.
inline wxString ToWx(std::string_view text) {
  const std::string valid = text::ValidUtf8(text);
  return wxString::FromUTF8(valid.data(), valid.size());
}

inline std::string FromWx(const wxString& text) {
  return std::string(text.utf8_str());
}

}  // namespace orvanta::ui::wx
