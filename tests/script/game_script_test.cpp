// Whole games played through `orvanta --script`: each test writes a puzzle folder and a script,
// runs the real program with the script on its standard input, and checks the events it writes
// (what the player hears, sees and is asked) in the order the player meets them.
//
// A script marks the moments it wants to look at with `dump`: the events between two `state`
// events are exactly what one command (or a command and the answers to its boxes) caused.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <sys/wait.h>

#include "tests/fixtures/puzzles/TempPuzzleFolder.h"

namespace orvanta {
namespace {

using Events = std::vector<std::string>;

// ---------------------------------------------------------------------------------------------
// Events as the game writes them: one compact JSON object per line.

std::string Json(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out + "\"";
}

// Stands for any JSON string in an expected event (texts whose wording is the game's own choice).
constexpr char kAnyText = '\x01';

std::string Say(std::string_view text, int interrupt = 0) {
  return R"({"event":"say","text":)" + Json(text) + R"(,"interrupt":)" + std::to_string(interrupt) +
         "}";
}

std::string SayAnything(int interrupt = 0) {
  return std::string(R"({"event":"say","text":)") + kAnyText + R"(,"interrupt":)" +
         std::to_string(interrupt) + "}";
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

std::string WindowEvent(std::string_view name, std::string_view action) {
  return R"({"event":"window","name":)" + Json(name) + R"(,"action":)" + Json(action) + "}";
}

std::string Exit(int code) {
  return R"({"event":"exit","code":)" + std::to_string(code) + "}";
}

std::string Incorrect() {
  return Box("Incorrect", "Sorry, that is not correct.");
}

// A refused key: the refusal sound, then the reason.
Events Refusal(std::string_view sentence) {
  return {Sound("loseturn.wav"), Say(sentence)};
}

// The goodbye of the main window, whatever closes it, up to the end of the program.
Events Farewell() {
  return {Say("Thanks for playing Orvanta. Exiting program."), Sound("exit.wav"),
          WindowEvent("frmMain", "unload"), Exit(0)};
}

// A board of plain letters, blanks and spaces read aloud, one utterance per symbol.
Events Reading(std::string_view board) {
  Events said = {Say("The current puzzle is. ")};
  for (char c : board) {
    if (c == '_') {
      said.push_back(Say("Blank."));
    } else if (c == ' ') {
      said.push_back(Say("Space."));
    } else if (c == 'A') {
      said.push_back(Say("ay."));
    } else {
      said.push_back(Say(std::string(1, c) + "."));
    }
  }
  return said;
}

Events Join(std::initializer_list<Events> parts) {
  Events all;
  for (const Events& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

// The values of a flat JSON object, strings decoded, other values as written.
std::map<std::string, std::string> Fields(std::string_view line) {
  std::map<std::string, std::string> fields;
  std::size_t i = 0;
  auto readString = [&]() {
    std::string value;
    ++i;  // opening quote
    while (i < line.size() && line[i] != '"') {
      if (line[i] == '\\' && i + 1 < line.size()) {
        ++i;
        switch (line[i]) {
          case 'r':
            value += '\r';
            break;
          case 'n':
            value += '\n';
            break;
          case 't':
            value += '\t';
            break;
          case 'u':
            value += static_cast<char>(std::stoi(std::string(line.substr(i + 1, 4)), nullptr, 16));
            i += 4;
            break;
          default:
            value += line[i];
        }
      } else {
        value += line[i];
      }
      ++i;
    }
    ++i;  // closing quote
    return value;
  };
  while (i < line.size()) {
    if (line[i] != '"') {
      ++i;
      continue;
    }
    const std::string name = readString();
    ++i;  // the colon
    if (i < line.size() && line[i] == '"') {
      fields[name] = readString();
    } else {
      const std::size_t end = line.find_first_of(",}", i);
      fields[name] = std::string(line.substr(i, end - i));
      i = end;
    }
  }
  return fields;
}

bool EventMatches(std::string_view actual, std::string_view expected) {
  const std::size_t any = expected.find(kAnyText);
  if (any == std::string_view::npos)
    return actual == expected;
  const std::string_view before = expected.substr(0, any);
  const std::string_view after = expected.substr(any + 1);
  if (actual.size() < before.size() + after.size() + 2 || !actual.starts_with(before) ||
      !actual.ends_with(after))
    return false;
  const std::string_view middle =
      actual.substr(before.size(), actual.size() - before.size() - after.size());
  return middle.front() == '"' && middle.back() == '"' && middle.size() > 2;
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
  bool same = actual.size() == expected.size();
  for (std::size_t i = 0; same && i < actual.size(); ++i) {
    same = EventMatches(actual[i], expected[i]);
  }
  if (same)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\n  expected exactly:\n"
                                       << Listing(expected) << "  but the game wrote:\n"
                                       << Listing(actual);
}

// The expected events appear one right after the other somewhere in the stream.
::testing::AssertionResult ContainsRun(const Events& actual, const Events& run) {
  for (std::size_t start = 0; start + run.size() <= actual.size(); ++start) {
    bool found = true;
    for (std::size_t i = 0; found && i < run.size(); ++i) {
      found = EventMatches(actual[start + i], run[i]);
    }
    if (found)
      return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "\n  expected this run of events:\n"
                                       << Listing(run) << "  in:\n"
                                       << Listing(actual);
}

// The expected events appear in this order, others possibly between them.
::testing::AssertionResult ContainsInOrder(const Events& actual, const Events& sequence) {
  std::size_t next = 0;
  for (const std::string& event : actual) {
    if (next < sequence.size() && EventMatches(event, sequence[next]))
      ++next;
  }
  if (next == sequence.size())
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "\n  expected in this order:\n"
         << Listing(sequence) << "  missing from " << sequence[next] << " on, in:\n"
         << Listing(actual);
}

int CountOf(const Events& events, const std::string& expected) {
  int count = 0;
  for (const std::string& event : events) {
    count += EventMatches(event, expected) ? 1 : 0;
  }
  return count;
}

// ---------------------------------------------------------------------------------------------
// One run of the program.

struct Game {
  Events events;
  int status = -1;

  // The events after the n-th `state` event (0: from the start) up to the next one.
  Events Segment(int n) const {
    Events part;
    int seen = 0;
    for (const std::string& event : events) {
      const bool isState = event.starts_with(R"({"event":"state")");
      if (isState) {
        ++seen;
        if (seen > n)
          break;
        continue;
      }
      if (seen == n)
        part.push_back(event);
    }
    return part;
  }

  // The fields of the n-th `state` event (from 1).
  std::map<std::string, std::string> State(int n) const {
    int seen = 0;
    for (const std::string& event : events) {
      if (event.starts_with(R"({"event":"state")") && ++seen == n)
        return Fields(event);
    }
    ADD_FAILURE() << "there is no state event number " << n << " in:\n" << Listing(events);
    return {};
  }

  bool Wrote(std::string_view kind) const {
    const std::string prefix = R"({"event":")" + std::string(kind) + "\"";
    for (const std::string& event : events) {
      if (event.starts_with(prefix))
        return true;
    }
    return false;
  }
};

// The random value that makes a spin land on `slot` (1..24): the middle of its twenty-fourth.
std::string Slot(int slot) {
  std::ostringstream value;
  value.precision(12);
  value << (slot - 0.5) / 24.0;
  return value.str();
}

class ScriptGame : public ::testing::Test {
 protected:
  // A folder with one puzzle file holding one puzzle.
  void OnePuzzle(std::string_view category, std::string_view phrase) {
    folder_.Write("game.orp", testing::PuzzleFileText(category, "1", {phrase}));
  }

  // Plays the one puzzle of the folder, the spins landing on `slots` in turn.
  Game Play(std::initializer_list<int> slots, std::string_view script) {
    std::string rand = "0,0";
    for (int slot : slots) {
      rand += "," + Slot(slot);
    }
    return Run(rand, script, folder_.Path());
  }

  // Runs the program on `script` with the random values `rand` and the puzzle folder `puzzles`.
  Game Run(const std::string& rand, std::string_view script, const std::filesystem::path& puzzles) {
    const std::filesystem::path work = folder_.Path().parent_path();
    const std::filesystem::path scriptFile = work / "script.txt";
    const std::filesystem::path outFile = work / "events.jsonl";
    {
      std::ofstream out(scriptFile, std::ios::binary);
      out << script;
    }
    std::string command =
        "'" + std::string(ORVANTA_BINARY) + "' --script --puzzles '" + puzzles.string() + "'";
    if (!rand.empty())
      command += " --rand " + rand;
    command += " <'" + scriptFile.string() + "' >'" + outFile.string() + "' 2>/dev/null";
    Game game;
    const int status = std::system(command.c_str());
    game.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(outFile, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      game.events.push_back(line);
    }
    return game;
  }

  testing::TempPuzzleFolder folder_;
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
  const auto state = game.State(1);
  EXPECT_EQ(state.at("txtPuzzle"), "__ __");
  EXPECT_EQ(state.at("txtCategory"), "Famous Phrases");
  EXPECT_EQ(state.at("txtMoney"), "$0");
  EXPECT_EQ(state.at("txtUsed"), "");
  EXPECT_EQ(state.at("lblWheel"), "");
  EXPECT_EQ(state.at("cmdSpinEnabled"), "true");
  EXPECT_EQ(state.at("frmPuzzleVisible"), "true");
  EXPECT_EQ(state.at("frmWheelVisible"), "true");
  EXPECT_EQ(state.at("FreeSpins"), "0");
}

TEST_F(StartUp, SecondRandomValuePicksThePuzzleInTheFile) {
  folder_.Write("three.orp", testing::PuzzleFileText("Animals", "3", {"CAT", "HORSE", "DOG"}));
  const Game game = Run("0,0.5", "dump\n", folder_.Path());

  EXPECT_EQ(game.State(1).at("txtPuzzle"), "_____");
  EXPECT_TRUE(
      ContainsRun(game.events, Join({{Say("The category is, Animals")}, Reading("_____")})));
}

TEST_F(StartUp, SpacesAfterTheCategoryKeyAreDroppedAndInsideItKept) {
  folder_.Write("spaced.orp", "ZONTARY_WHEEL/PDATA/1.x\r\nC   Famous  Phrases\r\nTP 1\r\nGO\r\n");
  const Game game = Play({}, "key F7\n");

  EXPECT_TRUE(ContainsRun(game.events, {Say("The category is, Famous  Phrases")}));
  EXPECT_TRUE(ContainsRun(game.events, {Say("The current category is: Famous  Phrases")}));
}

TEST_F(StartUp, CategoryKeyAloneGivesAnEmptyCategory) {
  folder_.Write("bare.orp", "ZONTARY_WHEEL/PDATA/1.x\r\nC\r\nTP 1\r\nTO BE\r\n");
  const Game game = Play({}, "dump\nkey F7\ndump\n");

  EXPECT_TRUE(ContainsRun(game.Segment(0), Join({{Sound("newpuzzle.wav"), Say("The category is, ")},
                                                 Reading("__ __")})));
  EXPECT_TRUE(SameEvents(game.Segment(1), {Say("The current category is: ")}));
}

// Whatever order the folder lists its files in, the first value spreads the draw over all of them.
TEST_F(StartUp, FirstRandomValuePicksOneFileOfTheFolder) {
  folder_.Write("first.orp", testing::PuzzleFileText("First", "1", {"ONE"}));
  folder_.Write("second.orp", testing::PuzzleFileText("Second", "1", {"TWO"}));
  const Game low = Run("0,0", "dump\n", folder_.Path());
  const Game high = Run("0.75,0", "dump\n", folder_.Path());

  const std::string lowCategory = low.State(1).at("txtCategory");
  const std::string highCategory = high.State(1).at("txtCategory");
  EXPECT_NE(lowCategory, highCategory);
  for (const std::string& category : {lowCategory, highCategory}) {
    EXPECT_TRUE(category == "First" || category == "Second") << category;
  }
}

// A puzzle file as an old Windows editor writes it: Windows-1252 bytes, an accented letter that is
// never hidden, and a comma kept inside double quotes.
TEST_F(StartUp, AccentedLetterAndCommaFromAWindowsFileAreReadAloud) {
  folder_.Write("cafe.orp",
                "ZONTARY_WHEEL/PDATA/1.x\r\nC Caf\xE9s\r\nTP 1\r\n\"Caf\xE9, ol\xE9\"\r\n");
  const Game game =
      Play({3},
           "dump\n"
           "click cmdSpin\nkey C\ndump\n"
           "click cmdSolve\nanswer OK caf\xC3\xA9, OL\xC3\xA9\nanswer OK\nanswer OK\n");

  EXPECT_TRUE(ContainsRun(
      game.Segment(0),
      {Sound("newpuzzle.wav"), Say("The category is, Caf\xC3\xA9s"), Say("The current puzzle is. "),
       Say("Blank."), Say("Blank."), Say("Blank."), Say("\xC3\x89."), Say("Comma."), Say("Space."),
       Say("Blank."), Say("Blank."), Say("\xC3\x89.")}));
  EXPECT_EQ(game.State(1).at("txtPuzzle"), "___\xC3\xA9, __\xC3\xA9");
  EXPECT_EQ(game.State(1).at("txtCategory"), "Caf\xC3\xA9s");
  // After the first reveal the whole board is in capitals, the accented letters included.
  EXPECT_EQ(game.State(2).at("txtPuzzle"), "C__\xC3\x89, __\xC3\x89");
  EXPECT_TRUE(ContainsRun(game.Segment(2),
                          {SolveBox(), Sound("exit.wav"), Box("Correct!", "That is correct!")}));
  EXPECT_EQ(game.status, 0);
}

// ---------------------------------------------------------------------------------------------
// The wheel.

using WheelSpin = ScriptGame;

TEST_F(WheelSpin, AmountIsSpokenAndShownAndAConsonantIsAwaited) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({21}, "dump\nclick cmdSpin\ndump\nclick cmdSpin\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1),
                         {Say("Spinning the wheel."), Sound("spin.wav"), Say("900 dollars.")}));
  EXPECT_EQ(game.State(2).at("lblWheel"), "$900");
  EXPECT_EQ(game.State(2).at("cmdSpinEnabled"), "false");
  // The button stays disabled until the consonant is called: a second spin does nothing.
  EXPECT_TRUE(SameEvents(game.Segment(2), {}));
}

TEST_F(WheelSpin, TopSlotIsApplaudedBeforeItsAmountIsSpoken) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({22}, "dump\nclick cmdSpin\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {Say("Spinning the wheel."), Sound("spin.wav"),
                                           Sound("applause.wav"), Say("2500 dollars.")}));
  EXPECT_EQ(game.State(2).at("lblWheel"), "$2500");
}

