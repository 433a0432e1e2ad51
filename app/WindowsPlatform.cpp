// WindowsPlatform.cpp: the game on Windows: the executable's folder from GetModuleFileNameW and
// standard output in binary mode. Without the native back ends (ORVANTA_NATIVE_WINDOW) only
// script mode and the puzzle checker run.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <system_error>

#include "app/NativePlatform.h"

namespace orvanta {

std::filesystem::path ExecutableFolder() {
  // The module's own file name, in wide characters so that no folder name is lost to the code
  // page. A name longer than the buffer comes back cut to its size: the buffer then grows.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) {
      std::error_code error;
      return std::filesystem::current_path(error);
    }
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);
  }
}

void UseBinaryStandardOutput() {
  _setmode(_fileno(stdout), _O_BINARY);
}

std::optional<NativeParts> BuildNativeParts(int /*argc*/, char** /*argv*/,
                                            const Options& /*options*/,
                                            const std::filesystem::path& /*dataFolder*/,
                                            std::string& error) {
  error = "this build has no window, speech or sound; use --script or --check-puzzles.";
  return std::nullopt;
}

}  // namespace orvanta
