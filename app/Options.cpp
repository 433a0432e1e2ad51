#include "app/Options.h"

#include <charconv>

namespace orvanta {

const char* const kUsage =
    "Usage: orvanta [OPTION]...\n"
    "An accessible phrase-guessing game, played from the keyboard and spoken aloud.\n"
    "\n"
    "  --speech MODE          how the game speaks: screenreader (the default: through your\n"
    "                         screen reader, Orca on Linux, in its voice and on braille; without\n"
    "                         it, through the speech service), speech-dispatcher (the speech\n"
    "                         service even when Orca runs), selfvoicing (the game's own voice)\n"
    "                         or silent\n"
    "  --rate N               the game's speech rate from -100 (slowest) to 100 (fastest);\n"
    "                         0, the default, is the speech service's or espeak-ng's normal rate\n"
    "                         (through Orca, Orca's own settings rule, as for --voice)\n"
    "  --voice NAME           the game's voice: a voice of speech-dispatcher (spd-say -L) or,\n"
    "                         with selfvoicing, of espeak-ng (espeak-ng --voices)\n"
    "  --speech-log FILE      (Windows) write to FILE which screen reader took each sentence\n"
    "                         and why the ones before it were passed over\n"
    "  --no-sound             play no sound effects\n"
    "  --puzzles DIR          play the puzzle files (*.orp) of DIR instead of the shipped ones\n"
    "  --check-puzzles [DIR]  check every puzzle file of DIR (default: the shipped puzzles) and\n"
    "                         report each problem; exit status 0 when all are good\n"
    "  --script               play driven by commands on standard input, writing every event as\n"
    "                         JSON lines on standard output (for automatic tests; no display)\n"
    "  --rand R[,R...]        values (0 <= R < 1) for the first random draws (for tests)\n"
    "  --help                 show this help and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Keys in the game: Space spins the wheel, a letter calls it, F1 quick help, F4 used letters,\n"
    "F5 money, F6 free spins, F7 category, F8 read the puzzle, F12 solve.\n"
    "Any key silences what the game is saying through Orca or the screen reader's speech\n"
    "service; Ctrl alone silences the game's own voice.\n";

namespace {

bool ParseRandList(std::string_view list, std::vector<double>& values) {
  while (!list.empty()) {
    const auto comma = list.find(',');
    const std::string_view item = list.substr(0, comma);
    double value = -1;
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), value);
    if (error != std::errc() || end != item.data() + item.size() || !(value >= 0 && value < 1)) {
      return false;
    }
    values.push_back(value);
    if (comma == std::string_view::npos)
      break;
    list.remove_prefix(comma + 1);
  }
  return !values.empty();
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string_view>& args, std::string& error) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--script") {
      options.script = true;
    } else if (arg == "--no-sound") {
      options.noSound = true;
    } else if (arg == "--check-puzzles") {
      options.checkPuzzles = true;
      if (hasValue && args[i + 1].substr(0, 2) != "--")
        options.puzzles = args[++i];
    } else if (arg == "--puzzles") {
      if (!hasValue) {
        error = "--puzzles needs a folder";
        return std::nullopt;
      }
      options.puzzles = args[++i];
    } else if (arg == "--speech-log") {
      if (!hasValue || args[i + 1].empty()) {
        error = "--speech-log needs the name of a file";
        return std::nullopt;
      }
      options.speechLog = args[++i];
    } else if (arg == "--rand") {
      if (!hasValue || !ParseRandList(args[++i], options.rand)) {
        error = "--rand needs numbers from 0 up to (not including) 1, separated by commas";
        return std::nullopt;
      }
    } else if (arg == "--rate") {
      const std::string_view value = hasValue ? args[++i] : std::string_view();
      int rate = 0;
      const auto [end, problem] = std::from_chars(value.data(), value.data() + value.size(), rate);
      if (value.empty() || problem != std::errc() || end != value.data() + value.size() ||
          rate < -100 || rate > 100) {
        error = "--rate needs a whole number from -100 to 100";
        return std::nullopt;
      }
      options.rate = rate;
    } else if (arg == "--voice") {
      if (!hasValue || args[i + 1].empty()) {
        error = "--voice needs the name of a voice";
        return std::nullopt;
      }
      options.voice = args[++i];
    } else if (arg == "--speech") {
      const std::string_view mode = hasValue ? args[++i] : std::string_view();
      if (mode == "screenreader") {
        options.speech = speech::SpeechChoice::ScreenReader;
      } else if (mode == "speech-dispatcher") {
        options.speech = speech::SpeechChoice::SpeechDispatcher;
      } else if (mode == "selfvoicing") {
        options.speech = speech::SpeechChoice::SelfVoicing;
      } else if (mode == "silent") {
        options.speech = speech::SpeechChoice::Silent;
      } else {
        error = "--speech needs one of screenreader, speech-dispatcher, selfvoicing, silent";
        return std::nullopt;
      }
    } else {
      error = "unknown option '" + std::string(arg) + "'";
      return std::nullopt;
    }
    if (options.puzzles && options.puzzles->empty()) {
      error = std::string(arg) + " needs the name of a folder, not an empty one";
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace orvanta
