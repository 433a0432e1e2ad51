// WxToolkit.cpp: the game's windows on wxWidgets (GTK 3).
//
// How it fits together:
//  - Load builds a wxFrame with one client panel; each control becomes a native widget
//    (frames are static boxes that hold their controls), in the window's creation order so
//    that wxGTK ties each label to the control after it. The toolkit listens to every
//    control and copies each change into its widget, once.
//  - Events reach the window logic through RunHandler, which catches whatever a handler
//    throws (ending the program is an exception) so that it never crosses GTK's C frames;
//    the toolkit call that turned the loop rethrows it once control is back in the game.
//  - The game owns the loop: DoEvents and WaitForEvent turn GTK's main loop; wx's own
//    event loop object is only made active so that wx's idle work (deferred deletes) runs.
#include "ui/wx/WxToolkit.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/iconbndl.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <map>
#include <stdexcept>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ui/ProgramEnd.h"
#include "ui/wx/NativeMessageBox.h"
#include "ui/wx/WxLayout.h"

namespace orvanta::ui {

namespace {

constexpr std::string_view kProgramTitle = "Orvanta";
constexpr int kFirstMenuId = wxID_HIGHEST + 1;
// How long a repaint waits for the window manager to map a freshly shown window.
constexpr guint kRepaintPatienceMs = 250;
// Text boxes and buttons as small as the layouts draw them: GTK's theme would make every
// entry and button at least 34 pixels high.
constexpr const char* kCompactCss =
    "entry.orvanta-compact { min-height: 0; padding-top: 0; padding-bottom: 0; }\n"
    "button.orvanta-compact { min-height: 0; min-width: 0; padding: 0 4px; }\n";

wxString ToWx(std::string_view text) {
  wxString converted = wxString::FromUTF8(text.data(), text.size());
  if (converted.empty() && !text.empty()) {
    converted = wxString(text.data(), wxConvISO8859_1, text.size());
  }
  return converted;
}

std::string FromWx(const wxString& text) {
  return std::string(text.utf8_str());
}

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

void SetAccessibleName(const wxWindow* window, std::string_view name) {
  if (GtkWidget* widget = AccessibleWidgetOf(window); widget != nullptr) {
    atk_object_set_name(gtk_widget_get_accessible(widget), std::string(name).c_str());
  }
}

void MakeCompact(const wxWindow* window) {
  GtkWidget* widget = NativeOf(window);
  if (widget != nullptr) {
    gtk_style_context_add_class(gtk_widget_get_style_context(widget), "orvanta-compact");
  }
}

bool TakesFocus(const ControlLayout& layout) {
  return layout.kind == ControlKind::TextBox || layout.kind == ControlKind::Button;
}

// The application object: the game reads its own options, and every key release in the
// process passes through FilterEvent on its way to the focused widget.
class GameApp final : public wxApp {
 public:
  bool OnInit() override { return true; }
  int FilterEvent(wxEvent& event) override {
    if (event.GetEventType() == wxEVT_KEY_UP && keyReleased_) {
      keyReleased_(static_cast<wxKeyEvent&>(event));
    }
    return Event_Skip;
  }
  void OnKeyReleased(std::function<void(wxKeyEvent&)> handler) {
    keyReleased_ = std::move(handler);
  }

 private:
  std::function<void(wxKeyEvent&)> keyReleased_;
};

// wx's checks print on standard error instead of opening a dialog in the middle of a game.
void ReportWxAssertion(const wxString& file, int line, const wxString& function,
                       const wxString& condition, const wxString& message) {
  std::fprintf(stderr, "orvanta: wxWidgets check failed at %s:%d in %s: %s %s\n",
               FromWx(file).c_str(), line, FromWx(function).c_str(), FromWx(condition).c_str(),
               FromWx(message).c_str());
}

// What wx was started with: wx may keep pointers into the argument vector.
struct StartArguments {
  std::vector<std::string> values;
  std::vector<char*> pointers;
};

}  // namespace

class WxToolkit::Impl final : public ControlListener {
 public:
  Impl(std::filesystem::path dataFolder, std::unique_ptr<StartArguments> arguments);
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

  wxWindow* TopLevelOf(const Window& window) const;
  wxWindow* WidgetOf(const Control& control) const;
  int ToPixels(int twips) const { return wx::TwipsToPixels(twips, dotsPerInch_); }

 private:
  struct LoadedWindow;