TEST_F(WheelSpin, BankruptEmptiesTheMoneyAndHandsTheWheelBack) {
  OnePuzzle("Test", "TO BE");
  const Game game =
      Play({11, 24}, "click cmdSpin\nkey T\ndump\nclick cmdSpin\ndump\nkey B\ndump\n");

  EXPECT_EQ(game.State(1).at("txtMoney"), "$500");
  EXPECT_TRUE(
      SameEvents(game.Segment(1), {Say("Spinning the wheel."), Sound("spin.wav"),
                                   Sound("bankrupt.wav"), Say("Sorry, you have gone bankrupt!")}));
  const auto state = game.State(2);
  EXPECT_EQ(state.at("txtMoney"), "$0");
  EXPECT_EQ(state.at("lblWheel"), "BANKRUPT");
  EXPECT_EQ(state.at("cmdSpinEnabled"), "true");
  // No amount was spun, so a consonant is ignored without a word.
  EXPECT_TRUE(SameEvents(game.Segment(2), {}));
  EXPECT_EQ(game.State(3).at("UsedLetters"), "t");
}

TEST_F(WheelSpin, LoseATurnKeepsTheMoneyAndHandsTheWheelBack) {
  OnePuzzle("Test", "TO BE");
  const Game game =
      Play({11, 23}, "click cmdSpin\nkey T\ndump\nclick cmdSpin\ndump\nkey B\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {Say("Spinning the wheel."), Sound("spin.wav"),
                                           Sound("loseturn.wav"), Say("Sorry, you lose a turn!")}));
  const auto state = game.State(2);
  EXPECT_EQ(state.at("txtMoney"), "$500");
  EXPECT_EQ(state.at("lblWheel"), "LOSE A TURN");
  EXPECT_EQ(state.at("cmdSpinEnabled"), "true");
  EXPECT_TRUE(SameEvents(game.Segment(2), {}));
}

