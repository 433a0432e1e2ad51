// frmSplash.h: one small window that serves twice: the splash screen at start-up (on screen for
// exactly as long as the jingle plays) and the About box of the Help menu (open until the player
// closes it with OK or Escape).
#pragma once

#include <string_view>
#include <vector>

#include "speech/modSound.h"
#include "ui/AppInfo.h"
#include "ui/Forms.h"
#include "ui/Toolkit.h"

namespace orvanta::ui {

class frmMain;

class frmSplash final : public Form {
 public:
  frmSplash(Toolkit& toolkit, Forms& forms, speech::modSound& sound, const AppInfo& app,
            frmMain& mainWindow);

  void Splash();
  void AboutBox();
  void Unload() override;

  Control Shape1;
  Control Image1;
  Control lblName;
  Control lblCap;
  Control lblversion;
  Control Label3;
  Control Label1;
  Control cmdOK;

  // Window
  const WindowLayout& Layout() const override { return layout_; }
  std::vector<Control*> Controls() override;
  void KeyUp(int keyCode, ShiftState shift) override { Form_KeyUp(keyCode, shift); }
  void ButtonClicked(std::string_view button) override;
  void MenuChosen(std::string_view /*item*/) override {}
  void CloseRequested() override { Unload(); }

  // Handlers.
  void Form_Load();
  void cmdOK_Click();
  void Form_KeyUp(int KeyCode, ShiftState Shift);

 private:
  // Loads the window if it is not loaded (reading a caption does so).
  void EnsureLoaded();
  void Say(std::string_view text, int interrupt);

  Toolkit& toolkit_;
  Forms& forms_;
  speech::modSound& sound_;
  const AppInfo& app_;
  frmMain& frmMain_;
  WindowLayout layout_;
  bool loaded_ = false;
};

}  // namespace orvanta::ui
