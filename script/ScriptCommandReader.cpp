#include "script/ScriptCommandReader.h"

#include <streambuf>

#include "base/Text.h"

namespace orvanta::script {
namespace {

using Traits = std::streambuf::traits_type;

}  // namespace

bool ScriptCommandReader::ReadLine() {
  std::streambuf* source = in_.rdbuf();
  if (source == nullptr) {
    return false;
  }
  if (restToSkip_) {
    // The end of the last, too long line.
    for (auto c = source->sbumpc(); !Traits::eq_int_type(c, Traits::eof()) && c != '\n';
         c = source->sbumpc()) {
    }
    restToSkip_ = false;
  }
  line_.clear();
  auto c = source->sbumpc();
  if (Traits::eq_int_type(c, Traits::eof())) {
    return false;
  }
  for (; !Traits::eq_int_type(c, Traits::eof()) && c != '\n'; c = source->sbumpc()) {
    line_.push_back(Traits::to_char_type(c));
    if (line_.size() > kMaxLineBytes + 1) {
      // Past the limit (a CR may still end it): the rest is not kept.
      line_.pop_back();
      restToSkip_ = true;
      break;
    }
  }
  if (!restToSkip_ && !line_.empty() && line_.back() == '\r') {
    line_.pop_back();
  }
  tooLong_ = line_.size() > kMaxLineBytes;
  if (tooLong_) {
    line_.resize(kMaxLineBytes);
  }
  ++lineNumber_;
  return true;
}

std::optional<std::string_view> ScriptCommandReader::Next() {
  while (ReadLine()) {
    if (tooLong_ || (!line_.empty() && line_.front() != '#')) {
      return line_;
    }
  }
  return std::nullopt;
}

std::string ScriptCommandReader::Quote() const {
  if (line_.size() <= kQuotedBytes && !tooLong_) {
    return line_;
  }
  std::size_t end = kQuotedBytes;
  while (end > 0 && !text::StartsCharacter(static_cast<unsigned char>(line_[end]))) {
    --end;
  }
  return line_.substr(0, end) + "...";
}

}  // namespace orvanta::script
