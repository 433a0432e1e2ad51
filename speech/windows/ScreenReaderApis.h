// ScreenReaderApis.h: the screen-reader route on Windows. For each sentence the first of these
// that is there takes it, with nothing for the player to install or copy:
//  1. JAWS, while a window of class JFWUI2 exists: jfwapi32.dll beside the game (32-bit game
//     only), else the automation object every JAWS installation registers (FreedomSci.JawsApi,
//     called by name: SayString, StopSpeech, and RunFunction("BrailleString(...)") for braille).
//  2. NVDA, through its controller client beside the game (nvdaControllerClient32.dll or
//     nvdaControllerClient64.dll, else nvdaControllerClient.dll) when it answers that NVDA runs:
//     speech, cancel for an interrupt, and braille.
//  3. Any screen reader through UI Automation notifications (UiaNotifications.h).
// Else no screen reader took the sentence, and the speech object speaks it in its own voice.
//
// Braille: sentences said close together go to the display as one message, and to UI Automation
// as one notification (SentenceBatch.h); speech keeps every sentence.
//
// Why a library beside the game went unused (one of the other bitness, say) is written to
// Windows' debug output, which DebugView shows; the speech log, when the player asks for one,
// also hears which reader took each sentence and why the ones before it were passed over.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/windows/Library.h"
#include "speech/SentenceBatch.h"
#include "speech/SpeechRoutes.h"
#include "speech/windows/DispatchObject.h"
#include "speech/windows/UiaNotifications.h"

namespace orvanta::speech {

// Where the route writes a line: why a library went unused, or (the speech log) who spoke.
using DebugOutput = std::function<void(std::wstring_view)>;

// The debug output of Windows (OutputDebugStringW), one line a message.
void WindowsDebugOutput(std::wstring_view message);

class ScreenReaderApis final : public ScreenReaderRoute {
 public:
  // The screen readers' libraries this game can load, in the order they are tried.
  static std::span<const wchar_t* const> JawsLibraries();
  static std::span<const wchar_t* const> NvdaLibraries();

  // Looks for the libraries in `gameFolder` only, at the first call. `windows` gives the
  // window that UI Automation notifications come from (none: that step is passed over);
  // `log`, when set, hears one line a sentence and a braille message.
  ScreenReaderApis(std::filesystem::path gameFolder, WindowToPresentFrom* windows,
                   DebugOutput debug = WindowsDebugOutput, DebugOutput log = {});
  ~ScreenReaderApis() override;
  ScreenReaderApis(const ScreenReaderApis&) = delete;
  ScreenReaderApis& operator=(const ScreenReaderApis&) = delete;

  bool SayString(std::string_view text, bool interrupt) override;

  // Sends the braille message still waiting for more sentences.
  void SendBraille();

 private:
  enum class Reader { None, JawsLibrary, JawsObject, Nvda, Uia };
  using JfwSayString = BOOL(WINAPI*)(const char*, BOOL);
  using NvdaCall = DWORD(WINAPI*)();
  using NvdaText = DWORD(WINAPI*)(const wchar_t*);

  static LRESULT CALLBACK TimerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Load();
  HMODULE LoadBeside(const wchar_t* name) const;
  Reader SayWithJaws(std::string_view text, const std::wstring& wide, bool interrupt,
                     std::wstring& passed);
  Reader SayWithNvda(const std::wstring& wide, bool interrupt, std::wstring& passed);
  void AddToBraille(Reader reader, std::string_view text, bool interrupt);
  void Log(const std::wstring& line) const;

  std::filesystem::path gameFolder_;
  DebugOutput debug_;
  DebugOutput log_;
  bool loaded_ = false;
  Library jaws_;
  JfwSayString jfwSayString_ = nullptr;
  std::optional<DispatchObject> jawsObject_;
  Library nvda_;
  NvdaCall nvdaTestIfRunning_ = nullptr;
  NvdaCall nvdaCancelSpeech_ = nullptr;
  NvdaText nvdaSpeakText_ = nullptr;
  NvdaText nvdaBrailleMessage_ = nullptr;
  UiaNotifications uia_;
  SentenceBatch braille_;
  Reader brailleReader_ = Reader::None;  // the reader the message held goes to
  std::chrono::steady_clock::time_point lastSentence_;
  HWND timer_ = nullptr;  // a message-only window whose timer sends the braille message
};

}  // namespace orvanta::speech
