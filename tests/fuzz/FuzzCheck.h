// FuzzCheck.h: what the fuzz targets share: stopping on a broken promise, a clock that keeps runs
// repeatable, cutting an input into parts, and reading back the JSON lines that script mode
// writes.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/RandomSource.h"
#include "base/Text.h"

namespace orvanta::fuzz {

// Stops the run with a message when a promise of the code under test is broken; libFuzzer then
// keeps the input as a crash.
inline void Require(bool condition, const char* promise) {
  if (!condition) {
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
  }
}

// A clock that always says the same, so a run can be repeated from its input alone.
class StillClock final : public Clock {
 public:
  std::uint64_t Ticks() override { return 1; }
};

// The input cut at every `separator` byte.
inline std::vector<std::string_view> Split(std::string_view input, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t next = input.find(separator); next != std::string_view::npos;
       next = input.find(separator)) {
    parts.push_back(input.substr(0, next));
    input.remove_prefix(next + 1);
  }
  parts.push_back(input);
  return parts;
}

// A flat JSON object as script mode writes it: each field's value as its JSON text, strings
// decoded.
using JsonFields = std::map<std::string, std::string, std::less<>>;

namespace detail {

// Reads a JSON string at `pos` (on its opening quote), decoding escapes; nothing when malformed.
inline std::optional<std::string> ReadJsonString(std::string_view s, std::size_t& pos) {
  if (pos >= s.size() || s[pos] != '"') {
    return std::nullopt;
  }
  std::string out;  // the line is checked to be UTF-8 as a whole before it is read
  for (++pos; pos < s.size();) {
    const char c = s[pos++];
    if (c == '"') {
      return out;
    }
    if (static_cast<unsigned char>(c) < 0x20) {
      return std::nullopt;  // a control character must be escaped
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (pos >= s.size()) {
      return std::nullopt;
    }
    const char e = s[pos++];
    const std::string_view simple = "\"\\/bfnrt";
    const std::string_view meant = "\"\\/\b\f\n\r\t";
    if (const auto at = simple.find(e); at != std::string_view::npos) {
      out += meant[at];
    } else if (e == 'u' && pos + 4 <= s.size()) {
      const std::string hex(s.substr(pos, 4));
      if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return std::nullopt;
      }
      pos += 4;
      out += text::Encode(static_cast<char32_t>(std::stoul(hex, nullptr, 16)));
    } else {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

}  // namespace detail

// Reads one line of script mode's output: a JSON object of strings, numbers and booleans, in
// UTF-8. Nothing when the line is not such an object.
inline std::optional<JsonFields> ReadJsonLine(std::string_view line) {
  if (!text::IsValidUtf8(line) || line.size() < 2 || line.front() != '{' || line.back() != '}') {
    return std::nullopt;
  }
  JsonFields fields;
  std::size_t pos = 1;
  while (pos < line.size() - 1) {
    auto key = detail::ReadJsonString(line, pos);
    if (!key || pos >= line.size() || line[pos++] != ':') {
      return std::nullopt;
    }
    std::string value;
    if (line[pos] == '"') {
      auto decoded = detail::ReadJsonString(line, pos);
      if (!decoded) {
        return std::nullopt;
      }
      value = std::move(*decoded);
    } else {
      const std::size_t end = line.find_first_of(",}", pos);
      value = line.substr(pos, end - pos);
      const bool number = !value.empty() &&
                          value.find_first_not_of("-0123456789") == std::string::npos &&
                          value.find('-', 1) == std::string::npos && value != "-";
      if (value != "true" && value != "false" && !number) {
        return std::nullopt;
      }
      pos = end;
    }
    if (!fields.emplace(std::move(*key), std::move(value)).second) {
      return std::nullopt;  // a field named twice
    }
    if (line[pos] == ',' && pos + 1 < line.size() - 1) {
      ++pos;
    } else if (pos != line.size() - 1) {
      return std::nullopt;
    }
  }
  return fields;
}

}  // namespace orvanta::fuzz
