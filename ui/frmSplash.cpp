#include "ui/frmSplash.h"

#include "ui/frmMain.h"

namespace orvanta::ui {
namespace {

constexpr std::string_view kAuthorsCredit = "Written by the Orvanta developers.";
constexpr std::string_view kSoundsCredit = "Sound effects made for Orvanta by its developers.";

ControlLayout VersionLabel() {
  return {.name = "lblversion",
          .kind = ControlKind::Label,
          .position = {240, 960, 5535, 255},
          .font = Font{"MS Sans Serif", 8.25, true},
          .align = TextAlign::Centre};
}

ControlLayout OkButton() {
  return {.name = "cmdOK",
          .kind = ControlKind::Button,
          .position = {5160, 1560, 615, 375},
          .tabIndex = 0,
          .defaultButton = true};
}

WindowLayout SplashLayout() {
  WindowLayout layout;
  layout.name = "frmSplash";
  // Not shown (the window has no title bar), but it is what a screen reader calls the window:
  // the About box says what it is when it opens (see AboutBox).
  layout.caption = std::string(kProgramTitle);
  layout.clientWidth = 6015;
  layout.clientHeight = 2175;
  layout.titleBar = false;
  layout.centred = true;
  layout.inTaskbar = false;
  layout.defaultFont = Font{"MS Sans Serif", 8.25, false};
  return layout;
}

}  // namespace

frmSplash::frmSplash(Toolkit& toolkit, Forms& forms, speech::modSound& sound, const AppInfo& app,
                     frmMain& mainWindow)
    : Shape1({.name = "Shape1", .kind = ControlKind::Shape, .position = {120, 120, 5775, 1935}},
             ""),
      Image1({.name = "Image1", .kind = ControlKind::Image, .position = {240, 240, 480, 480}}, ""),
      lblName({.name = "lblName",
               .kind = ControlKind::Label,
               .position = {960, 240, 4815, 495},
               .font = Font{"MS Sans Serif", 18, true}},
              std::string(kProgramTitle)),
      lblCap({.name = "lblCap",
              .kind = ControlKind::Label,
              .position = {960, 600, 3855, 255},
              .font = Font{"Tahoma", 8.25, false}},
             "Accessible Guess the Phrase Game for Windows"),
      lblversion(VersionLabel(), ""),
      Label3({.name = "Label3", .kind = ControlKind::Label, .position = {240, 1440, 3615, 255}},
             std::string(kAuthorsCredit)),
      Label1({.name = "Label1", .kind = ControlKind::Label, .position = {240, 1680, 3495, 255}},
             std::string(kSoundsCredit)),
      cmdOK(OkButton(), "OK"),
      toolkit_(toolkit),
      forms_(forms),
      sound_(sound),
      app_(app),
      frmMain_(mainWindow),
      layout_(SplashLayout()) {}

std::vector<Control*> frmSplash::Controls() {
  return {&Shape1, &Image1, &lblName, &lblCap, &lblversion, &Label3, &Label1, &cmdOK};
}

void frmSplash::EnsureLoaded() {
  if (loaded_)
    return;
  // Every load starts from the layout: the splash's hidden OK button comes back for the About box.
  cmdOK.SetVisible(true);
  cmdOK.SetEnabled(true);
  toolkit_.Load(*this);
  loaded_ = true;
  forms_.Add(*this);
  Form_Load();
}

void frmSplash::Unload() {
  if (!loaded_)
    return;
  toolkit_.Unload(*this);
  loaded_ = false;
  forms_.Remove(*this);
}

void frmSplash::Say(std::string_view text, int interrupt) {
  frmMain_.SpeechInterface->SayText(text, interrupt, false, false);
}

void frmSplash::Form_Load() {
  lblName.SetText(std::string(kProgramTitle));
  lblversion.SetText("Version " + std::to_string(app_.major) + "." + std::to_string(app_.minor));
}

void frmSplash::Splash() {
  if (!loaded_)
    layout_.caption = std::string(kProgramTitle);
  EnsureLoaded();
  Say(lblName.Text() + ". " + lblversion.Text(), 1);
  cmdOK.SetVisible(false);
  cmdOK.SetEnabled(false);
  toolkit_.Show(*this);
  toolkit_.Repaint(*this);
  sound_.PlaySound(app_.Jingle(), speech::PlayMode::Sync);
  Unload();
}

void frmSplash::AboutBox() {
  if (!loaded_)
    layout_.caption = "About " + std::string(kProgramTitle);
  EnsureLoaded();
  Say(lblName.Text() + ". " + lblversion.Text(), 1);
  Say(Label3.Text(), 0);
  Say(Label1.Text(), 0);
  cmdOK.SetVisible(true);
  cmdOK.SetEnabled(true);
  toolkit_.Show(*this);
  sound_.PlaySound(app_.Jingle(), speech::PlayMode::Async);
}

void frmSplash::ButtonClicked(std::string_view button) {
  if (button == "cmdOK" && cmdOK.Enabled() && Shown(cmdOK))
    cmdOK_Click();
}

void frmSplash::cmdOK_Click() {
  Unload();
}

void frmSplash::Form_KeyUp(int KeyCode, ShiftState Shift) {
  if (KeyCode == vk::kEscape && !Shift.Any())
    cmdOK_Click();
}

}  // namespace orvanta::ui