TEST_F(WheelSpin, RandCommandDecidesTheNextSpin) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "rand 0.9375\ndump\nclick cmdSpin\ndump\nrand 1\nclick cmdSpin\n");

  EXPECT_TRUE(
      ContainsRun(game.Segment(1), {Sound("loseturn.wav"), Say("Sorry, you lose a turn!")}));
  // A value outside 0 up to 1 is a fault of the script: the game ends before the spin.
  const Events fault = game.Segment(2);
  ASSERT_EQ(fault.size(), 2U);
  EXPECT_EQ(Fields(fault.front()).at("event"), "error");
  EXPECT_EQ(fault.back(), Exit(2));
  EXPECT_EQ(game.status, 2);
}

// Slots 7 and 19 look and sound like their neighbours; every letter found before the next spin
// earns a token, and nothing ever spends one.
TEST_F(WheelSpin, FreeSpinSlotsAwardATokenForEveryLetterFoundOnThem) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({19, 19, 24},
                         "click cmdSpin\ndump\n"
                         "key T\ndump\n"
                         "key O\nanswer Yes\nkey F6\ndump\n"
                         "click cmdSpin\nkey Z\nkey F6\ndump\n"
                         "key E\nanswer Yes\nkey F6\ndump\n"
                         "click cmdSpin\nkey F6\ndump\n");

  EXPECT_TRUE(ContainsRun(game.Segment(0),
                          {Say("Spinning the wheel."), Sound("spin.wav"), Say("700 dollars.")}));
  EXPECT_EQ(game.State(1).at("lblWheel"), "$700");
  EXPECT_TRUE(SameEvents(game.Segment(1),
                         Join({{Say("There are 1 T's."), Sound("reveal.wav"), Sound("applause.wav"),
                                Say("You get a Free Spin Token!"), Say("You currently have $700")},
                               Reading("T_ __")})));
  // The vowel bought after the same spin earns a second token.
  EXPECT_TRUE(ContainsRun(game.Segment(2),
                          {Say("There are 1 O's."), Sound("reveal.wav"), Sound("applause.wav"),
                           Say("You get a Free Spin Token!"), Say("You currently have $450")}));
  EXPECT_EQ(game.Segment(2).back(), Say("You have 2 free spins."));
  // A consonant that is not found earns nothing, even on a free spin slot...
  EXPECT_TRUE(ContainsRun(game.Segment(3), {Say("There are no Z's."), Sound("wrong.wav"),
                                            Say("You have 2 free spins.")}));
  // ...but the vowel found after it does.
  EXPECT_TRUE(ContainsRun(game.Segment(4), {Say("You get a Free Spin Token!")}));
  EXPECT_EQ(game.Segment(4).back(), Say("You have 3 free spins."));
  // Bankrupt takes the money, not the tokens.
  EXPECT_TRUE(ContainsRun(game.Segment(5),
                          {Say("Sorry, you have gone bankrupt!"), Say("You have 3 free spins.")}));
  EXPECT_EQ(game.State(5).at("FreeSpins"), "3");
  // The used-letter board is sorted; the letters are kept in the order they were tried.
  EXPECT_EQ(game.State(5).at("txtUsed"), "E O T Z");
  EXPECT_EQ(game.State(5).at("UsedLetters"), "toze");
}

