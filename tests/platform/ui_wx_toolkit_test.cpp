// The wx back end under a real X display: a small window of the game's kinds of controls is
// built, changed and played with real key presses and clicks (XTEST). Run under Xvfb with a
// window manager (openbox); without a display every case is skipped.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/uiaction.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ui/ProgramEnd.h"
#include "ui/Window.h"
#include "ui/wx/WxToolkit.h"

namespace orvanta::ui {
namespace {

using namespace std::chrono_literals;

const std::filesystem::path kDataFolder =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "data";

ControlLayout Item(std::string name, ControlKind kind, std::string parent, Twips position,
                   int tabIndex = -1) {
  ControlLayout layout;
  layout.name = std::move(name);
  layout.kind = kind;
  layout.parent = std::move(parent);
  layout.position = position;
  layout.tabIndex = tabIndex;
  return layout;
}

ControlLayout ReadOnlyBox(std::string name, Twips position, int tabIndex, std::string label) {
  ControlLayout layout =
      Item(std::move(name), ControlKind::TextBox, "frmBoard", position, tabIndex);
  layout.readOnly = true;
  layout.accessibleName = std::move(label);
  return layout;
}

// A layout changed by `change`.
ControlLayout With(ControlLayout layout, const std::function<void(ControlLayout&)>& change) {
  change(layout);
  return layout;
}

// A small playing window: a frame holding a board, a money box and a nested frame with the
// default button; every handler call is recorded.
class TestWindow final : public Window {
 public:
  TestWindow()
      : frmBoard(Item("frmBoard", ControlKind::Frame, "", {120, 120, 6615, 3735}), "Board"),
        lblBoard(Item("lblBoard", ControlKind::Label, "frmBoard", {480, 360, 1575, 255}),
                 "Current Puzzle"),
        txtBoard(With(ReadOnlyBox("txtBoard", {480, 600, 3855, 975}, 0, "Current Puzzle"),
                      [](ControlLayout& l) {
                        l.multiLine = l.monospaced = true;
                        l.font = Font{"Courier New", 9.75, false};
                      }),
                 ""),
        lblMoney(Item("lblMoney", ControlKind::Label, "frmBoard", {4560, 360, 1095, 255}),
                 "Your Assets"),
        txtMoney(With(Item("txtMoney", ControlKind::TextBox, "frmBoard", {4560, 600, 1575, 285}, 5),
                      [](ControlLayout& l) { l.accessibleName = "Your Assets"; }),
                 "$0"),
        lblCategory(Item("lblCategory", ControlKind::Label, "frmBoard", {480, 1800, 1215, 255}),
                    "Puzzle Category"),
        txtCategory(ReadOnlyBox("txtCategory", {480, 2040, 3855, 285}, 3, "Puzzle Category"), ""),
        cmdSolve(Item("cmdSolve", ControlKind::Button, "frmBoard", {480, 3120, 1815, 375}, 2),
                 "Solve the Puzzle"),
        frmSpin(Item("frmSpin", ControlKind::Frame, "frmBoard", {4440, 1680, 1815, 1335}), "Wheel"),
        cmdSpin(With(Item("cmdSpin", ControlKind::Button, "frmSpin", {240, 240, 1335, 615}, 1),
                     [](ControlLayout& l) { l.defaultButton = true; }),
                "Spin Wheel"),
        lblSpin(Item("lblSpin", ControlKind::Label, "frmSpin", {240, 960, 1335, 255}), "") {
    layout_.name = "frmTest";
    layout_.caption = "Orvanta Test";
    layout_.clientWidth = 6840;
    layout_.clientHeight = 3990;
    layout_.defaultFont = Font{"MS Sans Serif", 8.25, false};
    layout_.menus = {{"mnuFile", "&File", {{"mnuFExit", "E&xit"}}},
                     {"mnuCheat", "&Cheat", {{"mnuCReveal", "Reveal Answer"}}}};
  }

  const WindowLayout& Layout() const override { return layout_; }
  std::vector<Control*> Controls() override {
    return {&frmBoard,    &lblBoard, &txtBoard, &lblMoney, &txtMoney, &lblCategory,
            &txtCategory, &cmdSolve, &frmSpin,  &cmdSpin,  &lblSpin};
  }
  void KeyUp(int keyCode, ShiftState shift) override {
    keys.push_back({keyCode, shift});
    if (onKey)
      onKey(keyCode);
  }
  void ButtonClicked(std::string_view button) override {
    clicks.emplace_back(button);
    if (onClick)
      onClick(button);
  }
  void MenuChosen(std::string_view item) override { menus.emplace_back(item); }
  void CloseRequested() override {
    ++closeRequests;
    if (onClose)
      onClose();
  }

