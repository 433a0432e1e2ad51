// ScreenReaderApis.cpp: JAWS first, then NVDA, each reached through the library that its
// screen reader ships.
#include "speech/windows/ScreenReaderApis.h"

#include <string>

#include "speech/windows/AnsiText.h"

namespace orvanta::speech {

namespace {

// GetProcAddress gives a generic function pointer; the generic form is cast to the real one.
template <typename Function>
Function Entry(HMODULE library, const char* name) {
  if (!library) {
    return nullptr;
  }
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

HMODULE LoadBeside(const std::filesystem::path& folder, const wchar_t* name) {
  // A full path: the library is taken from the game's folder, never from the search path.
  return LoadLibraryW((folder / name).c_str());
}

}  // namespace

ScreenReaderApis::ScreenReaderApis(std::filesystem::path gameFolder)
    : gameFolder_(std::move(gameFolder)) {}

void ScreenReaderApis::Load() {
  loaded_ = true;
  jaws_.reset(LoadBeside(gameFolder_, L"jfwapi32.dll"));
  jfwSayString_ = Entry<JfwSayString>(jaws_.get(), "JFWSayString");

  nvda_.reset(LoadBeside(gameFolder_, L"nvdaControllerClient32.dll"));
  if (!nvda_) {
    nvda_.reset(LoadBeside(gameFolder_, L"nvdaControllerClient.dll"));
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
