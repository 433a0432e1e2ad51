// WxLoadedWindow.cpp: one of the game's windows built as wx widgets.
//
// In this file, in order: building the frame, its menus and widgets from the window's layout
// (labels tied to their text boxes, the tab order, controls placed inside their frames); then
// mirroring each control's state into its widget, and keeping the focus on a control that can
// take it while another is hidden or disabled.
#include "ui/wx/WxLoadedWindow.h"

#include <wx/button.h>
#include <wx/dc.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

#include "ui/AppInfo.h"
#include "ui/wx/WxLayout.h"
#include "ui/wx/WxText.h"

namespace orvanta::ui::wx {

namespace {

constexpr int kFirstMenuId = wxID_HIGHEST + 1;

bool TakesFocus(const ControlLayout& layout) {
  return layout.kind == ControlKind::TextBox || layout.kind == ControlKind::Button;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Building

WxLoadedWindow::WxLoadedWindow(Window& shown, const WxSession& session,
                               const gtk::InsetWatch& insets)
    : window(&shown), session_(session) {
  const WindowLayout& layout = window->Layout();
  long style = layout.titleBar ? (wxDEFAULT_FRAME_STYLE & ~(wxRESIZE_BORDER | wxMAXIMIZE_BOX))
                               : static_cast<long>(wxBORDER_SIMPLE);
  if (!layout.inTaskbar)
    style |= wxFRAME_NO_TASKBAR;
  const std::string_view title = layout.caption.empty() ? kProgramTitle : layout.caption;
  // wx owns top-level windows: the destructor hands this one back with Destroy().
  frame = new wxFrame(nullptr, wxID_ANY, ToWx(title), wxDefaultPosition, wxDefaultSize, style);
  if (session_.Icons().IsOk())
    frame->SetIcons(session_.Icons());
  BuildMenus();

  // The client panel and every widget below it are owned by their wx parents.
  client = new wxPanel(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
  client->SetFont(FontFor(std::nullopt, false));
  frame->SetClientSize(ToPixels(layout.clientWidth), ToPixels(layout.clientHeight));
  frame->SetSizeHints(frame->GetSize(), frame->GetSize());

  const std::vector<Control*> all = window->Controls();
  controls.resize(all.size());
  std::map<std::string, wxWindow*, std::less<>> frames;
  for (std::size_t i = 0; i < all.size(); ++i) {
    ControlWidget& entry = controls[i];
    entry.control = all[i];
    entry.owner = this;
    BuildControl(entry, frames, insets);
    if (entry.control->Layout().kind == ControlKind::Frame) {
      frames.emplace(entry.control->Name(), entry.widget);
    }
  }
  ApplyTabOrder();
  TieLabels();
}

WxLoadedWindow::~WxLoadedWindow() {
  for (const auto& [widget, id] : signals_)
    gtk::Disconnect(widget, id);
  frame->Destroy();
}

int WxLoadedWindow::ToPixels(int twips) const {
  return TwipsToPixels(twips, session_.DotsPerInch());
}

wxFont WxLoadedWindow::FontFor(const std::optional<Font>& own, bool monospaced) const {
  const FontChoice choice = ChooseFont(own, window->Layout().defaultFont, monospaced);
  wxFont font = choice.family == FontFamily::Monospaced
                    ? wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE))
                    : wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  font.SetFractionalPointSize(choice.points);
  font.SetWeight(choice.bold ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
  return font;
}

void WxLoadedWindow::BuildMenus() {
  const WindowLayout& layout = window->Layout();
  if (layout.menus.empty())
    return;
  // The menu bar owns its menus and the frame owns the bar.
  auto* bar = new wxMenuBar();
  int id = kFirstMenuId;
  for (const MenuLayout& menu : layout.menus) {
    auto* items = new wxMenu();
    for (const MenuItemLayout& item : menu.items) {
      // Ids of our own, never stock ones: a stock id would bring an accelerator
      // (Exit would answer Ctrl+Q) that the game does not have.
      items->Append(id, ToWx(item.caption));
      menuItems.emplace(id, item.name);
      ++id;
    }
    bar->Append(items, ToWx(menu.caption));
  }
  frame->SetMenuBar(bar);
}

void WxLoadedWindow::BuildControl(ControlWidget& entry,
                                  const std::map<std::string, wxWindow*, std::less<>>& frames,
                                  const gtk::InsetWatch& insets) {
  const Control& control = *entry.control;
  const ControlLayout& layout = control.Layout();
  wxWindow* parent = client;
  if (!layout.parent.empty()) {
    const auto found = frames.find(layout.parent);
    if (found == frames.end()) {
      throw std::logic_error("control " + layout.name + " is inside frame " + layout.parent +
                             ", which is not created before it");
    }
    parent = found->second;
  }
  const PixelRect rect = ScaleTwips(layout.position, session_.DotsPerInch());
  // Positions in a frame count from the frame's outer corner; wx places a static box's
  // children from the corner of the area below its caption, which GTK measures only when it
  // lays the window out (see SetInset).
  wxPoint origin(rect.left, rect.top);
  if (const auto inset = frameInsets_.find(parent); inset != frameInsets_.end()) {
    origin -= inset->second;
  }
  const wxSize size(rect.width, rect.height);
  const wxString text = ToWx(control.Text());

  // Every widget here is owned by its wx parent.
  switch (layout.kind) {
    case ControlKind::Frame:
      entry.widget = new wxStaticBox(parent, wxID_ANY, text, origin, size);
      frameInsets_.emplace(entry.widget, wxPoint(0, 0));
      if (const unsigned long id = gtk::WatchInset(entry.widget, insets); id != 0)
        signals_.emplace_back(entry.widget, id);
      break;
    case ControlKind::Label: {
      const long align =
          layout.align == TextAlign::Centre ? wxALIGN_CENTRE_HORIZONTAL : wxALIGN_LEFT;
      entry.widget =
          new wxStaticText(parent, wxID_ANY, text, origin, size, wxST_NO_AUTORESIZE | align);
      gtk::KeepOnOneLine(entry.widget);
      break;
    }
    case ControlKind::TextBox: {
      long style = layout.readOnly ? wxTE_READONLY : 0;
      if (layout.multiLine)
        style |= wxTE_MULTILINE | wxTE_WORDWRAP | wxTE_NO_VSCROLL;
      entry.widget = new wxTextCtrl(parent, wxID_ANY, text, origin, size, style);
      gtk::MakeCompact(entry.widget);
      break;
    }
    case ControlKind::Button: {
      auto* button = new wxButton(parent, wxID_ANY, text, origin, size);
      entry.widget = button;
      gtk::MakeCompact(button);
      if (layout.defaultButton) {
        button->SetDefault();
        defaultButton = &entry;
      }
      break;
    }
    case ControlKind::Image: {
      wxBitmap picture = session_.ProgramIcon(32);
      if (picture.IsOk() &&
          (picture.GetWidth() != rect.width || picture.GetHeight() != rect.height) &&
          rect.width > 0 && rect.height > 0) {
        picture =
            wxBitmap(picture.ConvertToImage().Scale(rect.width, rect.height, wxIMAGE_QUALITY_HIGH));
      }
      entry.widget = new wxStaticBitmap(parent, wxID_ANY, picture, origin, size);
      break;
    }
    case ControlKind::Shape:
      // A shape is an outline drawn on the client area, not a widget.
      break;
  }
  entry.shownText = control.Text();
  entry.shownVisible = control.Visible();
  entry.shownEnabled = control.Enabled();
  if (entry.widget == nullptr)
    return;

  if (layout.kind != ControlKind::Image)
    entry.widget->SetFont(FontFor(layout.font, layout.monospaced));
  if (layout.kind == ControlKind::Label)
    FitLabel(entry);
  if (!layout.accessibleName.empty())
    gtk::SetAccessibleName(entry.widget, layout.accessibleName);
  if (TakesFocus(layout) && layout.tabIndex < 0)
    entry.widget->DisableFocusFromKeyboard();
  if (!control.Visible())
    entry.widget->Hide();
  if (!control.Enabled() && layout.kind == ControlKind::Button) {
    gtk::SetUnavailable(entry.widget, true);
  } else if (!control.Enabled()) {
    entry.widget->Disable();
  }
}

void WxLoadedWindow::TieLabels() {
  // Each label comes right before the text box it names; a frame's caption names the frame.
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ControlKind kind = controls[i].control->Layout().kind;
    if (kind == ControlKind::Frame) {
      gtk::UntieFrameCaption(controls[i].widget);
    } else if (kind == ControlKind::TextBox && i > 0 &&
               controls[i - 1].control->Layout().kind == ControlKind::Label) {
      gtk::TieLabel(controls[i - 1].widget, controls[i].widget);
    }
  }
}

void WxLoadedWindow::ApplyTabOrder() {
  // A container's place in its parent's order is that of its first focusable control.
  std::unordered_map<wxWindow*, int> order;
  for (const ControlWidget& entry : controls) {
    const ControlLayout& layout = entry.control->Layout();
    if (entry.widget == nullptr || !TakesFocus(layout) || layout.tabIndex < 0)
      continue;
    for (wxWindow* widget = entry.widget; widget != nullptr && widget != client;
         widget = widget->GetParent()) {
      const auto [place, inserted] = order.try_emplace(widget, layout.tabIndex);
      if (!inserted)
        place->second = std::min(place->second, layout.tabIndex);
    }
  }
  std::vector<wxWindow*> containers{client};
  for (const ControlWidget& entry : controls) {
    if (entry.control->Layout().kind == ControlKind::Frame)
      containers.push_back(entry.widget);
  }
  for (wxWindow* container : containers) {
    std::vector<wxWindow*> children;
    for (wxWindow* child : container->GetChildren()) {
      if (order.count(child) != 0)
        children.push_back(child);
    }
    std::stable_sort(children.begin(), children.end(),
                     [&order](wxWindow* a, wxWindow* b) { return order[a] < order[b]; });
    for (std::size_t i = 1; i < children.size(); ++i) {
      children[i]->MoveAfterInTabOrder(children[i - 1]);
    }
  }
}

wxWindow* WxLoadedWindow::FrameOf(WXWidget box) const {
  for (const auto& [widget, inset] : frameInsets_) {
    if (widget->GetHandle() == box)
      return widget;
  }
  return nullptr;
}

bool WxLoadedWindow::SetInset(wxWindow* frameBox, wxPoint inset) {
  wxPoint& known = frameInsets_[frameBox];
  if (known == inset)
    return false;
  known = inset;
  return true;
}

void WxLoadedWindow::PlaceInFrame(wxWindow* frameBox) {
  const wxPoint inset = frameInsets_[frameBox];
  for (const ControlWidget& entry : controls) {
    if (entry.widget == nullptr || entry.widget->GetParent() != frameBox)
      continue;
    const PixelRect rect = ScaleTwips(entry.control->Layout().position, session_.DotsPerInch());
    entry.widget->Move(wxPoint(rect.left, rect.top) - inset);
  }
}

void WxLoadedWindow::FitLabel(ControlWidget& entry) {
  // The layouts were drawn for Windows' narrower dialog font: a left-aligned caption that
  // does not fit grows to the right instead of being cut off.
  const ControlLayout& layout = entry.control->Layout();
  if (layout.align != TextAlign::Left)
    return;
  const int wanted =
      entry.widget->GetTextExtent(wxControl::RemoveMnemonics(ToWx(entry.shownText))).x + 2;
  const int laidOut = ScaleTwips(layout.position, session_.DotsPerInch()).width;
  const wxSize size = entry.widget->GetSize();
  const int width = std::max(laidOut, wanted);
  if (width != size.x)
    entry.widget->SetSize(wxSize(width, size.y));
}

void WxLoadedWindow::DrawShapes(wxDC& dc) const {
  dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT)));
  dc.SetBrush(*wxTRANSPARENT_BRUSH);
  for (const ControlWidget& entry : controls) {
    const Control& control = *entry.control;
    if (control.Layout().kind != ControlKind::Shape || !control.Visible())
      continue;
    const PixelRect rect = ScaleTwips(control.Layout().position, session_.DotsPerInch());
    dc.DrawRectangle(rect.left, rect.top, rect.width, rect.height);
  }
}

