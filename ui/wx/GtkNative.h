// GtkNative.h: every GTK, GDK and ATK call of the wx back end, for what wx does not say itself:
// the names screen readers read, the game's message box that keeps its title, compact widgets,
// the focus of a bare window, presenting a window, and turning GTK's main loop.
#pragma once

#include <wx/defs.h>
#include <wx/gdicmn.h>

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "ui/Toolkit.h"

class wxWindow;
typedef struct _GtkWidget GtkWidget;

namespace orvanta::ui::gtk {

// The name a screen reader reads for a widget (a multi-line box: its text view).
void SetAccessibleName(const wxWindow* window, std::string_view name);
// Text boxes and buttons as small as the layouts draw them: GTK's theme would make every entry
// and button at least 34 pixels high. InstallCompactStyle once, then MakeCompact each widget.
void InstallCompactStyle();
void MakeCompact(const wxWindow* window);
// A caption on one line, as on Windows: a caption wrapped into a box one line high is cut in half.
void KeepOnOneLine(const wxWindow* label);
// The screen's resolution, when GDK knows it.
std::optional<double> ScreenDotsPerInch();

// A label names the control after it for a screen reader (the label-for and labelled-by
// relations); a frame's caption names the frame alone, never a control near it.
void TieLabel(const wxWindow* label, const wxWindow* control);
void UntieFrameCaption(const wxWindow* frame);
// A top-level window that a screen reader must present as a dialog.
void ExposeAsDialog(const wxWindow* window);

// A button the game has disabled stays a sensitive GTK widget, so that the keyboard focus can
// stay on it (GTK takes the focus from an insensitive widget, and the screen reader then
// announces whatever gets it): it looks dimmed, and a screen reader finds it neither sensitive
// nor enabled. The caller makes sure it never clicks.
void SetUnavailable(const wxWindow* button, bool unavailable);
bool IsUnavailable(const wxWindow* button);

// Every key pressed in the process, before any window, box or menu handles it: the top-level
// GTK window it goes to, its hardware code, and whether it is a Ctrl key itself. `watch` must
// outlive the watching; StopWatchingKeys with the id ends it.
struct KeyPress {
  WXWidget window = nullptr;
  unsigned hardwareCode = 0;
  bool control = false;
};
struct KeyWatch {
  void (*pressed)(void* data, const KeyPress& key) = nullptr;
  void* data = nullptr;
};
unsigned WatchKeyPresses(const KeyWatch& watch);
void StopWatchingKeys(unsigned id);

// Whether the bare window (a panel) takes the focus, and making it take it.
bool CanFocus(const wxWindow* window);
void SetCanFocus(const wxWindow* window, bool canFocus);
// Gives the keyboard to a top-level window with the X server's own time, which keeps the
// window manager's focus-stealing prevention from refusing it.
void PresentWithServerTime(const wxWindow* frame);

// Tells `watch.measured` each time GTK lays out a frame (a static box) how far inside it its
// controls' area begins. `watch` must outlive the connection; the id is for Disconnect (0: none).
struct InsetWatch {
  void (*measured)(void* data, WXWidget frame, wxPoint inset) = nullptr;
  void* data = nullptr;
};
unsigned long WatchInset(const wxWindow* frame, const InsetWatch& watch);
void Disconnect(const wxWindow* window, unsigned long id);

// GTK's main loop: whether events wait, one turn (sleeping until there is something to do when
// `wait`), and turning it until `done` or `patienceMs` is over, then flushing the display;
// with `pollMs`, `done` is asked at least that often (it may change without an event).
bool EventsPending();
void TurnLoopOnce(bool wait);
void TurnLoopUntil(const std::function<bool()>& done, unsigned patienceMs, unsigned pollMs = 0);
// Calls `due(data)` once, `delayMs` from now, from the main loop; the id is for CancelCall.
unsigned CallLater(unsigned delayMs, void (*due)(void* data), void* data);
void CancelCall(unsigned id);

// Notifications that a screen reader (Orca) presents in speech, in braille and in its history:
// each a fresh unnamed object of role notification holding one label, inside a container of
// role status bar at the foot of the frame. The frame among `frames` that is active, itself or
// through one of its boxes; null when none is.
const wxWindow* ActiveFrame(const std::vector<const wxWindow*>& frames);
// Shows `text` in the frame; it goes `keepMs` after the main loop's next turn. False when the
// frame has no place for it.
bool ShowNotification(const wxWindow* frame, std::string_view text, unsigned keepMs);

// The game's modal message box as a GTK message dialog that keeps its title for the screen
// reader. (wx's own box with an information icon is announced as "Information" and its title
// is lost.)
class NativeMessageBox {
 public:
  // Builds the box, hidden. `parent` may be null: the box is then centred on the screen.
  NativeMessageBox(const wxWindow* parent, std::string_view text, std::string_view title,
                   MsgButtons buttons, MsgIcon icon);
  ~NativeMessageBox();
  NativeMessageBox(const NativeMessageBox&) = delete;
  NativeMessageBox& operator=(const NativeMessageBox&) = delete;

  // Shows the box and waits for the player's answer. Escape or closing the box answers OK
  // for an OK box and No for a Yes/No box.
  MsgResult Run();
  // Ends a running box from an event handler, as if the player had closed it.
  void Close();

  // What the box's accessible object says besides its title: the meaning of the icon.
  static std::string_view IconMeaning(MsgIcon icon);

 private:
  GtkWidget* dialog_ = nullptr;
  MsgButtons buttons_;
};

}  // namespace orvanta::ui::gtk
