#include "base/Text.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace orvanta::text {
namespace {

// Windows-1252 bytes 0x80..0x9F; the five undefined ones map to the C1 controls, as Windows does.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Adds the UTF-8 bytes of one character to `out`.
inline void AppendEncoded(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Each character of the UTF-8 text through `map`, decoded and encoded again in one pass.
template <typename Map>
std::string MapCharacters(std::string_view utf8, Map map) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const Utf8Char c = DecodeFront(utf8);
    AppendEncoded(out, map(c.value));
    utf8.remove_prefix(c.size);
  }
  return out;
}

}  // namespace

void Utf8Check::Feed(std::string_view piece) {
  while (!broken_ && !piece.empty()) {
    if (!pending_.empty()) {
      // Finish the character the last piece cut, a byte at a time.
      pending_ += piece.front();
      piece.remove_prefix(1);
      const Utf8Char c = DecodeFront(pending_);
      broken_ = !c.valid && !c.cut;
      if (c.valid) {
        pending_.clear();
      }
      continue;
    }
    // Plain ASCII, eight bytes at a time.
    std::size_t ascii = 0;
    for (std::uint64_t word = 0; ascii + 8 <= piece.size(); ascii += 8) {
      std::memcpy(&word, piece.data() + ascii, 8);
      if ((word & 0x8080808080808080ULL) != 0) {
        break;
      }
    }
    piece.remove_prefix(ascii);
    if (piece.empty()) {
      return;
    }
    const Utf8Char c = DecodeFront(piece);
    if (c.cut) {
      pending_ = piece;
      return;
    }
    broken_ = !c.valid;
    piece.remove_prefix(c.size);
  }
}

std::u32string Decode(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const Utf8Char c = DecodeFront(utf8);
    out.push_back(c.value);
    utf8.remove_prefix(c.size);
  }
  return out;
}

std::string ValidUtf8(std::string_view bytes) {
  // The decoder reads a byte that starts no character as U+FFFD; the rest comes out as it went in.
  return MapCharacters(bytes, [](char32_t c) { return c; });
}

std::string Encode(char32_t c) {
  std::string out;
  AppendEncoded(out, c);
  return out;
}

std::string Encode(std::u32string_view chars) {
  std::string out;
  out.reserve(chars.size());
  for (char32_t c : chars) {
    AppendEncoded(out, c);
  }
  return out;
}

std::string PathText(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::u8string name = path.u8string();
  return std::string(name.begin(), name.end());
#else
  return ValidUtf8(path.native());
#endif
}

bool IsValidUtf8(std::string_view bytes) {
  Utf8Check check;
  check.Feed(bytes);
  return check.Valid();
}

std::string FromWindows1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char b : bytes) {
    const auto byte = static_cast<unsigned char>(b);
    if (byte >= 0x80 && byte < 0xA0) {
      AppendEncoded(out, kCp1252High[byte - 0x80]);
    } else {
      AppendEncoded(out, byte);
    }
  }
  return out;
}

char32_t ToLower(char32_t c) {
  if (c >= U'A' && c <= U'Z')
    return c + 32;
  if (c < 0xC0)
    return c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7))
    return c + 32;  // Latin-1 capitals
  if (c == 0x178)
    return 0xFF;  // Ÿ
  // The dotted capital I and the dotless small i are no pair: each one's partner is plain i or I.
  if (c == 0x130 || c == 0x131)
    return c;
  // Latin Extended-A: capitals at even code points, except in the 0x139..0x148 and 0x179..0x17E
  // runs, where they sit at odd ones.
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
    return (c % 2 == 0) ? c + 1 : c;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
    return (c % 2 == 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
    return c + 32;  // Greek
  if (c >= 0x410 && c <= 0x42F)
    return c + 32;  // Cyrillic
  if (c >= 0x400 && c <= 0x40F)
    return c + 80;
  return c;
}

char32_t ToUpper(char32_t c) {
  if (c >= U'a' && c <= U'z')
    return c - 32;
  if (c < 0xE0)
    return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
    return c - 32;
  if (c == 0xFF)
    return 0x178;
  if (c == 0x130 || c == 0x131)
    return c;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
    return (c % 2 == 1) ? c - 1 : c;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
    return (c % 2 == 0) ? c - 1 : c;
  if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2)
    return c - 32;
  if (c >= 0x430 && c <= 0x44F)
    return c - 32;
  if (c >= 0x450 && c <= 0x45F)
    return c - 80;
  return c;
}

std::string Lower(std::string_view utf8) {
  return MapCharacters(utf8, ToLower);
}

std::string Upper(std::string_view utf8) {
  return MapCharacters(utf8, ToUpper);
}

std::size_t Length(std::string_view utf8) {
  std::size_t count = 0;
  for (; !utf8.empty(); ++count) {
    utf8.remove_prefix(DecodeFront(utf8).size);
  }
  return count;
}

}  // namespace orvanta::text
