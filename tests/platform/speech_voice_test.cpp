// The game's own voice on Linux (espeak-ng into memory, played through SDL's disk driver) and
// the speech platform that hands out the routes for the player's choice.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "speech/linux/EspeakVoice.h"
#include "speech/linux/LinuxSpeechPlatform.h"
#include "tests/platform/AudioTestSupport.h"

namespace orvanta::speech {
namespace {

using std::chrono::milliseconds;
using testing::Clock;
using testing::Since;

constexpr std::string_view kSpin = "Spinning the wheel.";
constexpr int kAsync = kSvsfAsync | kSvsfIsNotXml;  // 17

class VoiceTest : public testing::DiskAudioTest {
 protected:
  void SetUp() override {
    DiskAudioTest::SetUp();
    output_ = std::make_shared<AudioOutput>();
    ASSERT_TRUE(output_->Available()) << output_->Problem();
    if (!engine_.Ready()) {
      GTEST_SKIP() << "espeak-ng cannot start here: " << engine_.Problem();
    }
  }

  // How long espeak-ng takes to say `text`.
  milliseconds LengthOf(std::string_view text, bool stop = false) {
    const std::atomic<bool> stopNow = stop;
    return SamplesDuration(engine_.Synthesize(text, stopNow).size());
  }
  // How long the device sounded, against how long it should have.
  void ExpectSpokenFor(milliseconds length) {
    const auto spoken = SamplesDuration(CountSounding(PlayedSamples())).count();
    EXPECT_NEAR(static_cast<double>(spoken), static_cast<double>(length.count()),
                0.3 * static_cast<double>(length.count()));
  }

  std::shared_ptr<AudioOutput> output_;
  EspeakEngine& engine_ = EspeakEngine::Process();
};

TEST_F(VoiceTest, EngineTurnsTextIntoSpeechAndStopsWhenAsked) {
  const std::atomic<bool> keepGoing = false;
  const Samples spoken = engine_.Synthesize(kSpin, keepGoing);
  const auto length = SamplesDuration(spoken.size());
  EXPECT_GT(length, milliseconds(500));
  EXPECT_LT(length, milliseconds(4000));
  EXPECT_GT(*std::max_element(spoken.begin(), spoken.end()), 1000);  // a voice, not silence
  const std::string longText(2000, 'a');
  EXPECT_LT(LengthOf(longText, true), milliseconds(1000));
  // The engine is ready for the next text, which comes out whole.
  EXPECT_GT(LengthOf(longText), milliseconds(5000));
}

// The game only ever queues its sentences (it never waits for one) and only ever skips them all.
TEST_F(VoiceTest, QueuedSpeechReturnsAtOnceAndIsSpokenToTheEnd) {
  const auto length = LengthOf(kSpin);
  {
    EspeakVoice voice(engine_, output_);
    const auto queued = Clock::now();
    voice.Speak(kSpin, kAsync);
    voice.Speak("300 dollars.", kAsync);
    EXPECT_LT(Since(queued), milliseconds(50));
    EXPECT_EQ(voice.RunningState(), kSrseIsSpeaking);
  }
  // Closing the game waited for the queued farewell to be spoken to the end.
  ExpectSpokenFor(length + LengthOf("300 dollars."));
}

TEST_F(VoiceTest, SkipSilencesTheVoiceAtOnce) {
  const auto length = LengthOf(kSpin);
  {
    EspeakVoice voice(engine_, output_);
    voice.Speak(kSpin, kAsync);
    voice.Speak("There are 2 T's.", kAsync);
    voice.Speak("You currently have $600", kAsync);
    std::this_thread::sleep_for(milliseconds(150));
    // The speech object's interrupt: skip until the voice reports it is done.
    int skips = 0;
    while (voice.RunningState() != kSrseDone && skips < 10) {
      voice.Skip("Sentence", 255);
      ++skips;
    }
    EXPECT_EQ(skips, 1);
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_LT(SamplesDuration(CountSounding(PlayedSamples())), length / 2);
  }
}

TEST_F(VoiceTest, VoiceGoesOnOverASoundEffect) {
  const auto length = LengthOf(kSpin);
  {
    EspeakVoice voice(engine_, output_);
    voice.Speak(kSpin, kAsync);
    std::this_thread::sleep_for(milliseconds(50));
    output_->Play(AudioChannel::Effects, std::make_shared<const Samples>(2205, 500));  // 100 ms
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_EQ(voice.RunningState(), kSrseIsSpeaking);  // the effect did not cut it off
  }
  ExpectSpokenFor(length);
}

// What each choice gives the speech object, with or without a sound device; speech-dispatcher
// is never reachable here (nothing listens on its socket).
using SpeechPlatformTest = testing::DiskAudioTest;

TEST_F(SpeechPlatformTest, EachChoiceGivesItsRoutesWithOrWithoutADevice) {
  const struct {
    SpeechChoice choice;
    bool device, voice;
    std::string problem;  // the start of what the player reads; empty for none
  } cases[] = {
      {SpeechChoice::Silent, true, false, ""},
      {SpeechChoice::SelfVoicing, true, true, ""},
      {SpeechChoice::ScreenReader, true, true, ""},
      {SpeechChoice::SelfVoicing, false, false, "No speech is available"},
      {SpeechChoice::ScreenReader, false, false,
       "No speech is available: the speech service speech-dispatcher cannot be reached and "},
      {SpeechChoice::SpeechDispatcher, false, false,
       "No speech is available: the speech service speech-dispatcher cannot be reached and "},
  };
  for (const auto& c : cases) {
    ::setenv("SDL_AUDIODRIVER", c.device ? "disk" : "no-such-driver", 1);
    LinuxSpeechPlatform platform(c.choice, std::make_shared<AudioOutput>(),
                                 {.address = "unix_socket:" + (folder_ / "nobody.sock").string(),
                                  .autospawn = false,
                                  .timeout = milliseconds(500)});
    const auto start = Clock::now();
    // The screen-reader route takes every sentence: its own voice says what no one else did.
    const bool screenReader =
        c.choice == SpeechChoice::ScreenReader || c.choice == SpeechChoice::SpeechDispatcher;
    EXPECT_EQ(platform.ScreenReader().SayString("Hello", false), screenReader);
    auto voice = platform.CreateSapiVoice();
    EXPECT_EQ(voice != nullptr, c.voice) << static_cast<int>(c.choice);
    const std::string problem = platform.SpeechProblem();
    EXPECT_LT(Since(start), milliseconds(700));
    EXPECT_EQ(problem.substr(0, c.problem.size()), c.problem);
    EXPECT_EQ(problem.empty(), c.problem.empty()) << problem;
    if (!c.device) {  // names both the missing device and the voice that needs it
      EXPECT_NE(problem.find("audio device"), std::string::npos) << problem;
      EXPECT_NE(problem.find("espeak-ng"), std::string::npos) << problem;
    }
    if (voice) {
      voice->Speak("Hello", kAsync);
      EXPECT_EQ(voice->RunningState(), kSrseIsSpeaking);
    }
  }
}

}  // namespace
}  // namespace orvanta::speech
