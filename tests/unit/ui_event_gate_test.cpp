// Events from a native loop (GTK, Win32) reach the game through the event gate: the end of the
// program thrown by a handler must never unwind through the loop's C frames, and keys pressed
// while a window repaints must not be lost.
#include <gtest/gtest.h>

#include <string>

#include "base/ProgramEnd.h"
#include "ui/EventGate.h"

namespace orvanta::ui {
namespace {

TEST(EventGate, TheEndThrownByAHandlerClosesTheBoxesAndIsRethrownOnceBackInTheGame) {
  int boxesClosed = 0;
  EventGate gate([&boxesClosed] { ++boxesClosed; });
  ASSERT_TRUE(gate.Admit({}));
  EXPECT_NO_THROW(gate.Run([] { EndProgram(3, "the puzzle file is damaged"); }));
  EXPECT_EQ(boxesClosed, 1);
  EXPECT_TRUE(gate.Pending());
  try {
    gate.RethrowPending();
    ADD_FAILURE() << "the end was not rethrown";
  } catch (const ProgramEnded& end) {
    EXPECT_EQ(end.exitCode, 3);
    EXPECT_EQ(end.error, "the puzzle file is damaged");
  }
  EXPECT_NO_THROW(gate.RethrowPending());
  // Once ended, no later event runs a handler.
  EXPECT_FALSE(gate.Admit([] { ADD_FAILURE() << "a handler ran after the end"; }));
  gate.RunDeferred();
}

TEST(EventGate, EventsDuringARepaintWaitAndRunInOrderAtTheNextYield) {
  EventGate gate({});
  std::string keys;
  {
    EventGate::Hold repaint(gate);
    for (char key : std::string("AB")) {
      EXPECT_FALSE(gate.Admit([&gate, &keys, key] { gate.Run([&keys, key] { keys += key; }); }));
    }
    gate.RunDeferred();
    EXPECT_EQ(keys, "");
  }
  gate.RunDeferred();
  EXPECT_EQ(keys, "AB");
  EXPECT_EQ(gate.Handled(), 2U);
}

}  // namespace
}  // namespace orvanta::ui