  // One control and what its widget shows now, so that only real changes reach the widget
  // (each one is something the screen reader may announce).
  struct ControlWidget {
    Control* control = nullptr;
    wxWindow* widget = nullptr;  // owned by its wx parent; null for a shape
    LoadedWindow* owner = nullptr;
    std::string shownText;
    bool shownVisible = true;
    bool shownEnabled = true;
  };

  struct LoadedWindow {
    Window* window = nullptr;
    wxFrame* frame = nullptr;  // wx deletes it after Destroy()
    wxPanel* client = nullptr;
    std::vector<ControlWidget> controls;  // creation order; never resized after Load
    std::map<int, std::string> menuItems;
    ControlWidget* defaultButton = nullptr;
    std::uint64_t paints = 0;
    // How far inside each frame its controls' area begins (GTK draws the caption there).
    std::map<wxWindow*, wxPoint> frameInsets;
    // GTK signal handlers to disconnect before the widgets go.
    std::vector<std::pair<GtkWidget*, gulong>> signals;
    // The control whose focus was parked on the client area when it was disabled.
    ControlWidget* parkedFrom = nullptr;
    bool parked = false;
    bool clientTakesFocus = false;  // as wx had it before the focus was parked
  };

  // While a repaint turns the loop, handlers wait for the next yield.
  class HoldInput {
   public:
    explicit HoldInput(Impl& impl) : impl_(impl) { ++impl_.holdInput_; }
    ~HoldInput() { --impl_.holdInput_; }
    HoldInput(const HoldInput&) = delete;
    HoldInput& operator=(const HoldInput&) = delete;

   private:
    Impl& impl_;
  };

  void ControlChanged(const Control& control) override;

  void BuildMenus(LoadedWindow& loaded);
  void BuildControl(LoadedWindow& loaded, ControlWidget& entry,
                    const std::map<std::string, wxWindow*, std::less<>>& frames);
  void BindEvents(LoadedWindow& loaded);
  void WatchFrameInset(LoadedWindow& loaded, wxWindow* frame);
  void PlaceInFrame(wxWindow* frame);
  static void FrameAllocated(GtkWidget* box, GdkRectangle* outer, gpointer impl);
  void ForgetSignals(LoadedWindow& loaded);
  void ApplyTabOrder(LoadedWindow& loaded);
  void FocusFirstIfLost(LoadedWindow& loaded);
  void Park(LoadedWindow& loaded, ControlWidget* from);
  void Unpark(LoadedWindow& loaded);
  void DrawShapes(LoadedWindow& loaded, wxDC& dc);
  void FitLabel(ControlWidget& entry);
  wxFont FontFor(const std::optional<Font>& own, const Font& windowDefault, bool monospaced);
  wxBitmap ProgramIcon(int size) const;

  void RunHandler(wxWindow* frame, std::function<void(Window&)> handler);
  void ClickButton(wxWindow* frame, const Control* button);
  void OnKeyReleased(wxKeyEvent& event);
  void EndProgramWith(std::exception_ptr error);
  void RethrowPending();
  void RunDeferred();
  void DrainPending();

  LoadedWindow* Find(const Window& window) const;
  LoadedWindow* FindFrame(const wxWindow* frame) const;
  ControlWidget* FindControl(const Control* control) const;
  wxWindow* ParentForBox() const;

  std::filesystem::path dataFolder_;
  std::unique_ptr<StartArguments> arguments_;
  double dotsPerInch_ = 96.0;
  wxIconBundle icons_;
  std::unique_ptr<wxGUIEventLoop> loop_;
  std::vector<std::unique_ptr<LoadedWindow>> windows_;
  std::unordered_map<const Control*, ControlWidget*> byControl_;

  std::vector<std::function<void()>> deferred_;
  int holdInput_ = 0;
  std::exception_ptr pending_;
  bool ended_ = false;
  std::uint64_t handled_ = 0;
  std::vector<wxWindow*> running_;  // frames whose handlers are running, innermost last
  std::vector<wx::NativeMessageBox*> openBoxes_;
  std::vector<wxDialog*> openDialogs_;
  long lastKeyTime_ = 0;
  std::uint32_t lastKeyRaw_ = 0;
};

// ---------------------------------------------------------------------------------------
// Start and end

WxToolkit::Impl::Impl(std::filesystem::path dataFolder, std::unique_ptr<StartArguments> arguments)
    : dataFolder_(std::move(dataFolder)), arguments_(std::move(arguments)) {
  wxTheApp->SetExitOnFrameDelete(false);
  wxTheApp->SetAppName("orvanta");
  wxTheApp->SetAppDisplayName(ToWx(kProgramTitle));
  // wx owns the handlers and the log target it is given and deletes them at clean-up.
  wxInitAllImageHandlers();
  delete wxLog::SetActiveTarget(new wxLogStderr());
  wxSetAssertHandler(ReportWxAssertion);

  loop_ = std::make_unique<wxGUIEventLoop>();
  wxEventLoopBase::SetActive(loop_.get());

  if (const gdouble resolution = gdk_screen_get_resolution(gdk_screen_get_default());
      resolution > 0) {
    dotsPerInch_ = resolution;
  }
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, kCompactCss, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);

