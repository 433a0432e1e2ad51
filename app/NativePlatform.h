// NativePlatform.h: what each platform's wiring file gives the program: app/LinuxPlatform.cpp
// (wxWidgets on GTK, speech-dispatcher and espeak-ng, SDL2) and app/WindowsPlatform.cpp (Win32,
// the screen readers' libraries and SAPI 5, winmm). CMake builds the one of the target platform.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/Options.h"
#include "speech/SpeechRoutes.h"
#include "speech/WavePlayer.h"
#include "ui/Toolkit.h"

namespace orvanta {

// The folder of the running executable, whatever the working directory (the current directory
// when the system cannot say). The game's data is found from there (see DataFolder.h).
std::filesystem::path ExecutableFolder();

// Gives a program without a console of its own (the Windows game is a windowed program) the
// console it was started from, when its output goes to no file or pipe.
void ConnectStandardStreams();

// Standard output writes its bytes as they are: script mode's events end in a line feed alone,
// also where text output would turn it into CR LF (Windows).
void UseBinaryStandardOutput();

// The real game's window toolkit, speech routes and wave player, built for the player's options.
struct NativeParts {
  std::unique_ptr<ui::Toolkit> toolkit;  // first in, last out: the others may use the display
  std::unique_ptr<speech::WavePlayer> wavePlayer;
  std::unique_ptr<speech::SpeechPlatform> speech;
  // A sentence for the player when the game cannot speak at all; empty when it can or when the
  // player asked for silence.
  std::string speechProblem;
};

// Builds them; when the window cannot open (no display, a build without a window), returns
// nothing and puts a sentence for the player into `error`. `dataFolder` holds the sounds and
// the icons.
std::optional<NativeParts> BuildNativeParts(int argc, char** argv, const Options& options,
                                            const std::filesystem::path& dataFolder,
                                            std::string& error);

}  // namespace orvanta
