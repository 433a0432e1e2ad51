// Windowed.h: the real game, in a native window with speech and sound.
#pragma once

#include <filesystem>

#include "app/Options.h"
#include "ui/AppInfo.h"

namespace orvanta {

int RunWindowed(int argc, char** argv, const Options& options, ui::AppInfo app,
                const std::filesystem::path& puzzleFolder);

}  // namespace orvanta
