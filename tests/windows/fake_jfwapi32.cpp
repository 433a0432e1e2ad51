// fake_jfwapi32.dll: stands in for the JAWS API library in tests. Each JFWSayString call is
// appended to the file named by ORVANTA_FAKE_JAWS_LOG as one line: the interrupt flag, a space
// and the text's bytes exactly as received (the ANSI code page). Without that variable it
// answers as a JAWS that is not running.
#include <windows.h>

#include <fstream>

extern "C" BOOL __stdcall JFWSayString(const char* text, BOOL interrupt) {
  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("ORVANTA_FAKE_JAWS_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return FALSE;
  std::ofstream(path, std::ios::binary | std::ios::app)
      << (interrupt != FALSE ? 1 : 0) << ' ' << (text != nullptr ? text : "") << '\n';
  return TRUE;
}