// ---------------------------------------------------------------------------------------------
// Calling a consonant.

using ConsonantCall = ScriptGame;

TEST_F(ConsonantCall, ConsonantFoundThreeTimesPaysThreeTimesTheSpin) {
  OnePuzzle("Test", "TO THE TOP");
  const Game game = Play({11, 4}, "click cmdSpin\nkey P\ndump\nclick cmdSpin\ndump\nkey T\ndump\n");

  // One occurrence has no singular form.
  EXPECT_TRUE(
      ContainsRun(game.Segment(0), {Say("There are 1 P's."), Sound("reveal.wav"),
                                    Sound("applause.wav"), Say("You currently have $500")}));
  EXPECT_EQ(game.State(1).at("txtMoney"), "$500");
  EXPECT_TRUE(SameEvents(
      game.Segment(2),
      Join({{Say("There are 3 T's."), Sound("reveal.wav"), Sound("reveal.wav"), Sound("reveal.wav"),
             Sound("applause.wav"), Say("You currently have $1400")},
            Reading("T_ T__ T_P")})));
  const auto state = game.State(3);
  EXPECT_EQ(state.at("txtMoney"), "$1400");
  EXPECT_EQ(state.at("txtPuzzle"), "T_ T__ T_P");
  EXPECT_EQ(state.at("txtUsed"), "P T");
  EXPECT_EQ(state.at("UsedLetters"), "pt");
  EXPECT_EQ(state.at("cmdSpinEnabled"), "true");
}

TEST_F(ConsonantCall, ConsonantNotInThePuzzlePaysNothingAndCostsNothing) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({11}, "click cmdSpin\ndump\nkey Z\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {Say("There are no Z's."), Sound("wrong.wav")}));
  const auto state = game.State(2);
  EXPECT_EQ(state.at("txtMoney"), "$0");
  EXPECT_EQ(state.at("txtPuzzle"), "__ __");
  EXPECT_EQ(state.at("txtUsed"), "Z");
  EXPECT_EQ(state.at("cmdSpinEnabled"), "true");
}

TEST_F(ConsonantCall, LetterKeyWithModifiersCallsThatLetter) {
  OnePuzzle("Test", "TO BED");
  const Game game =
      Play({11, 11}, "click cmdSpin\nkey Shift+T\ndump\nclick cmdSpin\nkey Ctrl+B\ndump\n");

  EXPECT_TRUE(ContainsRun(game.Segment(0), {Say("There are 1 T's.")}));
  EXPECT_TRUE(ContainsRun(game.Segment(1), {Say("There are 1 B's.")}));
  EXPECT_EQ(game.State(2).at("txtUsed"), "B T");
  EXPECT_EQ(game.State(2).at("txtMoney"), "$1000");
}

// Money is not held in sixteen bits: big wins keep adding up and never turn negative.
TEST_F(ConsonantCall, MoneyBeyondThirtyTwoThousandKeepsCounting) {
  OnePuzzle("Test", "SASSY SASSY SASSY SASSY");
  const Game game =
      Play({22, 22}, "click cmdSpin\nkey S\ndump\nclick cmdSpin\nkey Y\nanswer OK\ndump\n");

  EXPECT_EQ(game.State(1).at("txtMoney"), "$30000");
  EXPECT_TRUE(ContainsRun(game.Segment(1), {Say("You currently have $40000")}));
  EXPECT_EQ(game.State(2).at("txtMoney"), "$40000");
}

// ---------------------------------------------------------------------------------------------
// Buying a vowel.

using VowelPurchase = ScriptGame;

TEST_F(VowelPurchase, VowelFoundIsPaidForBeforeItIsAnnounced) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({11}, "click cmdSpin\nkey T\ndump\nkey E\nanswer Yes\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1),
                         Join({{VowelQuestion('E'), Say("There are 1 E's."), Sound("reveal.wav"),
                                Sound("applause.wav"), Say("You currently have $250")},
                               Reading("T_ _E")})));
  const auto state = game.State(2);
  EXPECT_EQ(state.at("txtMoney"), "$250");
  EXPECT_EQ(state.at("UsedLetters"), "te");
  EXPECT_EQ(state.at("txtUsed"), "E T");
}

TEST_F(VowelPurchase, VowelNotInThePuzzleStillCostsTwoHundredFifty) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({8}, "click cmdSpin\nkey T\ndump\nkey A\nanswer Yes\ndump\n");

  EXPECT_EQ(game.State(1).at("txtMoney"), "$400");
  EXPECT_TRUE(SameEvents(game.Segment(1),
                         {VowelQuestion('A'), Say("There are no A's."), Sound("wrong.wav")}));
  const auto state = game.State(2);
  EXPECT_EQ(state.at("txtMoney"), "$150");
  EXPECT_EQ(state.at("UsedLetters"), "ta");
  EXPECT_EQ(state.at("txtUsed"), "A T");
}

TEST_F(VowelPurchase, AnsweringNoBuysNothingAndSaysNothing) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({11}, "click cmdSpin\nkey T\ndump\nkey E\nanswer No\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {VowelQuestion('E')}));
  EXPECT_EQ(game.State(2).at("txtMoney"), "$500");
  EXPECT_EQ(game.State(2).at("UsedLetters"), "t");
}

// ---------------------------------------------------------------------------------------------
// Keys the game refuses or ignores.

using Refusals = ScriptGame;

TEST_F(Refusals, ConsonantBeforeASpinIsIgnoredInSilence) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "dump\nkey T\ndump\nkey Shift+B\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {}));
  EXPECT_TRUE(SameEvents(game.Segment(2), {}));
  EXPECT_EQ(game.State(3).at("UsedLetters"), "");
  EXPECT_EQ(game.State(3).at("txtPuzzle"), "__ __");
}

