// The wx back end under a real X display: a small window of the game's kinds of controls is
// built, changed and played with real key presses and clicks (XTEST). Run under Xvfb with a
// window manager (openbox); without a display every case is skipped.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/ProgramEnd.h"
#include "ui/Window.h"
#include "ui/wx/WxToolkit.h"

namespace orvanta::ui {
namespace {

using namespace std::chrono_literals;
using enum ControlKind;
using Change = std::function<void(ControlLayout&)>;

const std::filesystem::path kDataFolder = std::filesystem::path(ORVANTA_SOURCE_DIR) / "data";

// A row of a window's table of controls: a control of `kind` inside the frame `parent` (empty:
// the window) with its first text, its layout then `change`d.
Control Item(std::string name, ControlKind kind, std::string parent, Twips position, int tabIndex,
             std::string text, const Change& change = nullptr) {
  ControlLayout layout;
  layout.name = std::move(name);
  layout.kind = kind;
  layout.parent = std::move(parent);
  layout.position = position;
  layout.tabIndex = tabIndex;
  if (change)
    change(layout);
  return Control(std::move(layout), std::move(text));
}

// A window built from its layout and a table of controls; every handler call is recorded.
class TestWindow final : public Window {
 public:
  TestWindow(WindowLayout layout, std::vector<Control> controls)
      : layout_(std::move(layout)), controls_(std::move(controls)) {}

  const WindowLayout& Layout() const override { return layout_; }
  std::vector<Control*> Controls() override {
    std::vector<Control*> all;
    for (Control& control : controls_)
      all.push_back(&control);
    return all;
  }
  Control& operator[](std::string_view name) { return *Find(name); }
  void KeyUp(int code, ShiftState shift) override { keys.push_back({code, shift}); }
  void ButtonClicked(std::string_view button) override {
    clicks.emplace_back(button);
    onClick(button);
  }
  void MenuChosen(std::string_view item) override { menus.emplace_back(item); }
  void CloseRequested() override {
    ++closeRequests;
    onClose();
  }

  struct Key {
    int code;
    ShiftState shift;
  };
  std::vector<Key> keys;
  std::vector<std::string> clicks, menus;
  int closeRequests = 0;
  std::function<void(std::string_view)> onClick = [](std::string_view) {};
  std::function<void()> onClose = [] {};

