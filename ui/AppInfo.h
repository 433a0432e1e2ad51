// AppInfo.h: what the program knows of itself: its title, version and data folder.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orvanta::ui {

inline constexpr std::string_view kProgramTitle = "Orvanta";

struct AppInfo {
  // The game's data folder: the puzzles, the sounds and the jingle. Beside the executable in a
  // build tree, <prefix>/share/orvanta when installed.
  std::filesystem::path folder;
  int major = ORVANTA_VERSION_MAJOR;
  int minor = ORVANTA_VERSION_MINOR;

  // The jingle of the splash and the About box, by full path.
  std::string Jingle() const { return (folder / "ZONTARY.WAV").string(); }
};

}  // namespace orvanta::ui
