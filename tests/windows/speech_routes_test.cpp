// The Windows speech routes and wave player, as the game drives them, against fakes of our own
// that record exactly what they receive: the JAWS library and NVDA's controller client beside
// the game, an in-process COM object registered in the Wine prefix for Window-Eyes and for the
// SAPI voice, and winmm replaced through a DLL override. Without them the game falls back.
#include <gtest/gtest.h>
#include <windows.h>
#undef PlaySound  // winmm's own, not the wave player's

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "speech/clsTARQSpeech.h"
#include "speech/windows/DispatchObject.h"
#include "speech/windows/WindowsSpeechPlatform.h"
#include "speech/windows/WinmmWavePlayer.h"
#include "tests/fixtures/puzzles/TempPuzzleFolder.h"

namespace orvanta::speech {
namespace {

namespace fs = std::filesystem;
using Speech = clsTARQSpeech;
using testing::ReadFile;
using testing::TempPuzzleFolder;

// Points a fake's log variable at a file, or (empty) leaves the fake "not running".
void LogTo(const char* variable, const std::optional<fs::path>& file) {
  SetEnvironmentVariableW(std::wstring(variable, variable + std::strlen(variable)).c_str(),
                          file ? file->wstring().c_str() : nullptr);
}

constexpr char kAccented[] = "Caf\xC3\xA9 \xE2\x82\xAC 5";  // "Café € 5" in UTF-8

// A window of a class of the test's own, standing for JAWS's (JFWUI2) or the game's.
class TopWindow {
 public:
  TopWindow(const wchar_t* windowClass, const wchar_t* title) {
    WNDCLASSW description{};
    description.lpfnWndProc = DefWindowProcW;
    description.hInstance = GetModuleHandleW(nullptr);
    description.lpszClassName = windowClass;
    RegisterClassW(&description);
    handle_ = CreateWindowW(windowClass, title, WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                            nullptr, description.hInstance, nullptr);
  }
  ~TopWindow() { DestroyWindow(handle_); }
  TopWindow(const TopWindow&) = delete;
  TopWindow& operator=(const TopWindow&) = delete;
  HWND Handle() const { return handle_; }