  for (int size : {16, 32, 48}) {
    if (const wxBitmap icon = ProgramIcon(size); icon.IsOk()) {
      wxIcon converted;
      converted.CopyFromBitmap(icon);
      icons_.AddIcon(converted);
    }
  }
  static_cast<GameApp*>(wxTheApp)->OnKeyReleased(
      [this](wxKeyEvent& event) { OnKeyReleased(event); });
}

WxToolkit::Impl::~Impl() {
  static_cast<GameApp*>(wxTheApp)->OnKeyReleased({});
  for (auto& loaded : windows_) {
    for (ControlWidget& entry : loaded->controls)
      entry.control->SetListener(nullptr);
    ForgetSignals(*loaded);
    loaded->frame->Destroy();
  }
  windows_.clear();
  byControl_.clear();
  wxTheApp->ProcessPendingEvents();
  wxTheApp->ProcessIdle();  // deletes the destroyed frames while their handlers can still run
  wxEventLoopBase::SetActive(nullptr);
}

std::unique_ptr<WxToolkit> WxToolkit::Create(int argc, char** argv,
                                             std::filesystem::path dataFolder, std::string& error) {
  if (wxTheApp != nullptr) {
    error = "The window toolkit is already running in this program.";
    return nullptr;
  }
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const bool hasDisplay = display != nullptr && *display != '\0';
  if (!hasDisplay && (wayland == nullptr || *wayland == '\0')) {
    error =
        "Orvanta cannot open its window: no graphical display is set (DISPLAY is empty). "
        "Start it from the desktop, or play it with --script.";
    return nullptr;
  }

  auto arguments = std::make_unique<StartArguments>();
  for (int i = 0; i < argc && argv != nullptr && argv[i] != nullptr; ++i) {
    arguments->values.emplace_back(argv[i]);
  }
  if (arguments->values.empty())
    arguments->values.emplace_back("orvanta");
  for (std::string& value : arguments->values)
    arguments->pointers.push_back(value.data());
  arguments->pointers.push_back(nullptr);
  int wxArgc = static_cast<int>(arguments->values.size());

  // wx owns the application object and deletes it in wxEntryCleanup().
  wxApp::SetInstance(new GameApp());
  if (!wxEntryStart(wxArgc, arguments->pointers.data())) {
    error = std::string("Orvanta cannot open its window on the display \"") +
            (hasDisplay ? display : wayland) + "\".";
    return nullptr;
  }
  if (!wxTheApp->CallOnInit()) {
    wxEntryCleanup();
    error = "Orvanta could not start its window toolkit.";
    return nullptr;
  }
  return std::unique_ptr<WxToolkit>(
      new WxToolkit(std::make_unique<Impl>(std::move(dataFolder), std::move(arguments))));
}

