// frmMain.cpp: the main window. In this file, in order: its layout; loading, showing and
// unloading it; what the game reads and writes there (the money, sentences, used letters); what
// the platform tells it (keys, clicks, menus, closing); and its event handlers, which decide
// what the player may do now and hand it to the game's loop.
#include "ui/frmMain.h"

#include <charconv>
#include <limits>

#include "base/ProgramEnd.h"
#include "base/Text.h"
#include "game/modORV.h"
#include "ui/frmSplash.h"

namespace orvanta::ui {
namespace {

// A read-only text box of the puzzle frame, named for the screen reader by the label above it.
ControlLayout TextBox(std::string name, Twips position, int tabIndex, std::string label) {
  return {.name = std::move(name),
          .kind = ControlKind::TextBox,
          .parent = "frmPuzzle",
          .position = position,
          .tabIndex = tabIndex,
          .readOnly = true,
          .accessibleName = std::move(label)};
}

ControlLayout Board() {
  ControlLayout layout = TextBox("txtPuzzle", {480, 600, 3855, 975}, 0, "Current Puzzle");
  layout.multiLine = true;
  layout.monospaced = true;
  layout.font = Font{"Courier New", 9.75, false};
  return layout;
}

ControlLayout SpinButton() {
  return {.name = "cmdSpin",
          .kind = ControlKind::Button,
          .parent = "frmWheel",
          .position = {240, 240, 1335, 615},
          .tabIndex = 1,
          .defaultButton = true};
}

WindowLayout MainWindowLayout() {
  WindowLayout layout;
  layout.name = "frmMain";
  layout.caption = std::string(kProgramTitle);
  layout.clientWidth = 6840;
  layout.clientHeight = 3990;
  layout.defaultFont = Font{"MS Sans Serif", 8.25, false};
  layout.menus = {
      {"mnuFile", "&File", {{"mnuFExit", "E&xit"}}},
      {"mnuCheat", "&Cheat", {{"mnuCReveal", "Reveal Answer"}}},
      {"mnuHelp", "&Help", {{"mnuHAbout", "&About..."}}},
  };
  return layout;
}

constexpr int kF4 = 115;
constexpr int kF5 = 116;
constexpr int kF6 = 117;
constexpr int kF7 = 118;
constexpr int kF8 = 119;

constexpr std::string_view kQuickHelp =
    "Quick Help\r\n"
    "\r\n"
    "To spin, press Space.\r\n"
    "To choose a letter, press it after spinning the wheel.\r\n"
    "To buy a vowel, press it BEFORE spinning the wheel.\r\n"
    "F4: Speak used letter board\r\n"
    "F5: Speak current assets\r\n"
    "F6: Speak number of free spins\r\n"
    "F7: Speak current puzzle category\r\n"
    "F8: Read current puzzle\r\n"
    "F12: Solve the puzzle";

}  // namespace

frmMain::frmMain(Toolkit& toolkit, Forms& forms, speech::modSound& sound,
                 speech::SpeechPlatform& speechPlatform, modORV& game, frmSplash& splash)
    : frmPuzzle(
          {.name = "frmPuzzle", .kind = ControlKind::Frame, .position = {120, 120, 6615, 3735}},
          "Puzzle"),
      Label1({.name = "Label1",
              .kind = ControlKind::Label,
              .parent = "frmPuzzle",
              .position = {480, 360, 1575, 255}},
             "Current Puzzle"),
      txtPuzzle(Board(), ""),
      Label2({.name = "Label2",
              .kind = ControlKind::Label,
              .parent = "frmPuzzle",
              .position = {480, 1800, 1215, 255}},
             "Puzzle Category"),
      txtCategory(TextBox("txtCategory", {480, 2040, 3855, 285}, 3, "Puzzle Category"), ""),
      Label4({.name = "Label4",
              .kind = ControlKind::Label,
              .parent = "frmPuzzle",
              .position = {480, 2400, 2175, 255}},
             "Used Letter Board"),
      txtUsed(TextBox("txtUsed", {480, 2640, 3855, 285}, 4, "Used Letter Board"), ""),
      cmdSolve({.name = "cmdSolve",
                .kind = ControlKind::Button,
                .parent = "frmPuzzle",
                .position = {480, 3120, 1815, 375},
                .tabIndex = 2},
               "Solve the Puzzle"),
      Label3({.name = "Label3",
              .kind = ControlKind::Label,
              .parent = "frmPuzzle",
              .position = {4560, 360, 1095, 255}},
             "Your Assets"),
      // The money is only ever written by the game, so the player cannot type into it.
      txtMoney(TextBox("txtMoney", {4560, 600, 1575, 285}, 5, "Your Assets"), "$0"),
      frmWheel({.name = "frmWheel",
                .kind = ControlKind::Frame,
                .parent = "frmPuzzle",
                .position = {4440, 1680, 1815, 1335}},
               "Wheel"),
      cmdSpin(SpinButton(), "Spin Wheel"),
      lblWheel({.name = "lblWheel",
                .kind = ControlKind::Label,
                .parent = "frmWheel",
                .position = {240, 960, 1335, 255}},
               ""),
      toolkit_(toolkit),
      forms_(forms),
      sound_(sound),
      speechPlatform_(speechPlatform),
      game_(game),
      splash_(splash),
      layout_(MainWindowLayout()) {}

frmMain::~frmMain() {
  toolkit_.OnKeyPressed({});
}

std::vector<Control*> frmMain::Controls() {
  return {&frmPuzzle, &Label1, &txtPuzzle, &Label2,   &txtCategory, &Label4,  &txtUsed,
          &cmdSolve,  &Label3, &txtMoney,  &frmWheel, &cmdSpin,     &lblWheel};
}

void frmMain::Load() {
  if (loaded_)
    return;
  toolkit_.Load(*this);
  loaded_ = true;
  forms_.Add(*this);
  Form_Load();
}

void frmMain::Show() {
  Load();
  toolkit_.Show(*this);
}

void frmMain::Unload() {
  if (!loaded_)
    return;
  if (unloading_) {
    // Every window is being closed from inside our own closing: our widgets go now.
    toolkit_.Unload(*this);
    loaded_ = false;
    forms_.Remove(*this);
    return;
  }
  unloading_ = true;
  Form_Unload();
}

std::int32_t frmMain::PlayerAssets() const {
  const std::string& money = txtMoney.Text();
  std::int32_t amount = 0;
  if (money.size() > 1 && money.front() == '$') {
    const char* first = money.data() + 1;
    const char* last = money.data() + money.size();
    const auto [end, error] = std::from_chars(first, last, amount);
    if (error != std::errc() || end != last)
      amount = 0;
  }
  return amount;
}

void frmMain::PlayerAssets(std::int32_t Assets) {
  txtMoney.SetText(DollarText(Assets));
}

void frmMain::Say(std::string_view text, int interrupt) {
  SpeechInterface->SayText(text, interrupt, false, false);
}

void frmMain::Refuse(std::string_view sentence) {
  sound_.PlaySound("loseturn.wav", speech::PlayMode::Sync);
  Say(sentence);
}

bool frmMain::IsUsed(char upperLetter) const {
  return game_.UsedLetters.find(static_cast<char>(upperLetter - 'A' + 'a')) != std::string::npos;
}

void frmMain::KeyUp(int keyCode, ShiftState shift) {
  if (game_.CarryingOutAction()) {
    held_.push_back({HeldInput::Kind::Key, keyCode, shift, {}});
    return;
  }
  Form_KeyUp(keyCode, shift);
}

void frmMain::ButtonClicked(std::string_view button) {
  if (game_.CarryingOutAction()) {
    held_.push_back({HeldInput::Kind::Button, 0, {}, std::string(button)});
    return;
  }
  // A button that is disabled or hidden is not pressed.
  Control* control = Find(button);
  if (control == nullptr || !control->Enabled() || !Shown(*control))
    return;
  if (button == "cmdSpin") {
    cmdSpin_Click();
  } else if (button == "cmdSolve") {
    cmdSolve_Click();
  }
}

void frmMain::MenuChosen(std::string_view item) {
  if (game_.CarryingOutAction()) {
    held_.push_back({HeldInput::Kind::Menu, 0, {}, std::string(item)});
    return;
  }
  if (item == "mnuFExit") {
    mnuFExit_Click();
  } else if (item == "mnuCReveal") {
    mnuCReveal_Click();
  } else if (item == "mnuHAbout") {
    mnuHAbout_Click();
  }
}

// Closing is never held back: it ends the program even in the middle of an action.
void frmMain::CloseRequested() {
  Unload();
}

bool frmMain::ReplayHeldInput() {
  if (held_.empty())
    return false;
  HeldInput input = std::move(held_.front());
  held_.pop_front();
  switch (input.kind) {
    case HeldInput::Kind::Key:
      KeyUp(input.keyCode, input.shift);
      break;
    case HeldInput::Kind::Button:
      ButtonClicked(input.name);
      break;
    case HeldInput::Kind::Menu:
      MenuChosen(input.name);
      break;
  }
  return true;
}

void frmMain::Form_Load() {
  // StartUpPosition 2: the window opens centred on the screen.
  layout_.centred = true;
  SpeechInterface = std::make_unique<speech::clsTARQSpeech>(speechPlatform_);
  SpeechInterface->SpeechType(1);
  // A screen reader falls silent when the player presses a key; so does the game's speech.
  toolkit_.OnKeyPressed([this](bool controlAlone) { SpeechInterface->KeyPressed(controlAlone); });
  sound_.SoundEnabled = true;
}

void frmMain::Form_KeyUp(int KeyCode, ShiftState /*Shift: not used*/) {
  switch (KeyCode) {
    case vk::kF1:
      toolkit_.MsgBox(kQuickHelp, "Quick Help", MsgButtons::OK, MsgIcon::Information);
      return;
    case kF4:
      if (txtUsed.Text().empty()) {
        Say("No letters have been used.");
      } else {
        Say("The following letters have been used. " + txtUsed.Text(), 1);
      }
      return;
    case kF5:
      Say("You currently have " + txtMoney.Text());
      return;
    case kF6:
      Say("You have " + std::to_string(game_.FreeSpins) + " free spins.");
      return;
    case kF7:
      Say("The current category is: " + txtCategory.Text());
      return;
    case kF8:
      game_.ReadPuzzle(txtPuzzle.Text());
      return;
    case vk::kF12:
      cmdSolve_Click();
      return;
    case 'A':
    case 'E':
    case 'I':
    case 'O':
    case 'U':
      VowelKey(static_cast<char>(KeyCode));
      return;
    default:
      ConsonantKey(KeyCode);
      return;
  }
}

void frmMain::VowelKey(char V) {
  if (!cmdSpin.Enabled()) {
    sound_.PlaySound("loseturn.wav", speech::PlayMode::Sync);
    Say(IsUsed(V) ? "That letter has already been picked." : "You can't choose a vowel.");
    return;
  }
  if (PlayerAssets() < 250) {
    Refuse("You don't have enough money to buy a vowel.");
    return;
  }
  if (IsUsed(V)) {
    Refuse("That letter has already been chosen.");
    return;
  }
  const std::string question = std::string("Are you sure you want to buy an ") + V + "?";
  if (toolkit_.MsgBox(question, "Buy a Vowel", MsgButtons::YesNo, MsgIcon::Question) ==
      MsgResult::Yes) {
    game_.Post(std::string("VWL ") + V);
  }
}

void frmMain::ConsonantKey(int K) {
  if (cmdSpin.Enabled())
    return;  // no spin pending: a consonant is ignored silently
  if (K < 'A' || K > 'Z')
    return;
  const auto letter = static_cast<char>(K);
  if (IsUsed(letter)) {
    Refuse("That letter has already been picked.");
    return;
  }
  game_.Post(std::string("LTR ") + letter);
}

void frmMain::cmdSpin_Click() {
  game_.SpinWheel();
}

void frmMain::cmdSolve_Click() {
  const std::string attempt = toolkit_.InputBox(
      "Input your solution to the puzzle. Be sure to include all punctuation symbols!",
      "Solve Puzzle");
  if (!attempt.empty()) {
    game_.Post("SLV " + attempt);
  }
}

void frmMain::mnuCReveal_Click() {
  toolkit_.MsgBox("The puzzle solution is:\r\n" + text::Upper(game_.CurrentPuzzle.Solution), "",
                  MsgButtons::OK, MsgIcon::None);
}

void frmMain::mnuFExit_Click() {
  Unload();
  EndProgram(0);
}

void frmMain::mnuHAbout_Click() {
  splash_.AboutBox();
}

void frmMain::Form_Unload() {
  Say("Thanks for playing Orvanta. Exiting program.");
  sound_.PlaySound("exit.wav", speech::PlayMode::Sync);
  forms_.CloseAll();
  EndProgram(0);
}

}  // namespace orvanta::ui
