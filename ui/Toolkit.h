// Toolkit.h: the window toolkit as the game sees it. Back ends: ScriptToolkit (standard input and
// JSON events, no display), WxToolkit (ui/wx, wxWidgets on GTK 3), the Win32 one (ui/win32).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ui/Window.h"

namespace orvanta::ui {

enum class MsgButtons { OK, YesNo };
enum class MsgIcon { None, Information, Question, Critical };
enum class MsgResult { OK, Yes, No };

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Builds the window hidden: its controls exist when this returns. The window logic runs its
  // own Form_Load afterwards.
  virtual void Load(Window& window) = 0;
  // Shows a loaded window, not modal; returns at once.
  virtual void Show(Window& window) = 0;
  // Destroys the window's widgets; its closing handler has already run.
  virtual void Unload(Window& window) = 0;
  // Paints the window now, so it is seen before a long synchronous step.
  virtual void Repaint(Window& window) = 0;

  // Handles every pending event, each handler to its end, then returns.
  virtual void DoEvents() = 0;
  // Blocks until at least one event has been handled (no busy wait).
  virtual void WaitForEvent() = 0;

  // Modal boxes. An empty title means the program's own title.
  virtual MsgResult MsgBox(std::string_view text, std::string_view title, MsgButtons buttons,
                           MsgIcon icon) = 0;
  // The typed text, or empty on Cancel.
  virtual std::string InputBox(std::string_view prompt, std::string_view title) = 0;

  // Tells `handler` of every key the player presses in any window, box or menu of the game,
  // before the key does anything; `controlAlone` for the Ctrl key itself. Empty: no one.
  // A back end with no real keyboard (script mode) never calls it.
  virtual void OnKeyPressed(const std::function<void(bool controlAlone)>& /*handler*/) {}
};

}  // namespace orvanta::ui