WxToolkit::WxToolkit(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

WxToolkit::~WxToolkit() {
  impl_.reset();
  wxEntryCleanup();
}

// ---------------------------------------------------------------------------------------
// Building a window

wxBitmap WxToolkit::Impl::ProgramIcon(int size) const {
  const std::filesystem::path file =
      dataFolder_ / "icons" / ("orvanta-" + std::to_string(size) + ".png");
  wxLogNull quiet;  // a missing icon leaves the window without one, nothing more
  wxImage image;
  if (!std::filesystem::exists(file) || !image.LoadFile(ToWx(file.string()), wxBITMAP_TYPE_PNG)) {
    return wxBitmap();
  }
  return wxBitmap(image);
}

wxFont WxToolkit::Impl::FontFor(const std::optional<Font>& own, const Font& windowDefault,
                                bool monospaced) {
  const wx::FontChoice choice = wx::ChooseFont(own, windowDefault, monospaced);
  wxFont font = choice.family == wx::FontFamily::Monospaced
                    ? wxFont(wxFontInfo(10).Family(wxFONTFAMILY_TELETYPE))
                    : wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  font.SetFractionalPointSize(choice.points);
  font.SetWeight(choice.bold ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
  return font;
}

void WxToolkit::Impl::Load(Window& window) {
  if (Find(window) != nullptr)
    return;
  const WindowLayout& layout = window.Layout();
  auto loaded = std::make_unique<LoadedWindow>();
  loaded->window = &window;

  long style = layout.titleBar ? (wxDEFAULT_FRAME_STYLE & ~(wxRESIZE_BORDER | wxMAXIMIZE_BOX))
                               : static_cast<long>(wxBORDER_SIMPLE);
  if (!layout.inTaskbar)
    style |= wxFRAME_NO_TASKBAR;
  const std::string_view title = layout.caption.empty() ? kProgramTitle : layout.caption;
  // wx owns top-level windows: Unload hands this one back with Destroy().
  loaded->frame =
      new wxFrame(nullptr, wxID_ANY, ToWx(title), wxDefaultPosition, wxDefaultSize, style);
  if (icons_.IsOk())
    loaded->frame->SetIcons(icons_);
  BuildMenus(*loaded);

  // The client panel and every widget below it are owned by their wx parents.
  loaded->client =
      new wxPanel(loaded->frame, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL);
  loaded->client->SetFont(FontFor(std::nullopt, layout.defaultFont, false));
  loaded->frame->SetClientSize(ToPixels(layout.clientWidth), ToPixels(layout.clientHeight));
  loaded->frame->SetSizeHints(loaded->frame->GetSize(), loaded->frame->GetSize());

  const std::vector<Control*> controls = window.Controls();
  loaded->controls.resize(controls.size());
  std::map<std::string, wxWindow*, std::less<>> frames;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    ControlWidget& entry = loaded->controls[i];
    entry.control = controls[i];
    entry.owner = loaded.get();
    BuildControl(*loaded, entry, frames);
    if (entry.control->Layout().kind == ControlKind::Frame) {
      frames.emplace(entry.control->Name(), entry.widget);
    }
  }
  ApplyTabOrder(*loaded);
  BindEvents(*loaded);

  for (ControlWidget& entry : loaded->controls) {
    byControl_[entry.control] = &entry;
    entry.control->SetListener(this);
  }
  windows_.push_back(std::move(loaded));
}

void WxToolkit::Impl::BuildMenus(LoadedWindow& loaded) {
  const WindowLayout& layout = loaded.window->Layout();
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
      loaded.menuItems.emplace(id, item.name);
      ++id;
    }
    bar->Append(items, ToWx(menu.caption));
  }
  loaded.frame->SetMenuBar(bar);
}