  struct Key {
    int code;
    ShiftState shift;
  };
  std::vector<Key> keys;
  std::vector<std::string> clicks;
  std::vector<std::string> menus;
  int closeRequests = 0;
  std::function<void(int)> onKey;
  std::function<void(std::string_view)> onClick;
  std::function<void()> onClose;

  Control frmBoard, lblBoard, txtBoard, lblMoney, txtMoney, lblCategory, txtCategory, cmdSolve,
      frmSpin, cmdSpin, lblSpin;

 private:
  WindowLayout layout_;
};

// A borderless window like the splash: a shape, the program's picture, a label and a button.
class SplashLikeWindow final : public Window {
 public:
  SplashLikeWindow()
      : Shape1(Item("Shape1", ControlKind::Shape, "", {120, 120, 5775, 1935}), ""),
        Image1(Item("Image1", ControlKind::Image, "", {240, 240, 480, 480}), ""),
        lblName(Item("lblName", ControlKind::Label, "", {960, 240, 4815, 495}), "Orvanta"),
        cmdOK(Item("cmdOK", ControlKind::Button, "", {5160, 1560, 615, 375}, 0), "OK") {
    layout_.name = "frmSplash";
    layout_.caption = "Orvanta";
    layout_.clientWidth = 6015;
    layout_.clientHeight = 2175;
    layout_.titleBar = false;
    layout_.centred = true;
    layout_.inTaskbar = false;
  }
  const WindowLayout& Layout() const override { return layout_; }
  std::vector<Control*> Controls() override { return {&Shape1, &Image1, &lblName, &cmdOK}; }
  void KeyUp(int, ShiftState) override {}
  void ButtonClicked(std::string_view) override {}
  void MenuChosen(std::string_view) override {}
  void CloseRequested() override {}

  Control Shape1, Image1, lblName, cmdOK;

 private:
  WindowLayout layout_;
};

bool HasDisplay() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
}

// One toolkit for the whole test program: wx starts once per process.
WxToolkit& SharedToolkit() {
  static const std::unique_ptr<WxToolkit> toolkit = [] {
    std::string error;
    static char name[] = "orvanta_platform_tests";
    static char* arguments[] = {name, nullptr};
    auto created = WxToolkit::Create(1, arguments, kDataFolder, error);
    if (!created)
      ADD_FAILURE() << error;
    return created;
  }();
  return *toolkit;
}

// Test-only: turns the loop until `done` holds or the time is up.
bool PumpUntil(WxToolkit& toolkit, const std::function<bool()>& done,
               std::chrono::milliseconds patience = 3s) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    toolkit.DoEvents();
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

// Turns the loop for a moment, so whatever is on its way arrives.
void Settle(WxToolkit& toolkit) {
  PumpUntil(
      toolkit, [] { return false; }, 150ms);
}

// Runs `answer` from the event loop as soon as a modal box is up.
void WhenBoxIsUp(std::function<void()> answer) {
  auto* call = new std::function<void()>(std::move(answer));
  g_timeout_add(
      150,
      [](gpointer data) -> gboolean {
        std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(data));
        (*owned)();
        return G_SOURCE_REMOVE;
      },
      call);
}

GtkWidget* OpenMessageDialog() {
  GList* windows = gtk_window_list_toplevels();
  GtkWidget* found = nullptr;
  for (GList* item = windows; item != nullptr; item = item->next) {
    auto* widget = static_cast<GtkWidget*>(item->data);
    if (GTK_IS_MESSAGE_DIALOG(widget) && gtk_widget_get_visible(widget))
      found = widget;
  }
  g_list_free(windows);
  return found;
}

class WxToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay())
      GTEST_SKIP() << "no X display (DISPLAY is unset): run under xvfb-run";
    toolkit_ = &SharedToolkit();
    toolkit_->Load(window_);
  }
  void TearDown() override {
    if (toolkit_ != nullptr) {
      toolkit_->Unload(window_);
      toolkit_->DoEvents();
    }
  }
  wxWindow* W(const Control& control) { return toolkit_->WidgetOf(control); }
  wxTextCtrl* TextOf(const Control& control) { return static_cast<wxTextCtrl*>(W(control)); }
  bool Pump(const std::function<bool()>& done) { return PumpUntil(*toolkit_, done); }
  bool FocusReaches(const Control& control) {
    return Pump([&] { return wxWindow::FindFocus() == W(control); });
  }
  bool KeyArrives(int code) {
    return Pump([&] { return !window_.keys.empty() && window_.keys.back().code == code; });
  }
  bool ClickArrives(std::size_t count = 1) {
    return Pump([&] { return window_.clicks.size() >= count; });
  }
  void ShowAndFocus() {
    toolkit_->Show(window_);
    ASSERT_TRUE(Pump([this] {
      return toolkit_->TopLevelOf(window_)->IsShownOnScreen() &&
             static_cast<wxFrame*>(toolkit_->TopLevelOf(window_))->IsActive();
    })) << "the window never became active (is a window manager running?)";
  }
  void Focus(Control& control) {
    W(control)->SetFocus();
    ASSERT_TRUE(FocusReaches(control));
  }
  void Press(int keyCode, int modifiers = wxMOD_NONE) {
    wxUIActionSimulator keyboard;
    keyboard.Char(keyCode, modifiers);
  }
  void Click(const Control& control) {
    wxUIActionSimulator mouse;
    mouse.MouseMove(W(control)->GetScreenRect().GetPosition() + wxPoint(10, 10));
    mouse.MouseClick();
  }
  wxPoint ClientPosition(const Control& control) {
    wxWindow* client = nullptr;
    for (wxWindow* child : toolkit_->TopLevelOf(window_)->GetChildren()) {
      if (dynamic_cast<wxPanel*>(child) != nullptr)
        client = child;
    }
    // Where GTK really put the widget's outer corner (wx reports a frame's inner area).
    int x = 0;
    int y = 0;
    gtk_widget_translate_coordinates(static_cast<GtkWidget*>(W(control)->GetHandle()),
                                     static_cast<GtkWidget*>(client->GetHandle()), 0, 0, &x, &y);
    return wxPoint(x, y);
  }

  WxToolkit* toolkit_ = nullptr;
  TestWindow window_;
};

// --- Building the window ---------------------------------------------------------------

TEST_F(WxToolkitTest, EachControlBecomesTheWidgetOfItsKindInsideItsFrameWhereItsTwipsSay) {
  EXPECT_NE(dynamic_cast<wxStaticBox*>(W(window_.frmBoard)), nullptr);
  EXPECT_NE(dynamic_cast<wxStaticBox*>(W(window_.frmSpin)), nullptr);
  EXPECT_NE(dynamic_cast<wxStaticText*>(W(window_.lblBoard)), nullptr);
  auto* board = dynamic_cast<wxTextCtrl*>(W(window_.txtBoard));
  ASSERT_NE(board, nullptr);
  EXPECT_TRUE(board->IsMultiLine());
  EXPECT_FALSE(board->IsEditable());
  auto* money = dynamic_cast<wxTextCtrl*>(W(window_.txtMoney));
  ASSERT_NE(money, nullptr);
  EXPECT_TRUE(money->IsSingleLine());
  EXPECT_TRUE(money->IsEditable());
  EXPECT_EQ(money->GetValue(), "$0");
  auto* spin = dynamic_cast<wxButton*>(W(window_.cmdSpin));
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->GetLabel(), "Spin Wheel");
  EXPECT_EQ(board->GetParent(), W(window_.frmBoard));
  EXPECT_EQ(spin->GetParent(), W(window_.frmSpin));
  EXPECT_EQ(W(window_.frmSpin)->GetParent(), W(window_.frmBoard));
  // The board is monospaced and the rest uses the dialog font.
  EXPECT_TRUE(board->GetFont().IsFixedWidth()) << board->GetFont().GetFaceName();
  EXPECT_NEAR(board->GetFont().GetFractionalPointSize(), 9.75, 0.01);
  EXPECT_FALSE(W(window_.lblBoard)->GetFont().IsFixedWidth());

  ShowAndFocus();
  const auto px = [this](int twips) { return toolkit_->ToPixels(twips); };
  // GTK measures the frames' captions when it lays the window out; the controls follow.
  // Nested: frmSpin at 4440,1680 inside frmBoard, cmdSpin at 240,240 inside frmSpin.
  const wxPoint spinAt(px(120) + px(4440) + px(240), px(120) + px(1680) + px(240));
  PumpUntil(
      *toolkit_, [&] { return ClientPosition(window_.cmdSpin) == spinAt; }, 1s);
  EXPECT_EQ(ClientPosition(window_.frmBoard), wxPoint(px(120), px(120)));
  EXPECT_EQ(ClientPosition(window_.txtBoard), wxPoint(px(120) + px(480), px(120) + px(600)));
  EXPECT_EQ(ClientPosition(window_.cmdSpin), spinAt);
  EXPECT_EQ(board->GetSize(), wxSize(px(3855), px(975)));
  EXPECT_EQ(W(window_.cmdSolve)->GetSize(), wxSize(px(1815), px(375)));
  EXPECT_EQ(toolkit_->TopLevelOf(window_)->GetClientSize(), wxSize(px(6840), px(3990)));
}