 private:
  WindowLayout layout_;
  std::vector<Control> controls_;  // never resized: the toolkit keeps their addresses
};

// A small playing window: a frame holding a board, a money box and a nested frame with the
// default button.
TestWindow PlayingWindow() {
  const auto named = [](const std::string& label, bool readOnly, bool board = false) -> Change {
    return [=](ControlLayout& l) {
      l.accessibleName = label;
      l.readOnly = readOnly;
      l.multiLine = l.monospaced = board;
      if (board)
        l.font = Font{"Courier New", 9.75, false};
    };
  };
  WindowLayout layout;
  layout.name = "frmTest";
  layout.caption = "Orvanta Test";
  layout.clientWidth = 6840;
  layout.clientHeight = 3990;
  layout.defaultFont = Font{"MS Sans Serif", 8.25, false};
  layout.menus = {{"mnuFile", "&File", {{"mnuFExit", "E&xit"}}},
                  {"mnuCheat", "&Cheat", {{"mnuCReveal", "Reveal Answer"}}}};
  return TestWindow(
      std::move(layout),
      {Item("frmBoard", Frame, "", {120, 120, 6615, 3735}, -1, "Board"),
       Item("lblBoard", Label, "frmBoard", {480, 360, 1575, 255}, -1, "Current Puzzle"),
       Item("txtBoard", TextBox, "frmBoard", {480, 600, 3855, 975}, 0, "",
            named("Current Puzzle", true, true)),
       Item("txtMoney", TextBox, "frmBoard", {4560, 600, 1575, 285}, 5, "$0",
            named("Your Assets", false)),
       Item("txtCategory", TextBox, "frmBoard", {480, 2040, 3855, 285}, 3, "",
            named("Puzzle Category", true)),
       Item("cmdSolve", Button, "frmBoard", {480, 3120, 1815, 375}, 2, "Solve the Puzzle"),
       Item("frmSpin", Frame, "frmBoard", {4440, 1680, 1815, 1335}, -1, "Wheel"),
       Item("cmdSpin", Button, "frmSpin", {240, 240, 1335, 615}, 1, "Spin Wheel",
            [](ControlLayout& l) { l.defaultButton = true; }),
       Item("lblSpin", Label, "frmSpin", {240, 960, 1335, 255}, -1, "")});
}

bool HasDisplay() {
  const char* display = std::getenv("DISPLAY");
  return display != nullptr && *display != '\0';
}

// Starts wx, or says why it cannot.
std::unique_ptr<WxToolkit> StartToolkit(std::string& error) {
  static char name[] = "orvanta_platform_tests";
  static char* arguments[] = {name, nullptr};
  return WxToolkit::Create(1, arguments, kDataFolder, error);
}

// One toolkit for the whole test program: wx starts once per process.
WxToolkit& SharedToolkit() {
  static std::string error;
  static const std::unique_ptr<WxToolkit> toolkit = StartToolkit(error);
  EXPECT_NE(toolkit, nullptr) << error;
  return *toolkit;
}

// Runs `answer` from the event loop as soon as a modal box is up.
void WhenBoxIsUp(std::function<void()> answer) {
  auto* call = std::make_unique<std::function<void()>>(std::move(answer)).release();
  g_timeout_add(
      150,
      [](gpointer data) -> gboolean {
        std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(data));
        (*owned)();
        return G_SOURCE_REMOVE;
      },
      call);
}

// Answers the open message box with `response` once it is up, noting its title in `title`.
void AnswerBoxWhenUp(GtkResponseType response, std::string& title) {
  WhenBoxIsUp([response, &title] {
    GtkWidget* box = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item != nullptr; item = item->next) {
      auto* widget = static_cast<GtkWidget*>(item->data);
      if (GTK_IS_MESSAGE_DIALOG(widget) && gtk_widget_get_visible(widget))
        box = widget;
    }
    g_list_free(windows);
    ASSERT_NE(box, nullptr);
    title = gtk_window_get_title(GTK_WINDOW(box));
    gtk_dialog_response(GTK_DIALOG(box), response);
  });
}

// Runs `answer` on the input box once it is up.
void AnswerInputBoxWhenUp(std::function<void(wxTextEntryDialog&)> answer) {
  WhenBoxIsUp([answer = std::move(answer)] {
    wxTextEntryDialog* box = nullptr;
    for (wxWindow* window : wxTopLevelWindows) {
      if (auto* dialog = dynamic_cast<wxTextEntryDialog*>(window); dialog && dialog->IsModal())
        box = dialog;
    }
    ASSERT_NE(box, nullptr);
    answer(*box);
  });
}

// How a case of ending the program, run in a process of its own, tells the parent process what
// went wrong.
enum Outcome { kUnwound = 0, kNotThrown = 3, kWrong = 6 };

class WxToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay())
      GTEST_SKIP() << "no X display (DISPLAY is unset): run under xvfb-run";
    toolkit_ = &SharedToolkit();
    toolkit_->Load(window_);
    ShowAndFocus();
  }
  void TearDown() override {
    if (toolkit_ != nullptr) {
      toolkit_->Unload(window_);
      toolkit_->DoEvents();
    }
  }
  // Test-only: turns the loop until `done` holds or the time is up.
  bool Pump(const std::function<bool()>& done, std::chrono::milliseconds patience = 3s) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline)
        return false;
      toolkit_->DoEvents();
      std::this_thread::sleep_for(5ms);
    }
    return true;
  }
  // Turns the loop for a moment, so whatever is on its way arrives.
  void Settle() {
    Pump([] { return false; }, 150ms);
  }
  wxWindow* W(const Control& control) { return toolkit_->WidgetOf(control); }
  wxTextCtrl* TextOf(const Control& control) { return static_cast<wxTextCtrl*>(W(control)); }
  GtkWidget* Gtk(const wxWindow* widget) { return static_cast<GtkWidget*>(widget->GetHandle()); }
  bool FocusReaches(const Control& control) {
    return Pump([&] { return wxWindow::FindFocus() == W(control); });
  }
  bool KeyArrives(int code) {
    return Pump([&] { return !window_.keys.empty() && window_.keys.back().code == code; });
  }
  bool ClickArrives(std::size_t count) {
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
    wxUIActionSimulator().Char(keyCode, modifiers);
  }
  void Click(const Control& control) {
    wxUIActionSimulator mouse;
    mouse.MouseMove(W(control)->GetScreenRect().GetPosition() + wxPoint(10, 10));
    mouse.MouseClick();
  }
  // Where GTK really put the widget's outer corner in the window's client area (wx reports a
  // frame's inner area).
  wxPoint ClientPosition(const Control& control) {
    wxPoint at;
    gtk_widget_translate_coordinates(Gtk(W(control)), Gtk(W(frmBoard)->GetParent()), 0, 0, &at.x,
                                     &at.y);
    return at;
  }
  // The codes of the keys released, Shift's own (16) left out.
  std::vector<int> KeyCodes() {
    std::vector<int> codes;
    for (const auto& key : window_.keys) {
      if (key.code != 16)
        codes.push_back(key.code);
    }
    return codes;
  }
  // Once the program has ended no handler runs again in that process, so this runs in a child
  // process: it turns the loop until the program ends and exits with what `ended` makes of it.
  [[noreturn]] void UntilTheProgramEnds(const std::function<Outcome(const ProgramEnded&)>& ended) {
    try {
      for (;;)
        toolkit_->WaitForEvent();
    } catch (const ProgramEnded& end) {
      std::_Exit(ended(end));
    }
    std::_Exit(kNotThrown);
  }

  WxToolkit* toolkit_ = nullptr;
  TestWindow window_ = PlayingWindow();
  Control &frmBoard = window_["frmBoard"], &lblBoard = window_["lblBoard"],
          &txtBoard = window_["txtBoard"], &txtMoney = window_["txtMoney"],
          &txtCategory = window_["txtCategory"], &cmdSolve = window_["cmdSolve"],
          &frmSpin = window_["frmSpin"], &cmdSpin = window_["cmdSpin"],
          &lblSpin = window_["lblSpin"];
};

TEST_F(WxToolkitTest, EachControlIsAWidgetOfItsKindWhereItsTwipsSayInAFixedWindow) {
  auto* board = dynamic_cast<wxTextCtrl*>(W(txtBoard));
  auto* money = dynamic_cast<wxTextCtrl*>(W(txtMoney));
  ASSERT_TRUE(board && money && dynamic_cast<wxButton*>(W(cmdSpin)));
  EXPECT_TRUE(board->IsMultiLine());
  EXPECT_FALSE(board->IsEditable());
  EXPECT_TRUE(money->IsSingleLine());
  EXPECT_TRUE(money->IsEditable());
  EXPECT_EQ(money->GetValue(), "$0");
  // The board is monospaced and the rest uses the dialog font.
  EXPECT_TRUE(board->GetFont().IsFixedWidth()) << board->GetFont().GetFaceName();
  EXPECT_NEAR(board->GetFont().GetFractionalPointSize(), 9.75, 0.01);
  EXPECT_FALSE(W(lblBoard)->GetFont().IsFixedWidth());

  const auto px = [this](int twips) { return toolkit_->ToPixels(twips); };
  // GTK measures the frames' captions when it lays the window out; the controls follow.
  // Nested: frmSpin at 4440,1680 inside frmBoard, cmdSpin at 240,240 inside frmSpin, so each
  // sits inside its frame.
  const wxPoint spinAt(px(120) + px(4440) + px(240), px(120) + px(1680) + px(240));
  Pump([&] { return ClientPosition(cmdSpin) == spinAt; }, 1s);
  EXPECT_EQ(ClientPosition(frmBoard), wxPoint(px(120), px(120)));
  EXPECT_EQ(ClientPosition(txtBoard), wxPoint(px(120) + px(480), px(120) + px(600)));
  EXPECT_EQ(ClientPosition(cmdSpin), spinAt);
  EXPECT_EQ(board->GetSize(), wxSize(px(3855), px(975)));
  EXPECT_EQ(W(cmdSolve)->GetSize(), wxSize(px(1815), px(375)));
  EXPECT_EQ(toolkit_->TopLevelOf(window_)->GetClientSize(), wxSize(px(6840), px(3990)));
  // The window is fixed in size. (Its menus' access keys and the text boxes' names, as a screen
  // reader finds them in the game's own window, are atspi_check.py's.)
  EXPECT_FALSE(toolkit_->TopLevelOf(window_)->HasFlag(wxRESIZE_BORDER));
}

