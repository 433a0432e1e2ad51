// ScreenReaderApis.h: the screen-reader route on Windows. The libraries come with the screen
// readers, not with the game: a player puts them beside orvanta.exe.
//  - JAWS: jfwapi32.dll, JFWSayString(text in the ANSI code page, interrupt 0 or 1).
//  - NVDA: its controller client, nvdaControllerClient32.dll (or nvdaControllerClient.dll):
//    nvdaController_speakText, nvdaController_cancelSpeech for an interrupt, and
//    nvdaController_brailleMessage so braille users read each sentence too.
// JAWS speaks when it runs (JFWSayString returns TRUE only then), else NVDA when
// nvdaController_testIfRunning reports it running; else the route is unreachable and the speech
// object falls back to the game's own voice.
#pragma once

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string_view>
#include <type_traits>

#include "speech/SpeechRoutes.h"

namespace orvanta::speech {

class ScreenReaderApis final : public ScreenReaderRoute {
 public:
  // Looks for the libraries in `gameFolder` only, at the first call.
  explicit ScreenReaderApis(std::filesystem::path gameFolder);

  bool SayString(std::string_view text, bool interrupt) override;

 private:
  struct LibraryDeleter {
    void operator()(HMODULE library) const { FreeLibrary(library); }
  };
  using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

  using JfwSayString = BOOL(WINAPI*)(const char*, BOOL);
  using NvdaCall = DWORD(WINAPI*)();
  using NvdaText = DWORD(WINAPI*)(const wchar_t*);

  void Load();
  bool SayWithNvda(std::string_view text, bool interrupt);

  std::filesystem::path gameFolder_;
  bool loaded_ = false;
  Library jaws_;
  JfwSayString jfwSayString_ = nullptr;
  Library nvda_;
  NvdaCall nvdaTestIfRunning_ = nullptr;
  NvdaCall nvdaCancelSpeech_ = nullptr;
  NvdaText nvdaSpeakText_ = nullptr;
  NvdaText nvdaBrailleMessage_ = nullptr;
};

}  // namespace orvanta::speech
