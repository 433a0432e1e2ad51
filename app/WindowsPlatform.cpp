// WindowsPlatform.cpp: the game on Windows: native Win32 windows (ui/win32), the screen readers'
// libraries, the Window-Eyes object and SAPI 5 for speech, winmm for sound (speech/windows), the
// executable's folder from GetModuleFileNameW.
//
// orvanta.exe is a windowed program, so that a player starting it from Explorer meets the game's
// window and nothing else. Script mode, the puzzle checker and --help write to the file or pipe
// they are given, or else to the console they were started from.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#undef PlaySound  // winmm's own PlaySound, not the wave player's

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>

#include "app/NativePlatform.h"

#ifdef ORVANTA_NATIVE_WINDOW
#include "base/windows/WideText.h"
#include "speech/windows/WindowsSpeechPlatform.h"
#include "speech/windows/WinmmWavePlayer.h"
#include "ui/win32/Win32Toolkit.h"
#endif

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

namespace {

bool Connected(DWORD stream) {
  const HANDLE handle = GetStdHandle(stream);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

}  // namespace

void ConnectStandardStreams() {
  // Each stream keeps its file or pipe; only those going nowhere are given the console.
  const bool input = Connected(STD_INPUT_HANDLE);
  const bool output = Connected(STD_OUTPUT_HANDLE);
  const bool errors = Connected(STD_ERROR_HANDLE);
  if ((input && output && errors) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
    return;
  }
  // freopen hands back the standard stream itself: nothing new to own or close.
  if (!input)
    std::freopen("CONIN$", "r", stdin);  // NOLINT(cppcoreguidelines-owning-memory)
  if (!output)
    std::freopen("CONOUT$", "w", stdout);  // NOLINT(cppcoreguidelines-owning-memory)
  if (!errors)
    std::freopen("CONOUT$", "w", stderr);  // NOLINT(cppcoreguidelines-owning-memory)
}

void UseBinaryStandardOutput() {
  _setmode(_fileno(stdout), _O_BINARY);
}

#ifdef ORVANTA_NATIVE_WINDOW

std::optional<NativeParts> BuildNativeParts(int /*argc*/, char** /*argv*/, const Options& options,
                                            const std::filesystem::path& dataFolder,
                                            std::string& error) {
  NativeParts parts;
  parts.toolkit = ui::MakeWin32Toolkit(error);
  if (!parts.toolkit) {
    return std::nullopt;
  }
  if (options.noSound) {
    parts.wavePlayer = std::make_unique<speech::SilentWavePlayer>();
  } else {
    parts.wavePlayer = std::make_unique<speech::WinmmWavePlayer>(dataFolder);
  }
  // The speech log: one UTF-8 line for each sentence, written at once, so a player's report
  // holds everything up to the moment something went wrong.
  speech::DebugOutput log;
  if (options.speechLog) {
    auto file = std::make_shared<std::ofstream>(*options.speechLog, std::ios::binary);
    if (*file) {
      log = [file](std::wstring_view line) {
        *file << text::Utf8FromWide(line) << '\n' << std::flush;
      };
    }
  }
  speech::DebugOutput debug = [log](std::wstring_view line) {
    speech::WindowsDebugOutput(line);
    if (log)
      log(line);
  };
  auto speech = std::make_unique<speech::WindowsSpeechPlatform>(
      options.speech, ExecutableFolder(), std::make_unique<ui::ActiveGameWindow>(),
      std::move(debug), std::move(log));
  parts.speechProblem = speech->SpeechProblem();
  parts.speech = std::move(speech);
  return parts;
}

#endif  // ORVANTA_NATIVE_WINDOW

}  // namespace orvanta