TEST_F(WxToolkitTest, ChangesToControlsReachTheirWidgetsAtOnceButAnUnchangedTextIsNotWritten) {
  txtBoard.SetText("_ _ _   _ _ _");
  lblSpin.SetText("300 dollars");
  cmdSpin.SetEnabled(false);
  frmBoard.SetText("Puzzle");
  EXPECT_EQ(TextOf(txtBoard)->GetValue(), "_ _ _   _ _ _");
  EXPECT_EQ(W(lblSpin)->GetLabel(), "300 dollars");
  // A disabled button keeps the focus it may have, and tells the screen reader it is disabled.
  const auto sensitive = [this] {
    AtkStateSet* states = atk_object_ref_state_set(gtk_widget_get_accessible(Gtk(W(cmdSpin))));
    const bool result = atk_state_set_contains_state(states, ATK_STATE_SENSITIVE) != FALSE;
    g_object_unref(states);
    return result;
  };
  EXPECT_FALSE(sensitive());
  EXPECT_EQ(W(frmBoard)->GetLabel(), "Puzzle");
  cmdSpin.SetEnabled(true);
  EXPECT_TRUE(sensitive());
  int writes = 0;
  TextOf(txtBoard)->Bind(wxEVT_TEXT, [&writes](wxCommandEvent&) { ++writes; });
  txtBoard.SetText("A _ _");
  txtBoard.SetVisible(false);
  txtBoard.SetVisible(true);
  TextOf(txtBoard)->SetValue("A _ _");  // only this write reaches the widget's text
  EXPECT_EQ(writes, 1);
  EXPECT_EQ(TextOf(txtBoard)->GetValue(), "A _ _");
}

TEST_F(WxToolkitTest, AHiddenFrameHidesAllInsideItAndTheFocusKeepsToTheTabOrderThroughFrames) {
  Focus(txtMoney);
  frmBoard.SetVisible(false);
  EXPECT_FALSE(W(txtBoard)->IsShownOnScreen());
  EXPECT_FALSE(W(frmSpin)->IsShownOnScreen());
  EXPECT_FALSE(W(cmdSpin)->IsShownOnScreen());
  frmSpin.SetVisible(false);
  frmBoard.SetVisible(true);
  EXPECT_TRUE(W(txtBoard)->IsShownOnScreen());
  EXPECT_FALSE(W(cmdSpin)->IsShownOnScreen())
      << "the wheel frame was hidden on its own and stays hidden";
  EXPECT_TRUE(FocusReaches(txtBoard)) << "the board shown again: the first control in tab order";
  frmSpin.SetVisible(true);
  Focus(txtCategory);
  // txtBoard 0, cmdSpin 1 (in the nested frame), cmdSolve 2, txtCategory 3, txtMoney 5.
  Press(WXK_TAB);
  EXPECT_TRUE(FocusReaches(txtMoney));
  Press(WXK_TAB, wxMOD_SHIFT);
  Press(WXK_TAB, wxMOD_SHIFT);
  EXPECT_TRUE(FocusReaches(cmdSolve));
  Press(WXK_TAB, wxMOD_SHIFT);
  EXPECT_TRUE(FocusReaches(cmdSpin));
}

