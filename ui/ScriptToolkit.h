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

#include "puzzles/RandomSource.h"
#include "ui/ScriptCommandReader.h"
#include "ui/ScriptEvents.h"
#include "ui/Toolkit.h"

namespace orvanta::ui {

class ScriptToolkit final : public Toolkit {
 public:
  ScriptToolkit(std::istream& in, ScriptEvents& events, QueuedRandom& random);

  // What `dump` reports.
  void SetStateReporter(std::function<ScriptState()> reporter) { reporter_ = std::move(reporter); }

  void Load(Window& window) override;
  void Show(Window& window) override;
  void Unload(Window& window) override;
  void Repaint(Window& /*window*/) override {}
  // Nothing is ever pending between commands.
  void DoEvents() override {}
  void WaitForEvent() override;
  MsgResult MsgBox(std::string_view text, std::string_view title, MsgButtons buttons,
                   MsgIcon icon) override;
  std::string InputBox(std::string_view prompt, std::string_view title) override;

 private:
  // The next command line, skipping blank lines and comments; empty at the end of input. A line
  // that is too long is a script error.
  std::optional<std::string> NextCommand();
  [[noreturn]] void ScriptError(std::string_view what) const;
  Window* Loaded(std::string_view name);
  Window& Required(std::string_view name, std::string_view command);
  void KeyCommand(std::string_view argument);
  void ClickCommand(std::string_view button);
  void MenuCommand(std::string_view item);
  void RandCommand(std::string_view value);

  ScriptCommandReader commands_;
  ScriptEvents& events_;
  QueuedRandom& random_;
  std::function<ScriptState()> reporter_;
  std::map<std::string, Window*, std::less<>> windows_;
};

// Parses a key as scripts write it ("T", "Shift+T", "F4", "Ctrl+Alt+Escape") into a virtual key
// code and the modifiers; nothing for an unknown key.
struct ScriptKey {
  int keyCode = 0;
  ShiftState shift;
};
std::optional<ScriptKey> ParseScriptKey(std::string_view name);

}  // namespace orvanta::ui