TEST_F(WxToolkitTest, TheWindowIsFixedInSizeWithAMenuBarOfAccessKeysOnlyAndNamedTextBoxes) {
  auto* frame = dynamic_cast<wxFrame*>(toolkit_->TopLevelOf(window_));
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(frame->HasFlag(wxRESIZE_BORDER));
  EXPECT_EQ(frame->GetTitle(), "Orvanta Test");
  wxMenuBar* bar = frame->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->GetMenuCount(), 2u);
  EXPECT_EQ(bar->GetMenuLabel(0), "&File");
  const wxMenuItemList& items = bar->GetMenu(0)->GetMenuItems();
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items.front()->GetItemLabel(), "E&xit");  // no "\tCtrl+Q"
  EXPECT_EQ(items.front()->GetAccel(), nullptr);
  // Text boxes carry the names of their labels for screen readers; a multi-line box is read
  // through its inner text view.
  GtkWidget* scroller = static_cast<GtkWidget*>(W(window_.txtBoard)->GetHandle());
  ASSERT_TRUE(GTK_IS_SCROLLED_WINDOW(scroller));
  GtkWidget* view = gtk_bin_get_child(GTK_BIN(scroller));
  EXPECT_STREQ(atk_object_get_name(gtk_widget_get_accessible(view)), "Current Puzzle");
  GtkWidget* money = static_cast<GtkWidget*>(W(window_.txtMoney)->GetHandle());
  EXPECT_STREQ(atk_object_get_name(gtk_widget_get_accessible(money)), "Your Assets");
}

// --- Mirroring the controls' state -------------------------------------------------------

TEST_F(WxToolkitTest, ChangesToControlsReachTheirWidgetsAtOnce) {
  window_.txtBoard.SetText("_ _ _   _ _ _");
  window_.lblSpin.SetText("300 dollars");
  window_.cmdSpin.SetEnabled(false);
  window_.frmBoard.SetText("Puzzle");
  EXPECT_EQ(TextOf(window_.txtBoard)->GetValue(), "_ _ _   _ _ _");
  EXPECT_EQ(W(window_.lblSpin)->GetLabel(), "300 dollars");
  EXPECT_FALSE(W(window_.cmdSpin)->IsEnabled());
  EXPECT_EQ(W(window_.frmBoard)->GetLabel(), "Puzzle");
  window_.cmdSpin.SetEnabled(true);
  EXPECT_TRUE(W(window_.cmdSpin)->IsEnabled());
}

TEST_F(WxToolkitTest, AnUnchangedTextIsNotWrittenAgain) {
  wxTextCtrl* board = TextOf(window_.txtBoard);
  int writes = 0;
  board->Bind(wxEVT_TEXT, [&writes](wxCommandEvent&) { ++writes; });
  window_.txtBoard.SetText("A _ _");
  window_.txtBoard.SetVisible(false);
  window_.txtBoard.SetVisible(true);
  board->SetValue("A _ _");  // only this write reaches the widget's text
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(board->GetValue(), "A _ _");
}

TEST_F(WxToolkitTest, HidingAFrameHidesEverythingInsideItNestedFramesIncluded) {
  ShowAndFocus();
  window_.frmBoard.SetVisible(false);
  EXPECT_FALSE(W(window_.txtBoard)->IsShownOnScreen());
  EXPECT_FALSE(W(window_.frmSpin)->IsShownOnScreen());
  EXPECT_FALSE(W(window_.cmdSpin)->IsShownOnScreen());
  window_.frmSpin.SetVisible(false);
  window_.frmBoard.SetVisible(true);
  EXPECT_TRUE(W(window_.txtBoard)->IsShownOnScreen());
  EXPECT_FALSE(W(window_.cmdSpin)->IsShownOnScreen())
      << "the wheel frame was hidden on its own and stays hidden";
}

TEST_F(WxToolkitTest, ShowingTheBoardAgainGivesTheFocusToTheFirstControlInTabOrder) {
  window_.frmBoard.SetVisible(false);
  ShowAndFocus();
  window_.frmBoard.SetVisible(true);
  EXPECT_TRUE(FocusReaches(window_.txtBoard));
}

