// Program.h: one run of the game, wired to a platform: the sound module, the rules and the two
// windows, which know one another. Main() plays the run to its end and ends the program by
// throwing ProgramEnded, which the caller catches.
#pragma once

#include <filesystem>

#include "base/RandomSource.h"
#include "game/modORV.h"
#include "script/ScriptEvents.h"
#include "speech/SpeechRoutes.h"
#include "speech/WavePlayer.h"
#include "speech/modSound.h"
#include "ui/AppInfo.h"
#include "ui/Forms.h"
#include "ui/Toolkit.h"
#include "ui/frmMain.h"
#include "ui/frmSplash.h"

namespace orvanta {

struct Platform {
  ui::Toolkit& toolkit;
  speech::WavePlayer& wavePlayer;
  speech::SpeechPlatform& speech;
  RandomSource& random;
  Clock& clock;
  ui::AppInfo app;
  std::filesystem::path puzzleFolder;
};

class Program {
 public:
  explicit Program(Platform platform);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  [[noreturn]] void Main() { game_.Main(); }
  script::ScriptState State();

  ui::frmMain& MainWindow() { return main_; }

 private:
  ui::AppInfo app_;
  ui::Forms forms_;
  speech::modSound sound_;
  modORV game_;
  ui::frmMain main_;
  ui::frmSplash splash_;
};

}  // namespace orvanta
