// ScreenReaderApis.h: the screen-reader route on Windows. The libraries come with the screen
// readers, not with the game: a player puts them beside orvanta.exe. A program loads only
// libraries of its own bitness, so the names looked for follow the game's.
//  - JAWS: jfwapi32.dll (32-bit game only), JFWSayString(text in the ANSI code page,
//    interrupt 0 or 1).
//  - NVDA: its controller client, nvdaControllerClient32.dll or nvdaControllerClient64.dll
//    (else nvdaControllerClient.dll): nvdaController_speakText, nvdaController_cancelSpeech for
//    an interrupt, and nvdaController_brailleMessage so braille users read each sentence too.
// JAWS speaks when it runs (JFWSayString returns TRUE only then), else NVDA when
// nvdaController_testIfRunning reports it running; else the route is unreachable and the speech
// object falls back to the game's own voice. A library beside the game that cannot be used (of
// the other bitness, say) is named in Windows' debug output, which DebugView shows.
#pragma once

#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <type_traits>

#include "speech/SpeechRoutes.h"

namespace orvanta::speech {

// Where the route says why a library beside the game went unused.
using DebugOutput = std::function<void(std::wstring_view)>;

// The debug output of Windows (OutputDebugStringW), one line a message.
void WindowsDebugOutput(std::wstring_view message);

class ScreenReaderApis final : public ScreenReaderRoute {
 public:
  // The screen readers' libraries this game can load, in the order they are tried.
  static std::span<const wchar_t* const> JawsLibraries();
  static std::span<const wchar_t* const> NvdaLibraries();

  // Looks for the libraries in `gameFolder` only, at the first call.
  explicit ScreenReaderApis(std::filesystem::path gameFolder,
                            DebugOutput debug = WindowsDebugOutput);

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
  HMODULE LoadBeside(const wchar_t* name) const;
  bool SayWithNvda(std::string_view text, bool interrupt);

  std::filesystem::path gameFolder_;
  DebugOutput debug_;
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
