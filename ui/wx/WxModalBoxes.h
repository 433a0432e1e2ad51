// WxModalBoxes.h: the game's modal boxes on wx: the message box (GTK's own, see GtkNative.h)
// and the input box, each over the window that opened it; all of them can be closed at once
// when the program ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/Toolkit.h"
#include "ui/wx/GtkNative.h"

class wxDialog;
class wxWindow;

namespace orvanta::ui::wx {

class WxModalBoxes {
 public:
  // Both wait for the player's answer; `parent` may be null (the box is centred on the screen).
  MsgResult MsgBox(const wxWindow* parent, std::string_view text, std::string_view title,
                   MsgButtons buttons, MsgIcon icon);
  std::string InputBox(wxWindow* parent, std::string_view prompt, std::string_view title);
  // Ends every box that is open, as if the player had closed it.
  void CloseAll();

 private:
  std::vector<gtk::NativeMessageBox*> openBoxes_;
  std::vector<wxDialog*> openDialogs_;
};

}  // namespace orvanta::ui::wx
