// GtkNative.cpp: the GTK, GDK and ATK calls of the wx back end.
//
// In this file, in order: what screen readers are told (accessible names, labels, unavailable
// buttons); keys watched before wx sees them; compact styles and the screen's resolution; focus
// and presenting a frame; turning GTK's main loop and timed calls; notifications for Orca; the
// native message box.
#include "ui/wx/GtkNative.h"

#include <gdk/gdkx.h>
#include <gtk/gtk-a11y.h>
#include <gtk/gtk.h>
#include <wx/window.h>

// X11's headers define None, which is also a MsgIcon.
#undef None

#include <memory>
#include <string>

#include "ui/AppInfo.h"

namespace orvanta::ui::gtk {

namespace {

constexpr const char* kCompactCss =
    "entry.orvanta-compact { min-height: 0; padding-top: 0; padding-bottom: 0; }\n"
    "button.orvanta-compact { min-height: 0; min-width: 0; padding: 0 4px; }\n"
    "button.orvanta-unavailable { opacity: 0.5; }\n"
    // A notification is for the screen reader: a line of a pixel or two at the frame's foot.
    "label.orvanta-notice { font-size: 1px; min-height: 0; padding: 0; margin: 0; }\n";
constexpr const char* kUnavailable = "orvanta-unavailable";
constexpr const char* kNotices = "orvanta-notices";

GtkWidget* NativeOf(const wxWindow* window) {
  return static_cast<GtkWidget*>(window->GetHandle());
}

// The widget a screen reader reads: a multi-line text box is a text view inside a scroller.
GtkWidget* AccessibleWidgetOf(const wxWindow* window) {
  GtkWidget* widget = NativeOf(window);
  if (widget != nullptr && GTK_IS_SCROLLED_WINDOW(widget)) {
    if (GtkWidget* child = gtk_bin_get_child(GTK_BIN(widget)); child != nullptr)
      return child;
  }
  return widget;
}

void FrameAllocated(GtkWidget* box, GdkRectangle* outer, gpointer data) {
  GtkWidget* area = gtk_bin_get_child(GTK_BIN(box));
  if (area == nullptr)
    return;
  GtkAllocation inner;
  gtk_widget_get_allocation(area, &inner);
  const auto* watch = static_cast<const InsetWatch*>(data);
  watch->measured(watch->data, box, wxPoint(inner.x - outer->x, inner.y - outer->y));
}

AtkStateSet* UnavailableStates(AtkObject* accessible);

// GTK's own state set of a button, which the game's builds on. The first call puts the game's
// in its place, once for the process: GTK offers no way to change one widget's states.
using StatesOf = AtkStateSet* (*)(AtkObject*);
StatesOf ButtonStates() {
  static const StatesOf own = [] {
    auto* buttons = static_cast<AtkObjectClass*>(g_type_class_ref(GTK_TYPE_BUTTON_ACCESSIBLE));
    const StatesOf gtkOwn = buttons->ref_state_set;
    buttons->ref_state_set = &UnavailableStates;
    return gtkOwn;
  }();
  return own;
}

AtkStateSet* UnavailableStates(AtkObject* accessible) {
  AtkStateSet* states = ButtonStates()(accessible);
  GtkWidget* widget = gtk_accessible_get_widget(GTK_ACCESSIBLE(accessible));
  if (widget != nullptr && g_object_get_data(G_OBJECT(widget), kUnavailable) != nullptr) {
    atk_state_set_remove_state(states, ATK_STATE_SENSITIVE);
    atk_state_set_remove_state(states, ATK_STATE_ENABLED);
  }
  return states;
}

gboolean SnoopKey(GtkWidget* receiver, GdkEventKey* event, gpointer data) {
  if (event->type == GDK_KEY_PRESS) {
    const auto* watch = static_cast<const KeyWatch*>(data);
    watch->pressed(watch->data,
                   {gtk_widget_get_toplevel(receiver), event->hardware_keycode,
                    event->keyval == GDK_KEY_Control_L || event->keyval == GDK_KEY_Control_R});
  }
  return FALSE;
}

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

void SetAccessibleName(const wxWindow* window, std::string_view name) {
  if (GtkWidget* widget = AccessibleWidgetOf(window); widget != nullptr) {
    atk_object_set_name(gtk_widget_get_accessible(widget), std::string(name).c_str());
  }
}

void TieLabel(const wxWindow* label, const wxWindow* control) {
  if (GtkWidget* native = NativeOf(label); native != nullptr && GTK_IS_LABEL(native))
    gtk_label_set_mnemonic_widget(GTK_LABEL(native), AccessibleWidgetOf(control));
}

void UntieFrameCaption(const wxWindow* frame) {
  GtkWidget* native = NativeOf(frame);
  if (native == nullptr || !GTK_IS_FRAME(native))
    return;
  if (GtkWidget* caption = gtk_frame_get_label_widget(GTK_FRAME(native));
      caption != nullptr && GTK_IS_LABEL(caption)) {
    gtk_label_set_mnemonic_widget(GTK_LABEL(caption), nullptr);
  }
}

void ExposeAsDialog(const wxWindow* window) {
  atk_object_set_role(gtk_widget_get_accessible(NativeOf(window)), ATK_ROLE_DIALOG);
}

void SetUnavailable(const wxWindow* button, bool unavailable) {
  ButtonStates();
  GtkWidget* widget = NativeOf(button);
  g_object_set_data(G_OBJECT(widget), kUnavailable, unavailable ? widget : nullptr);
  GtkStyleContext* style = gtk_widget_get_style_context(widget);
  if (unavailable) {
    gtk_style_context_add_class(style, kUnavailable);
  } else {
    gtk_style_context_remove_class(style, kUnavailable);
  }
  AtkObject* accessible = gtk_widget_get_accessible(widget);
  atk_object_notify_state_change(accessible, ATK_STATE_SENSITIVE, unavailable ? FALSE : TRUE);
  atk_object_notify_state_change(accessible, ATK_STATE_ENABLED, unavailable ? FALSE : TRUE);
}

bool IsUnavailable(const wxWindow* button) {
  return g_object_get_data(G_OBJECT(NativeOf(button)), kUnavailable) != nullptr;
}

unsigned WatchKeyPresses(const KeyWatch& watch) {
  // Deprecated in GTK 3, but the only hook that also sees the keys of GTK's own message boxes
  // and open menus.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  return gtk_key_snooper_install(&SnoopKey, const_cast<KeyWatch*>(&watch));
  G_GNUC_END_IGNORE_DEPRECATIONS
}

void StopWatchingKeys(unsigned id) {
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_key_snooper_remove(id);
  G_GNUC_END_IGNORE_DEPRECATIONS
}

void InstallCompactStyle() {
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, kCompactCss, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
}

void MakeCompact(const wxWindow* window) {
  if (GtkWidget* widget = NativeOf(window); widget != nullptr) {
    gtk_style_context_add_class(gtk_widget_get_style_context(widget), "orvanta-compact");
  }
}

void KeepOnOneLine(const wxWindow* label) {
  if (GtkWidget* native = NativeOf(label); native != nullptr && GTK_IS_LABEL(native)) {
    gtk_label_set_line_wrap(GTK_LABEL(native), FALSE);
  }
}

std::optional<double> ScreenDotsPerInch() {
  if (const gdouble resolution = gdk_screen_get_resolution(gdk_screen_get_default());
      resolution > 0) {
    return resolution;
  }
  return std::nullopt;
}

bool CanFocus(const wxWindow* window) {
  return gtk_widget_get_can_focus(NativeOf(window)) != FALSE;
}

void SetCanFocus(const wxWindow* window, bool canFocus) {
  gtk_widget_set_can_focus(NativeOf(window), canFocus ? TRUE : FALSE);
}

void PresentWithServerTime(const wxWindow* frame) {
  GtkWidget* native = NativeOf(frame);
  GdkWindow* gdkWindow = gtk_widget_get_window(native);
  if (gdkWindow != nullptr && GDK_IS_X11_WINDOW(gdkWindow)) {
    gtk_window_present_with_time(GTK_WINDOW(native), gdk_x11_get_server_time(gdkWindow));
  }
}

unsigned long WatchInset(const wxWindow* frame, const InsetWatch& watch) {
  GtkWidget* box = NativeOf(frame);
  if (box == nullptr || !GTK_IS_BIN(box))
    return 0;
  // The frame lays out its inner area first, then tells its handlers.
  return g_signal_connect(box, "size-allocate", G_CALLBACK(FrameAllocated),
                          const_cast<InsetWatch*>(&watch));
}

void Disconnect(const wxWindow* window, unsigned long id) {
  g_signal_handler_disconnect(NativeOf(window), id);
}

bool EventsPending() {
  return gtk_events_pending() != FALSE;
}

void TurnLoopOnce(bool wait) {
  gtk_main_iteration_do(wait ? TRUE : FALSE);
}

void TurnLoopUntil(const std::function<bool()>& done, unsigned patienceMs, unsigned pollMs) {
  bool patienceOver = false;
  const guint timer = g_timeout_add(
      patienceMs,
      [](gpointer over) -> gboolean {
        *static_cast<bool*>(over) = true;
        return G_SOURCE_REMOVE;
      },
      &patienceOver);
  const guint poll = pollMs == 0 ? 0
                                 : g_timeout_add(
                                       pollMs, [](gpointer) { return G_SOURCE_CONTINUE; }, nullptr);
  while (!done() && !patienceOver)
    gtk_main_iteration_do(TRUE);
  if (!patienceOver)
    g_source_remove(timer);
  if (poll != 0)
    g_source_remove(poll);
  gdk_display_flush(gdk_display_get_default());
}

unsigned CallLater(unsigned delayMs, void (*due)(void* data), void* data) {
  struct Call {
    void (*due)(void*);
    void* data;
  };
  return g_timeout_add_full(
      G_PRIORITY_DEFAULT, delayMs,
      [](gpointer call) -> gboolean {
        const auto* later = static_cast<const Call*>(call);
        later->due(later->data);
        return G_SOURCE_REMOVE;
      },
      std::make_unique<Call>(Call{due, data}).release(),  // GLib hands it back to be freed
      [](gpointer call) { std::unique_ptr<Call>(static_cast<Call*>(call)).reset(); });
}

void CancelCall(unsigned id) {
  g_source_remove(id);
}

const wxWindow* ActiveFrame(const std::vector<const wxWindow*>& frames) {
  GList* toplevels = gtk_window_list_toplevels();
  GtkWindow* active = nullptr;
  for (GList* item = toplevels; item != nullptr; item = item->next) {
    if (gtk_window_is_active(GTK_WINDOW(item->data)) != FALSE)
      active = GTK_WINDOW(item->data);
  }
  g_list_free(toplevels);
  // A box's active window stands for the frame it belongs to.
  for (GtkWindow* window = active; window != nullptr;
       window = gtk_window_get_transient_for(window)) {
    for (const wxWindow* frame : frames) {
      if (NativeOf(frame) == GTK_WIDGET(window))
        return frame;
    }
  }
  return nullptr;
}

bool ShowNotification(const wxWindow* frame, std::string_view text, unsigned keepMs) {
  GtkWidget* window = NativeOf(frame);
  auto* notices = static_cast<GtkWidget*>(g_object_get_data(G_OBJECT(window), kNotices));
  if (notices == nullptr) {
    GtkWidget* column = gtk_bin_get_child(GTK_BIN(window));  // wx's box of menu bar and panel
    if (column == nullptr || !GTK_IS_BOX(column))
      return false;
    notices = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    atk_object_set_role(gtk_widget_get_accessible(notices), ATK_ROLE_STATUSBAR);
    gtk_box_pack_end(GTK_BOX(column), notices, FALSE, FALSE, 0);
    gtk_widget_show(notices);
    g_object_set_data(G_OBJECT(window), kNotices, notices);
  }
  GtkWidget* notice = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  atk_object_set_role(gtk_widget_get_accessible(notice), ATK_ROLE_NOTIFICATION);
  const std::string line = LineFeedsOnly(text);
  GtkWidget* label = gtk_label_new(line.c_str());
  gtk_style_context_add_class(gtk_widget_get_style_context(label), "orvanta-notice");
  gtk_box_pack_start(GTK_BOX(notice), label, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(notices), notice, FALSE, FALSE, 0);
  g_object_ref(notice);  // ours until it goes, even when the frame goes first
  gtk_widget_show_all(notice);
  // Counted from the loop's next turn: the screen reader reads it while the loop turns.
  struct Keep {
    GtkWidget* notice;
    unsigned keepMs;
  };
  g_idle_add_full(
      G_PRIORITY_DEFAULT,
      [](gpointer data) -> gboolean {
        const auto* keep = static_cast<const Keep*>(data);
        g_timeout_add(
            keep->keepMs,
            [](gpointer gone) -> gboolean {
              gtk_widget_destroy(GTK_WIDGET(gone));
              g_object_unref(gone);
              return G_SOURCE_REMOVE;
            },
            keep->notice);
        return G_SOURCE_REMOVE;
      },
      std::make_unique<Keep>(Keep{notice, keepMs}).release(),  // GLib hands it back to be freed
      [](gpointer data) { std::unique_ptr<Keep>(static_cast<Keep*>(data)).reset(); });
  return true;
}

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

NativeMessageBox::NativeMessageBox(const wxWindow* parentWindow, std::string_view text,
                                   std::string_view title, MsgButtons buttons, MsgIcon icon)
    : buttons_(buttons) {
  GtkWindow* parent = parentWindow != nullptr ? GTK_WINDOW(NativeOf(parentWindow)) : nullptr;
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

}  // namespace orvanta::ui::gtk