TEST_F(WxToolkitTest, OnlyAnEditableBoxTakesTypingAndEveryKeyReleaseReachesTheHandler) {
  txtCategory.SetText("Phrase");
  Focus(txtCategory);
  Press('x');
  ASSERT_TRUE(Pump([this] { return !window_.keys.empty(); }));
  Settle();
  EXPECT_EQ(TextOf(txtCategory)->GetValue(), "Phrase") << "the game's write stays";
  EXPECT_EQ(txtCategory.Text(), "Phrase");
  // What the player types in an editable box is the control's text.
  Focus(txtMoney);
  TextOf(txtMoney)->SetInsertionPointEnd();
  Press('5');
  ASSERT_TRUE(Pump([this] { return txtMoney.Text() == "$05"; })) << txtMoney.Text();
  // Every key release reaches the handler with its code, wherever the focus is.
  Settle();  // the release of '5' arrives before the count starts
  window_.keys.clear();
  Focus(txtBoard);
  Press('t');
  Press(WXK_F12);
  Press('T', wxMOD_SHIFT);
  Press(WXK_ESCAPE);
  ASSERT_TRUE(Pump([&] { return KeyCodes().size() >= 4; }));
  Settle();
  EXPECT_EQ(KeyCodes(), (std::vector<int>{84, 123, 84, 27}));
  EXPECT_TRUE(std::ranges::any_of(
      window_.keys, [](const TestWindow::Key& key) { return key.code == 84 && key.shift.shift; }));
  EXPECT_FALSE(window_.keys.front().shift.Any());
  for (Control* control : {&txtBoard, &txtMoney, &cmdSolve}) {
    window_.keys.clear();
    Focus(*control);
    Press(WXK_F7);
    EXPECT_TRUE(KeyArrives(118)) << control->Name();
    Settle();
    EXPECT_EQ(window_.keys.size(), 1u)
        << "one release, one call, with focus on " << control->Name();
  }
  Focus(cmdSpin);
  frmBoard.SetVisible(false);  // a puzzle being dealt
  Press(WXK_F5);
  EXPECT_TRUE(KeyArrives(116)) << "in a hidden frame";
}

TEST_F(WxToolkitTest, SpaceClicksTheFocusedButtonEnterTheDefaultAndADisabledButtonNothing) {
  Focus(cmdSolve);
  Press(' ');
  ASSERT_TRUE(ClickArrives(1));
  Focus(txtBoard);
  Press(WXK_RETURN);
  ASSERT_TRUE(ClickArrives(2));
  Focus(cmdSolve);
  Press(WXK_RETURN);  // a focused button takes Enter from the default
  ASSERT_TRUE(ClickArrives(3));
  Settle();
  std::vector<std::string> clicked{"cmdSolve", "cmdSpin", "cmdSolve"};
  EXPECT_EQ(window_.clicks, clicked);
  cmdSpin.SetEnabled(false);
  Focus(txtBoard);
  Press(WXK_RETURN);  // the default button, disabled
  Click(cmdSpin);
  Press(WXK_F6);  // a marker: once it arrives, the click and Enter have been handled
  ASSERT_TRUE(KeyArrives(117));
  Settle();
  EXPECT_EQ(window_.clicks, clicked);
  cmdSpin.SetEnabled(true);
  Click(cmdSpin);
  ASSERT_TRUE(ClickArrives(4));
  // Once the focused button is ready again after a spin (the consonant called: play_game.py) the
  // focus is back on it, so Space spins.
  Focus(cmdSpin);
  cmdSpin.SetEnabled(false);
  Settle();
  cmdSpin.SetEnabled(true);
  EXPECT_TRUE(FocusReaches(cmdSpin));
  Press(' ');
  ASSERT_TRUE(ClickArrives(5));
  clicked.insert(clicked.end(), {"cmdSpin", "cmdSpin"});
  EXPECT_EQ(window_.clicks, clicked);
}

