// Keys a player types while the game is busy carrying out an action (its sounds hold the window
// thread) reach the window only afterwards. They must neither be lost nor be judged against the
// turn that has just ended.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <sstream>

#include "app/Program.h"
#include "base/ProgramEnd.h"
#include "script/ScriptSpeech.h"
#include "tests/fixtures/puzzles/TempPuzzleFolder.h"

namespace orvanta {
namespace {

// A toolkit whose player acts from a list: each wait takes the next step, and keys "typed during
// the last action" are handed over by the next yield, as a real event queue would.
class TypingToolkit final : public ui::Toolkit {
 public:
  std::deque<std::function<void()>> steps;
  std::deque<std::function<void()>> typedAhead;
  std::vector<std::string> boxes;

  void Load(ui::Window&) override {}
  void Show(ui::Window&) override {}
  void Unload(ui::Window&) override {}
  void Repaint(ui::Window&) override {}
  void DoEvents() override {
    while (!typedAhead.empty()) {
      auto event = std::move(typedAhead.front());
      typedAhead.pop_front();
      event();
    }
  }
  void WaitForEvent() override {
    if (steps.empty())
      EndProgram(0);
    auto step = std::move(steps.front());
    steps.pop_front();
    step();
  }
  ui::MsgResult MsgBox(std::string_view text, std::string_view title, ui::MsgButtons buttons,
                       ui::MsgIcon) override {
    boxes.push_back(std::string(title) + ": " + std::string(text));
    return buttons == ui::MsgButtons::YesNo ? ui::MsgResult::Yes : ui::MsgResult::OK;
  }
  std::string InputBox(std::string_view, std::string_view) override { return {}; }
};

class TypeAheadTest : public ::testing::Test {
 protected:
  TypeAheadTest() { folder_.Write("a.orp", testing::PuzzleFileText("Test", "1", {"TEST SET"})); }

  // Plays until the steps run out; returns the program's state then.
  script::ScriptState Play() {
    Program program(
        Platform{toolkit_, wave_, speech_, random_, clock_, ui::AppInfo{}, folder_.Path()});
    program_ = &program;
    script::ScriptState state;
    toolkit_.steps.push_back([&] { state = program.State(); });
    try {
      program.Main();
    } catch (const ProgramEnded&) {
    }
    program_ = nullptr;
    return state;
  }
  ui::frmMain& Main() { return program_->MainWindow(); }

  testing::TempPuzzleFolder folder_;
  std::ostringstream out_;
  script::ScriptEvents events_{out_};
  script::ScriptSpeechPlatform speech_{events_};
  script::ScriptWavePlayer wave_{events_};
  QueuedRandom random_;
  SteadyClock clock_;
  TypingToolkit toolkit_;
  Program* program_ = nullptr;
};

// T is called after a spin; the keys are pressed while T's sounds play, so they arrive once T has
// been carried out. A consonant then comes before any new spin and is ignored; a vowel is asked
// about and bought; a second E is judged after the first was bought: refused, not paid twice.
TEST_F(TypeAheadTest, KeysTypedDuringAnActionAreJudgedAfterItOneAtATime) {
  const struct {
    double slot;
    std::string typed, money, used;
  } cases[] = {
      {2.5 / 24, "S", "$600", "t"},  // three T's at $200
      {21.5 / 24, "EE", "$7250", "te"},
  };
  for (const auto& c : cases) {
    for (const double draw : {0.0, 0.0, c.slot})  // the file, the puzzle, the spin
      random_.Queue(draw);
    toolkit_.steps.push_back([&] { Main().ButtonClicked("cmdSpin"); });
    toolkit_.steps.push_back([&] {
      Main().KeyUp('T', {});
      for (const char key : c.typed) {
        toolkit_.typedAhead.push_back([this, key] { Main().KeyUp(key, {}); });
      }
    });
    const script::ScriptState state = Play();
    EXPECT_EQ(state.txtMoney, c.money) << c.typed;
    EXPECT_EQ(state.UsedLetters, c.used) << c.typed;
    EXPECT_TRUE(state.cmdSpinEnabled);
  }
  EXPECT_EQ(toolkit_.boxes.back(), "Buy a Vowel: Are you sure you want to buy an E?");
  EXPECT_NE(out_.str().find("That letter has already been chosen."), std::string::npos);
}

}  // namespace
}  // namespace orvanta
