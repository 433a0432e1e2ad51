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
#include <utility>

#include "speech/clsTARQSpeech.h"
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

// What the screen-reader route did with a few sentences: the route the speech object ends on,
// and what the route wrote to the debug output.
struct Heard {
  int route;
  std::wstring debug;
};

// Speaks through the screen-reader route of a game folder holding `libraries` (copied under
// their own names unless a name is given), JAWS and NVDA running or not.
Heard SpeakToScreenReaders(const fs::path& game, bool jaws, bool nvda,
                           std::initializer_list<std::pair<fs::path, fs::path>> libraries) {
  for (const auto& [library, name] : libraries) {
    fs::copy_file(library, game / (name.empty() ? library.filename() : name));
  }
  LogTo("ORVANTA_FAKE_JAWS_LOG", jaws ? std::optional(game / "jaws.log") : std::nullopt);
  LogTo("ORVANTA_FAKE_NVDA_LOG", nvda ? std::optional(game / "nvda.log") : std::nullopt);
  Heard heard{};
  WindowsSpeechPlatform platform(
      WindowsSpeech::ScreenReader, game,
      [&heard](std::wstring_view line) { (heard.debug += line) += L'\n'; });
  Speech speech(platform);
  speech.SpeechType(Speech::kScreenReader);
  speech.SayText(kAccented);
  speech.SayText("Cut in", 1);
  speech.SayText("Waited", 5, false, true);
  speech.Interrupt();
  heard.route = speech.SpeechType();
  return heard;
}

const std::pair<fs::path, fs::path> kJaws{ORVANTA_FAKE_JAWS, {}};
const std::pair<fs::path, fs::path> kNvda{ORVANTA_FAKE_NVDA, {}};
const std::string kNvdaHeard = std::string("speak ") + kAccented + "\nbraille " + kAccented +
                               "\ncancel\nspeak Cut in\nbraille Cut in\nspeak Waited\n"
                               "braille Waited\ncancel\n";

// JAWS hears code-page bytes with the interrupt flag and comes before NVDA, which speaks and
// brailles. Without a running screen reader (or its library) the game speaks in its own voice,
// Wine's SAPI here, which only pretends to speak; nothing fails.
TEST(ScreenReaderRoute, JawsThenNvdaElseTheGamesOwnVoice) {
  {
    const TempPuzzleFolder game;
    const Heard heard = SpeakToScreenReaders(game.Path(), true, true, {kJaws, kNvda});
    EXPECT_EQ(heard.route, Speech::kScreenReader);
#ifdef _WIN64
    // JAWS's library is 32-bit: the 64-bit game leaves it alone and says so.
    EXPECT_EQ(ReadFile(game.Path() / "jaws.log"), "");
    EXPECT_EQ(ReadFile(game.Path() / "nvda.log"), kNvdaHeard);
    EXPECT_NE(heard.debug.find(L"jfwapi32.dll is a library for the other bitness"),
              std::wstring::npos)
        << heard.debug;
#else
    // "Café € 5" in code page 1252.
    EXPECT_EQ(ReadFile(game.Path() / "jaws.log"), "0 Caf\xE9 \x80 5\n1 Cut in\n0 Waited\n1  \n");
    EXPECT_EQ(ReadFile(game.Path() / "nvda.log"), "");
    EXPECT_EQ(heard.debug, L"");
#endif
  }
  {
    const TempPuzzleFolder game;
    EXPECT_EQ(SpeakToScreenReaders(game.Path(), false, true, {kJaws, kNvda}).route,
              Speech::kScreenReader);
    EXPECT_EQ(ReadFile(game.Path() / "nvda.log"), kNvdaHeard);
  }
  {
    const TempPuzzleFolder game;  // no library beside the game
    EXPECT_EQ(SpeakToScreenReaders(game.Path(), true, true, {}).route, Speech::kSelfVoicing);
  }
  {
    const TempPuzzleFolder game;  // the libraries, but no screen reader runs
    EXPECT_EQ(SpeakToScreenReaders(game.Path(), false, false, {kJaws, kNvda}).route,
              Speech::kSelfVoicing);
  }
}

