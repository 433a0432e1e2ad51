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
constexpr int kWait = kSvsfIsNotXml;                // 16

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
  milliseconds LengthOf(std::string_view text) {
    const std::atomic<bool> keepGoing = false;
    return SamplesDuration(engine_.Synthesize(text, keepGoing).size());
  }

  std::shared_ptr<AudioOutput> output_;
  EspeakEngine& engine_ = EspeakEngine::Process();
};

TEST_F(VoiceTest, EngineTurnsTextIntoSpeech) {
  const std::atomic<bool> keepGoing = false;
  const Samples spoken = engine_.Synthesize(kSpin, keepGoing);
  const auto length = SamplesDuration(spoken.size());
  EXPECT_GT(length, milliseconds(500));
  EXPECT_LT(length, milliseconds(4000));
  const auto loudest = *std::max_element(spoken.begin(), spoken.end());
  EXPECT_GT(loudest, 1000);  // a voice, not silence
  // A longer text gives longer speech.
  EXPECT_GT(LengthOf("Spinning the wheel. There are 2 T's. You currently have $600"), length);
}

TEST_F(VoiceTest, EngineStopsSynthesizingWhenAsked) {
  const std::atomic<bool> stop = true;
  const std::string longText(2000, 'a');
  EXPECT_LT(SamplesDuration(engine_.Synthesize(longText, stop).size()), milliseconds(1000));
  // The engine is ready for the next text, which comes out whole.
  EXPECT_GT(LengthOf(kSpin), milliseconds(500));
  EXPECT_GT(LengthOf(longText), milliseconds(5000));
}

TEST_F(VoiceTest, SpeakAndWaitReturnsOnceSpoken) {
  const auto length = LengthOf(kSpin);
  EspeakVoice voice(engine_, output_);
  const auto start = Clock::now();
  voice.Speak(kSpin, kWait);
  EXPECT_GE(Since(start), length - milliseconds(30));
  EXPECT_LT(Since(start), length + milliseconds(500));
  EXPECT_EQ(voice.RunningState(), kSrseDone);
}

TEST_F(VoiceTest, QueuedSpeechReturnsAtOnceAndIsSpokenInOrder) {
  const auto length = LengthOf(kSpin) + LengthOf("300 dollars.");
  {
    EspeakVoice voice(engine_, output_);
    const auto start = Clock::now();
    voice.Speak(kSpin, kAsync);
    voice.Speak("300 dollars.", kAsync);
    EXPECT_LT(Since(start), milliseconds(50));
    EXPECT_EQ(voice.RunningState(), kSrseIsSpeaking);
    std::this_thread::sleep_for(length + milliseconds(300));
    EXPECT_EQ(voice.RunningState(), kSrseDone);
  }
  const double spoken =
      static_cast<double>(SamplesDuration(CountSounding(PlayedSamples())).count());
  EXPECT_NEAR(spoken, static_cast<double>(length.count()),
              0.3 * static_cast<double>(length.count()));
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
    EXPECT_EQ(voice.RunningState(), kSrseDone);
  }
  EXPECT_LT(SamplesDuration(CountSounding(PlayedSamples())), length / 2);
}

TEST_F(VoiceTest, SkippingOneSentenceMovesOnToTheNext) {
  const auto next = LengthOf("300 dollars.");
  {
    EspeakVoice voice(engine_, output_);
    voice.Speak("Welcome to the game. The category is Food and Drink.", kAsync);
    voice.Speak("300 dollars.", kAsync);
    std::this_thread::sleep_for(milliseconds(100));
    voice.Skip("sentence", 1);
    EXPECT_EQ(voice.RunningState(), kSrseIsSpeaking);
    const auto start = Clock::now();
    while (voice.RunningState() != kSrseDone && Since(start) < milliseconds(5000)) {
      std::this_thread::sleep_for(milliseconds(10));
    }
    EXPECT_NEAR(static_cast<double>(Since(start).count()), static_cast<double>(next.count()), 300);
  }
}

TEST_F(VoiceTest, SkippingAnythingButSentencesIsRefused) {
  EspeakVoice voice(engine_, output_);
  EXPECT_THROW(voice.Skip("Word", 1), SpeechRouteError);
}

TEST_F(VoiceTest, FarewellIsSpokenToTheEndWhenTheGameCloses) {
  const auto length = LengthOf("Goodbye. Thanks for playing.");
  const auto start = Clock::now();
  {
    EspeakVoice voice(engine_, output_);
    voice.Speak("Goodbye. Thanks for playing.", kAsync);
  }
  EXPECT_GE(Since(start), length - milliseconds(30));
  EXPECT_LT(Since(start), length + milliseconds(600));
}

