// WinmmWavePlayer.cpp: the file name in the ANSI code page, as sndPlaySoundA takes it.
#include "speech/windows/WinmmWavePlayer.h"

#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>
#undef PlaySound  // winmm's own PlaySound, not the wave player's

#include <string>
#include <system_error>

#include "base/windows/WideText.h"
#include "speech/windows/AnsiText.h"

namespace orvanta::speech {

WinmmWavePlayer::WinmmWavePlayer(std::filesystem::path gameFolder)
    : gameFolder_(std::move(gameFolder)) {}

void WinmmWavePlayer::PlaySound(std::string_view fileName, PlayMode mode) {
  std::wstring name = text::WideFromUtf8(fileName);
  // A bare name (the game's effects) is the working directory's file when there is one, else
  // the game folder's: the game finds its sounds wherever it is started from.
  std::error_code error;
  if (name.find_first_of(L"\\/:") == std::wstring::npos &&
      !std::filesystem::exists(std::filesystem::path(name), error) &&
      std::filesystem::exists(gameFolder_ / name, error)) {
    name = (gameFolder_ / name).wstring();
  }
  sndPlaySoundA(AnsiFromWide(name).c_str(), mode == PlayMode::Async ? SND_ASYNC : SND_SYNC);
}

}  // namespace orvanta::speech