void WxToolkit::Impl::BuildControl(LoadedWindow& loaded, ControlWidget& entry,
                                   const std::map<std::string, wxWindow*, std::less<>>& frames) {
  const Control& control = *entry.control;
  const ControlLayout& layout = control.Layout();
  wxWindow* parent = loaded.client;
  if (!layout.parent.empty()) {
    const auto frame = frames.find(layout.parent);
    if (frame == frames.end()) {
      throw std::logic_error("control " + layout.name + " is inside frame " + layout.parent +
                             ", which is not created before it");
    }
    parent = frame->second;
  }
  const wx::PixelRect rect = wx::ScaleTwips(layout.position, dotsPerInch_);
  // Positions in a frame count from the frame's outer corner; wx places a static box's
  // children from the corner of the area below its caption, which GTK measures only when it
  // lays the window out (see FrameAllocated).
  wxPoint origin(rect.left, rect.top);
  if (const auto inset = loaded.frameInsets.find(parent); inset != loaded.frameInsets.end()) {
    origin -= inset->second;
  }
  const wxSize size(rect.width, rect.height);
  const wxString text = ToWx(control.Text());

  // Every widget here is owned by its wx parent.
  switch (layout.kind) {
    case ControlKind::Frame:
      entry.widget = new wxStaticBox(parent, wxID_ANY, text, origin, size);
      WatchFrameInset(loaded, entry.widget);
      break;
    case ControlKind::Label: {
      const long align =
          layout.align == TextAlign::Centre ? wxALIGN_CENTRE_HORIZONTAL : wxALIGN_LEFT;
      auto* label =
          new wxStaticText(parent, wxID_ANY, text, origin, size, wxST_NO_AUTORESIZE | align);
      entry.widget = label;
      // One line, as on Windows: a caption wrapped into a box one line high is cut in half.
      if (GtkWidget* native = NativeOf(label); native != nullptr && GTK_IS_LABEL(native)) {
        gtk_label_set_line_wrap(GTK_LABEL(native), FALSE);
      }
      break;
    }
    case ControlKind::TextBox: {
      long style = layout.readOnly ? wxTE_READONLY : 0;
      if (layout.multiLine)
        style |= wxTE_MULTILINE | wxTE_WORDWRAP | wxTE_NO_VSCROLL;
      auto* box = new wxTextCtrl(parent, wxID_ANY, text, origin, size, style);
      entry.widget = box;
      MakeCompact(box);
      break;
    }
    case ControlKind::Button: {
      auto* button = new wxButton(parent, wxID_ANY, text, origin, size);
      entry.widget = button;
      MakeCompact(button);
      if (layout.defaultButton) {
        button->SetDefault();
        loaded.defaultButton = &entry;
      }
      break;
    }
    case ControlKind::Image: {
      wxBitmap picture = ProgramIcon(32);
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

  if (layout.kind != ControlKind::Image) {
    entry.widget->SetFont(
        FontFor(layout.font, loaded.window->Layout().defaultFont, layout.monospaced));
  }
  if (layout.kind == ControlKind::Label)
    FitLabel(entry);
  if (!layout.accessibleName.empty())
    SetAccessibleName(entry.widget, layout.accessibleName);
  if (TakesFocus(layout) && layout.tabIndex < 0)
    entry.widget->DisableFocusFromKeyboard();
  if (!control.Visible())
    entry.widget->Hide();
  if (!control.Enabled())
    entry.widget->Disable();
}

void WxToolkit::Impl::ApplyTabOrder(LoadedWindow& loaded) {
  // A container's place in its parent's order is that of its first focusable control.
  std::unordered_map<wxWindow*, int> order;
  for (const ControlWidget& entry : loaded.controls) {
    const ControlLayout& layout = entry.control->Layout();
    if (entry.widget == nullptr || !TakesFocus(layout) || layout.tabIndex < 0)
      continue;
    for (wxWindow* window = entry.widget; window != nullptr && window != loaded.client;
         window = window->GetParent()) {
      const auto [place, inserted] = order.try_emplace(window, layout.tabIndex);
      if (!inserted)
        place->second = std::min(place->second, layout.tabIndex);
    }
  }
  std::vector<wxWindow*> containers{loaded.client};
  for (const ControlWidget& entry : loaded.controls) {
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

void WxToolkit::Impl::BindEvents(LoadedWindow& loaded) {
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
        if (LoadedWindow* owner = FindFrame(frame); owner != nullptr)
          FocusFirstIfLost(*owner);
      });
    }
  });
  frame->Bind(wxEVT_MENU, [this, frame](wxCommandEvent& event) {
    const LoadedWindow* owner = FindFrame(frame);
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
    LoadedWindow* owner = FindFrame(frame);
    if ((code == WXK_RETURN || code == WXK_NUMPAD_ENTER) && !event.HasAnyModifiers() &&
        owner != nullptr && owner->defaultButton != nullptr &&
        dynamic_cast<wxButton*>(wxWindow::FindFocus()) == nullptr) {
      if (owner->defaultButton->widget->IsShownOnScreen() &&
          owner->defaultButton->widget->IsEnabled()) {
        ClickButton(frame, owner->defaultButton->control);
        return;
      }
    }
    event.Skip();
  });
  client->Bind(wxEVT_PAINT, [this, frame, client](wxPaintEvent&) {
    wxPaintDC dc(client);
    if (LoadedWindow* owner = FindFrame(frame); owner != nullptr) {
      DrawShapes(*owner, dc);
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
        typed->shownText = FromWx(box->GetValue());
        typed->control->SetText(typed->shownText);
      });
    }
  }
}

void WxToolkit::Impl::WatchFrameInset(LoadedWindow& loaded, wxWindow* frame) {
  loaded.frameInsets.emplace(frame, wxPoint(0, 0));
  GtkWidget* box = NativeOf(frame);
  if (box == nullptr || !GTK_IS_BIN(box))
    return;
  // The frame lays out its inner area first, then tells its handlers.
  const gulong id = g_signal_connect(box, "size-allocate", G_CALLBACK(FrameAllocated), this);
  loaded.signals.emplace_back(box, id);
}

void WxToolkit::Impl::FrameAllocated(GtkWidget* box, GdkRectangle* outer, gpointer impl) {
  auto& self = *static_cast<Impl*>(impl);
  GtkWidget* area = gtk_bin_get_child(GTK_BIN(box));
  if (area == nullptr)
    return;
  GtkAllocation inner;
  gtk_widget_get_allocation(area, &inner);
  const wxPoint measured(inner.x - outer->x, inner.y - outer->y);
  for (const auto& loaded : self.windows_) {
    for (auto& [frame, inset] : loaded->frameInsets) {
      if (NativeOf(frame) != box)
        continue;
      if (measured == inset)
        return;
      inset = measured;
      // Not while GTK is laying the window out: right after.
      frame->CallAfter([&self, placed = frame] { self.PlaceInFrame(placed); });
      return;
    }
  }
}