TEST_F(Refusals, KeysThatAreNoCommandDoNothingBeforeOrAfterASpin) {
  OnePuzzle("Test", "TO BE");
  const std::string keys =
      "key 7\nkey Escape\nkey Enter\nkey Space\nkey Tab\nkey F2\nkey F3\nkey F9\nkey F10\n"
      "key F11\n";
  const Game game = Play({11}, "dump\n" + keys + "dump\nclick cmdSpin\ndump\n" + keys + "dump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {}));
  // Space and Enter are keys here, not the spin button: the wheel was not spun.
  EXPECT_EQ(game.State(2).at("lblWheel"), "");
  EXPECT_TRUE(SameEvents(game.Segment(3), {}));
  EXPECT_EQ(game.State(4).at("cmdSpinEnabled"), "false");
}

TEST_F(Refusals, ConsonantCalledAgainIsRefusedAndTheSpinStillCounts) {
  OnePuzzle("Test", "TO BED");
  const Game game =
      Play({11, 4}, "click cmdSpin\nkey T\nclick cmdSpin\ndump\nkey T\ndump\nkey B\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), Refusal("That letter has already been picked.")));
  EXPECT_EQ(game.State(2).at("cmdSpinEnabled"), "false");
  EXPECT_TRUE(ContainsRun(game.Segment(2), {Say("There are 1 B's.")}));
  EXPECT_EQ(game.State(3).at("txtMoney"), "$800");
}

TEST_F(Refusals, VowelAfterASpinIsRefused) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({11}, "click cmdSpin\ndump\nkey E\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), Refusal("You can't choose a vowel.")));
  EXPECT_EQ(game.State(2).at("UsedLetters"), "");
}

TEST_F(Refusals, VowelAlreadyBoughtIsRefusedBeforeAndAfterASpin) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({14, 3},
                         "click cmdSpin\nkey T\nkey O\nanswer Yes\ndump\n"
                         "key O\ndump\n"
                         "click cmdSpin\ndump\nkey O\ndump\n");

  EXPECT_EQ(game.State(1).at("txtMoney"), "$350");
  EXPECT_TRUE(SameEvents(game.Segment(1), Refusal("That letter has already been chosen.")));
  EXPECT_TRUE(SameEvents(game.Segment(3), Refusal("That letter has already been picked.")));
  EXPECT_EQ(game.State(4).at("txtMoney"), "$350");
}

// The money is looked at before the used letters.
TEST_F(Refusals, TooLittleMoneyForAVowelIsSaidFirst) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({11},
                         "dump\nkey A\ndump\n"
                         "click cmdSpin\nkey T\nkey A\nanswer Yes\ndump\nkey A\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), Refusal("You don't have enough money to buy a vowel.")));
  EXPECT_EQ(game.State(3).at("txtMoney"), "$250");
  // $250 is just enough: the refusal is then for the letter already bought.
  EXPECT_TRUE(SameEvents(game.Segment(3), Refusal("That letter has already been chosen.")));
}

TEST_F(Refusals, UsedVowelWithLessThanTwoHundredFiftyIsRefusedForTheMoney) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({4}, "click cmdSpin\nkey T\nkey A\nanswer Yes\ndump\nkey A\ndump\n");

  EXPECT_EQ(game.State(1).at("txtMoney"), "$50");
  EXPECT_TRUE(SameEvents(game.Segment(1), Refusal("You don't have enough money to buy a vowel.")));
}

// ---------------------------------------------------------------------------------------------
// Information keys.

using InformationKeys = ScriptGame;

TEST_F(InformationKeys, F1ShowsTheQuickHelp) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "dump\nkey F1\nanswer OK\ndump\n");

  EXPECT_TRUE(
      SameEvents(game.Segment(1), {Box("Quick Help",
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
                                       "F12: Solve the puzzle")}));
}

TEST_F(InformationKeys, F4SpeaksTheUsedLettersCuttingInOnlyWhenThereAreSome) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play(
      {11}, "dump\nkey F4\ndump\nclick cmdSpin\nkey T\nkey A\nanswer Yes\ndump\nkey F4\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {Say("No letters have been used.", 0)}));
  EXPECT_TRUE(SameEvents(game.Segment(3), {Say("The following letters have been used. A T", 1)}));
}

TEST_F(InformationKeys, F5SpeaksTheMoney) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({11}, "dump\nkey F5\ndump\nclick cmdSpin\nkey T\ndump\nkey F5\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {Say("You currently have $0")}));
  EXPECT_TRUE(SameEvents(game.Segment(3), {Say("You currently have $500")}));
}

TEST_F(InformationKeys, F6SpeaksTheFreeSpinTokens) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({7}, "dump\nkey F6\ndump\nclick cmdSpin\nkey T\ndump\nkey F6\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {Say("You have 0 free spins.")}));
  EXPECT_TRUE(SameEvents(game.Segment(3), {Say("You have 1 free spins.")}));
}

TEST_F(InformationKeys, F7SpeaksTheCategory) {
  OnePuzzle("Song Titles", "TO BE");
  const Game game = Play({}, "dump\nkey F7\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {Say("The current category is: Song Titles")}));
}

TEST_F(InformationKeys, F8ReadsTheBoardSymbolBySymbol) {
  OnePuzzle("Test", "\"Tom's Cat & Rat-Trap, 7?\"");
  const Game game = Play({11}, "click cmdSpin\nkey T\nkey A\nanswer Yes\ndump\nkey F8\ndump\n");

  EXPECT_EQ(game.State(1).at("txtPuzzle"), "T__'_ _AT & _AT-T_A_, 7?");
  EXPECT_TRUE(SameEvents(game.Segment(1), {Say("The current puzzle is. "),
                                           Say("T."),
                                           Say("Blank."),
                                           Say("Blank."),
                                           Say("Apostrophe."),
                                           Say("Blank."),
                                           Say("Space."),
                                           Say("Blank."),
                                           Say("ay."),
                                           Say("T."),
                                           Say("Space."),
                                           Say("Ampersand."),
                                           Say("Space."),
                                           Say("Blank."),
                                           Say("ay."),
                                           Say("T."),
                                           Say("Hyphen."),
                                           Say("T."),
                                           Say("Blank."),
                                           Say("ay."),
                                           Say("Blank."),
                                           Say("Comma."),
                                           Say("Space."),
                                           Say("7."),
                                           Say("?.")}));
}

// ---------------------------------------------------------------------------------------------
// Solving.

using Solving = ScriptGame;

TEST_F(Solving, RightSolutionEndsTheGameWithTheWinnings) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "dump\nclick cmdSolve\nanswer OK to be\nanswer OK\nanswer OK\n");

  EXPECT_TRUE(SameEvents(game.Segment(1),
                         Join({{SolveBox(), Sound("exit.wav"), Box("Correct!", "That is correct!"),
                                Box("Final Winnings", "Your final winnings are: $0")},
                               Farewell()})));
  EXPECT_EQ(game.status, 0);
}

