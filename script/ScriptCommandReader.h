// ScriptCommandReader.h: the command lines of `orvanta --script`, read one at a time from a
// stream in bounded memory: a line longer than the limit is kept only in part and marked, and the
// rest of it is passed over without being held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta::script {

class ScriptCommandReader {
 public:
  // The longest command line, in bytes (its line end not counted).
  static constexpr std::size_t kMaxLineBytes = std::size_t{64} * 1024;
  // The most bytes of a line that a message quotes.
  static constexpr std::size_t kQuotedBytes = 100;

  explicit ScriptCommandReader(std::istream& in) : in_(in) {}

  // The next command line, without its line end (LF, or CR LF), skipping blank lines and lines
  // starting with "#"; nothing at the end of input. A line that is too long is returned cut short
  // (comment or not) with TooLong() set. Valid until the next call.
  std::optional<std::string_view> Next();
  // The number of the line last returned, counted from 1.
  std::uint64_t LineNumber() const { return lineNumber_; }
  // Whether the line last returned is longer than kMaxLineBytes.
  bool TooLong() const { return tooLong_; }
  // The line last returned as a message quotes it: at most kQuotedBytes, cut at a whole
  // character, with "..." when cut.
  std::string Quote() const;

 private:
  // Reads one line into line_, keeping at most kMaxLineBytes + 1 bytes; false at the end.
  bool ReadLine();

  std::istream& in_;
  std::string line_;
  std::uint64_t lineNumber_ = 0;
  bool tooLong_ = false;
  bool restToSkip_ = false;  // the rest of a too-long line is still waiting in the input
};

}  // namespace orvanta::script