void WxToolkit::Impl::PlaceInFrame(wxWindow* frame) {
  LoadedWindow* loaded = FindFrame(wxGetTopLevelParent(frame));
  if (loaded == nullptr)
    return;
  const wxPoint inset = loaded->frameInsets[frame];
  for (const ControlWidget& entry : loaded->controls) {
    if (entry.widget == nullptr || entry.widget->GetParent() != frame)
      continue;
    const wx::PixelRect rect = wx::ScaleTwips(entry.control->Layout().position, dotsPerInch_);
    entry.widget->Move(wxPoint(rect.left, rect.top) - inset);
  }
}

void WxToolkit::Impl::ForgetSignals(LoadedWindow& loaded) {
  for (const auto& [widget, id] : loaded.signals)
    g_signal_handler_disconnect(widget, id);
  loaded.signals.clear();
}

void WxToolkit::Impl::FitLabel(ControlWidget& entry) {
  // The layouts were drawn for Windows' narrower dialog font: a left-aligned caption that
  // does not fit grows to the right instead of being cut off.
  const ControlLayout& layout = entry.control->Layout();
  if (layout.align != TextAlign::Left)
    return;
  const int wanted =
      entry.widget->GetTextExtent(wxControl::RemoveMnemonics(ToWx(entry.shownText))).x + 2;
  const int laidOut = wx::ScaleTwips(layout.position, dotsPerInch_).width;
  const wxSize size = entry.widget->GetSize();
  const int width = std::max(laidOut, wanted);
  if (width != size.x)
    entry.widget->SetSize(wxSize(width, size.y));
}

void WxToolkit::Impl::DrawShapes(LoadedWindow& loaded, wxDC& dc) {
  dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT)));
  dc.SetBrush(*wxTRANSPARENT_BRUSH);
  for (const ControlWidget& entry : loaded.controls) {
    const Control& control = *entry.control;
    if (control.Layout().kind != ControlKind::Shape || !control.Visible())
      continue;
    const wx::PixelRect rect = wx::ScaleTwips(control.Layout().position, dotsPerInch_);
    dc.DrawRectangle(rect.left, rect.top, rect.width, rect.height);
  }
}

// ---------------------------------------------------------------------------------------
// Mirroring the controls

void WxToolkit::Impl::ControlChanged(const Control& control) {
  ControlWidget* entry = FindControl(&control);
  if (entry == nullptr)
    return;
  const ControlKind kind = control.Layout().kind;
  if (entry->widget == nullptr) {
    // A shape: redraw the outline as it is now.
    entry->shownVisible = control.Visible();
    entry->owner->client->Refresh();
    return;
  }
  wxWindow* widget = entry->widget;
  if (control.Text() != entry->shownText) {
    entry->shownText = control.Text();
    if (kind == ControlKind::TextBox) {
      static_cast<wxTextCtrl*>(widget)->ChangeValue(ToWx(entry->shownText));
    } else if (kind != ControlKind::Image) {
      widget->SetLabel(ToWx(entry->shownText));
      if (kind == ControlKind::Label)
        FitLabel(*entry);
    }
  }
  // GTK drops the focus of a widget that is disabled or hidden, and key releases then reach
  // no window at all: the focus goes where the player can still play.
  wxWindow* focus = wxWindow::FindFocus();
  const bool hadFocus = focus != nullptr && (focus == widget || widget->IsDescendant(focus));
  LoadedWindow& owner = *entry->owner;
  if (control.Enabled() != entry->shownEnabled) {
    entry->shownEnabled = control.Enabled();
    widget->Enable(entry->shownEnabled);
    if (!entry->shownEnabled && hadFocus) {
      Park(owner, entry);
    } else if (entry->shownEnabled && owner.parkedFrom == entry &&
               wxWindow::FindFocus() == owner.client) {
      // The spin button is back: so is the focus the player left on it.
      Unpark(owner);
      widget->SetFocus();
    }
  }
  if (control.Visible() != entry->shownVisible) {
    entry->shownVisible = control.Visible();
    widget->Show(entry->shownVisible);
    if (owner.frame->IsShown() && (hadFocus || entry->shownVisible))
      FocusFirstIfLost(owner);
  }
}

