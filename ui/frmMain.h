// frmMain.h: the game's playing window. For a blind player it is above all a keyboard: every
// command is a key, every answer is spoken or shown in a modal box. It holds the player's money
// (PlayerAssets, kept as the text of txtMoney) and the speech object, decides which letter
// commands are allowed now, and posts the allowed ones to the game loop's mailbox.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "speech/SpeechRoutes.h"
#include "speech/clsTARQSpeech.h"
#include "speech/modSound.h"
#include "ui/AppInfo.h"
#include "ui/Forms.h"
#include "ui/Toolkit.h"

namespace orvanta {
class modORV;
}

namespace orvanta::ui {

class frmSplash;

// An amount as the window shows money: "$" followed by plain decimal digits, e.g. "$1400".
inline std::string DollarText(std::int64_t amount) {
  std::string text(1, '$');
  text += std::to_string(amount);
  return text;
}

class frmMain final : public Form {
 public:
  frmMain(Toolkit& toolkit, Forms& forms, speech::modSound& sound,
          speech::SpeechPlatform& speechPlatform, modORV& game, frmSplash& splash);
  ~frmMain() override;
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // Loads the window hidden (running Form_Load), shows it, unloads it (running Form_Unload).
  void Load();
  void Show();
  void Unload() override;

  // The player's money, as the text of txtMoney: "$" followed by the amount.
  std::int32_t PlayerAssets() const;
  void PlayerAssets(std::int32_t Assets);

  // Hands on one piece of input that arrived while the game was busy; false when none is held.
  bool ReplayHeldInput();

  // The speech object through which the whole game speaks.
  std::unique_ptr<speech::clsTARQSpeech> SpeechInterface;

  // The controls, in the order they are created.
  Control frmPuzzle;
  Control Label1;
  Control txtPuzzle;
  Control Label2;
  Control txtCategory;
  Control Label4;
  Control txtUsed;
  Control cmdSolve;
  Control Label3;
  Control txtMoney;
  Control frmWheel;
  Control cmdSpin;
  Control lblWheel;

  // Window
  const WindowLayout& Layout() const override { return layout_; }
  std::vector<Control*> Controls() override;
  void KeyUp(int keyCode, ShiftState shift) override;
  void ButtonClicked(std::string_view button) override;
  void MenuChosen(std::string_view item) override;
  void CloseRequested() override;

  // Handlers.
  void Form_Load();
  void Form_KeyUp(int KeyCode, ShiftState Shift);
  void cmdSpin_Click();
  void cmdSolve_Click();
  void mnuCReveal_Click();
  void mnuFExit_Click();
  void mnuHAbout_Click();
  [[noreturn]] void Form_Unload();

 private:
  struct HeldInput {
    enum class Kind { Key, Button, Menu } kind = Kind::Key;
    int keyCode = 0;
    ShiftState shift;
    std::string name;
  };

  void Say(std::string_view text, int interrupt = 0);
  void Refuse(std::string_view sentence);
  void VowelKey(char V);
  void ConsonantKey(int K);
  bool IsUsed(char upperLetter) const;

  Toolkit& toolkit_;
  Forms& forms_;
  speech::modSound& sound_;
  speech::SpeechPlatform& speechPlatform_;
  modORV& game_;
  frmSplash& splash_;
  WindowLayout layout_;
  bool loaded_ = false;
  bool unloading_ = false;
  std::deque<HeldInput> held_;
};

}  // namespace orvanta::ui