 private:
  HWND handle_;
};

// Lets the braille timer go off: the sentences said so far are one message.
void Pause() {
  Sleep(SentenceBatch::kJoinWithin.count() + 50);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE) {
    DispatchMessageW(&message);
  }
}

// What the screen-reader route wrote: to the debug output, and to the speech log.
struct Heard {
  std::wstring debug;
  std::wstring log;
};

// Speaks through the screen-reader route of a game folder holding `libraries` (copied under
// their own names unless a name is given), JAWS and NVDA running or not.
Heard SpeakToScreenReaders(const fs::path& game, bool jaws, bool nvda,
                           std::initializer_list<std::pair<fs::path, fs::path>> libraries) {
  for (const auto& [library, name] : libraries) {
    fs::copy_file(library, game / (name.empty() ? library.filename() : name));
  }
  std::optional<TopWindow> jawsWindow;
  if (jaws) {
    jawsWindow.emplace(L"JFWUI2", L"JAWS");
  }
  LogTo("ORVANTA_FAKE_JAWS_LOG", jaws ? std::optional(game / "jaws.log") : std::nullopt);
  LogTo("ORVANTA_FAKE_NVDA_LOG", nvda ? std::optional(game / "nvda.log") : std::nullopt);
  Heard heard{};
  WindowsSpeechPlatform platform(
      SpeechChoice::ScreenReader, game, nullptr,
      [&heard](std::wstring_view line) { (heard.debug += line) += L'\n'; },
      [&heard](std::wstring_view line) { (heard.log += line) += L'\n'; });
  Speech speech(platform);
  speech.SpeechType(Speech::kScreenReader);
  speech.SayText(kAccented);
  speech.SayText("Cut in", 1);
  speech.SayText("Waited", 5, false, true);
  Pause();
  speech.Interrupt();
  EXPECT_EQ(speech.SpeechType(), Speech::kScreenReader);
  return heard;
}

bool Has(const std::wstring& text, const std::wstring& part) {
  return text.find(part) != std::wstring::npos;
}

const std::pair<fs::path, fs::path> kJaws{ORVANTA_FAKE_JAWS, {}};
const std::pair<fs::path, fs::path> kNvda{ORVANTA_FAKE_NVDA, {}};
// Sentences said close together are one braille message; an interrupting one drops the unsent.
const std::string kNvdaHeard = std::string("speak ") + kAccented +
                               "\ncancel\nspeak Cut in\nspeak Waited\n"
                               "braille Cut in Waited\ncancel\n";

// JAWS hears code-page bytes with the interrupt flag and comes before NVDA, which speaks and
// brailles. Without a running screen reader (or its library) each sentence is left to the
// game's own voice, Wine's SAPI here, which only pretends to speak; nothing fails.
TEST(ScreenReaderRoute, JawsThenNvdaElseTheGamesOwnVoice) {
  {
    const TempPuzzleFolder game;
    const Heard heard = SpeakToScreenReaders(game.Path(), true, true, {kJaws, kNvda});
#ifdef _WIN64
    // JAWS's library is 32-bit: the 64-bit game leaves it alone and says so.
    EXPECT_EQ(ReadFile(game.Path() / "jaws.log"), "");
    EXPECT_EQ(ReadFile(game.Path() / "nvda.log"), kNvdaHeard);
    EXPECT_TRUE(Has(heard.debug, L"jfwapi32.dll is a library for the other bitness"))
        << heard.debug;
#else
    // "Café € 5" in code page 1252.
    EXPECT_EQ(ReadFile(game.Path() / "jaws.log"), "0 Caf\xE9 \x80 5\n1 Cut in\n0 Waited\n1  \n");
    EXPECT_EQ(ReadFile(game.Path() / "nvda.log"), "");
    EXPECT_EQ(heard.debug, L"");
#endif
  }
  for (const auto& [jaws, nvda, libraries, nvdaHeard, logged] :
       {std::tuple{false, true, true, kNvdaHeard,
                   L"said by NVDA (its controller client), interrupting: \"Cut in\"; "
                   L"passed over: JAWS: not running (no window of class JFWUI2)"},
        // No library beside the game, and JAWS's object not registered: nothing stalls or fails.
        std::tuple{true, true, false, std::string(),
                   L"no screen reader took: \"Waited\"; passed over: JAWS: the speech "
                   L"object refused 'FreedomSci.JawsApi' (0x800401F3); NVDA: no "
                   L"controller client beside the game; UI Automation: "},
        std::tuple{false, false, true, std::string(), L"NVDA: not running"}}) {
    const TempPuzzleFolder game;
    const Heard heard = libraries ? SpeakToScreenReaders(game.Path(), jaws, nvda, {kJaws, kNvda})
                                  : SpeakToScreenReaders(game.Path(), jaws, nvda, {});
    EXPECT_EQ(ReadFile(game.Path() / "nvda.log"), nvdaHeard);
    EXPECT_TRUE(Has(heard.log, logged)) << heard.log;
  }
}

// A library of the other bitness under NVDA's name cannot be loaded: the game speaks in its
// own voice and names the library in its debug output.
TEST(ScreenReaderRoute, LibraryOfTheOtherBitnessIsNamedAndPassedOver) {
  const TempPuzzleFolder game;
  const fs::path name = ScreenReaderApis::NvdaLibraries().front();
  const Heard heard =
      SpeakToScreenReaders(game.Path(), true, true, {{ORVANTA_OTHER_BITNESS_LIBRARY, name}});
  EXPECT_EQ(ReadFile(game.Path() / "nvda.log"), "");
  EXPECT_TRUE(Has(heard.debug, name.wstring() + L" is not a " +
                                   (sizeof(void*) == 8 ? L"64" : L"32") + L"-bit library"))
      << heard.debug;
}

// Registers the fake COM object under HKEY_CLASSES_ROOT of the test's Wine prefix for a ProgID
// (Window-Eyes', JAWS's), or in place of the SAPI voice; the voice's own entry is put back after.
class RegisteredFake {
 public:
  static constexpr const wchar_t* kFakeClass = L"{4D3F9A52-6C1B-4E0A-9E35-0F7A2B8C1D64}";
  static constexpr const wchar_t* kSpVoiceClass = L"{96749377-3391-11D2-9EE3-00C04F797396}";