// A library of the other bitness under NVDA's name cannot be loaded: the game speaks in its
// own voice and names the library in its debug output.
TEST(ScreenReaderRoute, LibraryOfTheOtherBitnessIsNamedAndPassedOver) {
  const TempPuzzleFolder game;
  const fs::path name = ScreenReaderApis::NvdaLibraries().front();
  const Heard heard =
      SpeakToScreenReaders(game.Path(), true, true, {{ORVANTA_OTHER_BITNESS_LIBRARY, name}});
  EXPECT_EQ(heard.route, Speech::kSelfVoicing);
  EXPECT_EQ(ReadFile(game.Path() / "nvda.log"), "");
  EXPECT_NE(heard.debug.find(name.wstring() + L" is not a " + (sizeof(void*) == 8 ? L"64" : L"32") +
                             L"-bit library"),
            std::wstring::npos)
      << heard.debug;
}

// Registers the fake COM object under HKEY_CLASSES_ROOT of the test's Wine prefix for the
// Window-Eyes ProgID, or in place of the SAPI voice; the voice's own entry is put back after.
class RegisteredFake {
 public:
  static constexpr const wchar_t* kWindowEyesClass = L"{4D3F9A52-6C1B-4E0A-9E35-0F7A2B8C1D64}";
  static constexpr const wchar_t* kSpVoiceClass = L"{96749377-3391-11D2-9EE3-00C04F797396}";

  explicit RegisteredFake(const wchar_t* clsid)
      : key_(std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32") {
    saved_ = Get(key_);
    Set(key_, fs::path(ORVANTA_FAKE_COM).wstring());
    if (clsid == kWindowEyesClass) {
      Set(L"gwspeak.speak\\CLSID", clsid);
    }
  }
  ~RegisteredFake() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"gwspeak.speak");
    if (saved_) {
      Set(key_, *saved_);
    } else {
      RegDeleteTreeW(HKEY_CLASSES_ROOT, key_.c_str());
    }
  }

 private:
  static void Set(const std::wstring& key, const std::wstring& value) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &handle, nullptr),
              ERROR_SUCCESS);
    const std::size_t bytes = (value.size() + 1) * sizeof(wchar_t);
    RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(bytes));
    RegCloseKey(handle);
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
  std::optional<std::wstring> saved_;
};

TEST(WindowEyesRoute, RegisteredObjectIsCalledByNameElseTheObjectGoesSilent) {
  const TempPuzzleFolder game;
  WindowsSpeechPlatform platform(WindowsSpeech::ScreenReader, game.Path());
  Speech speech(platform);
  speech.SpeechType(Speech::kWindowEyes);
  EXPECT_EQ(speech.SpeechType(), Speech::kSilent);

  RegisteredFake fake(RegisteredFake::kWindowEyesClass);
  LogTo("ORVANTA_FAKE_COM_LOG", game.Path() / "com.log");
  speech.SpeechType(Speech::kWindowEyes);
  ASSERT_EQ(speech.SpeechType(), Speech::kWindowEyes);
  speech.SayText(kAccented, 1);
  speech.Interrupt();
  EXPECT_EQ(ReadFile(game.Path() / "com.log"), std::string("speakstring ") + kAccented + "\n");
}

TEST(SapiRoute, VoiceQueuesOrWaitsAndIsSkippedToSilenceOnInterrupt) {
  const TempPuzzleFolder game;
  RegisteredFake fake(RegisteredFake::kSpVoiceClass);
  LogTo("ORVANTA_FAKE_COM_LOG", game.Path() / "com.log");
  WindowsSpeechPlatform platform(WindowsSpeech::SelfVoicing, game.Path());
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
