#include "game/modORV.h"

#include <limits>
#include <variant>
#include <vector>

#include "base/ProgramEnd.h"
#include "base/Text.h"
#include "game/modBubbleSort.h"
#include "puzzles/modStringFunc.h"
#include "ui/frmMain.h"
#include "ui/frmSplash.h"

namespace orvanta {
namespace {

constexpr std::string_view kVowels = "AEIOU";

// Money never wraps: a win beyond the largest amount stops there.
std::int32_t AddMoney(std::int64_t a, std::int64_t b) {
  const std::int64_t sum = a + b;
  if (sum > std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  if (sum < std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(sum);
}

}  // namespace

modORV::modORV(GameServices services, ui::frmMain& mainWindow, ui::frmSplash& splash)
    : services_(std::move(services)), frmMain_(mainWindow), frmSplash_(splash) {}

void modORV::Say(std::string_view text) {
  frmMain_.SpeechInterface->SayText(text, 0, false, false);
}

void modORV::Play(std::string_view fileName) {
  services_.sound.PlaySound(fileName, speech::PlayMode::Sync);
}

void modORV::Main() {
  frmMain_.Load();  // creates the speech object and switches sound on
  services_.sound.SoundEnabled = true;
  Play("intro.wav");
  frmSplash_.Splash();
  frmMain_.frmPuzzle.SetVisible(false);
  frmMain_.Show();
  PlayGame();
}

void modORV::PlayGame() {
  carryingOut_ = true;
  auto loaded = LoadPuzzle(services_.puzzleFolder, services_.random, services_.clock);
  if (const auto* error = std::get_if<PuzzleError>(&loaded)) {
    // Nothing can be played without a puzzle: tell the player what is wrong, then end.
    const std::string message = error->Message();
    services_.toolkit.MsgBox(message, ui::kProgramTitle, ui::MsgButtons::OK, ui::MsgIcon::Critical);
    EndProgram(1, message);
  }
  CurrentPuzzle = std::get<PuzzleData>(std::move(loaded));
  NewPuzzle();
  PuzzleSolved = false;

  while (!PuzzleSolved) {
    services_.toolkit.DoEvents();
    frmMain_.cmdSpin.SetEnabled(true);
    carryingOut_ = false;

    // Wait for the player's next action; the spin button's click runs SpinWheel meanwhile.
    while (PlayerAction.empty()) {
      if (!frmMain_.ReplayHeldInput()) {
        services_.toolkit.WaitForEvent();
      }
    }
    carryingOut_ = true;

    const std::string verb = text::Upper(GetWord(PlayerAction, 1, ""));
    if (verb == "LTR") {
      const std::string letter = GetWord(PlayerAction, 2, "");
      TryLetter(letter);
      if (GuessResult == "YES") {
        CreditConsonant(letter);
        SpeakMoneyAndReadBoard();
      }
    } else if (verb == "VWL") {
      frmMain_.PlayerAssets(AddMoney(frmMain_.PlayerAssets(), -250));
      TryLetter(GetWord(PlayerAction, 2, ""));
      if (GuessResult == "YES") {
        SpeakMoneyAndReadBoard();
      }
    } else if (verb == "SLV") {
      const std::string attempt = text::Upper(GetFromWord(PlayerAction, 2, ""));
      const std::string solution = text::Upper(CurrentPuzzle.Solution);
      if (attempt == solution) {
        Play("exit.wav");
        services_.toolkit.MsgBox("That is correct!", "Correct!", ui::MsgButtons::OK,
                                 ui::MsgIcon::Information);
        PuzzleSolved = true;
      } else {
        Play("loseturn.wav");
        services_.toolkit.MsgBox("Sorry, that is not correct.", "Incorrect", ui::MsgButtons::OK,
                                 ui::MsgIcon::Information);
      }
    }
    UpdateUsedLetterBoard();
    PlayerAction.clear();
    GuessResult.clear();
  }
  ShowFinalWinnings();
}

void modORV::CreditConsonant(std::string_view letter) {
  const int found = CountLetter(frmMain_.txtPuzzle.Text(), text::Upper(letter));
  frmMain_.PlayerAssets(
      AddMoney(static_cast<std::int64_t>(found) * SpinResult.Amount, frmMain_.PlayerAssets()));
}

void modORV::SpeakMoneyAndReadBoard() {
  Say("You currently have " + frmMain_.txtMoney.Text());
  ReadPuzzle(frmMain_.txtPuzzle.Text());
}

void modORV::SpinWheel() {
  frmMain_.cmdSpin.SetEnabled(false);
  Say("Spinning the wheel.");
  Play("spin.wav");
  int wheel = 0;
  SpinResult = GetWheelSlot(wheel, services_.random, services_.clock);
  if (SpinResult.Bankrupt) {
    Play("bankrupt.wav");
    Say("Sorry, you have gone bankrupt!");
    frmMain_.PlayerAssets(0);
    frmMain_.txtMoney.SetText("$0");
    frmMain_.lblWheel.SetText("BANKRUPT");
    frmMain_.cmdSpin.SetEnabled(true);
  } else if (SpinResult.LoseTurn) {
    Play("loseturn.wav");
    Say("Sorry, you lose a turn!");
    frmMain_.lblWheel.SetText("LOSE A TURN");
    frmMain_.cmdSpin.SetEnabled(true);
  } else {
    if (SpinResult.Amount > 999) {
      Play("applause.wav");
    }
    Say(std::to_string(SpinResult.Amount) + " dollars.");
    frmMain_.lblWheel.SetText(ui::DollarText(SpinResult.Amount));
    // The button stays disabled: a consonant is awaited.
  }
}

void modORV::TryLetter(std::string_view Letter) {
  const std::u32string letterChars = text::Decode(Letter);
  const std::string X = letterChars.empty() ? std::string() : text::Encode(letterChars.front());
  frmMain_.txtPuzzle.SetText(RevealLetter(frmMain_.txtPuzzle.Text(), CurrentPuzzle.Solution, X));
  UsedLetters += text::Lower(Letter);
  const int N = CountLetter(frmMain_.txtPuzzle.Text(), X);
  if (N == 0) {
    Say("There are no " + X + "'s.");
    Play("wrong.wav");
    GuessResult = "NO";
    return;
  }
  Say("There are " + std::to_string(N) + " " + X + "'s.");
  for (int i = 0; i < N; ++i) {
    Play("reveal.wav");
  }
  Play("applause.wav");
  GuessResult = "YES";
  if (SpinResult.FreeSpinToken) {
    if (FreeSpins < std::numeric_limits<std::int16_t>::max())
      ++FreeSpins;
    Say("You get a Free Spin Token!");
  }
  // A consonant that uncovers the last letter is paid before the game ends, so the final
  // winnings include it.
  if (CountLetter(frmMain_.txtPuzzle.Text(), "_") == 0 &&
      text::Upper(GetWord(PlayerAction, 1, "")) == "LTR") {
    CreditConsonant(X);
  }
  CheckPuzzleStatus();
}

void modORV::CheckPuzzleStatus() {
  const std::string& board = frmMain_.txtPuzzle.Text();
  const int B = CountLetter(board, "_");
  if (B == 0) {
    services_.toolkit.MsgBox(
        "All letters in this puzzle have been revealed! The solution to the puzzle is: " +
            text::Lower(board),
        "Puzzle Solved", ui::MsgButtons::OK, ui::MsgIcon::Information);
    ShowFinalWinnings();
  }
  int V = 0;
  for (char vowel : kVowels) {
    const std::string_view v(&vowel, 1);
    V += CountLetter(CurrentPuzzle.Solution, v) - CountLetter(board, v);
  }
  if (V == B && frmMain_.frmWheel.Visible()) {
    services_.toolkit.MsgBox("Only vowels remain in the puzzle!", "Vowels", ui::MsgButtons::OK,
                             ui::MsgIcon::Information);
    frmMain_.frmWheel.SetVisible(false);
  }
}

void modORV::ShowFinalWinnings() {
  frmMain_.frmPuzzle.SetVisible(false);
  services_.toolkit.MsgBox("Your final winnings are: " + frmMain_.txtMoney.Text(), "Final Winnings",
                           ui::MsgButtons::OK, ui::MsgIcon::Information);
  services_.forms.CloseAll();
  EndProgram(0);
}

void modORV::UpdateUsedLetterBoard() {
  if (UsedLetters.empty()) {
    frmMain_.txtUsed.SetText("");
    return;
  }
  std::vector<std::string> letters;
  for (char32_t c : text::Decode(UsedLetters)) {
    letters.push_back(text::Encode(text::ToUpper(c)));
  }
  std::string board;
  if (auto sorted = BubbleSort(std::move(letters))) {
    for (const std::string& letter : *sorted) {
      board += " " + letter;
    }
  }
  // Trimmed: no space before the first letter or after the last.
  const auto first = board.find_first_not_of(' ');
  const auto last = board.find_last_not_of(' ');
  frmMain_.txtUsed.SetText(first == std::string::npos ? std::string()
                                                      : board.substr(first, last - first + 1));
}

void modORV::ReadPuzzle(std::string_view Board) {
  Say("The current puzzle is. ");
  for (char32_t c : text::Decode(Board)) {
    switch (text::ToLower(c)) {
      case U'_':
        Say("Blank.");
        break;
      case U'-':
        Say("Hyphen.");
        break;
      case U'&':
        Say("Ampersand.");
        break;
      case U' ':
        Say("Space.");
        break;
      case U'\'':
        Say("Apostrophe.");
        break;
      case U',':
        Say("Comma.");
        break;
      case U'a':
        Say("ay.");
        break;
      default:
        Say(text::Encode(text::ToUpper(c)) + ".");
        break;
    }
  }
}

void modORV::NewPuzzle() {
  frmMain_.frmPuzzle.SetVisible(false);
  services_.toolkit.Repaint(frmMain_);
  frmMain_.txtPuzzle.SetText(MaskPuzzle(CurrentPuzzle.Solution));
  frmMain_.txtCategory.SetText(CurrentPuzzle.Category);
  Play("newpuzzle.wav");
  Say("The category is, " + frmMain_.txtCategory.Text());
  ReadPuzzle(frmMain_.txtPuzzle.Text());
  frmMain_.frmPuzzle.SetVisible(true);
}

}  // namespace orvanta
