// NativeMessageBox.h: the game's modal message box as a GTK message dialog that keeps its
// title for the screen reader. (wx's own box with an information icon is announced as
// "Information" and its title is lost.)
#pragma once

#include <string_view>

#include "ui/Toolkit.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;

namespace orvanta::ui::wx {

class NativeMessageBox {
 public:
  // Builds the box, hidden. `parent` may be null: the box is then centred on the screen.
  NativeMessageBox(GtkWindow* parent, std::string_view text, std::string_view title,
                   MsgButtons buttons, MsgIcon icon);
  ~NativeMessageBox();
  NativeMessageBox(const NativeMessageBox&) = delete;
  NativeMessageBox& operator=(const NativeMessageBox&) = delete;

  // Shows the box and waits for the player's answer. Escape or closing the box answers OK
  // for an OK box and No for a Yes/No box.
  MsgResult Run();
  // Ends a running box from an event handler, as if the player had closed it.
  void Close();

  GtkWidget* Widget() const { return dialog_; }

  // What the box's accessible object says besides its title: the meaning of the icon.
  static std::string_view IconMeaning(MsgIcon icon);

 private:
  GtkWidget* dialog_ = nullptr;
  MsgButtons buttons_;
};

}  // namespace orvanta::ui::wx
