// Stands in for winmm.dll in tests, loaded instead of Wine's own with WINEDLLOVERRIDES=winmm=n.
// Each sndPlaySoundA call is appended to the file named by ORVANTA_FAKE_WINMM_LOG as one line:
// the flags, a space and the file name's bytes exactly as received (the ANSI code page).
#define WIN32_LEAN_AND_MEAN  // without mmsystem.h: this file defines its function
#include <windows.h>

#include <fstream>

extern "C" BOOL __stdcall sndPlaySoundA(const char* file, UINT flags) {
  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("ORVANTA_FAKE_WINMM_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return FALSE;
  std::ofstream(path, std::ios::binary | std::ios::app)
      << flags << ' ' << (file != nullptr ? file : "") << '\n';
  return TRUE;
}

// Tells a test that this fake, not the system's winmm, is loaded.
extern "C" int __stdcall OrvantaFakeWinmm() {
  return 1;
}
