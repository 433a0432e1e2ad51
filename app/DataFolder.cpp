#include "app/DataFolder.h"

#include <system_error>

namespace orvanta {

std::filesystem::path FindDataFolder(const std::filesystem::path& executableFolder) {
  std::error_code error;
  if (std::filesystem::is_directory(executableFolder / "Puzzles", error)) {
    return executableFolder;
  }
  // Installed: <prefix>/bin/orvanta with its data in <prefix>/share/orvanta.
  std::filesystem::path installed = executableFolder.parent_path() / ORVANTA_INSTALL_DATA_DIR;
  if (std::filesystem::is_directory(installed, error)) {
    return installed;
  }
  return executableFolder;
}

}  // namespace orvanta
