// WxText.h: the game's texts (UTF-8, or Latin-1 from old puzzle files) to and from wx strings.
#pragma once

#include <wx/string.h>

#include <string>
#include <string_view>

namespace orvanta::ui::wx {

inline wxString ToWx(std::string_view text) {
  wxString converted = wxString::FromUTF8(text.data(), text.size());
  if (converted.empty() && !text.empty()) {
    converted = wxString(text.data(), wxConvISO8859_1, text.size());
  }
  return converted;
}

inline std::string FromWx(const wxString& text) {
  return std::string(text.utf8_str());
}

}  // namespace orvanta::ui::wx
