// NativeMessageBox.cpp: a GtkMessageDialog whose accessible name is its title and whose
// accessible description is its icon's meaning.
#include "ui/wx/NativeMessageBox.h"

#include <gtk/gtk.h>

#include <string>

namespace orvanta::ui::wx {

namespace {

constexpr std::string_view kProgramTitle = "Orvanta";

GtkMessageType MessageType(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information:
      return GTK_MESSAGE_INFO;
    case MsgIcon::Question:
      return GTK_MESSAGE_QUESTION;
    case MsgIcon::Critical:
      return GTK_MESSAGE_ERROR;
    case MsgIcon::None:
      break;
  }
  return GTK_MESSAGE_OTHER;
}

const char* IconName(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information:
      return "dialog-information-symbolic";
    case MsgIcon::Question:
      return "dialog-question-symbolic";
    case MsgIcon::Critical:
      return "dialog-error-symbolic";
    case MsgIcon::None:
      break;
  }
  return nullptr;
}

// The game's texts break lines with CR LF; GTK labels want LF alone.
std::string LineFeedsOnly(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      continue;
    result += text[i] == '\r' ? '\n' : text[i];
  }
  return result;
}

}  // namespace

std::string_view NativeMessageBox::IconMeaning(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information:
      return "Information";
    case MsgIcon::Question:
      return "Question";
    case MsgIcon::Critical:
      return "Error";
    case MsgIcon::None:
      break;
  }
  return {};
}

NativeMessageBox::NativeMessageBox(GtkWindow* parent, std::string_view text, std::string_view title,
                                   MsgButtons buttons, MsgIcon icon)
    : buttons_(buttons) {
  const std::string message = LineFeedsOnly(text);
  const std::string caption(title.empty() ? kProgramTitle : title);
  dialog_ = gtk_message_dialog_new(
      parent, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
      MessageType(icon), buttons == MsgButtons::YesNo ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK, "%s",
      message.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog_), caption.c_str());
  gtk_window_set_position(GTK_WINDOW(dialog_),
                          parent != nullptr ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  gtk_dialog_set_default_response(
      GTK_DIALOG(dialog_), buttons == MsgButtons::YesNo ? GTK_RESPONSE_YES : GTK_RESPONSE_OK);

  // GTK names an information box "Information", a question "Question": the screen reader would
  // never read the title. The title becomes the name, the icon's meaning the description.
  AtkObject* accessible = gtk_widget_get_accessible(dialog_);
  atk_object_set_name(accessible, caption.c_str());
  const std::string meaning(IconMeaning(icon));
  if (!meaning.empty())
    atk_object_set_description(accessible, meaning.c_str());

  // GTK 3 no longer draws a message type's icon; the sighted player still gets one.
  if (const char* iconName = IconName(icon);
      iconName != nullptr && gtk_icon_theme_has_icon(gtk_icon_theme_get_default(), iconName)) {
    GtkWidget* image = gtk_image_new_from_icon_name(iconName, GTK_ICON_SIZE_DIALOG);
    gtk_widget_show(image);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(dialog_), image);
    G_GNUC_END_IGNORE_DEPRECATIONS
    // The picture says nothing the description does not.
    atk_object_set_role(gtk_widget_get_accessible(image), ATK_ROLE_ICON);
    atk_object_set_name(gtk_widget_get_accessible(image), meaning.c_str());
  }
}

NativeMessageBox::~NativeMessageBox() {
  gtk_widget_destroy(dialog_);
}

MsgResult NativeMessageBox::Run() {
  const gint response = gtk_dialog_run(GTK_DIALOG(dialog_));
  gtk_widget_hide(dialog_);
  if (buttons_ == MsgButtons::YesNo) {
    return response == GTK_RESPONSE_YES ? MsgResult::Yes : MsgResult::No;
  }
  return MsgResult::OK;
}

void NativeMessageBox::Close() {
  gtk_dialog_response(GTK_DIALOG(dialog_), GTK_RESPONSE_DELETE_EVENT);
}

}  // namespace orvanta::ui::wx