void WxToolkit::Impl::Park(LoadedWindow& loaded, ControlWidget* from) {
  loaded.parkedFrom = from;
  if (!loaded.parked) {
    loaded.parked = true;
    loaded.clientTakesFocus = gtk_widget_get_can_focus(NativeOf(loaded.client)) != FALSE;
  }
  gtk_widget_set_can_focus(NativeOf(loaded.client), TRUE);
  loaded.client->SetFocusIgnoringChildren();
}

void WxToolkit::Impl::Unpark(LoadedWindow& loaded) {
  // Tab must not stop on the bare client area once a control has the focus again.
  loaded.parkedFrom = nullptr;
  if (!loaded.parked)
    return;
  loaded.parked = false;
  gtk_widget_set_can_focus(NativeOf(loaded.client), loaded.clientTakesFocus ? TRUE : FALSE);
}

void WxToolkit::Impl::FocusFirstIfLost(LoadedWindow& loaded) {
  wxWindow* focus = wxWindow::FindFocus();
  if (focus != nullptr && wxGetTopLevelParent(focus) != loaded.frame) {
    return;  // another window has the focus
  }
  if (focus != nullptr && focus != loaded.client && focus->IsShownOnScreen())
    return;
  ControlWidget* first = nullptr;
  for (ControlWidget& entry : loaded.controls) {
    const ControlLayout& layout = entry.control->Layout();
    if (entry.widget == nullptr || !TakesFocus(layout) || layout.tabIndex < 0 ||
        !entry.widget->IsShownOnScreen() || !entry.widget->IsEnabled()) {
      continue;
    }
    if (first == nullptr || layout.tabIndex < first->control->Layout().tabIndex)
      first = &entry;
  }
  if (first != nullptr) {
    Unpark(loaded);
    first->widget->SetFocus();
  } else {
    Park(loaded, nullptr);  // nothing to focus: the window itself still hears the keys
  }
}

// ---------------------------------------------------------------------------------------
// Showing, closing, painting

void WxToolkit::Impl::Show(Window& window) {
  LoadedWindow* loaded = Find(window);
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
    // appeared. Asking with the X server's own time keeps the window manager's focus-stealing
    // prevention from refusing it.
    GtkWidget* native = NativeOf(loaded->frame);
    GdkWindow* gdkWindow = gtk_widget_get_window(native);
    if (gdkWindow != nullptr && GDK_IS_X11_WINDOW(gdkWindow)) {
      gtk_window_present_with_time(GTK_WINDOW(native), gdk_x11_get_server_time(gdkWindow));
    }
  }
  FocusFirstIfLost(*loaded);
}

void WxToolkit::Impl::Unload(Window& window) {
  const auto place = std::find_if(windows_.begin(), windows_.end(), [&window](const auto& loaded) {
    return loaded->window == &window;
  });
  if (place == windows_.end())
    return;
  for (ControlWidget& entry : (*place)->controls) {
    entry.control->SetListener(nullptr);
    byControl_.erase(entry.control);
  }
  ForgetSignals(**place);
  // Hidden now; wx deletes the frame once the handler that may be running on it is over.
  (*place)->frame->Destroy();
  windows_.erase(place);
}

void WxToolkit::Impl::Repaint(Window& window) {
  LoadedWindow* loaded = Find(window);
  if (loaded == nullptr || !loaded->frame->IsShown())
    return;
  const std::uint64_t paintsBefore = loaded->paints;
  loaded->client->Refresh();
  loaded->frame->Update();
  // Turn the loop until the window has painted (a window just shown must first be mapped),
  // handling no input meanwhile: a repaint is not a yield.
  HoldInput hold(*this);
  bool patienceOver = false;
  const guint timer = g_timeout_add(
      kRepaintPatienceMs,
      [](gpointer over) -> gboolean {
        *static_cast<bool*>(over) = true;
        return G_SOURCE_REMOVE;
      },
      &patienceOver);
  while (loaded->paints == paintsBefore && !patienceOver)
    gtk_main_iteration_do(TRUE);
  if (!patienceOver)
    g_source_remove(timer);
  gdk_display_flush(gdk_display_get_default());
}

// ---------------------------------------------------------------------------------------
// Events

void WxToolkit::Impl::RunHandler(wxWindow* frame, std::function<void(Window&)> handler) {
  if (ended_)
    return;  // once the program has ended, no handler runs
  if (holdInput_ > 0) {
    deferred_.push_back([this, frame, handler] { RunHandler(frame, handler); });
    return;
  }
  LoadedWindow* loaded = FindFrame(frame);
  if (loaded == nullptr)
    return;  // unloaded meanwhile
  ++handled_;
  running_.push_back(frame);
  try {
    handler(*loaded->window);
  } catch (...) {
    // Never into GTK's C frames: the running toolkit call rethrows it.
    EndProgramWith(std::current_exception());
  }
  running_.pop_back();
}