TEST_F(Solving, F12OpensTheSolveBoxAndBlanksBeforeTheAttemptAreIgnored) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "dump\nkey F12\nanswer OK    To Be\nanswer OK\nanswer OK\n");

  EXPECT_TRUE(ContainsRun(game.Segment(1),
                          {SolveBox(), Sound("exit.wav"), Box("Correct!", "That is correct!")}));
  EXPECT_EQ(game.status, 0);
}

TEST_F(Solving, BlankAfterTheAttemptMakesItWrong) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "dump\nclick cmdSolve\nanswer OK TO BE \nanswer OK\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {SolveBox(), Sound("loseturn.wav"), Incorrect()}));
  EXPECT_EQ(game.State(2).at("txtPuzzle"), "__ __");
}

TEST_F(Solving, PunctuationAndBlanksMustBeTypedAsInThePuzzle) {
  OnePuzzle("Test", "DON'T STOP");
  const Game game = Play({},
                         "click cmdSolve\nanswer OK DONT STOP\nanswer OK\n"
                         "click cmdSolve\nanswer OK DON'T STOP.\nanswer OK\n"
                         "click cmdSolve\nanswer OK DON'T  STOP\nanswer OK\n"
                         "dump\n"
                         "click cmdSolve\nanswer OK don't stop\nanswer OK\nanswer OK\n");

  EXPECT_EQ(CountOf(game.Segment(0), Incorrect()), 3);
  EXPECT_EQ(CountOf(game.Segment(0), Box("Correct!", "That is correct!")), 0);
  EXPECT_TRUE(
      ContainsRun(game.Segment(1), {Sound("exit.wav"), Box("Correct!", "That is correct!")}));
}

TEST_F(Solving, OnlyBlanksTypedIsAWrongSolution) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "dump\nclick cmdSolve\nanswer OK    \nanswer OK\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {SolveBox(), Sound("loseturn.wav"), Incorrect()}));
}

// A solution tried after a spin gives the spin up: the wheel is back and a consonant is ignored.
TEST_F(Solving, WrongSolutionAfterASpinForfeitsTheSpin) {
  OnePuzzle("Test", "TO BE");
  const Game game =
      Play({11},
           "click cmdSpin\ndump\nclick cmdSolve\nanswer OK TO BEE\nanswer OK\ndump\nkey T\ndump\n");

  EXPECT_EQ(game.State(1).at("cmdSpinEnabled"), "false");
  EXPECT_TRUE(SameEvents(game.Segment(1), {SolveBox(), Sound("loseturn.wav"), Incorrect()}));
  const auto state = game.State(2);
  EXPECT_EQ(state.at("cmdSpinEnabled"), "true");
  EXPECT_EQ(state.at("txtMoney"), "$0");
  EXPECT_EQ(state.at("lblWheel"), "$500");
  EXPECT_TRUE(SameEvents(game.Segment(2), {}));
}

