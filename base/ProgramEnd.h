// ProgramEnd.h: ending the program from deep inside a call. The end is an exception that
// unwinds to main(): nothing after the call runs, destructors do.
#pragma once

#include <string>
#include <utility>

namespace orvanta {

struct ProgramEnded {
  int exitCode = 0;
  std::string error;  // a fatal error of the game, already shown to the player; empty otherwise
};

[[noreturn]] inline void EndProgram(int exitCode = 0, std::string error = {}) {
  throw ProgramEnded{exitCode, std::move(error)};
}

}  // namespace orvanta
