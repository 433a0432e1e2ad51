// SentenceBatch.h: sentences said close together (the board read symbol by symbol, a spin and
// its amount), joined in order into one message for the braille display, so that none of them
// flashes there for a moment only. Speech keeps every sentence; only what is shown is joined.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <utility>

namespace orvanta::speech {

class SentenceBatch {
 public:
  // Sentences closer together than this go into one message.
  static constexpr std::chrono::milliseconds kJoinWithin{150};

  // Adds `text` after what is held. An interrupting sentence cuts off the ones before it, so
  // what was not shown yet is dropped first; a blank one (the interrupt alone) adds nothing.
  void Add(std::string_view text, bool interrupt) {
    if (interrupt) {
      text_.clear();
    }
    if (text.find_first_not_of(' ') == std::string_view::npos) {
      return;
    }
    if (text_.empty()) {
      interrupting_ = interrupt;
    } else {
      text_ += ' ';
    }
    text_ += text;
  }

  bool Empty() const { return text_.empty(); }
  // Whether the message held began with an interrupting sentence.
  bool Interrupting() const { return interrupting_; }
  // The message held; nothing is held after.
  std::string Take() { return std::exchange(text_, {}); }

 private:
  std::string text_;
  bool interrupting_ = false;
};

}  // namespace orvanta::speech