TEST_F(WxToolkitTest, TabFollowsTheLayoutsTabOrderThroughNestedFrames) {
  ShowAndFocus();
  Focus(window_.txtCategory);
  // txtBoard 0, cmdSpin 1 (in the nested frame), cmdSolve 2, txtCategory 3, txtMoney 5.
  Press(WXK_TAB);
  EXPECT_TRUE(FocusReaches(window_.txtMoney));
  Press(WXK_TAB, wxMOD_SHIFT);
  Press(WXK_TAB, wxMOD_SHIFT);
  EXPECT_TRUE(FocusReaches(window_.cmdSolve));
  Press(WXK_TAB, wxMOD_SHIFT);
  EXPECT_TRUE(FocusReaches(window_.cmdSpin));
}

// --- Typing ------------------------------------------------------------------------------

TEST_F(WxToolkitTest, AReadOnlyBoxRefusesTypingAndAnEditableBoxTakesIt) {
  ShowAndFocus();
  window_.txtCategory.SetText("Phrase");
  Focus(window_.txtCategory);
  Press('x');
  ASSERT_TRUE(Pump([this] { return !window_.keys.empty(); }));
  Settle(*toolkit_);
  EXPECT_EQ(TextOf(window_.txtCategory)->GetValue(), "Phrase") << "the game's write stays";
  EXPECT_EQ(window_.txtCategory.Text(), "Phrase");
  // What the player types in an editable box is the control's text.
  Focus(window_.txtMoney);
  TextOf(window_.txtMoney)->SetInsertionPointEnd();
  Press('5');
  ASSERT_TRUE(Pump([this] { return window_.txtMoney.Text() == "$05"; })) << window_.txtMoney.Text();
}

// --- Keys --------------------------------------------------------------------------------

TEST_F(WxToolkitTest, EveryKeyReleaseReachesTheKeyHandlerWithItsWindowsCode) {
  ShowAndFocus();
  Focus(window_.txtBoard);
  Press('t');
  Press(WXK_F4);
  Press('T', wxMOD_SHIFT);
  Press('7');
  // The releases of Shift itself (16) are left out.
  const auto codes = [this] {
    std::vector<int> released;
    for (const auto& key : window_.keys) {
      if (key.code != 16)
        released.push_back(key.code);
    }
    return released;
  };
  ASSERT_TRUE(Pump([&] { return codes().size() >= 4; }));
  Settle(*toolkit_);
  EXPECT_EQ(codes(), (std::vector<int>{84, 115, 84, 55}));
  bool shiftedT = false;
  for (const auto& key : window_.keys)
    shiftedT |= key.code == 84 && key.shift.shift;
  EXPECT_TRUE(shiftedT);
  EXPECT_FALSE(window_.keys.front().shift.Any());
}

TEST_F(WxToolkitTest, KeysReachTheHandlerWhicheverControlHasTheFocusEvenInAHiddenFrame) {
  ShowAndFocus();
  for (Control* control : {&window_.txtBoard, &window_.txtMoney, &window_.cmdSolve}) {
    window_.keys.clear();
    Focus(*control);
    Press(WXK_F7);
    EXPECT_TRUE(KeyArrives(118)) << control->Name();
    Settle(*toolkit_);
    EXPECT_EQ(window_.keys.size(), 1u)
        << "one release, one call, with focus on " << control->Name();
  }
  Focus(window_.cmdSpin);
  window_.frmBoard.SetVisible(false);  // a puzzle being dealt
  Press(WXK_F5);
  EXPECT_TRUE(KeyArrives(116));
}

TEST_F(WxToolkitTest, KeysStillReachTheHandlerAfterTheFocusedButtonIsDisabled) {
  ShowAndFocus();
  Focus(window_.cmdSpin);
  window_.cmdSpin.SetEnabled(false);  // a spin: the wheel waits for a consonant
  Press('t');
  EXPECT_TRUE(KeyArrives(84));
  // The wheel is ready again: the focus is back on it, so Space spins.
  window_.cmdSpin.SetEnabled(true);
  EXPECT_TRUE(FocusReaches(window_.cmdSpin));
  Press(' ');
  EXPECT_TRUE(ClickArrives());
}

// --- Buttons, menus, closing -------------------------------------------------------------

TEST_F(WxToolkitTest, SpaceClicksTheFocusedButtonAndEnterTheDefaultUnlessAButtonHasTheFocus) {
  ShowAndFocus();
  Focus(window_.cmdSolve);
  Press(' ');
  ASSERT_TRUE(ClickArrives(1));
  Focus(window_.txtBoard);
  Press(WXK_RETURN);
  ASSERT_TRUE(ClickArrives(2));
  Focus(window_.cmdSolve);
  Press(WXK_RETURN);
  ASSERT_TRUE(ClickArrives(3));
  Settle(*toolkit_);
  EXPECT_EQ(window_.clicks, (std::vector<std::string>{"cmdSolve", "cmdSpin", "cmdSolve"}));
}

