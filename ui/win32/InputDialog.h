// InputDialog.h: the game's modal input box: a prompt, an edit box named by it, OK and Cancel.
#pragma once

#include <windows.h>

#include <string>

namespace orvanta::ui::win32 {

class InputDialog {
 public:
  InputDialog(std::string prompt, std::string title);

  // Blocks until the player closes the box; the typed text, or empty on Cancel or Escape.
  std::string Run(HWND owner);
  // Closes the box as Cancel would (the program is ending).
  void Close();

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  std::string prompt_;
  std::string title_;
  std::string typed_;
  HWND dialog_ = nullptr;
};

}  // namespace orvanta::ui::win32
