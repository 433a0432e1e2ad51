// Built without the native back ends: only script mode and the puzzle checker are available.
#include <iostream>

#include "app/Windowed.h"

namespace orvanta {

int RunWindowed(int /*argc*/, char** /*argv*/, const Options& /*options*/, ui::AppInfo /*app*/,
                const std::filesystem::path& /*puzzleFolder*/) {
  std::cerr << "orvanta: this build has no window, speech or sound; use --script or "
               "--check-puzzles.\n";
  return 1;
}

}  // namespace orvanta