// ---------------------------------------------------------------------------------------
// Mirroring the controls, keeping the focus

void WxLoadedWindow::Mirror(ControlWidget& entry) {
  const Control& control = *entry.control;
  const ControlKind kind = control.Layout().kind;
  if (entry.widget == nullptr) {
    // A shape: redraw the outline as it is now.
    entry.shownVisible = control.Visible();
    client->Refresh();
    return;
  }
  wxWindow* widget = entry.widget;
  if (control.Text() != entry.shownText) {
    entry.shownText = control.Text();
    if (kind == ControlKind::TextBox) {
      static_cast<wxTextCtrl*>(widget)->ChangeValue(ToWx(entry.shownText));
    } else if (kind != ControlKind::Image) {
      widget->SetLabel(ToWx(entry.shownText));
      if (kind == ControlKind::Label)
        FitLabel(entry);
    }
  }
  // GTK drops the focus of a widget that is disabled or hidden, and key releases then reach
  // no window at all: the focus goes where the player can still play.
  wxWindow* focus = wxWindow::FindFocus();
  const bool hadFocus = focus != nullptr && (focus == widget || widget->IsDescendant(focus));
  if (control.Enabled() != entry.shownEnabled && kind == ControlKind::Button) {
    // The focus stays on a disabled button: the player hears nothing move.
    entry.shownEnabled = control.Enabled();
    gtk::SetUnavailable(widget, !entry.shownEnabled);
  } else if (control.Enabled() != entry.shownEnabled) {
    entry.shownEnabled = control.Enabled();
    widget->Enable(entry.shownEnabled);
    if (!entry.shownEnabled && hadFocus) {
      Park(&entry);
    } else if (entry.shownEnabled && parkedFrom_ == &entry && wxWindow::FindFocus() == client) {
      // The spin button is back: so is the focus the player left on it.
      Unpark();
      widget->SetFocus();
    }
  }
  if (control.Visible() != entry.shownVisible) {
    entry.shownVisible = control.Visible();
    widget->Show(entry.shownVisible);
    if (frame->IsShown() && (hadFocus || entry.shownVisible))
      FocusFirstIfLost();
  }
}

