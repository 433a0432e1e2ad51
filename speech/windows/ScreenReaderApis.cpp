// ScreenReaderApis.cpp: JAWS first, then NVDA, then UI Automation notifications, and the braille
// message that gathers the sentences said close together.
#include "speech/windows/ScreenReaderApis.h"

#include <array>
#include <string>
#include <system_error>
#include <utility>

#include "base/windows/WideText.h"
#include "base/windows/WindowClass.h"
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

constexpr const wchar_t* kJawsWindowClass = L"JFWUI2";
constexpr const wchar_t* kJawsObject = L"FreedomSci.JawsApi";
constexpr const wchar_t* kTimerClass = L"OrvantaBrailleTimer";
constexpr UINT_PTR kBrailleTimer = 1;

bool Blank(const std::wstring& text) {
  return text.find_first_not_of(L' ') == std::wstring::npos;
}

// The text inside the double quotes of a JAWS script call: a double quote would end the string
// early and a line break would end the call, so they become a single quote and a space.
std::wstring ScriptString(const std::wstring& text) {
  std::wstring quoted;
  for (const wchar_t c : text) {
    quoted += c == L'"' ? L'\'' : (c < L' ' ? L' ' : c);
  }
  return quoted;
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

ScreenReaderApis::ScreenReaderApis(std::filesystem::path gameFolder, WindowToPresentFrom* windows,
                                   DebugOutput debug, DebugOutput log)
    : gameFolder_(std::move(gameFolder)),
      debug_(std::move(debug)),
      log_(std::move(log)),
      uia_(windows, L"Orvanta") {
  uia_.OnHostClosing([this] { SendBraille(); });
}

ScreenReaderApis::~ScreenReaderApis() {
  SendBraille();
  uia_.OnHostClosing({});
  if (timer_ != nullptr) {
    DestroyWindow(timer_);
  }
}

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
  // A window of our own that only hears its timer: the braille message goes out from the
  // game's message loop once no sentence followed for a moment.
  RegisterWindowClassOnce(kTimerClass, TimerProcedure);
  timer_ = CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (timer_ != nullptr) {
    SetWindowLongPtrW(timer_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
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

LRESULT CALLBACK ScreenReaderApis::TimerProcedure(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  // The window holds the pointer it was given in Load.
  auto* self = reinterpret_cast<ScreenReaderApis*>(  // NOLINT(performance-no-int-to-ptr)
      GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_TIMER && self != nullptr) {
    self->SendBraille();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool ScreenReaderApis::SayString(std::string_view text, bool interrupt) {
  if (!loaded_) {
    Load();
  }
  const std::wstring wide = text::WideFromUtf8(text);
  std::wstring passed;  // why the readers before the one that spoke were passed over
  Reader reader = SayWithJaws(text, wide, interrupt, passed);
  if (reader == Reader::None) {
    reader = SayWithNvda(wide, interrupt, passed);
  }
  if (reader == Reader::None) {
    std::wstring why;
    if (uia_.Ready(why)) {
      reader = Reader::Uia;  // spoken with the braille: one notification for both
    } else {
      passed += why + L"; ";
    }
  }
  AddToBraille(reader, text, interrupt);
  if (log_) {
    constexpr std::array<const wchar_t*, 5> kNames{
        L"no screen reader took", L"said by JAWS (jfwapi32.dll)",
        L"said by JAWS (FreedomSci.JawsApi)", L"said by NVDA (its controller client)",
        L"to be said by UI Automation notification"};
    std::wstring line = kNames.at(static_cast<std::size_t>(reader));
    line += (interrupt ? L", interrupting: \"" : L": \"") + wide + L"\"";
    if (!passed.empty()) {
      line += L"; passed over: " + passed.substr(0, passed.size() - 2);
    }
    Log(line);
  }
  return reader != Reader::None;
}

ScreenReaderApis::Reader ScreenReaderApis::SayWithJaws(std::string_view text,
                                                       const std::wstring& wide, bool interrupt,
                                                       std::wstring& passed) {
  if (FindWindowW(kJawsWindowClass, nullptr) == nullptr) {
    passed += L"JAWS: not running (no window of class JFWUI2); ";
    return Reader::None;
  }
  if (jfwSayString_ != nullptr) {
    if (jfwSayString_(AnsiFromUtf8(text).c_str(), interrupt ? 1 : 0) != FALSE) {
      return Reader::JawsLibrary;
    }
    passed += L"JAWS: jfwapi32.dll refused the sentence; ";
  }
  try {
    if (!jawsObject_) {
      jawsObject_ = DispatchObject::Create(kJawsObject);
    }
    if (!Blank(wide)) {
      jawsObject_->Call(L"SayString", {wide, interrupt});
    } else if (interrupt) {
      jawsObject_->Call(L"StopSpeech", {});
    }
    return Reader::JawsObject;
  } catch (const SpeechRouteError& error) {
    jawsObject_.reset();  // made again for the next sentence: JAWS may have been restarted
    passed += L"JAWS: " + text::WideFromUtf8(error.what()) + L"; ";
    return Reader::None;
  }
}

ScreenReaderApis::Reader ScreenReaderApis::SayWithNvda(const std::wstring& wide, bool interrupt,
                                                       std::wstring& passed) {
  if (!nvdaTestIfRunning_ || !nvdaCancelSpeech_ || !nvdaSpeakText_ || !nvdaBrailleMessage_) {
    passed += L"NVDA: no controller client beside the game; ";
    return Reader::None;
  }
  if (nvdaTestIfRunning_() != 0) {
    passed += L"NVDA: not running (its controller client says so); ";
    return Reader::None;
  }
  if (interrupt) {
    nvdaCancelSpeech_();
  }
  // The interrupt alone is a single space: NVDA is only silenced, its braille line kept.
  if (!Blank(wide)) {
    nvdaSpeakText_(wide.c_str());
  }
  return Reader::Nvda;
}

void ScreenReaderApis::AddToBraille(Reader reader, std::string_view text, bool interrupt) {
  if (reader == Reader::None || reader == Reader::JawsLibrary) {
    return;  // JAWS's library only speaks
  }
  // The message goes out before a sentence for another reader, or one said long after it (the
  // timer waits for the message loop, which a sound played to its end holds up).
  const auto now = std::chrono::steady_clock::now();
  if (!interrupt && !braille_.Empty() &&
      (brailleReader_ != reader || now - lastSentence_ > SentenceBatch::kJoinWithin)) {
    SendBraille();
  }
  braille_.Add(text, interrupt);
  if (braille_.Empty()) {
    return;
  }
  brailleReader_ = reader;
  lastSentence_ = now;
  if (timer_ == nullptr) {
    SendBraille();  // no timer: each sentence on its own
  } else {
    SetTimer(timer_, kBrailleTimer, static_cast<UINT>(SentenceBatch::kJoinWithin.count()), nullptr);
  }
}

void ScreenReaderApis::SendBraille() {
  if (timer_ != nullptr) {
    KillTimer(timer_, kBrailleTimer);
  }
  if (braille_.Empty()) {
    return;
  }
  const bool interrupting = braille_.Interrupting();
  const std::wstring text = text::WideFromUtf8(braille_.Take());
  bool sent = false;
  const wchar_t* by = L"braille by JAWS (FreedomSci.JawsApi)";
  try {
    if (brailleReader_ == Reader::JawsObject && jawsObject_) {
      jawsObject_->Call(L"RunFunction", {L"BrailleString(\"" + ScriptString(text) + L"\")"});
      sent = true;
    } else if (brailleReader_ == Reader::Nvda) {
      by = L"braille by NVDA (its controller client)";
      sent = nvdaBrailleMessage_(text.c_str()) == 0;
    } else if (brailleReader_ == Reader::Uia) {
      by = interrupting ? L"UI Automation notification (most recent)"
                        : L"UI Automation notification (all)";
      sent = uia_.Raise(text, interrupting);
    }
  } catch (const SpeechRouteError&) {
    sent = false;
  }
  Log(std::wstring(by) + (sent ? L": \"" : L", refused: \"") + text + L"\"");
}

void ScreenReaderApis::Log(const std::wstring& line) const {
  if (log_) {
    log_(line);
  }
}

}  // namespace orvanta::speech
