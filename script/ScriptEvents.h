// ScriptEvents.h: what the game shows, says and plays in script mode, written to standard output
// as one JSON object per line.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "ui/Toolkit.h"

namespace orvanta::script {

// The state a `dump` command reports.
struct ScriptState {
  std::string txtPuzzle;
  std::string txtCategory;
  std::string txtUsed;
  std::string txtMoney;
  std::string lblWheel;
  bool cmdSpinEnabled = false;
  bool frmPuzzleVisible = false;
  bool frmWheelVisible = false;
  std::string UsedLetters;
  int FreeSpins = 0;
};

// A JSON string literal for `text`: UTF-8 kept as it is, every byte that is not UTF-8 replaced by
// U+FFFD, control characters escaped.
std::string JsonString(std::string_view text);

// The exit status when the events cannot be written (0, 1 and 2 are the game's own).
inline constexpr int kOutputFailedStatus = 3;

class ScriptEvents {
 public:
  explicit ScriptEvents(std::ostream& out) : out_(out) {}

  void Say(std::string_view text, bool interrupt);
  void Sound(std::string_view file, bool async);
  void MsgBox(std::string_view title, std::string_view text, ui::MsgButtons buttons,
              ui::MsgIcon icon);
  void InputBox(std::string_view title, std::string_view prompt);
  void Window(std::string_view name, std::string_view action);
  void State(const ScriptState& state);
  void Error(std::string_view text);
  void Exit(int code);

  // Why the events could not be written, once a write has failed; nothing is written after that.
  const std::optional<std::string>& Failure() const { return failure_; }

 private:
  // Writes one event and flushes it; a failed write ends the program with kOutputFailedStatus.
  void Line(const std::string& json);

  std::ostream& out_;
  std::optional<std::string> failure_;
};

}  // namespace orvanta::script
