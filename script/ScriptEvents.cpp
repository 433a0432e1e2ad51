#include "script/ScriptEvents.h"

#include <array>
#include <cerrno>
#include <system_error>

#include "base/ProgramEnd.h"
#include "base/Text.h"

namespace orvanta::script {
using ui::MsgButtons;
using ui::MsgIcon;

namespace {

std::string Bool(bool value) {
  return value ? "true" : "false";
}

std::string_view ButtonsName(MsgButtons buttons) {
  return buttons == MsgButtons::YesNo ? "YesNo" : "OK";
}

std::string_view IconName(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information:
      return "information";
    case MsgIcon::Question:
      return "question";
    case MsgIcon::Critical:
      return "critical";
    case MsgIcon::None:
      break;
  }
  return "none";
}

}  // namespace

std::string JsonString(std::string_view text) {
  constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                         '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
  std::string out = "\"";
  for (char c : text::ValidUtf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          out += "\\u00";
          out += kHex[byte >> 4];
          out += kHex[byte & 0xF];
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

void ScriptEvents::Line(const std::string& json) {
  if (failure_) {
    return;
  }
  errno = 0;
  out_ << json << '\n' << std::flush;
  if (!out_) {
    const int error = errno;
    failure_ = "the events cannot be written to standard output";
    if (error != 0) {
      *failure_ += " (" + std::generic_category().message(error) + ")";
    }
    // Nobody reads the game any more: it ends at once.
    EndProgram(kOutputFailedStatus);
  }
}

void ScriptEvents::Say(std::string_view text, bool interrupt) {
  Line(R"({"event":"say","text":)" + JsonString(text) + R"(,"interrupt":)" +
       (interrupt ? "1" : "0") + "}");
}

void ScriptEvents::Sound(std::string_view file, bool async) {
  Line(R"({"event":"sound","file":)" + JsonString(file) + R"(,"async":)" + Bool(async) + "}");
}

void ScriptEvents::MsgBox(std::string_view title, std::string_view text, MsgButtons buttons,
                          MsgIcon icon) {
  Line(R"({"event":"msgbox","title":)" + JsonString(title) + R"(,"text":)" + JsonString(text) +
       R"(,"buttons":)" + JsonString(ButtonsName(buttons)) + R"(,"icon":)" +
       JsonString(IconName(icon)) + "}");
}

void ScriptEvents::InputBox(std::string_view title, std::string_view prompt) {
  Line(R"({"event":"inputbox","title":)" + JsonString(title) + R"(,"prompt":)" +
       JsonString(prompt) + "}");
}

void ScriptEvents::Window(std::string_view name, std::string_view action) {
  Line(R"({"event":"window","name":)" + JsonString(name) + R"(,"action":)" + JsonString(action) +
       "}");
}

void ScriptEvents::State(const ScriptState& s) {
  Line(R"({"event":"state","txtPuzzle":)" + JsonString(s.txtPuzzle) + R"(,"txtCategory":)" +
       JsonString(s.txtCategory) + R"(,"txtUsed":)" + JsonString(s.txtUsed) + R"(,"txtMoney":)" +
       JsonString(s.txtMoney) + R"(,"lblWheel":)" + JsonString(s.lblWheel) +
       R"(,"cmdSpinEnabled":)" + Bool(s.cmdSpinEnabled) + R"(,"frmPuzzleVisible":)" +
       Bool(s.frmPuzzleVisible) + R"(,"frmWheelVisible":)" + Bool(s.frmWheelVisible) +
       R"(,"UsedLetters":)" + JsonString(s.UsedLetters) + R"(,"FreeSpins":)" +
       std::to_string(s.FreeSpins) + "}");
}

void ScriptEvents::Error(std::string_view text) {
  Line(R"({"event":"error","text":)" + JsonString(text) + "}");
}

void ScriptEvents::Exit(int code) {
  Line(R"({"event":"exit","code":)" + std::to_string(code) + "}");
}

}  // namespace orvanta::script
