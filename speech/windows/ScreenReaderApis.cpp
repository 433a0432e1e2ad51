// ScreenReaderApis.cpp: JAWS first, then NVDA, each reached through the library that its
// screen reader ships.
#include "speech/windows/ScreenReaderApis.h"

#include <array>
#include <string>
#include <system_error>
#include <utility>

#include "speech/windows/AnsiText.h"

namespace orvanta::speech {

namespace {

#ifdef _WIN64
constexpr std::wstring_view kBitness = L"64-bit";
constexpr std::array<const wchar_t*, 0> kJawsLibraries{};  // jfwapi32.dll is 32-bit only
constexpr std::array kNvdaLibraries{L"nvdaControllerClient64.dll", L"nvdaControllerClient.dll"};
// The libraries of the 32-bit game, which a player may have copied here by mistake.
constexpr std::array kOtherBitnessLibraries{L"jfwapi32.dll", L"nvdaControllerClient32.dll"};
#else
constexpr std::wstring_view kBitness = L"32-bit";
constexpr std::array kJawsLibraries{L"jfwapi32.dll"};
constexpr std::array kNvdaLibraries{L"nvdaControllerClient32.dll", L"nvdaControllerClient.dll"};
constexpr std::array kOtherBitnessLibraries{L"nvdaControllerClient64.dll"};
#endif

// GetProcAddress gives a generic function pointer; the generic form is cast to the real one.
template <typename Function>
Function Entry(HMODULE library, const char* name) {
  if (!library) {
    return nullptr;
  }
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

}  // namespace

void WindowsDebugOutput(std::wstring_view message) {
  OutputDebugStringW((std::wstring(message) + L"\n").c_str());
}

std::span<const wchar_t* const> ScreenReaderApis::JawsLibraries() {
  return kJawsLibraries;
}

std::span<const wchar_t* const> ScreenReaderApis::NvdaLibraries() {
  return kNvdaLibraries;
}

ScreenReaderApis::ScreenReaderApis(std::filesystem::path gameFolder, DebugOutput debug)
    : gameFolder_(std::move(gameFolder)), debug_(std::move(debug)) {}

HMODULE ScreenReaderApis::LoadBeside(const wchar_t* name) const {
  // A full path: the library is taken from the game's folder, never from the search path.
  const std::filesystem::path path = gameFolder_ / name;
  HMODULE library = LoadLibraryW(path.c_str());
  const DWORD error = GetLastError();
  if (library || error == ERROR_MOD_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) {
    return library;
  }
  const std::wstring why =
      error == ERROR_BAD_EXE_FORMAT
          ? L" is not a " + std::wstring(kBitness) + L" library and cannot be loaded: "
          : L" cannot be loaded (Windows error " + std::to_wstring(error) + L"): ";
  debug_(L"Orvanta (" + std::wstring(kBitness) + L"): " + name + why + path.wstring());
  return nullptr;
}

void ScreenReaderApis::Load() {
  loaded_ = true;
  for (const wchar_t* name : kOtherBitnessLibraries) {
    std::error_code error;
    const std::filesystem::path path = gameFolder_ / name;
    if (std::filesystem::exists(path, error)) {
      debug_(L"Orvanta (" + std::wstring(kBitness) + L"): " + name +
             L" is a library for the other bitness of the game and is not used: " + path.wstring());
    }
  }
  for (const wchar_t* name : JawsLibraries()) {
    jaws_.reset(LoadBeside(name));
  }
  jfwSayString_ = Entry<JfwSayString>(jaws_.get(), "JFWSayString");

  for (const wchar_t* name : NvdaLibraries()) {
    if (!nvda_) {
      nvda_.reset(LoadBeside(name));
    }
  }
  nvdaTestIfRunning_ = Entry<NvdaCall>(nvda_.get(), "nvdaController_testIfRunning");
  nvdaCancelSpeech_ = Entry<NvdaCall>(nvda_.get(), "nvdaController_cancelSpeech");
  nvdaSpeakText_ = Entry<NvdaText>(nvda_.get(), "nvdaController_speakText");
  nvdaBrailleMessage_ = Entry<NvdaText>(nvda_.get(), "nvdaController_brailleMessage");
}

bool ScreenReaderApis::SayString(std::string_view text, bool interrupt) {
  if (!loaded_) {
    Load();
  }
  // JFWSayString answers FALSE when JAWS is not running.
  if (jfwSayString_ && jfwSayString_(AnsiFromUtf8(text).c_str(), interrupt ? 1 : 0)) {
    return true;
  }
  return SayWithNvda(text, interrupt);
}

bool ScreenReaderApis::SayWithNvda(std::string_view text, bool interrupt) {
  if (!nvdaTestIfRunning_ || !nvdaCancelSpeech_ || !nvdaSpeakText_ || !nvdaBrailleMessage_ ||
      nvdaTestIfRunning_() != 0) {
    return false;
  }
  if (interrupt) {
    nvdaCancelSpeech_();
  }
  // The interrupt alone is a single space: NVDA is only silenced, its braille line kept.
  if (text.find_first_not_of(' ') == std::string_view::npos) {
    return true;
  }
  const std::wstring wide = WideFromUtf8(text);
  nvdaSpeakText_(wide.c_str());
  nvdaBrailleMessage_(wide.c_str());
  return true;
}

}  // namespace orvanta::speech
