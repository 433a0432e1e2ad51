// WindowsPlatform.cpp: the game on Windows: native Win32 windows (ui/win32), the screen readers'
// libraries, the Window-Eyes object and SAPI 5 for speech, winmm for sound (speech/windows), the
// executable's folder from GetModuleFileNameW.
//
// orvanta.exe is a console program, so that script mode and the puzzle checker write to the
// console or pipe they are started from. A windowed game started from Explorer gets a console
// of its own, which it lets go of at once (the player's screen reader then stays on the game's
// window); started from a console, it leaves that console alone.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#undef PlaySound  // winmm's own PlaySound, not the wave player's

#include <cstdio>
#include <string>
#include <system_error>

#include "app/NativePlatform.h"

#ifdef ORVANTA_NATIVE_WINDOW
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

void UseBinaryStandardOutput() {
  _setmode(_fileno(stdout), _O_BINARY);
}

#ifdef ORVANTA_NATIVE_WINDOW

namespace {

speech::WindowsSpeech ChoiceOf(SpeechOption option) {
  switch (option) {
    case SpeechOption::SelfVoicing:
      return speech::WindowsSpeech::SelfVoicing;
    case SpeechOption::Silent:
      return speech::WindowsSpeech::Silent;
    case SpeechOption::Default:
    case SpeechOption::ScreenReader:
      break;
  }
  return speech::WindowsSpeech::ScreenReader;
}

class NoSound final : public speech::WavePlayer {
 public:
  void PlaySound(std::string_view, speech::PlayMode) override {}
};

// Lets go of a console that was made for this program alone (started from Explorer).
void LeaveOwnConsole() {
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) == 1) {
    FreeConsole();
  }
}

}  // namespace

std::optional<NativeParts> BuildNativeParts(int /*argc*/, char** /*argv*/, const Options& options,
                                            const std::filesystem::path& dataFolder,
                                            std::string& error) {
  LeaveOwnConsole();
  NativeParts parts;
  parts.toolkit = ui::MakeWin32Toolkit(error);
  if (!parts.toolkit) {
    return std::nullopt;
  }
  if (options.noSound) {
    parts.wavePlayer = std::make_unique<NoSound>();
  } else {
    parts.wavePlayer = std::make_unique<speech::WinmmWavePlayer>(dataFolder);
  }
  parts.speech =
      std::make_unique<speech::WindowsSpeechPlatform>(ChoiceOf(options.speech), ExecutableFolder());
  return parts;
}

#else

std::optional<NativeParts> BuildNativeParts(int /*argc*/, char** /*argv*/,
                                            const Options& /*options*/,
                                            const std::filesystem::path& /*dataFolder*/,
                                            std::string& error) {
  error = "this build has no window, speech or sound; use --script or --check-puzzles.";
  return std::nullopt;
}

#endif

}  // namespace orvanta
