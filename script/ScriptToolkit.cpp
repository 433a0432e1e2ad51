#include "script/ScriptToolkit.h"

#include <charconv>

#include "base/ProgramEnd.h"
#include "ui/AppInfo.h"

namespace orvanta::script {
using ui::kProgramTitle;
using ui::MsgButtons;
using ui::MsgIcon;
using ui::MsgResult;
using ui::Window;
namespace vk = ui::vk;

namespace {

constexpr std::string_view kAnswer = "answer ";

bool Consume(std::string_view& text, std::string_view prefix) {
  if (text.substr(0, prefix.size()) != prefix)
    return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

std::optional<ScriptKey> ParseScriptKey(std::string_view name) {
  ScriptKey key;
  while (true) {
    if (Consume(name, "Shift+")) {
      key.shift.shift = true;
    } else if (Consume(name, "Ctrl+")) {
      key.shift.ctrl = true;
    } else if (Consume(name, "Alt+")) {
      key.shift.alt = true;
    } else {
      break;
    }
  }
  if (name.size() == 1) {
    const auto c = static_cast<unsigned char>(name.front());
    if (c >= 'A' && c <= 'Z')
      key.keyCode = c;
    if (c >= 'a' && c <= 'z')
      key.keyCode = c - 'a' + 'A';  // a letter key is its capital
    if (c >= '0' && c <= '9')
      key.keyCode = c;
  } else if (name.size() >= 2 && name.front() == 'F') {
    int number = 0;
    const auto [end, error] = std::from_chars(name.data() + 1, name.data() + name.size(), number);
    if (error == std::errc() && end == name.data() + name.size() && number >= 1 && number <= 12) {
      key.keyCode = vk::kF1 + number - 1;
    }
  } else if (name == "Space") {
    key.keyCode = vk::kSpace;
  } else if (name == "Enter") {
    key.keyCode = vk::kReturn;
  } else if (name == "Escape") {
    key.keyCode = vk::kEscape;
  } else if (name == "Tab") {
    key.keyCode = 9;
  }
  if (key.keyCode == 0)
    return std::nullopt;
  return key;
}

ScriptToolkit::ScriptToolkit(std::istream& in, ScriptEvents& events, QueuedRandom& random)
    : commands_(in), events_(events), random_(random) {}

void ScriptToolkit::Load(Window& window) {
  windows_[window.Name()] = &window;
  events_.Window(window.Name(), "load");
}

void ScriptToolkit::Show(Window& window) {
  events_.Window(window.Name(), "show");
}

void ScriptToolkit::Unload(Window& window) {
  windows_.erase(window.Name());
  events_.Window(window.Name(), "unload");
}

std::optional<std::string> ScriptToolkit::NextCommand() {
  const std::optional<std::string_view> line = commands_.Next();
  if (!line)
    return std::nullopt;
  if (commands_.TooLong()) {
    ScriptError("the line is longer than " + std::to_string(ScriptCommandReader::kMaxLineBytes) +
                " bytes");
  }
  return std::string(*line);
}

void ScriptToolkit::ScriptError(std::string_view what) const {
  EndProgram(2, "script line " + std::to_string(commands_.LineNumber()) + " (" + commands_.Quote() +
                    "): " + std::string(what));
}

Window* ScriptToolkit::Loaded(std::string_view name) {
  const auto found = windows_.find(name);
  return found == windows_.end() ? nullptr : found->second;
}

Window& ScriptToolkit::Required(std::string_view name, std::string_view command) {
  Window* window = Loaded(name);
  if (window == nullptr)
    ScriptError(std::string(command) + ": the window is not open");
  return *window;
}

void ScriptToolkit::WaitForEvent() {
  const std::optional<std::string> command = NextCommand();
  if (!command) {
    // The player has gone: close the main window as its close button would.
    if (Window* main = Loaded("frmMain"))
      main->CloseRequested();
    EndProgram(0);
  }
  std::string_view rest = *command;
  if (Consume(rest, "key ")) {
    KeyCommand(rest);
  } else if (Consume(rest, "click ")) {
    ClickCommand(rest);
  } else if (Consume(rest, "menu ")) {
    MenuCommand(rest);
  } else if (rest == "close frmMain") {
    Required("frmMain", "close").CloseRequested();
  } else if (Consume(rest, "rand ")) {
    RandCommand(rest);
  } else if (rest == "dump") {
    events_.State(reporter_ ? reporter_() : ScriptState{});
  } else if (rest.substr(0, kAnswer.size()) == kAnswer || rest == "answer") {
    ScriptError("no box is open");
  } else {
    ScriptError("unknown command");
  }
}

void ScriptToolkit::KeyCommand(std::string_view argument) {
  std::string_view windowName = "frmMain";
  if (Consume(argument, "frmSplash "))
    windowName = "frmSplash";
  const std::optional<ScriptKey> key = ParseScriptKey(argument);
  if (!key)
    ScriptError("unknown key");
  Required(windowName, "key").KeyUp(key->keyCode, key->shift);
}

void ScriptToolkit::ClickCommand(std::string_view button) {
  if (button == "cmdSpin" || button == "cmdSolve") {
    Required("frmMain", "click").ButtonClicked(button);
  } else if (button == "cmdOK") {
    // The About box's OK button: pressing it while the box is closed does nothing.
    if (Window* splash = Loaded("frmSplash"))
      splash->ButtonClicked(button);
  } else {
    ScriptError("unknown button");
  }
}

void ScriptToolkit::MenuCommand(std::string_view item) {
  if (item != "mnuFExit" && item != "mnuCReveal" && item != "mnuHAbout") {
    ScriptError("unknown menu item");
  }
  Required("frmMain", "menu").MenuChosen(item);
}

void ScriptToolkit::RandCommand(std::string_view value) {
  double r = -1;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), r);
  if (error != std::errc() || end != value.data() + value.size() || !(r >= 0 && r < 1)) {
    ScriptError("a random value must be a number from 0 up to (not including) 1");
  }
  random_.Queue(r);
}

MsgResult ScriptToolkit::MsgBox(std::string_view text, std::string_view title, MsgButtons buttons,
                                MsgIcon icon) {
  events_.MsgBox(title.empty() ? kProgramTitle : title, text, buttons, icon);
  const std::optional<std::string> command = NextCommand();
  if (!command)
    return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::OK;
  if (buttons == MsgButtons::OK && *command == "answer OK")
    return MsgResult::OK;
  if (buttons == MsgButtons::YesNo && *command == "answer Yes")
    return MsgResult::Yes;
  if (buttons == MsgButtons::YesNo && *command == "answer No")
    return MsgResult::No;
  ScriptError(buttons == MsgButtons::OK
                  ? "a message box is open: expected 'answer OK'"
                  : "a message box is open: expected 'answer Yes' or 'answer No'");
}

std::string ScriptToolkit::InputBox(std::string_view prompt, std::string_view title) {
  events_.InputBox(title.empty() ? kProgramTitle : title, prompt);
  const std::optional<std::string> command = NextCommand();
  if (!command || *command == "answer Cancel" || *command == "answer OK")
    return {};
  std::string_view rest = *command;
  if (Consume(rest, "answer OK "))
    return std::string(rest);
  ScriptError("an input box is open: expected 'answer OK TEXT' or 'answer Cancel'");
}

}  // namespace orvanta::script
