// WxLoadedWindow.h: one of the game's windows built of wx widgets: a frame with its menu bar
// and one client panel; each control a native widget at its twips (frames are static boxes that
// hold their controls), in the window's creation order so that wxGTK ties each label to the
// control after it. Changes of a control's state are mirrored into its widget, and the focus is
// kept where the player can still play.
#pragma once

#include <wx/font.h>
#include <wx/gdicmn.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/Window.h"
#include "ui/wx/GtkNative.h"
#include "ui/wx/WxSession.h"

class wxDC;
class wxFrame;
class wxPanel;
class wxWindow;

namespace orvanta::ui::wx {

class WxLoadedWindow;

// One control and what its widget shows now, so that only real changes reach the widget (each
// one is something the screen reader may announce).
struct ControlWidget {
  Control* control = nullptr;
  wxWindow* widget = nullptr;  // owned by its wx parent; null for a shape
  WxLoadedWindow* owner = nullptr;
  std::string shownText;
  bool shownVisible = true;
  bool shownEnabled = true;
};

class WxLoadedWindow {
 public:
  // Builds the window hidden; `insets` hears of its frames' layouts (see InsetOf).
  WxLoadedWindow(Window& window, const WxSession& session, const gtk::InsetWatch& insets);
  // Hands the frame back to wx, which deletes it once the handler that may be running on it is
  // over; it is hidden at once.
  ~WxLoadedWindow();
  WxLoadedWindow(const WxLoadedWindow&) = delete;
  WxLoadedWindow& operator=(const WxLoadedWindow&) = delete;

  // Copies the control's state into its widget where it changed.
  void Mirror(ControlWidget& entry);
  // Gives the focus to the first control in tab order when no control of this window has it.
  void FocusFirstIfLost();
  void DrawShapes(wxDC& dc) const;

  // The frame whose native widget is `box`, or null; a new inset for it, true when it moved
  // (then PlaceInFrame, once GTK has finished laying the window out).
  wxWindow* FrameOf(WXWidget box) const;
  bool SetInset(wxWindow* frame, wxPoint inset);
  void PlaceInFrame(wxWindow* frame);

  Window* window;
  wxFrame* frame = nullptr;  // wx deletes it after Destroy()
  wxPanel* client = nullptr;
  std::vector<ControlWidget> controls;  // creation order; never resized after building
  std::map<int, std::string> menuItems;
  ControlWidget* defaultButton = nullptr;
  std::uint64_t paints = 0;

 private:
  void BuildMenus();
  void BuildControl(ControlWidget& entry,
                    const std::map<std::string, wxWindow*, std::less<>>& frames,
                    const gtk::InsetWatch& insets);
  void ApplyTabOrder();
  void TieLabels();
  void Park(ControlWidget* from);
  void Unpark();
  void FitLabel(ControlWidget& entry);
  wxFont FontFor(const std::optional<Font>& own, bool monospaced) const;
  int ToPixels(int twips) const;

  const WxSession& session_;
  // How far inside each frame its controls' area begins (GTK draws the caption there).
  std::map<wxWindow*, wxPoint> frameInsets_;
  // GTK signal handlers to disconnect before the widgets go.
  std::vector<std::pair<wxWindow*, unsigned long>> signals_;
  // The control whose focus was parked on the client area when it was disabled.
  ControlWidget* parkedFrom_ = nullptr;
  bool parked_ = false;
  bool clientTakesFocus_ = false;  // as wx had it before the focus was parked
};

}  // namespace orvanta::ui::wx