TEST_F(Solving, CancelOrNothingTypedTriesNoSolution) {
  OnePuzzle("Test", "TO BE");
  const Game game =
      Play({}, "dump\nclick cmdSolve\nanswer Cancel\ndump\nkey F12\nanswer OK\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), {SolveBox()}));
  EXPECT_TRUE(SameEvents(game.Segment(2), {SolveBox()}));
}

// ---------------------------------------------------------------------------------------------
// The end of the game by uncovering every letter.

using EndOfGame = ScriptGame;

// The last consonant is announced, applauded and paid (and earns its token) before the game ends.
TEST_F(EndOfGame, LastConsonantIsPaidBeforeThePuzzleSolvedBox) {
  OnePuzzle("Test", "TNT");
  const Game game =
      Play({4, 7}, "click cmdSpin\nkey T\ndump\nclick cmdSpin\nkey N\nanswer OK\nanswer OK\n");

  EXPECT_EQ(game.State(1).at("txtMoney"), "$600");
  EXPECT_TRUE(ContainsRun(
      game.Segment(1),
      Join({{Say("300 dollars."), Say("There are 1 N's."), Sound("reveal.wav"),
             Sound("applause.wav"), Say("You get a Free Spin Token!"),
             Box("Puzzle Solved",
                 "All letters in this puzzle have been revealed! The solution to the puzzle is: "
                 "tnt"),
             Box("Final Winnings", "Your final winnings are: $900")},
            Farewell()})));
  EXPECT_EQ(game.events.back(), Exit(0));
  EXPECT_EQ(game.status, 0);
}

// Once only vowels are hidden the wheel goes away, said once; the last vowel bought is paid for
// and ends the game.
TEST_F(EndOfGame, OnlyVowelsLeftTakesTheWheelAwayOnce) {
  OnePuzzle("Test", "TEA TOE");
  const Game game = Play({22},
                         "click cmdSpin\nkey T\nanswer OK\ndump\n"
                         "click cmdSpin\ndump\n"
                         "key E\nanswer Yes\ndump\n"
                         "key A\nanswer Yes\ndump\n"
                         "key O\nanswer Yes\nanswer OK\nanswer OK\n");

  EXPECT_TRUE(
      ContainsRun(game.Segment(0),
                  Join({{Say("There are 2 T's."), Sound("reveal.wav"), Sound("reveal.wav"),
                         Sound("applause.wav"), Box("Vowels", "Only vowels remain in the puzzle!"),
                         Say("You currently have $5000")},
                        Reading("T__ T__")})));
  EXPECT_EQ(game.State(1).at("frmWheelVisible"), "false");
  EXPECT_EQ(game.State(1).at("cmdSpinEnabled"), "true");
  // The spin button went with the wheel.
  EXPECT_TRUE(SameEvents(game.Segment(1), {}));
  EXPECT_TRUE(SameEvents(
      game.Segment(2),
      Join({{VowelQuestion('E'), Say("There are 2 E's."), Sound("reveal.wav"), Sound("reveal.wav"),
             Sound("applause.wav"), Say("You currently have $4750")},
            Reading("TE_ T_E")})));
  EXPECT_TRUE(SameEvents(game.Segment(3),
                         Join({{VowelQuestion('A'), Say("There are 1 A's."), Sound("reveal.wav"),
                                Sound("applause.wav"), Say("You currently have $4500")},
                               Reading("TEA T_E")})));
  EXPECT_TRUE(SameEvents(
      game.Segment(4),
      Join(
          {{VowelQuestion('O'), Say("There are 1 O's."), Sound("reveal.wav"), Sound("applause.wav"),
            Box("Puzzle Solved",
                "All letters in this puzzle have been revealed! The solution to the puzzle is: "
                "tea toe"),
            Box("Final Winnings", "Your final winnings are: $4250")},
           Farewell()})));
}

// An underscore written in a puzzle looks like a hidden letter, so that board is never complete.
TEST_F(EndOfGame, UnderscoreInThePuzzleNeverCountsAsUncovered) {
  OnePuzzle("Test", "T_T");
  const Game game = Play({11}, "click cmdSpin\nkey T\ndump\n");

  EXPECT_TRUE(ContainsRun(game.Segment(0),
                          Join({{Say("There are 2 T's."), Sound("reveal.wav"), Sound("reveal.wav"),
                                 Sound("applause.wav"), Say("You currently have $1000")},
                                Reading("T_T")})));
  EXPECT_FALSE(game.Wrote("msgbox"));
  EXPECT_EQ(game.State(1).at("txtPuzzle"), "T_T");
  EXPECT_TRUE(SameEvents(game.Segment(1), Farewell()));
}

TEST_F(EndOfGame, HiddenYIsNotAVowel) {
  OnePuzzle("Test", "TOY");
  const Game game =
      Play({11, 11}, "click cmdSpin\nkey T\ndump\nclick cmdSpin\nkey Y\nanswer OK\ndump\n");

  EXPECT_TRUE(ContainsRun(game.Segment(0), {Say("There are 1 T's.")}));
  EXPECT_EQ(CountOf(game.Segment(0), Box("Vowels", "Only vowels remain in the puzzle!")), 0);
  EXPECT_EQ(game.State(1).at("frmWheelVisible"), "true");
  EXPECT_TRUE(ContainsRun(
      game.Segment(1), {Sound("applause.wav"), Box("Vowels", "Only vowels remain in the puzzle!"),
                        Say("You currently have $1000")}));
  EXPECT_EQ(game.State(2).at("frmWheelVisible"), "false");
}

// ---------------------------------------------------------------------------------------------
// Menus.

using Menus = ScriptGame;

TEST_F(Menus, RevealAnswerShowsTheSolutionInCapitalsAndPlayGoesOn) {
  OnePuzzle("Test", "To Be");
  const Game game =
      Play({11}, "click cmdSpin\ndump\nmenu mnuCReveal\nanswer OK\ndump\nkey T\ndump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1),
                         {Box("Orvanta", "The puzzle solution is:\r\nTO BE", "OK", "none")}));
  EXPECT_EQ(game.State(2).at("txtPuzzle"), "__ __");
  EXPECT_EQ(game.State(2).at("cmdSpinEnabled"), "false");
  EXPECT_TRUE(ContainsRun(game.Segment(2), {Say("There are 1 T's.")}));
}

TEST_F(Menus, FileExitSaysGoodbyeAndEnds) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "dump\nmenu mnuFExit\nkey T\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), Farewell()));
  EXPECT_EQ(game.status, 0);
}

TEST_F(Menus, ClosingTheWindowSaysGoodbyeAndEnds) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({11}, "click cmdSpin\ndump\nclose frmMain\nkey T\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), Farewell()));
  EXPECT_EQ(game.status, 0);
}

// ---------------------------------------------------------------------------------------------
// The About box.

using AboutBox = ScriptGame;

TEST_F(AboutBox, SpeaksNameVersionAndCreditsAndClosesOnEscapeAlone) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({},
                         "dump\nmenu mnuHAbout\ndump\n"
                         "key frmSplash Shift+Escape\nkey frmSplash Ctrl+Escape\n"
                         "key frmSplash Alt+Escape\nkey frmSplash T\ndump\n"
                         "key frmSplash Escape\ndump\n");

  EXPECT_TRUE(
      SameEvents(game.Segment(1),
                 {WindowEvent("frmSplash", "load"), Say("Orvanta. Version 0.4", 1), SayAnything(0),
                  SayAnything(0), WindowEvent("frmSplash", "show"), Jingle(true)}));
  EXPECT_TRUE(SameEvents(game.Segment(2), {}));
  EXPECT_TRUE(SameEvents(game.Segment(3), {WindowEvent("frmSplash", "unload")}));
}

TEST_F(AboutBox, ChosenTwiceKeepsOneWindowAndStartsTheJingleAgain) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({},
                         "menu mnuHAbout\ndump\nmenu mnuHAbout\ndump\n"
                         "click cmdOK\ndump\nmenu mnuHAbout\ndump\n");

  EXPECT_TRUE(
      SameEvents(game.Segment(1), {Say("Orvanta. Version 0.4", 1), SayAnything(0), SayAnything(0),
                                   WindowEvent("frmSplash", "show"), Jingle(true)}));
  EXPECT_TRUE(SameEvents(game.Segment(2), {WindowEvent("frmSplash", "unload")}));
  // Closed, it opens afresh.
  EXPECT_TRUE(ContainsRun(game.Segment(3),
                          {WindowEvent("frmSplash", "load"), Say("Orvanta. Version 0.4", 1)}));
}

TEST_F(AboutBox, GameGoesOnBehindItAndClosingTheGameClosesIt) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({11}, "menu mnuHAbout\nclick cmdSpin\nkey T\ndump\nmenu mnuFExit\n");

  EXPECT_TRUE(ContainsRun(game.Segment(0), {Say("500 dollars."), Say("There are 1 T's.")}));
  const Events end = game.Segment(1);
  EXPECT_TRUE(
      ContainsInOrder(end, {Say("Thanks for playing Orvanta. Exiting program."), Sound("exit.wav"),
                            WindowEvent("frmSplash", "unload"), Exit(0)}));
  EXPECT_TRUE(ContainsInOrder(end, {Sound("exit.wav"), WindowEvent("frmMain", "unload"), Exit(0)}));
  EXPECT_EQ(end.size(), 5U);
}

// ---------------------------------------------------------------------------------------------
// The end of the script: the player goes away.

using EndOfInput = ScriptGame;

