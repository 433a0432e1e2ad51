// Options.h: the command line of the game.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "speech/SpeechChoice.h"

namespace orvanta {

struct Options {
  bool help = false;
  bool version = false;
  bool script = false;
  bool checkPuzzles = false;
  bool noSound = false;
  speech::SpeechChoice speech = speech::SpeechChoice::ScreenReader;  // --speech MODE
  std::optional<int> rate;  // --rate N: the game's speech rate, -100 to 100 (0: normal)
  std::string voice;        // --voice NAME: a voice of the speech route's own
  std::optional<std::filesystem::path> puzzles;  // --puzzles DIR, or the folder of --check-puzzles
  std::vector<double> rand;                      // --rand R[,R...]
  std::optional<std::filesystem::path> speechLog;  // --speech-log FILE (Windows)
};

// Parses the arguments after the program name; on a mistake returns nothing and sets `error`.
std::optional<Options> ParseOptions(const std::vector<std::string_view>& args, std::string& error);

extern const char* const kUsage;

}  // namespace orvanta
