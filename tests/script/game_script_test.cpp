// Whole games played through `orvanta --script`: each test writes a puzzle folder and a script,
// runs the real program with the script on its standard input, and checks the events it writes
// (what the player hears, sees and is asked) in the order the player meets them.
//
// A script marks the moments it wants to look at with `dump`: the events between two `state`
// events are exactly what one command (or a command and the answers to its boxes) caused.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/fixtures/SystemCommand.h"
#include "tests/fixtures/puzzles/TempPuzzleFolder.h"

namespace orvanta {
namespace {

using Events = std::vector<std::string>;

// ---------------------------------------------------------------------------------------------
// Events as the game writes them: one compact JSON object per line.

// Stands for any JSON string in an expected event (texts whose wording is the game's own choice).
constexpr std::string_view kAny = "\x01";

std::string Json(std::string_view text) {
  if (text == kAny)
    return std::string(kAny);
  std::string out = "\"";
  for (char c : text) {
    const std::size_t escaped = std::string_view("\"\\\r\n").find(c);
    out += escaped == std::string_view::npos ? std::string(1, c)
                                             : std::string("\\") + "\"\\rn"[escaped];
  }
  return out + "\"";
}

std::string Say(std::string_view text, int interrupt = 0) {
  return R"({"event":"say","text":)" + Json(text) + R"(,"interrupt":)" + std::to_string(interrupt) +
         "}";
}

std::string Sound(std::string_view file, bool async = false) {
  return R"({"event":"sound","file":)" + Json(file) + R"(,"async":)" + (async ? "true" : "false") +
         "}";
}

// The jingle of the splash screen and the About box, played by full path from the game's folder.
std::string Jingle(bool async) {
  const std::filesystem::path folder =
      std::filesystem::weakly_canonical(std::filesystem::path(ORVANTA_BINARY)).parent_path();
  return Sound((folder / "ZONTARY.WAV").string(), async);
}

std::string Box(std::string_view title, std::string_view text, std::string_view buttons = "OK",
                std::string_view icon = "information") {
  return R"({"event":"msgbox","title":)" + Json(title) + R"(,"text":)" + Json(text) +
         R"(,"buttons":)" + Json(buttons) + R"(,"icon":)" + Json(icon) + "}";
}

std::string VowelQuestion(char vowel) {
  return Box("Buy a Vowel", std::string("Are you sure you want to buy an ") + vowel + "?", "YesNo",
             "question");
}

std::string SolveBox() {
  return R"({"event":"inputbox","title":"Solve Puzzle","prompt":)" +
         Json("Input your solution to the puzzle. Be sure to include all punctuation symbols!") +
         "}";
}

// The help box: its wording is the game's own.
std::string QuickHelp() {
  return Box("Quick Help", kAny);
}

std::string Solved(std::string_view solution) {
  return Box("Puzzle Solved",
             "All letters in this puzzle have been revealed! The solution to the puzzle is: " +
                 std::string(solution));
}

std::string Winnings(std::string_view money) {
  return Box("Final Winnings", "Your final winnings are: " + std::string(money));
}

std::string OnlyVowels() {
  return Box("Vowels", "Only vowels remain in the puzzle!");
}

std::string WindowEvent(std::string_view name, std::string_view action) {
  return R"({"event":"window","name":)" + Json(name) + R"(,"action":)" + Json(action) + "}";
}

std::string Exit(int code) {
  return R"({"event":"exit","code":)" + std::to_string(code) + "}";
}

// The goodbye of the main window, whatever closes it, up to the end of the program.
Events Farewell() {
  return {Say("Thanks for playing Orvanta. Exiting program."), Sound("exit.wav"),
          WindowEvent("frmMain", "unload"), Exit(0)};
}

// A board read aloud, one utterance per symbol.
Events Reading(std::string_view board) {
  const std::map<char, std::string> names = {{'_', "Blank"},       {' ', "Space"}, {'A', "ay"},
                                             {'\'', "Apostrophe"}, {',', "Comma"}, {'-', "Hyphen"},
                                             {'&', "Ampersand"}};
  Events said = {Say("The current puzzle is. ")};
  for (char c : board) {
    said.push_back(Say((names.contains(c) ? names.at(c) : std::string(1, c)) + "."));
  }
  return said;
}

// The wheel spun to an amount.
Events Spin(std::string_view amount) {
  return {Say("Spinning the wheel."), Sound("spin.wav"), Say(std::string(amount) + " dollars.")};
}

// A letter found `times` times, then the money it leaves the player with.
Events Found(int times, char letter, std::string_view money) {
  Events said = {Say("There are " + std::to_string(times) + " " + letter + "'s.")};
  said.insert(said.end(), times, Sound("reveal.wav"));
  said.push_back(Sound("applause.wav"));
  if (!money.empty())
    said.push_back(Say("You currently have " + std::string(money)));
  return said;
}

Events Join(std::initializer_list<Events> parts) {
  Events all;
  for (const Events& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

// An event as expected, where kAny stands for any string that is not empty.
bool EventMatches(std::string_view actual, std::string_view expected) {
  const std::size_t any = expected.find(kAny);
  if (any == std::string_view::npos)
    return actual == expected;
  const std::string_view after = expected.substr(any + 1);
  return actual.size() > expected.size() + 1 && actual.starts_with(expected.substr(0, any)) &&
         actual.ends_with(after) && actual[any] == '"' &&
         actual[actual.size() - after.size() - 1] == '"';
}

std::string Listing(const Events& events) {
  std::string text;
  for (const std::string& event : events) {
    text += "    " + event + "\n";
  }
  return text;
}

// The events are exactly the expected ones, in order.
::testing::AssertionResult SameEvents(const Events& actual, const Events& expected) {
  if (std::equal(actual.begin(), actual.end(), expected.begin(), expected.end(), EventMatches))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\n  expected exactly:\n"
                                       << Listing(expected) << "  but the game wrote:\n"
                                       << Listing(actual);
}

// The expected events appear in this order, one right after the other.
::testing::AssertionResult Contains(const Events& actual, const Events& wanted) {
  if (std::search(actual.begin(), actual.end(), wanted.begin(), wanted.end(), EventMatches) !=
      actual.end())
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\n  expected this run:\n"
                                       << Listing(wanted) << "  in:\n"
                                       << Listing(actual);
}

// ---------------------------------------------------------------------------------------------
// One run of the program.

struct Game {
  Events events;
  int status = -1;

  static bool IsState(const std::string& event) { return event.starts_with(R"({"event":"state")"); }

  // The events after the n-th `state` event (0: from the start; -1: the last) up to the next one.
  Events Segment(int n) const {
    if (n < 0)
      n = static_cast<int>(std::count_if(events.begin(), events.end(), IsState));
    Events part;
    int seen = 0;
    for (const std::string& event : events) {
      if (IsState(event) && ++seen > n)
        break;
      if (!IsState(event) && seen == n)
        part.push_back(event);
    }
    return part;
  }

  // The n-th `state` event (from 1) shows these values (among others).
  ::testing::AssertionResult StateIs(int n, const std::map<std::string, std::string>& want) const {
    const auto state = std::find_if(events.begin(), events.end(), [&n](const std::string& event) {
      return IsState(event) && --n == 0;
    });
    if (state == events.end())
      return ::testing::AssertionFailure() << "no such state event in:\n" << Listing(events);
    for (const auto& [key, value] : want) {
      const bool bare =
          value == "true" || value == "false" ||
          (!value.empty() && value.find_first_not_of("0123456789") == std::string::npos);
      const std::string field = "\"" + key + "\":" + (bare ? value : Json(value));
      if (state->find(field + ",") == std::string::npos &&
          state->find(field + "}") == std::string::npos)
        return ::testing::AssertionFailure() << "wanted " << field << " in " << *state;
    }
    return ::testing::AssertionSuccess();
  }
};

// A script that writes a `state` at the start and after each step (one or more commands, one a
// line), so that Segment(n) is what step n caused and State(n + 1) what it left.
std::string Steps(std::initializer_list<std::string_view> steps) {
  std::string script = "dump\n";
  for (std::string_view step : steps) {
    script += std::string(step) + "\ndump\n";
  }
  return script;
}

class ScriptGame : public ::testing::Test {
 protected:
  // A folder with one puzzle file holding one puzzle.
  void OnePuzzle(std::string_view category, std::string_view phrase) {
    folder_.Write("game.orp", testing::PuzzleFileText(category, "1", {phrase}));
  }

  // Plays the one puzzle of the folder, the spins landing on `slots` (1..24) in turn.
  Game Play(const std::vector<int>& slots, std::string_view script) {
    std::string rand = "0,0";
    for (int slot : slots) {
      // The middle of its 24th of the wheel. Appended in two steps: `"," + std::to_string(...)`
      // draws a false overlap warning (-Wrestrict) from GCC 12 at -O3.
      rand.append(",").append(std::to_string((slot - 0.5) / 24.0));
    }
    return Run(rand, script, folder_.Path());
  }

  // Runs the program on `script` with the random values `rand` and the puzzle folder `puzzles`.
  Game Run(const std::string& rand, std::string_view script, const std::filesystem::path& puzzles) {
    // Files of their own for each run: under Wine the desktop process that a windowed program
    // starts inherits its output files and may hold them open for a moment after it ends.
    const std::string run = std::to_string(++runs_);
    const std::filesystem::path scriptFile = folder_.Path().parent_path() / ("script" + run);
    const std::filesystem::path outFile = folder_.Path().parent_path() / ("events" + run);
    std::ofstream(scriptFile, std::ios::binary) << script;
    using testing::Quoted;
    Game game{{},
              testing::RunCommand(Quoted(ORVANTA_BINARY) + " --script --puzzles " +
                                  Quoted(puzzles) + " --rand " + rand + " <" + Quoted(scriptFile) +
                                  " >" + Quoted(outFile) + " 2>" + testing::kNullDevice)};
    std::ifstream in(outFile, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      game.events.push_back(line);
    }
    return game;
  }

  testing::TempPuzzleFolder folder_;
  int runs_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Start-up and the deal.

using StartUp = ScriptGame;

TEST_F(StartUp, IntroAndSplashComeBeforeThePuzzleIsDealtAndRead) {
  OnePuzzle("Famous Phrases", "To Be");
  const Game game = Play({}, "dump\n");

  EXPECT_TRUE(SameEvents(
      game.Segment(0),
      Join({{WindowEvent("frmMain", "load"), Sound("intro.wav"), WindowEvent("frmSplash", "load"),
             Say("Orvanta. Version 0.4", 1), WindowEvent("frmSplash", "show"), Jingle(false),
             WindowEvent("frmSplash", "unload"), WindowEvent("frmMain", "show"),
             Sound("newpuzzle.wav"), Say("The category is, Famous Phrases")},
            Reading("__ __")})));
  // (The rest of the first state is met where it is used: the money, letters and tokens by
  // InformationKeys, the empty wheel by Refusals, the category by the accented game.)
  EXPECT_TRUE(game.StateIs(1, {{"txtPuzzle", "__ __"}, {"frmPuzzleVisible", "true"}}));
}

// A puzzle file as an old Windows editor writes it: Windows-1252 bytes, accented letters that are
// never hidden (shown in lower case on the first board, as a capital or not), and a comma kept
// inside double quotes.
TEST_F(StartUp, AccentedLetterAndCommaFromAWindowsFileAreReadAloud) {
  folder_.Write("cafe.orp",
                "ZONTARY_WHEEL/PDATA/1.x\r\nC Caf\xE9s\r\nTP 1\r\n\"Caf\xE9, OL\xC9\"\r\n");
  const Game game =
      Play({3},
           "dump\n"
           "click cmdSpin\nkey C\ndump\n"
           "click cmdSolve\nanswer OK caf\xC3\xA9, OL\xC3\xA9\nanswer OK\nanswer OK\n");

  EXPECT_TRUE(Contains(
      game.Segment(0),
      {Sound("newpuzzle.wav"), Say("The category is, Caf\xC3\xA9s"), Say("The current puzzle is. "),
       Say("Blank."), Say("Blank."), Say("Blank."), Say("\xC3\x89."), Say("Comma."), Say("Space."),
       Say("Blank."), Say("Blank."), Say("\xC3\x89.")}));
  EXPECT_TRUE(
      game.StateIs(1, {{"txtPuzzle", "___\xC3\xA9, __\xC3\xA9"}, {"txtCategory", "Caf\xC3\xA9s"}}));
  // After the first reveal the whole board is in capitals, the accented letters included.
  EXPECT_TRUE(game.StateIs(2, {{"txtPuzzle", "C__\xC3\x89, __\xC3\x89"}}));
  EXPECT_TRUE(Contains(game.Segment(2),
                       {SolveBox(), Sound("exit.wav"), Box("Correct!", "That is correct!")}));
  EXPECT_EQ(game.status, 0);
}

// ---------------------------------------------------------------------------------------------
// The wheel.

// After a consonant has earned $500, a `rand` command decides the next spin and the wheel lands
// on `slot`; then a spin or a consonant is tried at once, and neither does anything. An amount (the
// top one applauded first) awaits a consonant; Bankrupt empties the money, Lose a Turn keeps it,
// and both hand the wheel back.
struct SpinCase {
  int slot;
  std::string lblWheel, money;
  bool awaitsConsonant;
  std::string sound, sentence;  // the slot's own sound (if any), then what is said
};

using Wheel = ScriptGame;

TEST_F(Wheel, SpinSpeaksAndShowsTheSlot) {
  OnePuzzle("Test", "TO BE");
  const SpinCase cases[] = {
      {21, "$900", "$500", true, "", "900 dollars."},
      {22, "$2500", "$500", true, "applause.wav", "2500 dollars."},
      {24, "BANKRUPT", "$0", false, "bankrupt.wav", "Sorry, you have gone bankrupt!"},
      {23, "LOSE A TURN", "$500", false, "loseturn.wav", "Sorry, you lose a turn!"}};
  for (const SpinCase& spin : cases) {
    SCOPED_TRACE(spin.lblWheel);
    const Game game =
        Play({11}, "click cmdSpin\nkey T\ndump\nrand " + std::to_string((spin.slot - 0.5) / 24.0) +
                       "\nclick cmdSpin\ndump\n" +
                       (spin.awaitsConsonant ? "click cmdSpin\n" : "key B\n") + "dump\n");

    EXPECT_TRUE(
        SameEvents(game.Segment(1), Join({{Say("Spinning the wheel."), Sound("spin.wav")},
                                          spin.sound.empty() ? Events{} : Events{Sound(spin.sound)},
                                          {Say(spin.sentence)}})));
    EXPECT_TRUE(game.StateIs(2, {{"lblWheel", spin.lblWheel},
                                 {"txtMoney", spin.money},
                                 {"cmdSpinEnabled", spin.awaitsConsonant ? "false" : "true"}}));
    // Awaiting a consonant the spin button is disabled; with no amount spun a consonant is ignored.
    EXPECT_TRUE(SameEvents(game.Segment(2), {}));
    EXPECT_TRUE(game.StateIs(3, {{"UsedLetters", "t"}, {"lblWheel", spin.lblWheel}}));
  }
}

// Slots 7 and 19 look and sound like their neighbours; every letter found before the next spin
// earns a token, and nothing ever spends one.
TEST_F(Wheel, FreeSpinSlotsAwardATokenForEveryLetterFoundOnThem) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({19, 19, 24},
                         "click cmdSpin\ndump\n"
                         "key T\ndump\n"
                         "key O\nanswer Yes\nkey F6\ndump\n"
                         "click cmdSpin\nkey Z\nkey F6\ndump\n"
                         "key E\nanswer Yes\nkey F6\ndump\n"
                         "click cmdSpin\nkey F6\ndump\n");

  EXPECT_TRUE(Contains(game.Segment(0), Spin("700")));
  EXPECT_TRUE(game.StateIs(1, {{"lblWheel", "$700"}}));
  const Events token = {Say("You get a Free Spin Token!")};
  EXPECT_TRUE(SameEvents(
      game.Segment(1),
      Join({Found(1, 'T', ""), token, {Say("You currently have $700")}, Reading("T_ __")})));
  // The vowel bought after the same spin earns a second token.
  EXPECT_TRUE(Contains(game.Segment(2),
                       Join({Found(1, 'O', ""), token, {Say("You currently have $450")}})));
  EXPECT_EQ(game.Segment(2).back(), Say("You have 2 free spins."));
  // A consonant that is not found earns nothing, even on a free spin slot...
  EXPECT_TRUE(Contains(game.Segment(3), {Say("There are no Z's."), Sound("wrong.wav"),
                                         Say("You have 2 free spins.")}));
  // ...but the vowel found after it does.
  EXPECT_TRUE(Contains(game.Segment(4), token));
  EXPECT_EQ(game.Segment(4).back(), Say("You have 3 free spins."));
  // Bankrupt takes the money, not the tokens.
  EXPECT_TRUE(Contains(game.Segment(5),
                       {Say("Sorry, you have gone bankrupt!"), Say("You have 3 free spins.")}));
  EXPECT_TRUE(game.StateIs(5, {{"FreeSpins", "3"}}));
}

// ---------------------------------------------------------------------------------------------
// Calling a consonant and buying a vowel.

using Letters = ScriptGame;

// A letter key calls its letter whatever the modifiers; one occurrence has no singular form.
TEST_F(Letters, ConsonantPaysTheSpinForEachTimeItIsFoundAndNothingWhenMissing) {
  OnePuzzle("Test", "TO THE TOP");
  const Game game = Play({11, 4, 11},
                         "click cmdSpin\nkey Shift+P\ndump\n"
                         "click cmdSpin\ndump\nkey Ctrl+T\ndump\n"
                         "click cmdSpin\ndump\nkey Z\ndump\n");

  // (The money said is the money shown; after each call the next spin is heard.)
  EXPECT_TRUE(Contains(game.Segment(0), Found(1, 'P', "$500")));
  EXPECT_TRUE(SameEvents(game.Segment(2), Join({Found(3, 'T', "$1400"), Reading("T_ T__ T_P")})));
  EXPECT_TRUE(game.StateIs(3, {{"txtUsed", "P T"}, {"UsedLetters", "pt"}}));
  EXPECT_TRUE(SameEvents(game.Segment(4), {Say("There are no Z's."), Sound("wrong.wav")}));
  EXPECT_TRUE(
      game.StateIs(5, {{"txtMoney", "$1400"}, {"txtPuzzle", "T_ T__ T_P"}, {"txtUsed", "P T Z"}}));
}

// Money is not held in sixteen bits: big wins keep adding up and never turn negative.
TEST_F(Letters, MoneyBeyondThirtyTwoThousandKeepsCounting) {
  OnePuzzle("Test", "SASSY SASSY SASSY SASSY");
  const Game game =
      Play({22, 22}, "click cmdSpin\nkey S\ndump\nclick cmdSpin\nkey Y\nanswer OK\ndump\n");

  EXPECT_TRUE(Contains(game.Segment(1), {Say("You currently have $40000")}));  // as shown
}

// ---------------------------------------------------------------------------------------------
// Keys the game refuses or ignores, in one game.

using Refusals = ScriptGame;

TEST_F(Refusals, EachKeyOutOfTurnIsIgnoredOrRefusedWithItsReason) {
  OnePuzzle("Test", "TO BED NOW");
  // A refused key: the refusal sound, then the reason.
  const auto refusal = [](std::string_view why) { return Events{Sound("loseturn.wav"), Say(why)}; };
  const char* noCommand =
      "key 7\nkey Escape\nkey Enter\nkey Space\nkey Tab\nkey F2\nkey F3\nkey F9\nkey F10\nkey F11";
  const Game game =
      Play({11, 4, 3},
           Steps({"key T", "key Shift+B", noCommand, "key A", "click cmdSpin", "key E", noCommand,
                  "key T\nclick cmdSpin", "key T", "key B", "key O\nanswer Yes", "key O",
                  "click cmdSpin", "key O", "key D\nkey A\nanswer Yes\nkey E\nanswer Yes", "key A",
                  "key I\nanswer Yes", "key A"}));

  // Before a spin a consonant and keys that are no command are ignored in silence; Space and
  // Enter are keys here, not the spin button.
  for (int step : {1, 2, 3}) {
    EXPECT_TRUE(SameEvents(game.Segment(step), {})) << "step " << step;
  }
  EXPECT_TRUE(
      game.StateIs(4, {{"UsedLetters", ""}, {"txtPuzzle", "__ ___ ___"}, {"lblWheel", ""}}));
  EXPECT_TRUE(SameEvents(game.Segment(4), refusal("You don't have enough money to buy a vowel.")));
  EXPECT_TRUE(SameEvents(game.Segment(6), refusal("You can't choose a vowel.")));
  EXPECT_TRUE(game.StateIs(7, {{"UsedLetters", ""}}));
  EXPECT_TRUE(SameEvents(game.Segment(7), {}));
  EXPECT_TRUE(game.StateIs(8, {{"cmdSpinEnabled", "false"}}));
  // A consonant called again is refused, and the spin still counts.
  EXPECT_TRUE(SameEvents(game.Segment(9), refusal("That letter has already been picked.")));
  EXPECT_TRUE(game.StateIs(10, {{"cmdSpinEnabled", "false"}}));
  EXPECT_TRUE(Contains(game.Segment(10), {Say("There are 1 B's.")}));
  EXPECT_TRUE(game.StateIs(11, {{"txtMoney", "$800"}}));
  // A vowel bought already is refused before and after a spin.
  EXPECT_TRUE(game.StateIs(12, {{"txtMoney", "$550"}}));
  EXPECT_TRUE(SameEvents(game.Segment(12), refusal("That letter has already been chosen.")));
  EXPECT_TRUE(SameEvents(game.Segment(14), refusal("That letter has already been picked.")));
  // The money is looked at before the used letters: $250 is just enough...
  EXPECT_TRUE(game.StateIs(16, {{"txtMoney", "$250"}}));
  EXPECT_TRUE(SameEvents(game.Segment(16), refusal("That letter has already been chosen.")));
  // ...and with less a used vowel is refused for the money.
  EXPECT_TRUE(game.StateIs(18, {{"txtMoney", "$0"}}));
  EXPECT_TRUE(SameEvents(game.Segment(18), refusal("You don't have enough money to buy a vowel.")));
}

// ---------------------------------------------------------------------------------------------
// Information keys.

using InformationKeys = ScriptGame;

TEST_F(InformationKeys, SpeakTheHelpUsedLettersMoneyTokensCategoryAndBoard) {
  OnePuzzle("Song Titles", "\"Tom's Cat & Rat-Trap, 7?\"");
  const Game game = Play({7}, Steps({"key F1\nanswer OK", "key F4", "key F5", "key F6",
                                     "click cmdSpin\nkey T\nkey A\nanswer Yes", "key F4", "key F5",
                                     "key F6", "key F8", "key F7"}));

  EXPECT_TRUE(SameEvents(game.Segment(1), {QuickHelp()}));
  // The used letters cut in only when there are some.
  EXPECT_TRUE(SameEvents(game.Segment(2), {Say("No letters have been used.", 0)}));
  EXPECT_TRUE(SameEvents(game.Segment(3), {Say("You currently have $0")}));
  EXPECT_TRUE(SameEvents(game.Segment(4), {Say("You have 0 free spins.")}));
  EXPECT_TRUE(game.StateIs(6, {{"txtPuzzle", "T__'_ _AT & _AT-T_A_, 7?"}}));
  EXPECT_TRUE(SameEvents(game.Segment(6), {Say("The following letters have been used. A T", 1)}));
  EXPECT_TRUE(SameEvents(game.Segment(7), {Say("You currently have $950")}));
  EXPECT_TRUE(SameEvents(game.Segment(8), {Say("You have 2 free spins.")}));
  EXPECT_TRUE(SameEvents(game.Segment(9), Reading("T__'_ _AT & _AT-T_A_, 7?")));
  EXPECT_TRUE(SameEvents(game.Segment(10), {Say("The current category is: Song Titles")}));
}

// ---------------------------------------------------------------------------------------------
// Solving.

using Solving = ScriptGame;

// Punctuation and blanks must be typed as in the puzzle, letters in either case; blanks before
// the attempt are ignored, and a wrong attempt after a spin gives the spin up.
TEST_F(Solving, OnlyTheExactPhraseSolvesAndEndsTheGameWithTheWinnings) {
  OnePuzzle("Test", "DON'T STOP");
  const std::vector<std::string> wrong = {"DONT STOP", "DON'T STOP.", "DON'T  STOP", "DON'T STOP ",
                                          "    "};
  std::string script = "dump\n";
  for (const std::string& attempt : wrong) {
    script += "click cmdSolve\nanswer OK " + attempt + "\nanswer OK\ndump\n";
  }
  const Game game = Play({11}, script +
                                   "click cmdSolve\nanswer Cancel\ndump\n"  // 6
                                   "key F12\nanswer OK\ndump\n"             // 7
                                   "click cmdSpin\ndump\n"
                                   "click cmdSolve\nanswer OK DON'T STOPS\nanswer OK\ndump\n"
                                   "key T\ndump\n"  // 10
                                   "key F12\nanswer OK    don't Stop\nanswer OK\nanswer OK\n");

  const Events wrongSolution = {SolveBox(), Sound("loseturn.wav"),
                                Box("Incorrect", "Sorry, that is not correct.")};
  for (int step = 1; step <= 5; ++step) {
    EXPECT_TRUE(SameEvents(game.Segment(step), wrongSolution)) << wrong[step - 1];
  }
  EXPECT_TRUE(game.StateIs(6, {{"txtPuzzle", "___'_ ____"}}));
  // Cancel, or OK with nothing typed, tries no solution.
  EXPECT_TRUE(SameEvents(game.Segment(6), {SolveBox()}));
  EXPECT_TRUE(SameEvents(game.Segment(7), {SolveBox()}));
  EXPECT_TRUE(game.StateIs(9, {{"cmdSpinEnabled", "false"}}));
  EXPECT_TRUE(SameEvents(game.Segment(9), wrongSolution));
  EXPECT_TRUE(
      game.StateIs(10, {{"cmdSpinEnabled", "true"}, {"txtMoney", "$0"}, {"lblWheel", "$500"}}));
  EXPECT_TRUE(SameEvents(game.Segment(10), {}));
  EXPECT_TRUE(SameEvents(
      game.Segment(11),
      Join({{SolveBox(), Sound("exit.wav"), Box("Correct!", "That is correct!"), Winnings("$0")},
            Farewell()})));
  EXPECT_EQ(game.status, 0);
}

// ---------------------------------------------------------------------------------------------
// The end of the game by uncovering every letter.

using EndOfGame = ScriptGame;

// The last consonant is announced, applauded and paid (and earns its token) before the game ends;
// the script ends there, so its boxes are answered OK.
TEST_F(EndOfGame, LastConsonantIsPaidBeforeThePuzzleSolvedBox) {
  OnePuzzle("Test", "TNT");
  const Game game = Play({4, 7}, Steps({"click cmdSpin\nkey T"}) + "click cmdSpin\nkey N\n");

  EXPECT_TRUE(SameEvents(game.Segment(2),  // $600 for the two T's, then $300 for the N
                         Join({Spin("300"),
                               Found(1, 'N', ""),
                               {Say("You get a Free Spin Token!"), Solved("tnt"), Winnings("$900")},
                               Farewell()})));
  EXPECT_EQ(game.status, 0);
}

// Once only vowels are hidden the wheel goes away, said once, and the spin button with it. A
// vowel is asked about first; bought, it is paid for before it is announced, found or not; the
// last one bought is paid for and ends the game.
TEST_F(EndOfGame, OnlyVowelsLeftTakesTheWheelAwayOnceAndVowelsAreBoughtOnlyOnYes) {
  OnePuzzle("Test", "TEA TOE");
  const Game game =
      Play({22}, Steps({"click cmdSpin\nkey T\nanswer OK", "click cmdSpin\nkey E\nanswer No",
                        "key U\nanswer Yes", "key E\nanswer Yes", "key A\nanswer Yes"}) +
                     "key O\nanswer Yes\nanswer OK\nanswer OK\n");

  EXPECT_TRUE(Contains(game.Segment(1), Join({Found(2, 'T', ""),
                                              {OnlyVowels(), Say("You currently have $5000")},
                                              Reading("T__ T__")})));
  EXPECT_TRUE(game.StateIs(2, {{"frmWheelVisible", "false"}, {"cmdSpinEnabled", "true"}}));
  // The spin button does nothing; a vowel the player says No to is not bought.
  EXPECT_TRUE(SameEvents(game.Segment(2), {VowelQuestion('E')}));
  EXPECT_TRUE(game.StateIs(3, {{"txtMoney", "$5000"}, {"UsedLetters", "t"}}));
  EXPECT_TRUE(SameEvents(game.Segment(3),
                         {VowelQuestion('U'), Say("There are no U's."), Sound("wrong.wav")}));
  EXPECT_TRUE(SameEvents(game.Segment(4),
                         Join({{VowelQuestion('E')}, Found(2, 'E', "$4500"), Reading("TE_ T_E")})));
  EXPECT_TRUE(
      game.StateIs(5, {{"txtMoney", "$4500"}, {"UsedLetters", "tue"}, {"txtUsed", "E T U"}}));
  EXPECT_TRUE(SameEvents(game.Segment(5),
                         Join({{VowelQuestion('A')}, Found(1, 'A', "$4250"), Reading("TEA T_E")})));
  EXPECT_TRUE(SameEvents(game.Segment(6), Join({{VowelQuestion('O')},
                                                Found(1, 'O', ""),
                                                {Solved("tea toe"), Winnings("$4000")},
                                                Farewell()})));
}

// A hidden Y is not a vowel. An underscore written in a puzzle looks like a hidden letter, so that
// board is never complete.
TEST_F(EndOfGame, HiddenYIsNotAVowelAndAnUnderscoreNeverCountsAsUncovered) {
  OnePuzzle("Test", "TOY");
  const Game toy =
      Play({11, 11}, "click cmdSpin\nkey T\ndump\nclick cmdSpin\nkey Y\nanswer OK\ndump\n");
  OnePuzzle("Test", "T_T");
  const Game underscore = Play({11}, Steps({"click cmdSpin\nkey T"}));

  EXPECT_TRUE(Contains(toy.Segment(0), {Say("There are 1 T's.")}));
  EXPECT_FALSE(Contains(toy.Segment(0), {OnlyVowels()}));
  EXPECT_TRUE(toy.StateIs(1, {{"frmWheelVisible", "true"}}));
  EXPECT_TRUE(Contains(toy.Segment(1),
                       {Sound("applause.wav"), OnlyVowels(), Say("You currently have $1000")}));
  EXPECT_TRUE(toy.StateIs(2, {{"frmWheelVisible", "false"}}));
  EXPECT_TRUE(SameEvents(underscore.Segment(1),
                         Join({Spin("500"), Found(2, 'T', "$1000"), Reading("T_T")})));
  EXPECT_TRUE(underscore.StateIs(2, {{"txtPuzzle", "T_T"}}));
  EXPECT_TRUE(SameEvents(underscore.Segment(2), Farewell()));
}

// ---------------------------------------------------------------------------------------------
// Menus and the About box.

using Menus = ScriptGame;

// The About box speaks name, version and credits; only a plain Escape or its OK button closes it,
// chosen again while open it keeps its one window, and the game goes on behind it. Reveal Answer
// shows the solution in capitals and play goes on.
TEST_F(Menus, AboutBoxAndRevealAnswerLetTheGameGoOn) {
  OnePuzzle("Test", "To Be");
  const Game game =
      Play({11}, Steps({"menu mnuHAbout",
                        // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one step, two lines
                        "key frmSplash Shift+Escape\nkey frmSplash Ctrl+Escape\n"
                        "key frmSplash Alt+Escape\nkey frmSplash T",
                        "menu mnuHAbout", "key frmSplash Escape", "menu mnuHAbout", "click cmdOK",
                        "menu mnuHAbout\nclick cmdSpin", "menu mnuCReveal\nanswer OK", "key T"}) +
                     "menu mnuFExit\n");

  const std::string anything = Say(kAny);
  const Events speech = {Say("Orvanta. Version 0.4", 1), anything, anything,
                         WindowEvent("frmSplash", "show"), Jingle(true)};
  const Events opened = Join({{WindowEvent("frmSplash", "load")}, speech});
  EXPECT_TRUE(SameEvents(game.Segment(1), opened));
  EXPECT_TRUE(SameEvents(game.Segment(2), {}));
  EXPECT_TRUE(SameEvents(game.Segment(3), speech));
  EXPECT_TRUE(SameEvents(game.Segment(4), {WindowEvent("frmSplash", "unload")}));
  EXPECT_TRUE(SameEvents(game.Segment(5), opened));
  EXPECT_TRUE(SameEvents(game.Segment(6), {WindowEvent("frmSplash", "unload")}));
  EXPECT_TRUE(SameEvents(game.Segment(7), Join({opened, Spin("500")})));
  EXPECT_TRUE(SameEvents(game.Segment(8),
                         {Box("Orvanta", "The puzzle solution is:\r\nTO BE", "OK", "none")}));
  EXPECT_TRUE(game.StateIs(9, {{"txtPuzzle", "__ __"}, {"cmdSpinEnabled", "false"}}));
  EXPECT_TRUE(SameEvents(game.Segment(9), Join({Found(1, 'T', "$500"), Reading("T_ __")})));
  // Closing the game closes it too.
  EXPECT_TRUE(SameEvents(game.Segment(10), {Farewell()[0], Farewell()[1], Farewell()[2],
                                            WindowEvent("frmSplash", "unload"), Exit(0)}));
}

// ---------------------------------------------------------------------------------------------
// Leaving the game: from the menu, the title bar, or by the end of the script (the player goes
// away), which answers an open box with its default.

TEST_F(ScriptGame, LeavingSaysGoodbyeAndEnds) {
  OnePuzzle("Test", "TO BE");
  const std::pair<std::string, Events> cases[] = {
      {"menu mnuFExit\nkey T\n", {}},
      {"close frmMain\nkey T\n", {}},
      {"", {}},                             // the end of the script at the wait,
      {"key F1\n", {QuickHelp()}},          // or with a message box open (OK),
      {"key E\n", {VowelQuestion('E')}},    // the vowel question (No)
      {"click cmdSolve\n", {SolveBox()}}};  // or the solve box (Cancel)
  for (const auto& [commands, before] : cases) {
    const Game game = Play({11}, "click cmdSpin\nkey T\ndump\n" + commands);
    EXPECT_TRUE(SameEvents(game.Segment(1), Join({before, Farewell()}))) << commands;
    EXPECT_EQ(game.status, 0) << commands;
  }
}

// ---------------------------------------------------------------------------------------------
// Scripts that break the rules of script mode end at once, without the goodbye: nothing after the
// faulty line is carried out.

TEST_F(ScriptGame, ScriptErrorsEndTheGameAtOnceNamingTheLine) {
  OnePuzzle("Test", "TO BE");
  struct Case {
    std::string before, faulty;
    Events opened;            // what the commands after the last dump caused before the faulty line
    std::string quoted = {};  // how the error quotes the line, when not whole
  };
  const std::string overlong = "key " + std::string(70000, 'x');
  const Case cases[] = {
      {"dump\n", "answer OK", {}},                // with no box open
      {"# a comment\n\ndump\n", "jump", {}},      // unknown, after a comment and a blank line
      {"dump\nkey F1\n", "dump", {QuickHelp()}},  // something else than an answer to a box
      {"click cmdSpin\nkey T\ndump\nkey E\n", "answer OK", {VowelQuestion('E')}},  // wrong answer
      {"dump\n", "rand 1", {}},  // a random value outside 0 to 1
      // A line over 64 KB is quoted only in part (bytes that are not UTF-8: script_io_test.cpp).
      {"dump\n", overlong, {}, "(" + overlong.substr(0, 100) + "...): the line is longer"}};
  const std::string error = R"({"event":"error","text":)" + Json(kAny) + "}";
  for (const Case& fault : cases) {
    SCOPED_TRACE(fault.faulty.substr(0, 60));
    const Game game = Play({11}, fault.before + fault.faulty + "\nkey F5\n");
    EXPECT_TRUE(SameEvents(game.Segment(-1), Join({fault.opened, {error, Exit(2)}})));
    ASSERT_GE(game.events.size(), 2U);
    const std::string& text = game.events[game.events.size() - 2];
    EXPECT_NE(text.find(fault.quoted.empty() ? fault.faulty : fault.quoted), std::string::npos)
        << text.substr(0, 200);
    EXPECT_EQ(game.status, 2);  // the last events are the error's: no goodbye after it
  }
}

// A folder option left empty, and events that cannot be written: a clear message on the error
// stream and an exit status of their own.
TEST_F(ScriptGame, EmptyFolderNameOrUnwritableOutputEndsWithAClearMessage) {
  OnePuzzle("Test", "TO BE");
  using testing::kNullDevice;
  const std::string program = testing::Quoted(ORVANTA_BINARY) + " ";
  std::vector<std::tuple<std::string, int, std::string>> cases = {
      {"--script --puzzles \"\" <" + std::string(kNullDevice), 2,
       "--puzzles needs the name of a folder"}};
#ifndef _WIN32  // a device that refuses every write
  cases.emplace_back("--script --puzzles '" + folder_.Path().string() + "' </dev/null >/dev/full",
                     3,
                     "the events cannot be written to standard output (No space left on device)");
#endif
  for (const auto& [arguments, status, message] : cases) {
    const std::filesystem::path err =  // one each, as in Run
        folder_.Path().parent_path() / ("err" + std::to_string(++runs_));
    EXPECT_EQ(testing::RunCommand(program + arguments + " 2>" + testing::Quoted(err)), status)
        << arguments;
    const std::string said = testing::ReadFile(err);
    EXPECT_NE(said.find(message), std::string::npos) << said;
  }
}

// ---------------------------------------------------------------------------------------------
// Puzzle folders that cannot be played: the player is told what is wrong, and the game ends
// without dealing a puzzle or saying goodbye.

// Only the box and the end are looked at here; which file or folder each failure names is the
// loader's (puzzles_load_test.cpp).
TEST_F(ScriptGame, PuzzleLoadingNamesWhatIsWrongAndEndsTheProgram) {
  const std::filesystem::path puzzles = folder_.Path() / "nowhere";
  const Game game = Run("0,0", "answer OK\n", puzzles);

  ASSERT_GE(game.events.size(), 3U);
  const std::size_t n = game.events.size();
  const std::string& box = game.events[n - 3];
  EXPECT_TRUE(box.starts_with(R"({"event":"msgbox","title":"Orvanta","text":")") &&
              box.ends_with(R"(","buttons":"OK","icon":"critical"})"))
      << box;
  // The name as it stands inside the event's JSON text (backslashes doubled).
  const std::string named = Json(puzzles.string());
  EXPECT_NE(box.find(named.substr(1, named.size() - 2)), std::string::npos);
  EXPECT_TRUE(game.events[n - 2].starts_with(R"({"event":"error","text":")"));
  EXPECT_EQ(game.events.back(), Exit(1));
  EXPECT_EQ(game.status, 1);
  EXPECT_FALSE(Contains(game.events, {Sound("newpuzzle.wav")}));
  EXPECT_FALSE(Contains(game.events, {Sound("exit.wav")}));
}

}  // namespace
}  // namespace orvanta