TEST_F(WxToolkitTest, ADisabledButtonProducesNoClick) {
  ShowAndFocus();
  window_.cmdSpin.SetEnabled(false);
  Focus(window_.txtBoard);
  Press(WXK_RETURN);  // the default button, disabled
  Click(window_.cmdSpin);
  Press(WXK_F6);  // a marker: once it arrives, the click and Enter have been handled
  ASSERT_TRUE(KeyArrives(117));
  Settle(*toolkit_);
  EXPECT_TRUE(window_.clicks.empty());
  window_.cmdSpin.SetEnabled(true);
  Click(window_.cmdSpin);
  EXPECT_TRUE(ClickArrives());
}

TEST_F(WxToolkitTest, AMenuItemChosenOrOpenedWithItsAccessKeyReachesTheWindowByName) {
  auto* frame = static_cast<wxFrame*>(toolkit_->TopLevelOf(window_));
  wxCommandEvent chosen(wxEVT_MENU,
                        frame->GetMenuBar()->GetMenu(1)->GetMenuItems().front()->GetId());
  frame->GetEventHandler()->ProcessEvent(chosen);
  EXPECT_EQ(window_.menus, (std::vector<std::string>{"mnuCReveal"}));
  ShowAndFocus();
  Focus(window_.txtBoard);
  Press('f', wxMOD_ALT);
  Press('x');
  EXPECT_TRUE(Pump([this] { return window_.menus.size() >= 2; }));
  EXPECT_EQ(window_.menus, (std::vector<std::string>{"mnuCReveal", "mnuFExit"}));
}

TEST_F(WxToolkitTest, ClosingFromTheTitleBarAsksTheWindowAndLeavesItToUnloadAfterWhichItIsGone) {
  ShowAndFocus();
  Press(WXK_F4, wxMOD_ALT);  // the window manager closes the window
  ASSERT_TRUE(Pump([this] { return window_.closeRequests == 1; }));
  Settle(*toolkit_);
  EXPECT_TRUE(toolkit_->TopLevelOf(window_)->IsShown()) << "only the window logic unloads";
  // An unloaded window is gone and hears nothing more.
  toolkit_->Unload(window_);
  EXPECT_EQ(toolkit_->TopLevelOf(window_), nullptr);
  EXPECT_EQ(W(window_.cmdSpin), nullptr);
  window_.txtBoard.SetText("no widget to write to");  // must not touch a dead widget
  const std::size_t keysBefore = window_.keys.size();
  Press(WXK_F5);
  Settle(*toolkit_);
  EXPECT_EQ(window_.keys.size(), keysBefore);
  // And it can be loaded again from its layout, as the About box is.
  toolkit_->Load(window_);
  EXPECT_EQ(TextOf(window_.txtBoard)->GetValue(), "no widget to write to");
}

// --- The loop ------------------------------------------------------------------------------

TEST_F(WxToolkitTest, ARepaintRunsNoHandlerAndWaitForEventReturnsOnceAHandlerHasRun) {
  ShowAndFocus();
  Focus(window_.txtBoard);
  Press(WXK_F5);
  gdk_display_sync(gdk_display_get_default());
  std::this_thread::sleep_for(50ms);
  toolkit_->Repaint(window_);
  EXPECT_TRUE(window_.keys.empty()) << "a repaint is not a yield";
  EXPECT_TRUE(Pump([this] { return !window_.keys.empty(); })) << "the next yield catches up";
  EXPECT_EQ(window_.keys.front().code, 116);
  Settle(*toolkit_);
  Press(WXK_F8);
  toolkit_->WaitForEvent();  // blocks until the release has been handled
  EXPECT_EQ(window_.keys.back().code, 119);
}