void WxLoadedWindow::Park(ControlWidget* from) {
  parkedFrom_ = from;
  if (!parked_) {
    parked_ = true;
    clientTakesFocus_ = gtk::CanFocus(client);
  }
  gtk::SetCanFocus(client, true);
  client->SetFocusIgnoringChildren();
}

void WxLoadedWindow::Unpark() {
  // Tab must not stop on the bare client area once a control has the focus again.
  parkedFrom_ = nullptr;
  if (!parked_)
    return;
  parked_ = false;
  gtk::SetCanFocus(client, clientTakesFocus_);
}

void WxLoadedWindow::FocusFirstIfLost() {
  wxWindow* focus = wxWindow::FindFocus();
  if (focus != nullptr && wxGetTopLevelParent(focus) != frame) {
    return;  // another window has the focus
  }
  if (focus != nullptr && focus != client && focus->IsShownOnScreen())
    return;
  // The default button first (the spin button: Space spins, as the quick help says), then the
  // first control in tab order.
  ControlWidget* first = nullptr;
  for (ControlWidget& entry : controls) {
    const ControlLayout& layout = entry.control->Layout();
    if (entry.widget == nullptr || !TakesFocus(layout) || layout.tabIndex < 0 ||
        !entry.widget->IsShownOnScreen() || !entry.widget->IsEnabled()) {
      continue;
    }
    if (&entry == defaultButton) {
      first = &entry;
      break;
    }
    if (first == nullptr || layout.tabIndex < first->control->Layout().tabIndex)
      first = &entry;
  }
  if (first != nullptr) {
    Unpark();
    first->widget->SetFocus();
  } else {
    Park(nullptr);  // nothing to focus: the window itself still hears the keys
  }
}

}  // namespace orvanta::ui::wx