  explicit RegisteredFake(const wchar_t* progId, const wchar_t* clsid = kFakeClass)
      : key_(std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32"), progId_(progId) {
    saved_ = Get(key_);
    Set(key_, fs::path(ORVANTA_FAKE_COM).wstring());
    if (!progId_.empty()) {
      Set(progId_ + L"\\CLSID", clsid);
    }
  }
  ~RegisteredFake() {
    if (!progId_.empty()) {
      RegDeleteTreeW(HKEY_CLASSES_ROOT, progId_.c_str());
    }
    if (saved_) {
      Set(key_, *saved_);
    } else {
      RegDeleteTreeW(HKEY_CLASSES_ROOT, key_.c_str());
    }
  }
  RegisteredFake(const RegisteredFake&) = delete;
  RegisteredFake& operator=(const RegisteredFake&) = delete;

 private:
  static void Set(const std::wstring& key, const std::wstring& value) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  static std::optional<std::wstring> Get(const std::wstring& key) {
    wchar_t value[MAX_PATH];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    return value;
  }

  std::wstring key_;
  std::wstring progId_;
  std::optional<std::wstring> saved_;
};

TEST(WindowEyesRoute, RegisteredObjectIsCalledByNameElseTheObjectGoesSilent) {
  const TempPuzzleFolder game;
  WindowsSpeechPlatform platform(SpeechChoice::ScreenReader, game.Path());
  Speech speech(platform);
  speech.SpeechType(Speech::kWindowEyes);
  EXPECT_EQ(speech.SpeechType(), Speech::kSilent);

  RegisteredFake fake(L"gwspeak.speak");
  LogTo("ORVANTA_FAKE_COM_LOG", game.Path() / "com.log");
  speech.SpeechType(Speech::kWindowEyes);
  ASSERT_EQ(speech.SpeechType(), Speech::kWindowEyes);
  speech.SayText(kAccented, 1);
  speech.Interrupt();
  EXPECT_EQ(ReadFile(game.Path() / "com.log"), std::string("speakstring ") + kAccented + "\n");
}

TEST(SapiRoute, VoiceQueuesOrWaitsAndIsSkippedToSilenceOnInterrupt) {
  const TempPuzzleFolder game;
  RegisteredFake fake(L"", RegisteredFake::kSpVoiceClass);
  LogTo("ORVANTA_FAKE_COM_LOG", game.Path() / "com.log");
  WindowsSpeechPlatform platform(SpeechChoice::SelfVoicing, game.Path());
  Speech speech(platform);
  speech.SpeechType(Speech::kSelfVoicing);
  ASSERT_EQ(speech.SpeechType(), Speech::kSelfVoicing);
  speech.SayText("Idle voice", 1);  // nothing to skip yet
  speech.SayText(kAccented, 0, false, true);
  speech.SayText("Cut in", 1);
  EXPECT_EQ(ReadFile(game.Path() / "com.log"), std::string("Speak Idle voice 17\nSpeak ") +
                                                   kAccented +
                                                   " 16\nSkip Sentence 255\nSpeak Cut in 17\n");
}

// With JAWS running and no jfwapi32.dll, its automation object speaks every sentence with its
// flush flag, stops speech for an interrupt, and brailles the sentences said close together as
// one script call whose quotes cannot end its string early.
TEST(JawsObjectRoute, SpeaksFlushesStopsAndBraillesThroughTheRegisteredObject) {
  const TempPuzzleFolder game;
  const RegisteredFake fake(L"FreedomSci.JawsApi");
  LogTo("ORVANTA_FAKE_COM_LOG", game.Path() / "com.log");
  const TopWindow jaws(L"JFWUI2", L"JAWS");
  {
    WindowsSpeechPlatform platform(SpeechChoice::ScreenReader, game.Path());
    DispatchObject::Create(L"FreedomSci.JawsApi").Call(L"SayString", {L"fake", true});  // the fake
    Speech speech(platform);
    speech.SpeechType(Speech::kScreenReader);
    speech.SayText(kAccented);
    speech.SayText("Say \"hi\"");
    Pause();
    speech.SayText("dropped");
    speech.SayText("Cut in", 1);
    speech.SayText("joined");
    Pause();
    speech.Interrupt();
  }
  EXPECT_EQ(ReadFile(game.Path() / "com.log"),
            std::string("SayString fake 1\nSayString ") + kAccented +
                " 0\nSayString Say \"hi\" 0\nRunFunction BrailleString(\"" + kAccented +
                " Say 'hi'\")\nSayString dropped 0\nSayString Cut in 1\nSayString joined 0\n"
                "RunFunction BrailleString(\"Cut in joined\")\nStopSpeech\n");
}

// Wine's own uiautomationcore has no UiaRaiseNotificationEvent: with the screen-reader flag set
// and a window to speak from, the sentence is still passed over at once. (The notifications
// themselves, from the fake library, are checked by the whole game: windows_play_game_uia.)
TEST(UiaRoute, WithoutNotificationsTheSentenceIsPassedOverAtOnce) {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  HMODULE library = LoadLibraryW((fs::path(system) / L"uiautomationcore.dll").c_str());
  if (library != nullptr && GetProcAddress(library, "UiaRaiseNotificationEvent") != nullptr) {
    GTEST_SKIP() << "this Windows has notifications";
  }
  const TempPuzzleFolder game;
  const TopWindow window(L"OrvantaTestWindow", L"Game window");
  struct Active final : WindowToPresentFrom {
    HWND handle = nullptr;
    HWND ActiveWindow() override { return handle; }
  };
  auto active = std::make_unique<Active>();
  active->handle = window.Handle();
  LogTo("ORVANTA_FAKE_NVDA_LOG", std::nullopt);
  SystemParametersInfoW(SPI_SETSCREENREADER, TRUE, nullptr, SPIF_SENDCHANGE);
  std::wstring said;
  {
    WindowsSpeechPlatform platform(SpeechChoice::ScreenReader, game.Path(), std::move(active),
                                   WindowsDebugOutput,
                                   [&said](std::wstring_view line) { (said += line) += L'\n'; });
    Speech speech(platform);
    speech.SpeechType(Speech::kScreenReader);
    speech.SayText("Queued");
    Pause();
  }
  SystemParametersInfoW(SPI_SETSCREENREADER, FALSE, nullptr, SPIF_SENDCHANGE);
  EXPECT_TRUE(Has(said,
                  L"no screen reader took: \"Queued\"; passed over: JAWS: not running "
                  L"(no window of class JFWUI2); NVDA: no controller client beside the "
                  L"game; UI Automation: this Windows has no notifications"))
      << said;
}

// Only with the fake winmm loaded (the test "windows_winmm_fake" overrides winmm for it).
TEST(WinmmWavePlayer, FlagsAndCodePageNamesReachSndPlaySound) {
  if (GetProcAddress(GetModuleHandleW(L"winmm.dll"), "OrvantaFakeWinmm") == nullptr) {
    GTEST_SKIP() << "Wine's own winmm is loaded";
  }
  const TempPuzzleFolder game;
  const TempPuzzleFolder working;
  std::ofstream(game.Path() / "spin.wav") << "game's";
  std::ofstream(game.Path() / "intro.wav") << "game's";
  std::ofstream(working.Path() / "intro.wav") << "working directory's";
  LogTo("ORVANTA_FAKE_WINMM_LOG", game.Path() / "winmm.log");
  const fs::path before = fs::current_path();
  fs::current_path(working.Path());
  WinmmWavePlayer player(game.Path());
  player.PlaySound("intro.wav", PlayMode::Sync);
  player.PlaySound("spin.wav", PlayMode::Async);
  player.PlaySound("gone.wav", PlayMode::Sync);
  player.PlaySound("C:\\Caf\xC3\xA9\\ZONTARY.WAV", PlayMode::Async);
  fs::current_path(before);
  EXPECT_EQ(ReadFile(game.Path() / "winmm.log"), "0 intro.wav\n1 " +
                                                     (game.Path() / "spin.wav").string() +
                                                     "\n0 gone.wav\n1 C:\\Caf\xE9\\ZONTARY.WAV\n");
}

}  // namespace
}  // namespace orvanta::speech
