// modORV.h: the rules of the game and its state.
//
// A run plays one puzzle. Main() prepares the main window, plays the intro, shows the splash and
// the main window, then runs PlayGame(): load a puzzle, deal it onto the board, and carry out the
// player's actions one at a time. The main window decides whether an action is allowed and posts
// it to the mailbox `PlayerAction` ("LTR T", "VWL E", "SLV <attempt>"); only the loop carries it
// out. The spin is the exception: the spin button runs SpinWheel() directly while the loop waits.
// The game ends when the puzzle is solved or its last letter uncovered: the final winnings are
// shown and the program ends (EndProgram, which unwinds to main()).
//
// Why this module, the windows and their controls keep names such as modORV, frmMain and
// txtPuzzle beside modern ones: README.md, "Names".
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/RandomSource.h"
#include "game/modWheeler.h"
#include "puzzles/modPuzzler.h"
#include "speech/modSound.h"
#include "ui/Toolkit.h"

namespace orvanta {

namespace ui {
class frmMain;
class frmSplash;
class Forms;
}  // namespace ui

// What the rules reach the outside world through.
struct GameServices {
  ui::Toolkit& toolkit;
  ui::Forms& forms;
  speech::modSound& sound;
  RandomSource& random;
  Clock& clock;
  std::filesystem::path puzzleFolder;
};

class modORV {
 public:
  modORV(GameServices services, ui::frmMain& mainWindow, ui::frmSplash& splash);

  // The program's start-up and the game loop; neither returns: every end of a game ends the
  // program.
  [[noreturn]] void Main();
  [[noreturn]] void PlayGame();

  void SpinWheel();
  void TryLetter(std::string_view Letter);
  void CheckPuzzleStatus();
  [[noreturn]] void ShowFinalWinnings();
  void UpdateUsedLetterBoard();
  void ReadPuzzle(std::string_view Board);
  void NewPuzzle();

  // The mailbox: the main window posts, the loop alone empties it.
  void Post(std::string action) { PlayerAction = std::move(action); }
  // True from the moment the loop takes up an action until it waits again. The player's input
  // that arrives meanwhile is held by the main window and handed on afterwards, so no key is lost
  // and each is judged against the game as the previous action left it.
  bool CarryingOutAction() const { return carryingOut_; }

  // The game's state, named as it has always been.
  PuzzleData CurrentPuzzle;
  WheelSlot SpinResult;
  std::string UsedLetters;  // every letter tried, in order, lower case
  std::int16_t FreeSpins = 0;
  bool PuzzleSolved = false;
  std::string PlayerAction;
  std::string GuessResult;

 private:
  void Say(std::string_view text);
  void Play(std::string_view fileName);
  // Pays N x the amount spun for a consonant found on the board.
  void CreditConsonant(std::string_view letter);
  void SpeakMoneyAndReadBoard();

  GameServices services_;
  ui::frmMain& frmMain_;
  ui::frmSplash& frmSplash_;
  bool carryingOut_ = true;
};

}  // namespace orvanta