TEST_F(WxToolkitTest, MenusAndClosingReachTheWindowWhichAloneUnloadsItselfAfterWhichItIsGone) {
  // A menu item chosen reaches the window by name (opened with its access key: atspi_check.py).
  auto* frame = static_cast<wxFrame*>(toolkit_->TopLevelOf(window_));
  wxCommandEvent chosen(wxEVT_MENU,
                        frame->GetMenuBar()->GetMenu(1)->GetMenuItems().front()->GetId());
  frame->GetEventHandler()->ProcessEvent(chosen);
  EXPECT_EQ(window_.menus, (std::vector<std::string>{"mnuCReveal"}));
  // Closing from the title bar asks the window and leaves it to unload.
  Press(WXK_F4, wxMOD_ALT);  // the window manager closes the window
  ASSERT_TRUE(Pump([this] { return window_.closeRequests == 1; }));
  Settle();
  EXPECT_TRUE(toolkit_->TopLevelOf(window_)->IsShown()) << "only the window logic unloads";
  // An unloaded window is gone and hears nothing more.
  toolkit_->Unload(window_);
  EXPECT_EQ(toolkit_->TopLevelOf(window_), nullptr);
  EXPECT_EQ(W(cmdSpin), nullptr);
  txtBoard.SetText("no widget to write to");  // must not touch a dead widget
  const std::size_t keysBefore = window_.keys.size();
  Press(WXK_F5);
  Settle();
  EXPECT_EQ(window_.keys.size(), keysBefore);
  // And it can be loaded again from its layout, as the About box is.
  toolkit_->Load(window_);
  EXPECT_EQ(TextOf(txtBoard)->GetValue(), "no widget to write to");
}

TEST_F(WxToolkitTest, ARepaintRunsNoHandlerAndWaitForEventReturnsOnceAHandlerHasRun) {
  Focus(txtBoard);
  Press(WXK_F5);
  gdk_display_sync(gdk_display_get_default());
  std::this_thread::sleep_for(50ms);
  toolkit_->Repaint(window_);
  EXPECT_TRUE(window_.keys.empty()) << "a repaint is not a yield";
  EXPECT_TRUE(Pump([this] { return !window_.keys.empty(); })) << "the next yield catches up";
  EXPECT_EQ(window_.keys.front().code, 116);
  Settle();
  Press(WXK_F8);
  toolkit_->WaitForEvent();  // blocks until the release has been handled
  EXPECT_EQ(window_.keys.back().code, 119);
}

TEST_F(WxToolkitTest, ABorderlessWindowIsCentredOutsideTheTaskbarWithTheProgramsPicture) {
  WindowLayout layout;
  layout.name = "frmSplash";
  layout.caption = "Orvanta";
  layout.clientWidth = 6015;
  layout.clientHeight = 2175;
  layout.titleBar = layout.inTaskbar = false;
  layout.centred = true;
  TestWindow splash(std::move(layout),  // a shape, the program's picture, a label and a button
                    {Item("Shape1", Shape, "", {120, 120, 5775, 1935}, -1, ""),
                     Item("Image1", Image, "", {240, 240, 480, 480}, -1, ""),
                     Item("lblName", Label, "", {960, 240, 4815, 495}, -1, "Orvanta"),
                     Item("cmdOK", Button, "", {5160, 1560, 615, 375}, 0, "OK")});
  toolkit_->Load(splash);
  toolkit_->Show(splash);
  toolkit_->Repaint(splash);
  wxWindow* frame = toolkit_->TopLevelOf(splash);
  EXPECT_TRUE(frame->HasFlag(wxFRAME_NO_TASKBAR));
  EXPECT_FALSE(frame->HasFlag(wxCAPTION));
  EXPECT_TRUE(Pump([frame] { return frame->IsShownOnScreen(); }));
  // The window manager places a new window in its own time: the centre is checked once it has.
  const wxRect screen = wxGetClientDisplayRect();
  const auto centred = [&] {
    const wxRect placed = frame->GetScreenRect();
    return std::abs(2 * placed.GetLeft() + placed.GetWidth() - 2 * screen.GetLeft() -
                    screen.GetWidth()) <= 4 &&
           std::abs(2 * placed.GetTop() + placed.GetHeight() - 2 * screen.GetTop() -
                    screen.GetHeight()) <= 4;
  };
  EXPECT_TRUE(Pump(centred)) << "placed at (" << frame->GetScreenRect().GetLeft() << ", "
                             << frame->GetScreenRect().GetTop() << ") on a " << screen.GetWidth()
                             << "x" << screen.GetHeight() << " screen";
  auto* picture = dynamic_cast<wxStaticBitmap*>(toolkit_->WidgetOf(splash["Image1"]));
  ASSERT_NE(picture, nullptr);
  EXPECT_TRUE(picture->GetBitmap().IsOk()) << "icons/orvanta-32.png under " << kDataFolder;
  EXPECT_EQ(picture->GetBitmap().GetWidth(), toolkit_->ToPixels(480));
  EXPECT_EQ(toolkit_->WidgetOf(splash["Shape1"]), nullptr) << "a shape is drawn, not a widget";
  toolkit_->Unload(splash);
}

