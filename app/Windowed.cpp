// Windowed.cpp: the real game, whatever the platform: its parts come from the platform's wiring
// file (NativePlatform.h).
#include "app/Windowed.h"

#include <exception>
#include <iostream>

#include "app/NativePlatform.h"
#include "app/Program.h"
#include "base/ProgramEnd.h"

namespace orvanta {

#ifndef ORVANTA_NATIVE_WINDOW
// A build without the native window (the fuzzing build) plays in script mode only.
std::optional<NativeParts> BuildNativeParts(int /*argc*/, char** /*argv*/,
                                            const Options& /*options*/,
                                            const std::filesystem::path& /*dataFolder*/,
                                            std::string& error) {
  error = "this build has no window, speech or sound; use --script or --check-puzzles.";
  return std::nullopt;
}
#endif

int RunWindowed(int argc, char** argv, const Options& options, ui::AppInfo app,
                const std::filesystem::path& puzzleFolder) {
  std::string error;
  std::optional<NativeParts> parts = BuildNativeParts(argc, argv, options, app.folder, error);
  if (!parts) {
    std::cerr << "orvanta: " << error << "\n";
    return 1;
  }
  // Values given with --rand come first (tests use them to fix the puzzle and the spins).
  QueuedRandom random;
  for (double r : options.rand)
    random.Queue(r);
  SteadyClock clock;

  if (!parts->speechProblem.empty()) {
    // A player who hears nothing must still learn why: the screen reader reads message boxes.
    std::cerr << "orvanta: " << parts->speechProblem << "\n";
    parts->toolkit->MsgBox(parts->speechProblem, ui::kProgramTitle, ui::MsgButtons::OK,
                           ui::MsgIcon::Information);
  }

  ProgramEnded end;
  try {
    Program program(Platform{*parts->toolkit, *parts->wavePlayer, *parts->speech, random, clock,
                             std::move(app), puzzleFolder});
    program.Main();
  } catch (ProgramEnded& ended) {
    end = std::move(ended);
  } catch (const std::exception& failure) {
    // A window the platform refuses to make (out of handles, no desktop): say so, never crash.
    end.error = failure.what();
    end.exitCode = 1;
  }
  if (!end.error.empty())
    std::cerr << "orvanta: " << end.error << "\n";
  return end.exitCode;
}

}  // namespace orvanta
