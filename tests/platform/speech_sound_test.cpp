// Sound effects on Linux: what the player hears and how long the game waits for it, measured
// through SDL's disk driver, which plays in real time into a file.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "speech/linux/AudioOutput.h"
#include "speech/linux/SdlWavePlayer.h"
#include "tests/platform/AudioTestSupport.h"

namespace orvanta::speech {
namespace {

using std::chrono::milliseconds;
using testing::Clock;
using testing::Since;

double D(std::size_t count) {
  return static_cast<double>(count);
}

constexpr std::size_t SamplesIn(int ms) {
  return static_cast<std::size_t>(22050 * ms / 1000);
}

class SoundEffectsTest : public testing::DiskAudioTest {
 protected:
  std::filesystem::path Wave(const std::string& name, int ms, std::int16_t value) {
    testing::WriteWave(folder_ / name, ms, value);
    return folder_ / name;
  }
};

TEST_F(SoundEffectsTest, SyncSoundHoldsTheGameForItsLength) {
  const auto spin = Wave("spin.wav", 200, 4000);
  {
    auto output = std::make_shared<AudioOutput>();
    ASSERT_TRUE(output->Available()) << output->Problem();
    SdlWavePlayer player(output, folder_);
    const auto start = Clock::now();
    player.PlaySound(spin.string(), PlayMode::Sync);
    EXPECT_GE(Since(start), milliseconds(190));
    EXPECT_LT(Since(start), milliseconds(600));
  }
  EXPECT_EQ(CountOf(PlayedSamples(), 4000), SamplesIn(200));  // the whole sound, no more
}

TEST_F(SoundEffectsTest, SoundsInARowPlayOneAfterAnother) {
  const auto reveal = Wave("reveal.wav", 100, 3000);
  const auto applause = Wave("applause.wav", 150, 5000);
  {
    auto output = std::make_shared<AudioOutput>();
    SdlWavePlayer player(output, folder_);
    player.PlaySound(reveal.string(), PlayMode::Sync);
    player.PlaySound(reveal.string(), PlayMode::Sync);
    player.PlaySound(applause.string(), PlayMode::Sync);
  }
  const auto played = PlayedSamples();
  EXPECT_EQ(CountOf(played, 3000), 2 * SamplesIn(100));
  EXPECT_EQ(CountOf(played, 5000), SamplesIn(150));
  EXPECT_EQ(CountOf(played, 8000), 0u);  // never overlapping
}

TEST_F(SoundEffectsTest, AsyncSoundReturnsAtOnceAndPlaysOn) {
  const auto jingle = Wave("ZONTARY.WAV", 300, 4000);
  {
    auto output = std::make_shared<AudioOutput>();
    SdlWavePlayer player(output, folder_);
    const auto start = Clock::now();
    player.PlaySound(jingle.string(), PlayMode::Async);
    EXPECT_LT(Since(start), milliseconds(60));
    EXPECT_TRUE(output->Busy(AudioChannel::Effects));
    std::this_thread::sleep_for(milliseconds(450));
  }
  EXPECT_EQ(CountOf(PlayedSamples(), 4000), SamplesIn(300));
}

TEST_F(SoundEffectsTest, NewSoundCutsOffThePlayingOne) {
  const auto jingle = Wave("ZONTARY.WAV", 300, 4000);
  const auto loseTurn = Wave("loseturn.wav", 100, 2000);
  {
    auto output = std::make_shared<AudioOutput>();
    SdlWavePlayer player(output, folder_);
    player.PlaySound(jingle.string(), PlayMode::Async);
    std::this_thread::sleep_for(milliseconds(80));
    const auto start = Clock::now();
    player.PlaySound(loseTurn.string(), PlayMode::Sync);
    EXPECT_LT(Since(start), milliseconds(400));  // the new sound's length, not the rest of the old
    std::this_thread::sleep_for(milliseconds(300));
  }
  const auto played = PlayedSamples();
  EXPECT_LT(CountOf(played, 4000), SamplesIn(200));  // the jingle stopped early
  EXPECT_GT(CountOf(played, 4000), 0u);
  EXPECT_EQ(CountOf(played, 2000), SamplesIn(100));
  EXPECT_EQ(CountOf(played, 6000), 0u);  // the two never sounded together
}

TEST_F(SoundEffectsTest, MissingFilePlaysTheSoftDefaultBeep) {
  {
    auto output = std::make_shared<AudioOutput>();
    SdlWavePlayer player(output, folder_);
    const auto start = Clock::now();
    player.PlaySound("no-such-sound.wav", PlayMode::Sync);
    EXPECT_GE(Since(start), milliseconds(140));
    EXPECT_LT(Since(start), milliseconds(600));
  }
  const auto played = PlayedSamples();
  const auto beep = MakeDefaultBeep();
  EXPECT_NEAR(D(CountSounding(played)), D(beep.size()), D(beep.size()) * 0.1);
  const auto loudest = *std::max_element(played.begin(), played.end());
  EXPECT_GT(loudest, 4000);
  EXPECT_LT(loudest, 10000);  // soft: about a quarter of full scale
}

TEST_F(SoundEffectsTest, UnreadableFilePlaysTheDefaultBeep) {
  {
    std::ofstream(folder_ / "wrong.wav") << "this is not a wave file";
    auto output = std::make_shared<AudioOutput>();
    SdlWavePlayer player(output, folder_);
    player.PlaySound((folder_ / "wrong.wav").string(), PlayMode::Sync);
  }
  const double beep = D(MakeDefaultBeep().size());
  EXPECT_NEAR(D(CountSounding(PlayedSamples())), beep, beep * 0.1);
}

TEST_F(SoundEffectsTest, WaveOfAnotherFormatIsConvertedToTheDevice) {
  testing::WriteWave(folder_ / "intro.wav", 200, 5000, 44100, 2);
  {
    auto output = std::make_shared<AudioOutput>();
    SdlWavePlayer player(output, folder_);
    const auto start = Clock::now();
    player.PlaySound((folder_ / "intro.wav").string(), PlayMode::Sync);
    EXPECT_GE(Since(start), milliseconds(180));  // still 200 ms long, not 400 or 100
  }
  const auto played = PlayedSamples();
  const auto level = std::count_if(played.begin(), played.end(),
                                   [](std::int16_t v) { return v > 4500 && v < 5500; });
  EXPECT_NEAR(static_cast<double>(level), D(SamplesIn(200)), D(SamplesIn(200)) * 0.1);
}

TEST_F(SoundEffectsTest, SoundFromTheDataFolderPlaysWhenNotInTheWorkingDirectory) {
  const auto data = folder_ / "data";
  std::filesystem::create_directories(data);
  testing::WriteWave(data / "exit.wav", 100, 6000);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder_);
  {
    auto output = std::make_shared<AudioOutput>();
    SdlWavePlayer player(output, data);
    player.PlaySound("exit.wav", PlayMode::Sync);
  }
  std::filesystem::current_path(previous);
  EXPECT_EQ(CountOf(PlayedSamples(), 6000), SamplesIn(100));
}

TEST_F(SoundEffectsTest, SpeechAndEffectsSoundTogether) {
  {
    auto output = std::make_shared<AudioOutput>();
    output->Play(AudioChannel::Effects, std::make_shared<const Samples>(SamplesIn(200), 3000));
    output->Queue(AudioChannel::Speech, std::make_shared<const Samples>(SamplesIn(200), 1000));
    std::this_thread::sleep_for(milliseconds(350));
    EXPECT_FALSE(output->Busy(AudioChannel::Effects));
    EXPECT_FALSE(output->Busy(AudioChannel::Speech));
  }
  const auto played = PlayedSamples();
  EXPECT_GT(CountOf(played, 4000), SamplesIn(150));  // mixed, not one after the other
}

TEST_F(SoundEffectsTest, LoudSoundsTogetherAreClippedNotWrappedAround) {
  {
    auto output = std::make_shared<AudioOutput>();
    output->Play(AudioChannel::Effects, std::make_shared<const Samples>(SamplesIn(100), 30000));
    output->Queue(AudioChannel::Speech, std::make_shared<const Samples>(SamplesIn(100), 30000));
    std::this_thread::sleep_for(milliseconds(250));
  }
  const auto played = PlayedSamples();
  EXPECT_GT(CountOf(played, 32767), SamplesIn(80));
  EXPECT_EQ(std::count_if(played.begin(), played.end(), [](std::int16_t v) { return v < 0; }), 0);
}

TEST_F(SoundEffectsTest, NoAudioSystemMakesEverySoundANoOp) {
  ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  auto output = std::make_shared<AudioOutput>();
  EXPECT_FALSE(output->Available());
  EXPECT_NE(output->Problem().find("SDL"), std::string::npos) << output->Problem();
  EXPECT_NE(output->Problem().find("without sound"), std::string::npos) << output->Problem();
  SdlWavePlayer player(output, folder_);
  const auto start = Clock::now();
  player.PlaySound(Wave("spin.wav", 300, 4000).string(), PlayMode::Sync);
  player.PlaySound("no-such-sound.wav", PlayMode::Sync);
  player.PlaySound("spin.wav", PlayMode::Async);
  EXPECT_LT(Since(start), milliseconds(50));
  EXPECT_EQ(output->Queue(AudioChannel::Speech, std::make_shared<const Samples>(100, 1)).id, 0u);
}

TEST_F(SoundEffectsTest, DeviceThatCannotOpenNamesSdlsReason) {
  ::setenv("SDL_DISKAUDIOFILE", (folder_ / "missing-folder" / "out.raw").c_str(), 1);
  auto output = std::make_shared<AudioOutput>();
  EXPECT_FALSE(output->Available());
  EXPECT_NE(output->Problem().find("no audio device could be opened (SDL: "), std::string::npos)
      << output->Problem();
  SdlWavePlayer player(output, folder_);
  const auto start = Clock::now();
  player.PlaySound("spin.wav", PlayMode::Sync);
  EXPECT_LT(Since(start), milliseconds(50));
}

TEST_F(SoundEffectsTest, SilentPlayerReturnsAtOnce) {
  SilentWavePlayer player;
  const auto start = Clock::now();
  player.PlaySound(Wave("spin.wav", 300, 4000).string(), PlayMode::Sync);
  EXPECT_LT(Since(start), milliseconds(20));
}

// Where a sound name leads, without playing anything.
class SoundLookupTest : public testing::DiskAudioTest {
 protected:
  void SetUp() override {
    DiskAudioTest::SetUp();
    data_ = folder_ / "data";
    work_ = folder_ / "work";
    std::filesystem::create_directories(data_);
    std::filesystem::create_directories(work_);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(work_);
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    DiskAudioTest::TearDown();
  }
  std::filesystem::path data_, work_, previous_;
};

TEST_F(SoundLookupTest, BareNameInTheWorkingDirectoryComesFirst) {
  testing::WriteWave(work_ / "spin.wav", 10, 1);
  testing::WriteWave(data_ / "spin.wav", 10, 2);
  const auto found = FindSoundFile("spin.wav", data_);
  ASSERT_TRUE(found);
  EXPECT_TRUE(std::filesystem::equivalent(*found, work_ / "spin.wav"));
}

TEST_F(SoundLookupTest, BareNameFallsBackToTheDataFolder) {
  testing::WriteWave(data_ / "spin.wav", 10, 2);
  const auto found = FindSoundFile("spin.wav", data_);
  ASSERT_TRUE(found);
  EXPECT_TRUE(std::filesystem::equivalent(*found, data_ / "spin.wav"));
}

TEST_F(SoundLookupTest, FullPathIsUsedAsItIsAndNeverSearched) {
  testing::WriteWave(data_ / "ZONTARY.WAV", 10, 2);
  testing::WriteWave(work_ / "ZONTARY.WAV", 10, 1);
  const auto found = FindSoundFile((data_ / "ZONTARY.WAV").string(), data_);
  ASSERT_TRUE(found);
  EXPECT_TRUE(std::filesystem::equivalent(*found, data_ / "ZONTARY.WAV"));
  EXPECT_FALSE(FindSoundFile((folder_ / "elsewhere" / "ZONTARY.WAV").string(), data_));
}

TEST_F(SoundLookupTest, NameWrittenInAnotherCaseOrWithBackslashesIsFound) {
  testing::WriteWave(data_ / "ZONTARY.WAV", 10, 2);
  testing::WriteWave(data_ / "spin.wav", 10, 2);
  const auto jingle = FindSoundFile(data_.string() + "\\zontary.wav", data_);
  ASSERT_TRUE(jingle);
  EXPECT_TRUE(std::filesystem::equivalent(*jingle, data_ / "ZONTARY.WAV"));
  const auto spin = FindSoundFile("SPIN.WAV", data_);
  ASSERT_TRUE(spin);
  EXPECT_TRUE(std::filesystem::equivalent(*spin, data_ / "spin.wav"));
}

TEST_F(SoundLookupTest, NameFoundNowhereIsMissing) {
  EXPECT_FALSE(FindSoundFile("bankrupt.wav", data_));
  EXPECT_FALSE(FindSoundFile("", data_));
}

}  // namespace
}  // namespace orvanta::speech
