#include "app/Program.h"

namespace orvanta {

// The rules and the windows hold references to one another; each is only used once all three
// exist (Main() runs after construction).
Program::Program(Platform platform)
    : app_(std::move(platform.app)),
      sound_(platform.wavePlayer),
      game_(GameServices{platform.toolkit, forms_, sound_, platform.random, platform.clock,
                         std::move(platform.puzzleFolder)},
            main_, splash_),
      main_(platform.toolkit, forms_, sound_, platform.speech, game_, splash_),
      splash_(platform.toolkit, forms_, sound_, app_, main_) {}

script::ScriptState Program::State() {
  return {main_.txtPuzzle.Text(),    main_.txtCategory.Text(),
          main_.txtUsed.Text(),      main_.txtMoney.Text(),
          main_.lblWheel.Text(),     main_.cmdSpin.Enabled(),
          main_.frmPuzzle.Visible(), main_.frmWheel.Visible(),
          game_.UsedLetters,         game_.FreeSpins};
}

}  // namespace orvanta
