// WxToolkit.cpp: the game's windows on wxWidgets (GTK 3).
//
// In this file, in order: start and end; loading, showing, closing, painting; events (keys,
// clicks, the game's loop); modal boxes; look-ups of widgets; the toolkit interface.
//
// How it fits together:
//  - WxSession starts and ends wx; WxLoadedWindow builds one window's widgets and mirrors its
//    controls into them; WxModalBoxes runs the boxes; GtkNative holds every GTK call.
//  - Events reach the window logic through RunHandler and the EventGate, which catches
//    whatever a handler throws (ending the program is an exception) so that it never crosses
//    GTK's C frames; the toolkit call that turned the loop rethrows it once control is back in
//    the game.
//  - The game owns the loop: DoEvents and WaitForEvent turn GTK's main loop; wx's own
//    event loop object is only made active so that wx's idle work (deferred deletes) runs.
#include "ui/wx/WxToolkit.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ui/EventGate.h"
#include "ui/wx/GtkNative.h"
#include "ui/wx/WxLayout.h"
#include "ui/wx/WxLoadedWindow.h"
#include "ui/wx/WxModalBoxes.h"
#include "ui/wx/WxNotices.h"
#include "ui/wx/WxSession.h"
#include "ui/wx/WxText.h"

namespace orvanta::ui {

using wx::ControlWidget;
using wx::WxLoadedWindow;

namespace {

// How long a repaint waits for the window manager to map a freshly shown window.
constexpr unsigned kRepaintPatienceMs = 250;

}  // namespace

class WxToolkit::Impl final : public ControlListener {
 public:
  explicit Impl(std::unique_ptr<wx::WxSession> session);
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  void Load(Window& window);
  void Show(Window& window);
  void Unload(Window& window);
  void Repaint(Window& window);
  void DoEvents();
  void WaitForEvent();
  MsgResult MsgBox(std::string_view text, std::string_view title, MsgButtons buttons, MsgIcon icon);
  std::string InputBox(std::string_view prompt, std::string_view title);
  void OnKeyPressed(const std::function<void(bool)>& handler) { keyPressed_ = handler; }

  wxWindow* TopLevelOf(const Window& window) const;
  wxWindow* WidgetOf(const Control& control) const;
  int ToPixels(int twips) const { return TwipsToPixels(twips, session_->DotsPerInch()); }
  wx::WxNotices& Notices() { return notices_; }

 private:
  void ControlChanged(const Control& control) override;

  void BindEvents(WxLoadedWindow& loaded);
  static void InsetMeasured(void* impl, WXWidget box, wxPoint inset);
  void RunHandler(wxWindow* frame, std::function<void(Window&)> handler);
  void ClickButton(wxWindow* frame, const Control* button);
  static void KeyPressed(void* impl, const gtk::KeyPress& key);
  void OnKeyReleased(wxKeyEvent& event);
  void DrainPending();

  std::vector<const wxWindow*> ShownFrames() const;
  WxLoadedWindow* Find(const Window& window) const;
  WxLoadedWindow* FindFrame(const wxWindow* frame) const;
  ControlWidget* FindControl(const Control* control) const;
  wxWindow* ParentForBox() const;

