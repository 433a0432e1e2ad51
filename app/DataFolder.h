// DataFolder.h: where the game's data (puzzles, sounds, icon) is: beside the executable in a
// build tree or a portable folder, <prefix>/share/orvanta when installed.
#pragma once

#include <filesystem>

namespace orvanta {

// `executableFolder` comes from the platform (ExecutableFolder in NativePlatform.h).
std::filesystem::path FindDataFolder(const std::filesystem::path& executableFolder);

}  // namespace orvanta