TEST_F(EndOfInput, AtTheWaitTheWindowIsClosedWithTheGoodbye) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "dump\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), Farewell()));
  EXPECT_EQ(game.status, 0);
}

TEST_F(EndOfInput, AnOpenMessageBoxIsAnsweredOk) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "dump\nkey F1\n");

  const Events end = game.Segment(1);
  ASSERT_FALSE(end.empty());
  EXPECT_EQ(Fields(end.front()).at("title"), "Quick Help");
  EXPECT_TRUE(SameEvents(Events(end.begin() + 1, end.end()), Farewell()));
}

TEST_F(EndOfInput, TheVowelQuestionIsAnsweredNo) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({11}, "click cmdSpin\nkey T\ndump\nkey E\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), Join({{VowelQuestion('E')}, Farewell()})));
}

TEST_F(EndOfInput, TheSolveBoxIsCancelled) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "dump\nclick cmdSolve\n");

  EXPECT_TRUE(SameEvents(game.Segment(1), Join({{SolveBox()}, Farewell()})));
}

TEST_F(EndOfInput, TheBoxesAtTheEndOfAGameAreAnsweredAndTheGameSaysGoodbye) {
  OnePuzzle("Test", "TNT");
  const Game game = Play({11, 11}, "click cmdSpin\nkey T\nclick cmdSpin\ndump\nkey N\n");

  EXPECT_TRUE(ContainsInOrder(
      game.Segment(1),
      Join({{Box("Puzzle Solved",
                 "All letters in this puzzle have been revealed! The solution to the puzzle is: "
                 "tnt"),
             Box("Final Winnings", "Your final winnings are: $1500")},
            Farewell()})));
  EXPECT_EQ(game.status, 0);
}

// ---------------------------------------------------------------------------------------------
// Scripts that break the rules of script mode end at once, without the goodbye.

using ScriptErrors = ScriptGame;

void ExpectScriptError(const Game& game, std::string_view line) {
  ASSERT_GE(game.events.size(), 2U);
  const auto error = Fields(game.events[game.events.size() - 2]);
  EXPECT_EQ(error.at("event"), "error");
  EXPECT_NE(error.at("text").find(line), std::string::npos) << error.at("text");
  EXPECT_EQ(game.events.back(), Exit(2));
  EXPECT_EQ(game.status, 2);
  EXPECT_EQ(CountOf(game.events, Say("Thanks for playing Orvanta. Exiting program.")), 0);
  EXPECT_EQ(CountOf(game.events, Sound("exit.wav")), 0);
}

TEST_F(ScriptErrors, AnswerWithNoBoxOpen) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "dump\nanswer OK\nkey F5\n");

  ExpectScriptError(game, "answer OK");
  // Nothing after the faulty line was carried out.
  EXPECT_EQ(game.Segment(1).size(), 2U);
}

TEST_F(ScriptErrors, UnknownCommand) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "# a comment\n\njump\nkey F5\n");

  ExpectScriptError(game, "jump");
  EXPECT_EQ(CountOf(game.events, Say("You currently have $0")), 0);
}

TEST_F(ScriptErrors, SomethingElseThanAnAnswerWhileABoxIsOpen) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({}, "key F1\ndump\n");

  ExpectScriptError(game, "dump");
  EXPECT_FALSE(game.Wrote("state"));
}

TEST_F(ScriptErrors, WrongAnswerForTheBox) {
  OnePuzzle("Test", "TO BE");
  const Game game = Play({11}, "click cmdSpin\nkey T\nkey E\nanswer OK\n");

  ExpectScriptError(game, "answer OK");
}

// ---------------------------------------------------------------------------------------------
// Puzzle folders that cannot be played: the player is told what is wrong, and the game ends.

using PuzzleLoading = ScriptGame;

void ExpectLoadFailure(const Game& game, std::string_view named) {
  ASSERT_GE(game.events.size(), 3U);
  const std::size_t n = game.events.size();
  const auto box = Fields(game.events[n - 3]);
  EXPECT_EQ(box.at("event"), "msgbox");
  EXPECT_EQ(box.at("title"), "Orvanta");
  EXPECT_EQ(box.at("buttons"), "OK");
  EXPECT_EQ(box.at("icon"), "critical");
  EXPECT_NE(box.at("text").find(named), std::string::npos) << box.at("text");
  const auto error = Fields(game.events[n - 2]);
  EXPECT_EQ(error.at("event"), "error");
  EXPECT_FALSE(error.at("text").empty());
  EXPECT_EQ(game.events.back(), Exit(1));
  EXPECT_EQ(game.status, 1);
  // No puzzle was dealt, and the program ends without the goodbye.
  EXPECT_EQ(CountOf(game.events, Sound("newpuzzle.wav")), 0);
  EXPECT_EQ(CountOf(game.events, Sound("exit.wav")), 0);
}

TEST_F(PuzzleLoading, MissingFolderIsNamedAndEndsTheProgram) {
  const std::filesystem::path missing = folder_.Path() / "nowhere";
  const Game game = Run("0,0", "answer OK\n", missing);

  ExpectLoadFailure(game, missing.string());
}

TEST_F(PuzzleLoading, WrongFormatMarkIsNamedWithItsFileEvenBesideGoodFiles) {
  folder_.Write("good.orp", testing::PuzzleFileText("Test", "1", {"TO BE"}));
  folder_.Write("old.orp", "ZONTARY_WHEEL/PDATA/1.0\r\nC Test\r\nTP 1\r\nTO BE\r\n");
  const Game game = Run("0,0", "answer OK\n", folder_.Path());

  ExpectLoadFailure(game, "old.orp");
}

TEST_F(PuzzleLoading, CountLargerThanThePuzzlesEndsWhenTheDrawFallsPastThem) {
  folder_.Write("short.orp", testing::PuzzleFileText("Test", "5", {"ONE", "TWO", "THREE"}));
  const Game game = Run("0,0.9", "answer OK\n", folder_.Path());

  ExpectLoadFailure(game, "short.orp");
}

TEST_F(PuzzleLoading, FolderWithoutPuzzleFilesEndsTheProgram) {
  folder_.Write("notes.txt", "nothing to play\r\n");
  folder_.Write("game.orp.bak", testing::PuzzleFileText("Test", "1", {"TO BE"}));
  const Game game = Run("0,0", "answer OK\n", folder_.Path());

  ExpectLoadFailure(game, folder_.Path().string());
}

}  // namespace
}  // namespace orvanta
