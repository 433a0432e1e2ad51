// clsTARQSpeech.cpp: the speech object. The routes themselves live behind SpeechPlatform; this
// file decides which one hears a text, keeps the running count of characters spoken and writes
// one debug line per operation.
//
// Nothing here may stop the game: a route that refuses a call ends that call quietly, and a
// sentence that no screen reader took is spoken by the game's own voice alone (or not at all):
// the route stays the screen reader's, so a reader started later hears the next sentence.
#include "speech/clsTARQSpeech.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <initializer_list>
#include <limits>
#include <string>
#include <thread>
#include <utility>

#include "base/Text.h"

namespace orvanta::speech {

namespace {

constexpr int kSkipAllSentences = 255;
// A voice may report idle a moment after a skip; the interrupt waits this long between skips.
constexpr auto kSkipPause = std::chrono::milliseconds(1);

std::string Concat(std::initializer_list<std::string_view> parts) {
  std::string line;
  for (std::string_view part : parts) {
    line += part;
  }
  return line;
}

// What the platform makes of a route object: nothing when it has none or making it fails.
template <typename Make>
auto MadeOrNothing(const Make& make) -> decltype(make()) {
  try {
    return make();
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace

clsTARQSpeech::clsTARQSpeech(SpeechPlatform& platform) : platform_(platform) {}

clsTARQSpeech::~clsTARQSpeech() {
  // A holder's debug listener must not be able to throw out of a destructor.
  try {
    WriteDebug(
        "TARQ-SPEECH: Bye bye, farewell, I'm leaving... I won't, be back, no more!... (Class "
        "unloading)");
  } catch (...) {
  }
}

void clsTARQSpeech::SpeechType(int ST) {
  if (ST < kSilent || ST > kSelfVoicing) {
    ST = kSilent;
  }
  WriteDebug(Concat({"TARQ-SPEECH: Set ST ", std::to_string(ST)}));
  speechType_ = ST;
  // On failure the start routines set the speech type back to silence themselves.
  if (ST == kWindowEyes) {
    StartWE();
  } else if (ST == kSelfVoicing) {
    StartSAPI();
  }
}

void clsTARQSpeech::WriteDebug(std::string_view DebugString) {
  if (DebugType && DebugOutput) {
    DebugOutput(DebugString);
  }
}

void clsTARQSpeech::SayText(std::string_view Text, int Interrupt, bool OnlyIfSelfVoicing,
                            bool MSTTSSync) {
  std::string suffix;
  if (OnlyIfSelfVoicing) {
    suffix += " (SV)";
  }
  if (MSTTSSync) {
    suffix += " (TTS_SYNC)";
  }
  WriteDebug(Concat(
      {"TARQ-SPEECH: (ST: ", std::to_string(speechType_), ")", suffix, " text: '", Text, "'"}));

  const bool interrupt = Interrupt == 1;
  if (SpeakOnRoute(Text, interrupt, OnlyIfSelfVoicing, MSTTSSync) == Reach::ScreenReaderMissing &&
      HaveFallbackVoice()) {
    WriteDebug("TARQ-SPEECH: No screen reader took the text, the own voice speaks it (MS SAPI)");
    SpeakWithVoice(Text, interrupt, MSTTSSync);
  }
}

clsTARQSpeech::Reach clsTARQSpeech::SpeakOnRoute(std::string_view text, bool interrupt,
                                                 bool onlyIfSelfVoicing, bool synchronous) {
  switch (speechType_) {
    case kScreenReader: {
      if (onlyIfSelfVoicing) {
        return Reach::Reached;
      }
      CountSpoken(text);
      bool reached = false;
      try {
        reached = platform_.ScreenReader().SayString(text, interrupt);
      } catch (const std::exception&) {
        reached = false;
      }
      return reached ? Reach::Reached : Reach::ScreenReaderMissing;
    }
    case kWindowEyes: {
      if (onlyIfSelfVoicing) {
        return Reach::Reached;
      }
      CountSpoken(text);
      try {
        if (WEObject) {
          WEObject->SpeakString(text);
        }
      } catch (const std::exception&) {
        // A refused call ends SayText quietly: the caller carries on, nothing is spoken.
      }
      return Reach::Reached;
    }
    case kSelfVoicing:
      if (interrupt) {
        Interrupt();
      }
      CountSpoken(text);
      SpeakWithVoice(text, false, synchronous);
      return Reach::Reached;
    default:
      return Reach::Reached;
  }
}

void clsTARQSpeech::SpeakWithVoice(std::string_view text, bool interrupt, bool synchronous) {
  if (interrupt) {
    InterruptVoice();
  }
  try {
    if (SAPI) {
      SAPI->Speak(text, synchronous ? kSvsfIsNotXml : (kSvsfAsync | kSvsfIsNotXml));
    }
  } catch (const std::exception&) {
    // As above: the text is lost, the game goes on.
  }
}

void clsTARQSpeech::Interrupt() {
  WriteDebug(Concat({"TARQ-SPEECH: (ST: ", std::to_string(speechType_), ") -Interrupt-"}));
  if (InterruptRoute() == Reach::ScreenReaderMissing && SAPI) {
    InterruptVoice();  // the own voice may be speaking a sentence no screen reader took
  }
}

clsTARQSpeech::Reach clsTARQSpeech::InterruptRoute() {
  switch (speechType_) {
    case kScreenReader: {
      // A single space with the interrupt flag cuts off what the screen reader is saying.
      bool reached = false;
      try {
        reached = platform_.ScreenReader().SayString(" ", true);
      } catch (const std::exception&) {
        reached = false;
      }
      return reached ? Reach::Reached : Reach::ScreenReaderMissing;
    }
    case kSelfVoicing:
      InterruptVoice();
      return Reach::Reached;
    default:
      return Reach::Reached;
  }
}

void clsTARQSpeech::KeyPressed(bool controlAlone) {
  if (speechType_ == kScreenReader) {
    try {
      platform_.ScreenReader().Silence();
    } catch (const std::exception&) {
      // A screen reader that cannot be reached has nothing to silence.
    }
  }
  // The own voice, also where it spoke for a missing screen reader.
  if ((speechType_ == kSelfVoicing || speechType_ == kScreenReader) && controlAlone && SAPI) {
    InterruptVoice();
  }
}

void clsTARQSpeech::InterruptVoice() {
  if (!SAPI) {
    WriteDebug("TARQ-SPEECH: Interrupt skipped, no voice (MS SAPI)");
    return;
  }
  try {
    // The test comes before the first skip, so an idle voice is left alone.
    for (int skips = 0; SAPI->RunningState() != kSrseDone; ++skips) {
      if (skips == kMaxInterruptSkips) {
        WriteDebug(
            Concat({"TARQ-SPEECH: Voice still speaking after ", std::to_string(kMaxInterruptSkips),
                    " skips, giving up the interrupt (MS SAPI)"}));
        return;
      }
      if (skips > 0) {
        std::this_thread::sleep_for(kSkipPause);  // give a lagging voice a moment
      }
      SAPI->Skip("Sentence", kSkipAllSentences);
    }
  } catch (const std::exception& error) {
    WriteDebug(Concat({"TARQ-SPEECH: Interrupt failed (MS SAPI): ", error.what()}));
  }
}

bool clsTARQSpeech::HaveFallbackVoice() {
  if (!SAPI && !fallbackVoiceTried_) {
    fallbackVoiceTried_ = true;  // one try: a machine without a voice stays silent
    CreateVoice();
  }
  return SAPI != nullptr;
}

void clsTARQSpeech::CountSpoken(std::string_view text) {
  constexpr auto kMax = static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max());
  const auto length = static_cast<std::int64_t>(
      std::min<std::size_t>(text::Length(text), static_cast<std::size_t>(kMax)));
  TotalSpoken = static_cast<std::int32_t>(std::min(kMax, std::int64_t{TotalSpoken} + length));
}

bool clsTARQSpeech::StartWE() {
  auto object = MadeOrNothing([this] { return platform_.CreateWindowEyes(); });
  if (!object) {
    speechType_ = kSilent;
    WriteDebug("TARQ-SPEECH: Init Fail! (GW WE)");
    return false;
  }
  WEObject = std::move(object);
  WriteDebug("TARQ-SPEEH: Init Success (GW WE)");
  return true;
}

bool clsTARQSpeech::StartSAPI() {
  if (!CreateVoice()) {
    speechType_ = kSilent;
    return false;
  }
  return true;
}

bool clsTARQSpeech::CreateVoice() {
  auto voice = MadeOrNothing([this] { return platform_.CreateSapiVoice(); });
  WriteDebug(voice ? "TARQ-SPEECH: Init Success (MS SAPI)" : "TARQ-SPEECH: Init Fail! (MS SAPI)");
  if (!voice) {
    return false;
  }
  SAPI = std::move(voice);
  return true;
}

}  // namespace orvanta::speech