// (A box's own title, the text typed into the input box and keys typed there staying out of the
// window: play_game.py's whole game, which finds each box by its title.)
TEST_F(WxToolkitTest, ModalBoxesGiveWhatThePlayerAnsweredAndAnUntitledOneTheProgramsTitle) {
  std::string title;
  AnswerBoxWhenUp(GTK_RESPONSE_OK, title);
  EXPECT_EQ(
      toolkit_->MsgBox("The puzzle solution is:\r\nA PHRASE", "", MsgButtons::OK, MsgIcon::None),
      MsgResult::OK);
  EXPECT_EQ(title, "Orvanta");
  for (const auto& [response, result] :
       {std::pair{GTK_RESPONSE_YES, MsgResult::Yes}, std::pair{GTK_RESPONSE_NO, MsgResult::No}}) {
    AnswerBoxWhenUp(response, title);
    EXPECT_EQ(toolkit_->MsgBox("Are you sure you want to buy an E?", "Buy a Vowel",
                               MsgButtons::YesNo, MsgIcon::Question),
              result);
  }
  // The input box gives nothing on cancel, whatever was typed.
  AnswerInputBoxWhenUp([](wxTextEntryDialog& box) {
    box.SetValue("typed, then cancelled");
    box.EndModal(wxID_CANCEL);
  });
  EXPECT_EQ(toolkit_->InputBox("Input your solution to the puzzle.", "Solve Puzzle"), "");
}

TEST_F(WxToolkitTest, EndingTheProgramWhileABoxIsOpenClosesItAndUnwindsThroughIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The spin button opens a box; while it is up the window is closed, which ends the program.
  bool boxReturned = false;
  window_.onClick = [&](std::string_view) {
    WhenBoxIsUp([this] { toolkit_->TopLevelOf(window_)->Close(); });
    toolkit_->MsgBox("A box", "Box", MsgButtons::OK, MsgIcon::Information);
    boxReturned = true;
  };
  window_.onClose = [] { EndProgram(7, "closed"); };
  EXPECT_EXIT(
      {
        wxCommandEvent click(wxEVT_BUTTON, W(cmdSpin)->GetId());
        click.SetEventObject(W(cmdSpin));
        W(cmdSpin)->GetEventHandler()->AddPendingEvent(click);
        UntilTheProgramEnds([&](const ProgramEnded& end) {  // nothing after the box's call ran
          return boxReturned || end.exitCode != 7 || end.error != "closed" ? kWrong : kUnwound;
        });
      },
      ::testing::ExitedWithCode(kUnwound), "");
}

TEST(WxToolkitStart, WithoutADisplayItSaysWhyInsteadOfAborting) {
  // With a display, wx is started once in this process already: a second start is refused too.
  if (HasDisplay())
    SharedToolkit();
  std::string error;
  EXPECT_EQ(StartToolkit(error), nullptr);
  EXPECT_NE(error.find(HasDisplay() ? "already running" : "DISPLAY"), std::string::npos) << error;
}

}  // namespace
}  // namespace orvanta::ui