void WxToolkit::Impl::ClickButton(wxWindow* frame, const Control* button) {
  // A disabled or hidden button never clicks, whatever the widget let through.
  if (FindControl(button) == nullptr || !button->Enabled() || !button->Visible())
    return;
  RunHandler(frame, [name = button->Name()](Window& window) { window.ButtonClicked(name); });
}

void WxToolkit::Impl::OnKeyReleased(wxKeyEvent& event) {
  auto* source = dynamic_cast<wxWindow*>(event.GetEventObject());
  if (source == nullptr)
    return;
  wxWindow* frame = wxGetTopLevelParent(source);
  if (FindFrame(frame) == nullptr)
    return;  // a box of ours or another program's window
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

void WxToolkit::Impl::EndProgramWith(std::exception_ptr error) {
  if (!pending_)
    pending_ = std::move(error);
  ended_ = true;
  for (wx::NativeMessageBox* box : openBoxes_)
    box->Close();
  for (wxDialog* dialog : openDialogs_)
    dialog->EndModal(wxID_CANCEL);
}

void WxToolkit::Impl::RethrowPending() {
  if (pending_)
    std::rethrow_exception(std::exchange(pending_, nullptr));
}

void WxToolkit::Impl::RunDeferred() {
  while (!deferred_.empty() && holdInput_ == 0) {
    std::vector<std::function<void()>> waiting = std::exchange(deferred_, {});
    for (auto& handler : waiting)
      handler();
  }
}

void WxToolkit::Impl::DrainPending() {
  while (!pending_ && gtk_events_pending())
    gtk_main_iteration_do(FALSE);
  if (!pending_ && wxTheApp->HasPendingEvents())
    wxTheApp->ProcessPendingEvents();
}

void WxToolkit::Impl::DoEvents() {
  RethrowPending();
  RunDeferred();
  DrainPending();
  wxTheApp->ProcessIdle();
  RethrowPending();
}

void WxToolkit::Impl::WaitForEvent() {
  RethrowPending();
  const std::uint64_t before = handled_;
  RunDeferred();
  while (handled_ == before && !pending_) {
    gtk_main_iteration_do(TRUE);  // sleeps until GTK has something to do
    if (!pending_ && wxTheApp->HasPendingEvents())
      wxTheApp->ProcessPendingEvents();
  }
  DrainPending();
  RethrowPending();
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
  RethrowPending();
  wxWindow* parent = ParentForBox();
  wx::NativeMessageBox box(parent != nullptr ? GTK_WINDOW(NativeOf(parent)) : nullptr, text, title,
                           buttons, icon);
  openBoxes_.push_back(&box);
  const MsgResult result = box.Run();
  openBoxes_.erase(std::find(openBoxes_.begin(), openBoxes_.end(), &box));
  RethrowPending();
  return result;
}

std::string WxToolkit::Impl::InputBox(std::string_view prompt, std::string_view title) {
  RethrowPending();
  wxTextEntryDialog dialog(ParentForBox(), ToWx(prompt),
                           ToWx(title.empty() ? kProgramTitle : title), wxEmptyString,
                           wxOK | wxCANCEL | wxCENTRE);
  openDialogs_.push_back(&dialog);
  const int answer = dialog.ShowModal();
  openDialogs_.erase(std::find(openDialogs_.begin(), openDialogs_.end(), &dialog));
  RethrowPending();
  return answer == wxID_OK ? FromWx(dialog.GetValue()) : std::string();
}

// ---------------------------------------------------------------------------------------
// Look-ups

WxToolkit::Impl::LoadedWindow* WxToolkit::Impl::Find(const Window& window) const {
  for (const auto& loaded : windows_) {
    if (loaded->window == &window)
      return loaded.get();
  }
  return nullptr;
}

WxToolkit::Impl::LoadedWindow* WxToolkit::Impl::FindFrame(const wxWindow* frame) const {
  for (const auto& loaded : windows_) {
    if (loaded->frame == frame)
      return loaded.get();
  }
  return nullptr;
}

WxToolkit::Impl::ControlWidget* WxToolkit::Impl::FindControl(const Control* control) const {
  const auto found = byControl_.find(control);
  return found == byControl_.end() ? nullptr : found->second;
}

wxWindow* WxToolkit::Impl::TopLevelOf(const Window& window) const {
  const LoadedWindow* loaded = Find(window);
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
