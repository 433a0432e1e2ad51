// Stands in for NVDA's controller client (nvdaControllerClient32.dll) in tests. NVDA "runs"
// while ORVANTA_FAKE_NVDA_LOG names a file; each call is appended to it as one line: "speak "
// or "braille " and the text in UTF-8, or "cancel".
#include <windows.h>

#include <fstream>
#include <string>

namespace {

constexpr DWORD kNotRunning = 1717;  // RPC_S_UNKNOWN_IF, what the client answers without NVDA

bool Log(const char* what, const wchar_t* text) {
  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("ORVANTA_FAKE_NVDA_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return false;
  std::string line = what;
  if (text != nullptr) {
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
    line += std::string(" ") + utf8;
  }
  std::ofstream(path, std::ios::binary | std::ios::app) << line << '\n';
  return true;
}

}  // namespace

extern "C" DWORD __stdcall nvdaController_testIfRunning() {
  char path[MAX_PATH];
  return GetEnvironmentVariableA("ORVANTA_FAKE_NVDA_LOG", path, MAX_PATH) != 0 ? 0 : kNotRunning;
}
extern "C" DWORD __stdcall nvdaController_speakText(const wchar_t* text) {
  return Log("speak", text) ? 0 : kNotRunning;
}
extern "C" DWORD __stdcall nvdaController_brailleMessage(const wchar_t* text) {
  return Log("braille", text) ? 0 : kNotRunning;
}
extern "C" DWORD __stdcall nvdaController_cancelSpeech() {
  return Log("cancel", nullptr) ? 0 : kNotRunning;
}