TEST_F(VoiceTest, VoiceGoesOnOverASoundEffect) {
  const auto length = LengthOf(kSpin);
  ASSERT_GT(length, milliseconds(400));
  {
    EspeakVoice voice(engine_, output_);
    voice.Speak(kSpin, kAsync);
    std::this_thread::sleep_for(milliseconds(50));
    output_->Play(AudioChannel::Effects, std::make_shared<const Samples>(2205, 500));  // 100 ms
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_EQ(voice.RunningState(), kSrseIsSpeaking);  // the effect did not cut it off
  }
  const double spoken =
      static_cast<double>(SamplesDuration(CountSounding(PlayedSamples())).count());
  EXPECT_NEAR(spoken, static_cast<double>(length.count()),
              0.3 * static_cast<double>(length.count()));
}

class SpeechPlatformTest : public testing::DiskAudioTest {
 protected:
  // A speech-dispatcher address where nothing listens, and no daemon started for it.
  SpeechDispatcherOptions Nobody() const {
    return {.address = "unix_socket:" + (folder_ / "nobody.sock").string(),
            .autospawn = false,
            .timeout = milliseconds(500)};
  }
};

TEST_F(SpeechPlatformTest, SilentChoiceGivesNoVoiceAndNoComplaint) {
  LinuxSpeechPlatform platform(SpeechChoice::Silent, std::make_shared<AudioOutput>());
  EXPECT_FALSE(platform.ScreenReader().SayString("Hello", false));
  EXPECT_EQ(platform.CreateSapiVoice(), nullptr);
  EXPECT_EQ(platform.CreateWindowEyes(), nullptr);
  EXPECT_EQ(platform.SpeechProblem(), "");
}

TEST_F(SpeechPlatformTest, SelfVoicingSpeaksWithTheGamesOwnVoice) {
  LinuxSpeechPlatform platform(SpeechChoice::SelfVoicing, std::make_shared<AudioOutput>());
  EXPECT_FALSE(platform.ScreenReader().SayString("Hello", false));  // falls back to the voice
  auto voice = platform.CreateSapiVoice();
  ASSERT_NE(voice, nullptr);
  EXPECT_EQ(platform.SpeechProblem(), "");
  voice->Speak("Hello", kAsync);
  EXPECT_EQ(voice->RunningState(), kSrseIsSpeaking);
  // A second voice (the speech object started again) shares the one synthesizer.
  voice.reset();
  EXPECT_NE(platform.CreateSapiVoice(), nullptr);
}

TEST_F(SpeechPlatformTest, NoAudioDeviceMeansNoOwnVoice) {
  ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  LinuxSpeechPlatform platform(SpeechChoice::SelfVoicing, std::make_shared<AudioOutput>());
  EXPECT_EQ(platform.CreateSapiVoice(), nullptr);
  EXPECT_NE(platform.SpeechProblem().find("No speech is available"), std::string::npos);
  EXPECT_NE(platform.SpeechProblem().find("audio device"), std::string::npos);
  LinuxSpeechPlatform withoutOutput(SpeechChoice::SelfVoicing, nullptr);
  EXPECT_EQ(withoutOutput.CreateSapiVoice(), nullptr);
}

TEST_F(SpeechPlatformTest, ScreenReaderChoiceWithoutServiceNorDeviceExplainsBoth) {
  ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  LinuxSpeechPlatform platform(SpeechChoice::ScreenReader, std::make_shared<AudioOutput>(),
                               Nobody());
  const auto start = Clock::now();
  EXPECT_FALSE(platform.ScreenReader().SayString("Hello", false));
  const std::string problem = platform.SpeechProblem();
  EXPECT_LT(Since(start), milliseconds(700));
  EXPECT_EQ(problem.rfind("No speech is available: the speech service speech-dispatcher cannot be "
                          "reached and ",
                          0),
            0u)
      << problem;
  EXPECT_NE(problem.find("espeak-ng"), std::string::npos) << problem;
}

TEST_F(SpeechPlatformTest, ScreenReaderChoiceWithoutServiceStillHasTheOwnVoice) {
  LinuxSpeechPlatform platform(SpeechChoice::ScreenReader, std::make_shared<AudioOutput>(),
                               Nobody());
  EXPECT_FALSE(platform.ScreenReader().SayString("Hello", false));
  EXPECT_NE(platform.CreateSapiVoice(), nullptr);
  EXPECT_EQ(platform.SpeechProblem(), "");
}

}  // namespace
}  // namespace orvanta::speech