TEST_F(WxToolkitTest, ABorderlessWindowIsCentredOutsideTheTaskbarWithTheProgramsPicture) {
  SplashLikeWindow splash;
  toolkit_->Load(splash);
  toolkit_->Show(splash);
  toolkit_->Repaint(splash);
  wxWindow* frame = toolkit_->TopLevelOf(splash);
  EXPECT_TRUE(frame->HasFlag(wxFRAME_NO_TASKBAR));
  EXPECT_FALSE(frame->HasFlag(wxCAPTION));
  EXPECT_TRUE(Pump([frame] { return frame->IsShownOnScreen(); }));
  const wxRect screen = wxGetClientDisplayRect();
  const wxRect rect = frame->GetScreenRect();
  EXPECT_NEAR(rect.GetLeft() + rect.GetWidth() / 2, screen.GetLeft() + screen.GetWidth() / 2, 2);
  EXPECT_NEAR(rect.GetTop() + rect.GetHeight() / 2, screen.GetTop() + screen.GetHeight() / 2, 2);
  auto* picture = dynamic_cast<wxStaticBitmap*>(toolkit_->WidgetOf(splash.Image1));
  ASSERT_NE(picture, nullptr);
  EXPECT_TRUE(picture->GetBitmap().IsOk()) << "icons/orvanta-32.png under " << kDataFolder;
  EXPECT_EQ(picture->GetBitmap().GetWidth(), toolkit_->ToPixels(480));
  EXPECT_EQ(toolkit_->WidgetOf(splash.Shape1), nullptr) << "a shape is drawn, not a widget";
  toolkit_->Unload(splash);
}

// --- Modal boxes --------------------------------------------------------------------------

// Answers the open message box with `response` once it is up, noting its title, accessible name
// and description.
struct BoxSeen {
  std::string title, name, description;
};
void AnswerBoxWhenUp(GtkResponseType response, BoxSeen* seen = nullptr) {
  WhenBoxIsUp([response, seen] {
    GtkWidget* box = OpenMessageDialog();
    ASSERT_NE(box, nullptr);
    if (seen != nullptr) {
      AtkObject* accessible = gtk_widget_get_accessible(box);
      const char* description = atk_object_get_description(accessible);
      *seen = {gtk_window_get_title(GTK_WINDOW(box)), atk_object_get_name(accessible),
               description ? description : ""};
    }
    gtk_dialog_response(GTK_DIALOG(box), response);
  });
}

TEST_F(WxToolkitTest, AnInformationBoxKeepsItsTitleForTheScreenReaderAndAnUntitledOneIsNamed) {
  ShowAndFocus();
  BoxSeen seen;
  AnswerBoxWhenUp(GTK_RESPONSE_OK, &seen);
  EXPECT_EQ(toolkit_->MsgBox("Quick Help\r\n\r\nTo spin, press Space.", "Quick Help",
                             MsgButtons::OK, MsgIcon::Information),
            MsgResult::OK);
  EXPECT_EQ(seen.title, "Quick Help");
  EXPECT_EQ(seen.name, "Quick Help");
  EXPECT_EQ(seen.description, "Information");
  // A box without a title has the program's title.
  AnswerBoxWhenUp(GTK_RESPONSE_OK, &seen);
  toolkit_->MsgBox("The puzzle solution is:\r\nA PHRASE", "", MsgButtons::OK, MsgIcon::None);
  EXPECT_EQ(seen.title, "Orvanta");
}

TEST_F(WxToolkitTest, AYesNoBoxAnswersWhichButtonWasPressed) {
  for (const auto& [response, result] :
       {std::pair{GTK_RESPONSE_YES, MsgResult::Yes}, std::pair{GTK_RESPONSE_NO, MsgResult::No}}) {
    AnswerBoxWhenUp(response);
    EXPECT_EQ(toolkit_->MsgBox("Are you sure you want to buy an E?", "Buy a Vowel",
                               MsgButtons::YesNo, MsgIcon::Question),
              result);
  }
}

wxTextEntryDialog* OpenInputBox() {
  for (wxWindow* window : wxTopLevelWindows) {
    if (auto* dialog = dynamic_cast<wxTextEntryDialog*>(window); dialog && dialog->IsModal())
      return dialog;
  }
  return nullptr;
}

TEST_F(WxToolkitTest, TheInputBoxGivesTheTypedTextOrNothingOnCancelAndKeepsItsKeys) {
  ShowAndFocus();
  std::string title;
  WhenBoxIsUp([&title] {
    wxTextEntryDialog* box = OpenInputBox();
    ASSERT_NE(box, nullptr);
    title = std::string(box->GetTitle().utf8_str());
    box->SetValue("A Stitch In Time");
    box->EndModal(wxID_OK);
  });
  EXPECT_EQ(toolkit_->InputBox("Input your solution to the puzzle.", "Solve Puzzle"),
            "A Stitch In Time");
  EXPECT_EQ(title, "Solve Puzzle");
  WhenBoxIsUp([] {
    wxTextEntryDialog* box = OpenInputBox();
    ASSERT_NE(box, nullptr);
    box->SetValue("typed, then cancelled");
    box->EndModal(wxID_CANCEL);
  });
  EXPECT_EQ(toolkit_->InputBox("Input your solution to the puzzle.", "Solve Puzzle"), "");
  // Keys typed inside the box are not the window's keys.
  WhenBoxIsUp([this] {
    Press('a');
    Press(WXK_RETURN);
  });
  EXPECT_EQ(toolkit_->InputBox("Your solution", "Solve Puzzle"), "a");
  Settle(*toolkit_);
  for (const auto& key : window_.keys)
    EXPECT_NE(key.code, 65);
}

