// Win32Toolkit.h: the game's windows on the Windows desktop, with native Win32 controls that
// screen readers name, key preview through the game's own message loop, and modal boxes.
#pragma once

#include <memory>
#include <string>

#include "speech/windows/UiaNotifications.h"
#include "ui/Toolkit.h"

namespace orvanta::ui {

// The game's active window, or else one it shows: where UI Automation's sentences come from.
class ActiveGameWindow final : public speech::WindowToPresentFrom {
 public:
  HWND ActiveWindow() override;
};

// Opens the toolkit on this desktop. Returns null and puts a sentence for the player into
// `error` when the windows cannot be made. The icons come from the executable's resources.
std::unique_ptr<Toolkit> MakeWin32Toolkit(std::string& error);

}  // namespace orvanta::ui
