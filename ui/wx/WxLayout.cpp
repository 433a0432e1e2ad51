// WxLayout.cpp: key codes and fonts for the wx back end.
#include "ui/wx/WxLayout.h"

#include <wx/defs.h>

#include <array>
#include <cctype>
#include <string>
#include <utility>

namespace orvanta::ui::wx {

namespace {

// Punctuation keys of a US keyboard: the key's character, shifted or not, and its code.
constexpr auto kPunctuationKeys = std::to_array<std::pair<char, int>>({
    {';', 186},
    {':', 186},
    {'=', 187},
    {'+', 187},
    {',', 188},
    {'<', 188},
    {'-', 189},
    {'_', 189},
    {'.', 190},
    {'>', 190},
    {'/', 191},
    {'?', 191},
    {'`', 192},
    {'~', 192},
    {'[', 219},
    {'{', 219},
    {'\\', 220},
    {'|', 220},
    {']', 221},
    {'}', 221},
    {'\'', 222},
    {'"', 222},
    // Shifted digits: the release of Shift+1 is still the key "1".
    {'!', '1'},
    {'@', '2'},
    {'#', '3'},
    {'$', '4'},
    {'%', '5'},
    {'^', '6'},
    {'&', '7'},
    {'*', '8'},
    {'(', '9'},
    {')', '0'},
    // Keys whose wx code is their ASCII control character.
    {'\b', 8},
    {'\t', 9},
    {'\r', 13},
    {'\x1b', 27},
    {' ', 32},
    {'\x7f', 46},
});

}  // namespace

std::optional<int> VirtualKeyFromWx(int code) {
  if (code >= 'a' && code <= 'z')
    return code - 'a' + 'A';
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
    return code;
  if (code >= WXK_F1 && code <= WXK_F24)
    return 112 + (code - WXK_F1);
  if (code >= WXK_NUMPAD0 && code <= WXK_NUMPAD9)
    return 96 + (code - WXK_NUMPAD0);
  switch (code) {
    case WXK_SHIFT:
      return 16;
    case WXK_CONTROL:
      return 17;
    case WXK_ALT:
      return 18;
    case WXK_PAUSE:
      return 19;
    case WXK_CAPITAL:
      return 20;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP:
      return 33;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN:
      return 34;
    case WXK_END:
    case WXK_NUMPAD_END:
      return 35;
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
      return 36;
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT:
      return 37;
    case WXK_UP:
    case WXK_NUMPAD_UP:
      return 38;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT:
      return 39;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
      return 40;
    case WXK_PRINT:
    case WXK_SNAPSHOT:
      return 44;
    case WXK_INSERT:
    case WXK_NUMPAD_INSERT:
      return 45;
    case WXK_DELETE:
    case WXK_NUMPAD_DELETE:
      return 46;
    case WXK_WINDOWS_LEFT:
      return 91;
    case WXK_WINDOWS_RIGHT:
      return 92;
    case WXK_WINDOWS_MENU:
    case WXK_MENU:
      return 93;
    case WXK_NUMPAD_MULTIPLY:
    case WXK_MULTIPLY:
      return 106;
    case WXK_NUMPAD_ADD:
    case WXK_ADD:
      return 107;
    case WXK_NUMPAD_SEPARATOR:
    case WXK_SEPARATOR:
      return 108;
    case WXK_NUMPAD_SUBTRACT:
    case WXK_SUBTRACT:
      return 109;
    case WXK_NUMPAD_DECIMAL:
    case WXK_DECIMAL:
      return 110;
    case WXK_NUMPAD_DIVIDE:
    case WXK_DIVIDE:
      return 111;
    case WXK_NUMPAD_ENTER:
      return 13;
    case WXK_NUMPAD_SPACE:
      return 32;
    case WXK_NUMPAD_TAB:
      return 9;
    case WXK_NUMLOCK:
      return 144;
    case WXK_SCROLL:
      return 145;
    default:
      break;
  }
  for (const auto& [character, virtualKey] : kPunctuationKeys) {
    if (code == static_cast<unsigned char>(character))
      return virtualKey;
  }
  return std::nullopt;
}

bool IsFixedPitchFace(std::string_view face) {
  std::string lower;
  for (char c : face)
    lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (std::string_view fixed : {"courier", "courier new", "lucida console", "consolas", "fixedsys",
                                 "terminal", "monospace", "dejavu sans mono"}) {
    if (lower == fixed)
      return true;
  }
  return false;
}

FontChoice ChooseFont(const std::optional<Font>& own, const Font& windowDefault, bool monospaced) {
  const Font& font = own ? *own : windowDefault;
  FontChoice choice;
  choice.family =
      monospaced || IsFixedPitchFace(font.face) ? FontFamily::Monospaced : FontFamily::Dialog;
  choice.points = font.points > 0 ? font.points : windowDefault.points;
  choice.bold = font.bold;
  return choice;
}

}  // namespace orvanta::ui::wx
