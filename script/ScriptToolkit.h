// ScriptToolkit.h: the window toolkit of `orvanta --script`. The player's commands come from
// standard input, one a line, read only when the game waits for the player (the game loop's wait
// and a modal box); everything the windows do is written as events. No display is needed, and
// the outcome of a script never depends on timing.
#pragma once

#include <functional>
#include <istream>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "base/RandomSource.h"
#include "script/ScriptCommandReader.h"
#include "script/ScriptEvents.h"
#include "ui/Toolkit.h"

namespace orvanta::script {

class ScriptToolkit final : public ui::Toolkit {
 public:
  ScriptToolkit(std::istream& in, ScriptEvents& events, QueuedRandom& random);

  // What `dump` reports.
  void SetStateReporter(std::function<ScriptState()> reporter) { reporter_ = std::move(reporter); }

  void Load(ui::Window& window) override;
  void Show(ui::Window& window) override;
  void Unload(ui::Window& window) override;
  void Repaint(ui::Window& /*window*/) override {}
  // Nothing is ever pending between commands.
  void DoEvents() override {}
  void WaitForEvent() override;
  ui::MsgResult MsgBox(std::string_view text, std::string_view title, ui::MsgButtons buttons,
                       ui::MsgIcon icon) override;
  std::string InputBox(std::string_view prompt, std::string_view title) override;

 private:
  // The next command line, skipping blank lines and comments; empty at the end of input. A line
  // that is too long is a script error.
  std::optional<std::string> NextCommand();
  [[noreturn]] void ScriptError(std::string_view what) const;
  ui::Window* Loaded(std::string_view name);
  ui::Window& Required(std::string_view name, std::string_view command);
  void KeyCommand(std::string_view argument);
  void ClickCommand(std::string_view button);
  void MenuCommand(std::string_view item);
  void RandCommand(std::string_view value);

  ScriptCommandReader commands_;
  ScriptEvents& events_;
  QueuedRandom& random_;
  std::function<ScriptState()> reporter_;
  std::map<std::string, ui::Window*, std::less<>> windows_;
};

// Parses a key as scripts write it ("T", "Shift+T", "F4", "Ctrl+Alt+Escape") into a virtual key
// code and the modifiers; nothing for an unknown key.
struct ScriptKey {
  int keyCode = 0;
  ui::ShiftState shift;
};
std::optional<ScriptKey> ParseScriptKey(std::string_view name);

}  // namespace orvanta::script