// --- Ending the program from a handler ------------------------------------------------------
// Once the program has ended no handler runs again in that process, so each case runs in a
// process of its own.

class WxProgramEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay())
      GTEST_SKIP() << "no X display (DISPLAY is unset): run under xvfb-run";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
  }
};

// The exit codes tell the parent process what went wrong.
enum Outcome { kUnwound = 0, kNotThrown = 3, kHandlerRanAfterEnd = 4, kNoToolkit = 5, kWrong = 6 };

// Starts a toolkit of the child process's own and loads `window` into it.
std::unique_ptr<WxToolkit> OwnToolkitWith(TestWindow& window) {
  std::string error;
  static char name[] = "orvanta_platform_tests";
  static char* arguments[] = {name, nullptr};
  auto toolkit = WxToolkit::Create(1, arguments, kDataFolder, error);
  if (!toolkit)
    std::_Exit(kNoToolkit);
  toolkit->Load(window);
  return toolkit;
}

[[noreturn]] void EndFromAKeyHandler() {
  TestWindow window;
  auto toolkit = OwnToolkitWith(window);
  int handled = 0;
  window.onKey = [&handled](int) {
    ++handled;
    EndProgram(7, "ended from a key");
  };
  toolkit->Show(window);
  if (!PumpUntil(*toolkit,
                 [&] { return static_cast<wxFrame*>(toolkit->TopLevelOf(window))->IsActive(); })) {
    std::_Exit(kWrong);
  }
  wxUIActionSimulator keyboard;
  keyboard.Char('t');
  keyboard.Char('u');
  try {
    for (;;)
      toolkit->WaitForEvent();
  } catch (const ProgramEnded& end) {
    if (end.exitCode != 7 || end.error != "ended from a key")
      std::_Exit(kWrong);
    Settle(*toolkit);  // the second key arrives: its handler must not run
    std::_Exit(handled == 1 ? kUnwound : kHandlerRanAfterEnd);
  }
  std::_Exit(kNotThrown);
}

TEST_F(WxProgramEndTest, EndingTheProgramInAKeyHandlerUnwindsOutOfWaitForEvent) {
  EXPECT_EXIT(EndFromAKeyHandler(), ::testing::ExitedWithCode(kUnwound), "");
}

[[noreturn]] void EndWhileABoxIsOpen() {
  TestWindow window;
  auto toolkit = OwnToolkitWith(window);
  toolkit->Show(window);
  // The spin button opens a box; while it is up the window is closed, which ends the program.
  bool boxReturned = false;
  window.onClick = [&](std::string_view) {
    WhenBoxIsUp([&] { toolkit->TopLevelOf(window)->Close(); });
    toolkit->MsgBox("A box", "Box", MsgButtons::OK, MsgIcon::Information);
    boxReturned = true;
  };
  window.onClose = [] { EndProgram(0); };
  wxWindow* spin = toolkit->WidgetOf(window.cmdSpin);
  wxCommandEvent click(wxEVT_BUTTON, spin->GetId());
  click.SetEventObject(spin);
  spin->GetEventHandler()->AddPendingEvent(click);
  try {
    for (;;)
      toolkit->WaitForEvent();
  } catch (const ProgramEnded&) {
    std::_Exit(boxReturned ? kWrong : kUnwound);  // nothing after the box's call ran
  }
  std::_Exit(kNotThrown);
}

TEST_F(WxProgramEndTest, EndingTheProgramWhileABoxIsOpenClosesItAndUnwindsThroughIt) {
  EXPECT_EXIT(EndWhileABoxIsOpen(), ::testing::ExitedWithCode(kUnwound), "");
}

TEST(WxToolkitStart, WithoutADisplayItSaysWhyInsteadOfAborting) {
  // With a display, wx is started once in this process already: a second start is refused too.
  if (HasDisplay())
    SharedToolkit();
  std::string error;
  char name[] = "orvanta";
  char* arguments[] = {name, nullptr};
  EXPECT_EQ(WxToolkit::Create(1, arguments, kDataFolder, error), nullptr);
  EXPECT_NE(error.find(HasDisplay() ? "already running" : "DISPLAY"), std::string::npos) << error;
}

}  // namespace
}  // namespace orvanta::ui