  std::unique_ptr<wx::WxSession> session_;  // first in, last out: wx ends after the rest
  wx::WxModalBoxes boxes_;
  EventGate gate_{[this] { boxes_.CloseAll(); }};
  gtk::InsetWatch insets_{&Impl::InsetMeasured, this};
  std::vector<std::unique_ptr<WxLoadedWindow>> windows_;
  std::unordered_map<const Control*, ControlWidget*> byControl_;
  std::vector<wxWindow*> running_;  // frames whose handlers are running, innermost last
  long lastKeyTime_ = 0;
  std::uint32_t lastKeyRaw_ = 0;
  std::function<void(bool)> keyPressed_;
  gtk::KeyWatch keys_{&Impl::KeyPressed, this};
  unsigned keyWatch_ = 0;
  wx::WxNotices notices_{[this] { return ShownFrames(); }, gate_};
  // Keys (hardware codes) last pressed in a box or a menu: their release is not the window's.
  std::set<unsigned> pressedElsewhere_;
};

// ---------------------------------------------------------------------------------------
// Start and end

WxToolkit::Impl::Impl(std::unique_ptr<wx::WxSession> session) : session_(std::move(session)) {
  session_->OnKeyReleased([this](wxKeyEvent& event) { OnKeyReleased(event); });
  keyWatch_ = gtk::WatchKeyPresses(keys_);
}

WxToolkit::Impl::~Impl() {
  gtk::StopWatchingKeys(keyWatch_);
  session_->OnKeyReleased({});
  for (auto& loaded : windows_) {
    for (ControlWidget& entry : loaded->controls)
      entry.control->SetListener(nullptr);
  }
  windows_.clear();
  byControl_.clear();
}

std::unique_ptr<WxToolkit> WxToolkit::Create(int argc, char** argv,
                                             std::filesystem::path dataFolder, std::string& error) {
  std::unique_ptr<wx::WxSession> session =
      wx::WxSession::Start(argc, argv, std::move(dataFolder), error);
  if (!session)
    return nullptr;
  return std::unique_ptr<WxToolkit>(new WxToolkit(std::make_unique<Impl>(std::move(session))));
}

WxToolkit::WxToolkit(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

WxToolkit::~WxToolkit() = default;

// ---------------------------------------------------------------------------------------
// Loading, showing, closing, painting

void WxToolkit::Impl::Load(Window& window) {
  if (Find(window) != nullptr)
    return;
  auto loaded = std::make_unique<WxLoadedWindow>(window, *session_, insets_);
  BindEvents(*loaded);
  for (ControlWidget& entry : loaded->controls) {
    byControl_[entry.control] = &entry;
    entry.control->SetListener(this);
  }
  windows_.push_back(std::move(loaded));
}

void WxToolkit::Impl::ControlChanged(const Control& control) {
  if (ControlWidget* entry = FindControl(&control); entry != nullptr)
    entry->owner->Mirror(*entry);
}

void WxToolkit::Impl::Show(Window& window) {
  WxLoadedWindow* loaded = Find(window);
  if (loaded == nullptr)
    return;
  if (!loaded->frame->IsShown()) {
    if (window.Layout().centred || !window.Layout().titleBar)
      loaded->frame->CentreOnScreen();
    loaded->frame->Show();
  }
  loaded->frame->Raise();
  if (window.Layout().titleBar) {
    // A player who cannot see the screen must find the keyboard on the window that has just
    // appeared.
    gtk::PresentWithServerTime(loaded->frame);
  }
  loaded->FocusFirstIfLost();
}

void WxToolkit::Impl::Unload(Window& window) {
  const auto place = std::find_if(windows_.begin(), windows_.end(), [&window](const auto& loaded) {
    return loaded->window == &window;
  });
  if (place == windows_.end())
    return;
  notices_.BeforeClosing((*place)->frame);
  for (ControlWidget& entry : (*place)->controls) {
    entry.control->SetListener(nullptr);
    byControl_.erase(entry.control);
  }
  // Hidden now; wx deletes the frame once the handler that may be running on it is over.
  windows_.erase(place);
}

void WxToolkit::Impl::Repaint(Window& window) {
  WxLoadedWindow* loaded = Find(window);
  if (loaded == nullptr || !loaded->frame->IsShown())
    return;
  const std::uint64_t paintsBefore = loaded->paints;
  loaded->client->Refresh();
  loaded->frame->Update();
  // Turn the loop until the window has painted (a window just shown must first be mapped),
  // handling no input meanwhile: a repaint is not a yield.
  EventGate::Hold hold(gate_);
  gtk::TurnLoopUntil([loaded, paintsBefore] { return loaded->paints != paintsBefore; },
                     kRepaintPatienceMs);
}

// ---------------------------------------------------------------------------------------
// Events

void WxToolkit::Impl::BindEvents(WxLoadedWindow& loaded) {
  wxFrame* frame = loaded.frame;
  wxPanel* client = loaded.client;
  frame->Bind(wxEVT_CLOSE_WINDOW, [this, frame](wxCloseEvent& event) {
    // The window logic decides and unloads the window itself.
    if (event.CanVeto())
      event.Veto();
    RunHandler(frame, [](Window& window) { window.CloseRequested(); });
  });
  frame->Bind(wxEVT_ACTIVATE, [this, frame](wxActivateEvent& event) {
    event.Skip();
    // The window manager can activate the window before GTK has a focused control; the
    // first key would then only find one. Once GTK has settled, the first control in tab
    // order takes the focus if nothing has it.
    if (event.GetActive()) {
      frame->CallAfter([this, frame] {
        if (WxLoadedWindow* owner = FindFrame(frame); owner != nullptr)
          owner->FocusFirstIfLost();
      });
    }
  });
  frame->Bind(wxEVT_MENU, [this, frame](wxCommandEvent& event) {
    const WxLoadedWindow* owner = FindFrame(frame);
    if (owner == nullptr)
      return;
    const auto item = owner->menuItems.find(event.GetId());
    if (item == owner->menuItems.end())
      return;
    RunHandler(frame, [name = item->second](Window& window) { window.MenuChosen(name); });
  });
  frame->Bind(wxEVT_CHAR_HOOK, [this, frame](wxKeyEvent& event) {
    // Enter presses the default button unless the focus is on another button, which
    // GTK presses itself.
    const int code = event.GetKeyCode();
    WxLoadedWindow* owner = FindFrame(frame);
    if ((code == WXK_RETURN || code == WXK_NUMPAD_ENTER) && !event.HasAnyModifiers() &&
        owner != nullptr && owner->defaultButton != nullptr &&
        dynamic_cast<wxButton*>(wxWindow::FindFocus()) == nullptr) {
      if (owner->defaultButton->widget->IsShownOnScreen()) {
        ClickButton(frame, owner->defaultButton->control);  // not while the game disabled it
        return;
      }
    }
    // Space and Enter on a button the game has disabled do nothing, not even look pressed.
    if (wxWindow* focus = wxWindow::FindFocus();
        (code == WXK_SPACE || code == WXK_RETURN || code == WXK_NUMPAD_ENTER) &&
        dynamic_cast<wxButton*>(focus) != nullptr && gtk::IsUnavailable(focus)) {
      return;
    }
    event.Skip();
  });
  client->Bind(wxEVT_PAINT, [this, frame, client](wxPaintEvent&) {
    wxPaintDC dc(client);
    if (WxLoadedWindow* owner = FindFrame(frame); owner != nullptr) {
      owner->DrawShapes(dc);
      ++owner->paints;
    }
  });
  for (ControlWidget& entry : loaded.controls) {
    const Control* control = entry.control;
    if (auto* button = dynamic_cast<wxButton*>(entry.widget); button != nullptr) {
      button->Bind(wxEVT_BUTTON,
                   [this, frame, control](wxCommandEvent&) { ClickButton(frame, control); });
    }
    if (auto* box = dynamic_cast<wxTextCtrl*>(entry.widget);
        box != nullptr && !control->Layout().readOnly) {
      // What the player types is the control's text at once.
      box->Bind(wxEVT_TEXT, [this, box, control](wxCommandEvent&) {
        ControlWidget* typed = FindControl(control);
        if (typed == nullptr)
          return;
        typed->shownText = wx::FromWx(box->GetValue());
        typed->control->SetText(typed->shownText);
      });
    }
  }
}

void WxToolkit::Impl::InsetMeasured(void* impl, WXWidget box, wxPoint inset) {
  auto& self = *static_cast<Impl*>(impl);
  for (const auto& loaded : self.windows_) {
    wxWindow* frame = loaded->FrameOf(box);
    if (frame == nullptr)
      continue;
    if (loaded->SetInset(frame, inset)) {
      // Not while GTK is laying the window out: right after.
      frame->CallAfter([&self, frame] {
        if (WxLoadedWindow* owner = self.FindFrame(wxGetTopLevelParent(frame)); owner != nullptr)
          owner->PlaceInFrame(frame);
      });
    }
    return;
  }
}

void WxToolkit::Impl::RunHandler(wxWindow* frame, std::function<void(Window&)> handler) {
  if (!gate_.Admit([this, frame, handler] { RunHandler(frame, handler); }))
    return;
  WxLoadedWindow* loaded = FindFrame(frame);
  if (loaded == nullptr)
    return;  // unloaded meanwhile
  running_.push_back(frame);
  gate_.Run([&handler, loaded] { handler(*loaded->window); });
  running_.pop_back();
}

void WxToolkit::Impl::ClickButton(wxWindow* frame, const Control* button) {
  // A disabled or hidden button never clicks, whatever the widget let through.
  if (FindControl(button) == nullptr || !button->Enabled() || !button->Visible())
    return;
  RunHandler(frame, [name = button->Name()](Window& window) { window.ButtonClicked(name); });
}

void WxToolkit::Impl::KeyPressed(void* impl, const gtk::KeyPress& key) {
  auto& self = *static_cast<Impl*>(impl);
  const bool inGameWindow =
      std::any_of(self.windows_.begin(), self.windows_.end(),
                  [&key](const auto& loaded) { return loaded->frame->GetHandle() == key.window; });
  if (inGameWindow) {
    self.pressedElsewhere_.erase(key.hardwareCode);
  } else {
    // The A of Alt+H, A chooses About in the menu: its release must not buy an A.
    self.pressedElsewhere_.insert(key.hardwareCode);
  }
  if (self.keyPressed_)
    self.keyPressed_(key.control);
}

void WxToolkit::Impl::OnKeyReleased(wxKeyEvent& event) {
  auto* source = dynamic_cast<wxWindow*>(event.GetEventObject());
  if (source == nullptr)
    return;
  wxWindow* frame = wxGetTopLevelParent(source);
  if (FindFrame(frame) == nullptr)
    return;  // a box of ours or another program's window
  if (pressedElsewhere_.erase(event.GetRawKeyFlags()) != 0)
    return;  // pressed in a menu or a box that has closed since
  // GTK hands a release the focused widget leaves alone on to its parents, and wx reports it
  // again for each: one release is one event.
  const long time = event.GetTimestamp();
  const std::uint32_t raw = event.GetRawKeyFlags();
  if (time != 0 && time == lastKeyTime_ && raw == lastKeyRaw_)
    return;
  lastKeyTime_ = time;
  lastKeyRaw_ = raw;
  const std::optional<int> keyCode = wx::VirtualKeyFromWx(event.GetKeyCode());
  if (!keyCode)
    return;
  const ShiftState shift{event.ShiftDown(), event.ControlDown(), event.AltDown()};
  RunHandler(frame, [code = *keyCode, shift](Window& window) { window.KeyUp(code, shift); });
}

void WxToolkit::Impl::DrainPending() {
  while (!gate_.Pending() && gtk::EventsPending())
    gtk::TurnLoopOnce(false);
  if (!gate_.Pending() && wxTheApp->HasPendingEvents())
    wxTheApp->ProcessPendingEvents();
}

void WxToolkit::Impl::DoEvents() {
  gate_.RethrowPending();
  gate_.RunDeferred();
  DrainPending();
  wxTheApp->ProcessIdle();
  gate_.RethrowPending();
}

void WxToolkit::Impl::WaitForEvent() {
  gate_.RethrowPending();
  const std::uint64_t before = gate_.Handled();
  gate_.RunDeferred();
  while (gate_.Handled() == before && !gate_.Pending()) {
    gtk::TurnLoopOnce(true);  // sleeps until GTK has something to do
    // What came while the loop turned for the screen reader alone (a notification waiting for
    // its window to become active) runs now.
    gate_.RunDeferred();
    if (!gate_.Pending() && wxTheApp->HasPendingEvents())
      wxTheApp->ProcessPendingEvents();
  }
  DrainPending();
  gate_.RethrowPending();
}

// ---------------------------------------------------------------------------------------
// Modal boxes

wxWindow* WxToolkit::Impl::ParentForBox() const {
  for (auto frame = running_.rbegin(); frame != running_.rend(); ++frame) {
    if (FindFrame(*frame) != nullptr && (*frame)->IsShown())
      return *frame;
  }
  if (wxWindow* active = wxGetActiveWindow(); active != nullptr) {
    wxWindow* frame = wxGetTopLevelParent(active);
    if (FindFrame(frame) != nullptr)
      return frame;
  }
  for (auto loaded = windows_.rbegin(); loaded != windows_.rend(); ++loaded) {
    if ((*loaded)->frame->IsShown())
      return (*loaded)->frame;
  }
  return nullptr;
}

MsgResult WxToolkit::Impl::MsgBox(std::string_view text, std::string_view title, MsgButtons buttons,
                                  MsgIcon icon) {
  gate_.RethrowPending();
  const MsgResult result = boxes_.MsgBox(ParentForBox(), text, title, buttons, icon);
  gate_.RethrowPending();
  return result;
}

std::string WxToolkit::Impl::InputBox(std::string_view prompt, std::string_view title) {
  gate_.RethrowPending();
  std::string typed = boxes_.InputBox(ParentForBox(), prompt, title);
  gate_.RethrowPending();
  return typed;
}

// ---------------------------------------------------------------------------------------
// Look-ups

std::vector<const wxWindow*> WxToolkit::Impl::ShownFrames() const {
  std::vector<const wxWindow*> frames;
  for (const auto& loaded : windows_) {
    if (loaded->frame->IsShown())
      frames.push_back(loaded->frame);
  }
  return frames;
}

WxLoadedWindow* WxToolkit::Impl::Find(const Window& window) const {
  for (const auto& loaded : windows_) {
    if (loaded->window == &window)
      return loaded.get();
  }
  return nullptr;
}

WxLoadedWindow* WxToolkit::Impl::FindFrame(const wxWindow* frame) const {
  for (const auto& loaded : windows_) {
    if (loaded->frame == frame)
      return loaded.get();
  }
  return nullptr;
}

ControlWidget* WxToolkit::Impl::FindControl(const Control* control) const {
  const auto found = byControl_.find(control);
  return found == byControl_.end() ? nullptr : found->second;
}

wxWindow* WxToolkit::Impl::TopLevelOf(const Window& window) const {
  const WxLoadedWindow* loaded = Find(window);
  return loaded == nullptr ? nullptr : loaded->frame;
}

wxWindow* WxToolkit::Impl::WidgetOf(const Control& control) const {
  const ControlWidget* entry = FindControl(&control);
  return entry == nullptr ? nullptr : entry->widget;
}

// ---------------------------------------------------------------------------------------
// The toolkit interface

void WxToolkit::Load(Window& window) {
  impl_->Load(window);
}
void WxToolkit::Show(Window& window) {
  impl_->Show(window);
}
void WxToolkit::Unload(Window& window) {
  impl_->Unload(window);
}
void WxToolkit::Repaint(Window& window) {
  impl_->Repaint(window);
}
void WxToolkit::DoEvents() {
  impl_->DoEvents();
}
void WxToolkit::WaitForEvent() {
  impl_->WaitForEvent();
}
MsgResult WxToolkit::MsgBox(std::string_view text, std::string_view title, MsgButtons buttons,
                            MsgIcon icon) {
  return impl_->MsgBox(text, title, buttons, icon);
}
std::string WxToolkit::InputBox(std::string_view prompt, std::string_view title) {
  return impl_->InputBox(prompt, title);
}
void WxToolkit::OnKeyPressed(const std::function<void(bool controlAlone)>& handler) {
  impl_->OnKeyPressed(handler);
}
speech::NotificationWindow& WxToolkit::Notices() {
  return impl_->Notices();
}
wxWindow* WxToolkit::TopLevelOf(const Window& window) const {
  return impl_->TopLevelOf(window);
}
wxWindow* WxToolkit::WidgetOf(const Control& control) const {
  return impl_->WidgetOf(control);
}
int WxToolkit::ToPixels(int twips) const {
  return impl_->ToPixels(twips);
}

}  // namespace orvanta::ui
