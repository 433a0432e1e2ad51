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

constexpr std::size_t SamplesIn(int ms) {
  return static_cast<std::size_t>(22050 * ms / 1000);
}

class SoundEffectsTest : public testing::DiskAudioTest {
 protected:
  std::string Wave(const std::string& name, int ms, std::int16_t value) {
    testing::WriteWave(folder_ / name, ms, value);
    return (folder_ / name).string();
  }
  // How long the game is held by playing `file`, when `mode` is Sync.
  milliseconds Held(SdlWavePlayer& player, const std::string& file, PlayMode mode) {
    const auto start = Clock::now();
    player.PlaySound(file, mode);
    return Since(start);
  }
};

TEST_F(SoundEffectsTest, SyncSoundsHoldTheGameForTheirLengthAndPlayOneAfterAnother) {
  const auto spin = Wave("spin.wav", 200, 4000);
  const auto applause = Wave("applause.wav", 150, 5000);
  {
    auto output = std::make_shared<AudioOutput>();
    ASSERT_TRUE(output->Available()) << output->Problem();
    SdlWavePlayer player(output, folder_);
    const auto held = Held(player, spin, PlayMode::Sync);
    EXPECT_GE(held, milliseconds(190));
    EXPECT_LT(held, milliseconds(600));
    player.PlaySound(spin, PlayMode::Sync);
    player.PlaySound(applause, PlayMode::Sync);
  }
  const auto played = PlayedSamples();
  EXPECT_EQ(CountOf(played, 4000), 2 * SamplesIn(200));  // each whole, no more
  EXPECT_EQ(CountOf(played, 5000), SamplesIn(150));
  EXPECT_EQ(CountOf(played, 9000), 0u);  // never overlapping
}

TEST_F(SoundEffectsTest, AsyncSoundReturnsAtOnceAndANewSoundCutsItOff) {
  const auto jingle = Wave("ZONTARY.WAV", 300, 4000);
  const auto loseTurn = Wave("loseturn.wav", 100, 2000);
  {
    auto output = std::make_shared<AudioOutput>();
    SdlWavePlayer player(output, folder_);
    EXPECT_LT(Held(player, jingle, PlayMode::Async), milliseconds(60));
    EXPECT_TRUE(output->Busy(AudioChannel::Effects));
    std::this_thread::sleep_for(milliseconds(450));
    player.PlaySound(jingle, PlayMode::Async);
    std::this_thread::sleep_for(milliseconds(80));
    // The new sound's length, not the rest of the old.
    EXPECT_LT(Held(player, loseTurn, PlayMode::Sync), milliseconds(400));
  }
  const auto played = PlayedSamples();
  EXPECT_GT(CountOf(played, 4000), SamplesIn(300));  // the first jingle whole...
  EXPECT_LT(CountOf(played, 4000), SamplesIn(500));  // ...the second stopped early
  EXPECT_EQ(CountOf(played, 2000), SamplesIn(100));
  EXPECT_EQ(CountOf(played, 6000), 0u);  // the two never sounded together
}

TEST_F(SoundEffectsTest, MissingOrUnreadableFilePlaysTheSoftDefaultBeep) {
  std::ofstream(folder_ / "wrong.wav") << "this is not a wave file";
  {
    auto output = std::make_shared<AudioOutput>();
    SdlWavePlayer player(output, folder_);
    const auto held = Held(player, "no-such-sound.wav", PlayMode::Sync);
    EXPECT_GE(held, milliseconds(140));
    EXPECT_LT(held, milliseconds(600));
    player.PlaySound((folder_ / "wrong.wav").string(), PlayMode::Sync);
  }
  const auto played = PlayedSamples();
  const auto beeps = 2.0 * static_cast<double>(MakeDefaultBeep().size());
  EXPECT_NEAR(static_cast<double>(CountSounding(played)), beeps, beeps * 0.1);
  const auto loudest = *std::max_element(played.begin(), played.end());
  EXPECT_GT(loudest, 4000);
  EXPECT_LT(loudest, 10000);  // soft: about a quarter of full scale
}

TEST_F(SoundEffectsTest, WaveOfAnotherFormatIsConvertedToTheDevice) {
  testing::WriteWave(folder_ / "intro.wav", 200, 5000, 44100, 2);
  {
    SdlWavePlayer player(std::make_shared<AudioOutput>(), folder_);
    // Still 200 ms long, not 400 or 100.
    EXPECT_GE(Held(player, (folder_ / "intro.wav").string(), PlayMode::Sync), milliseconds(180));
  }
  const auto played = PlayedSamples();
  const auto level = std::count_if(played.begin(), played.end(),
                                   [](std::int16_t v) { return v > 4500 && v < 5500; });
  const auto expected = static_cast<double>(SamplesIn(200));
  EXPECT_NEAR(static_cast<double>(level), expected, expected * 0.1);
}

TEST_F(SoundEffectsTest, SpeechAndEffectsAreMixedAndClippedNotWrappedAround) {
  {
    auto output = std::make_shared<AudioOutput>();
    output->Play(AudioChannel::Effects, std::make_shared<const Samples>(SamplesIn(200), 3000));
    output->Queue(AudioChannel::Speech, std::make_shared<const Samples>(SamplesIn(200), 1000));
    std::this_thread::sleep_for(milliseconds(350));
    EXPECT_FALSE(output->Busy(AudioChannel::Effects));
    EXPECT_FALSE(output->Busy(AudioChannel::Speech));
    output->Play(AudioChannel::Effects, std::make_shared<const Samples>(SamplesIn(100), 30000));
    output->Queue(AudioChannel::Speech, std::make_shared<const Samples>(SamplesIn(100), 30000));
    std::this_thread::sleep_for(milliseconds(250));
  }
  const auto played = PlayedSamples();
  EXPECT_GT(CountOf(played, 4000), SamplesIn(150));  // together, not one after the other
  EXPECT_GT(CountOf(played, 32767), SamplesIn(80));
  EXPECT_EQ(std::count_if(played.begin(), played.end(), [](std::int16_t v) { return v < 0; }), 0);
}

// While the game waits for a key the device is closed (SDL would otherwise mix silence for
// ever); the next sound opens it again and is heard whole. The disk driver starts its file
// afresh on each opening, so what it holds is the second sound alone.
TEST_F(SoundEffectsTest, DeviceClosesWhileNothingPlaysAndOpensAgainForTheNextSound) {
  {
    auto output = std::make_shared<AudioOutput>(AudioOutputOptions{.idleClose = milliseconds(50)});
    const auto first =
        output->Play(AudioChannel::Effects, std::make_shared<const Samples>(SamplesIn(100), 3000));
    EXPECT_TRUE(output->DeviceOpen());
    EXPECT_TRUE(output->WaitUntilPlayed(AudioChannel::Effects, first.id, milliseconds(2000)));
    const auto deadline = Clock::now() + milliseconds(2000);
    while (output->DeviceOpen() && Clock::now() < deadline) {
      std::this_thread::sleep_for(milliseconds(5));
    }
    EXPECT_FALSE(output->DeviceOpen());
    const auto second =
        output->Queue(AudioChannel::Speech, std::make_shared<const Samples>(SamplesIn(100), 2000));
    EXPECT_TRUE(output->WaitUntilPlayed(AudioChannel::Speech, second.id, milliseconds(2000)));
    std::this_thread::sleep_for(milliseconds(30));  // its last buffer reaches the file
  }
  EXPECT_EQ(CountOf(PlayedSamples(), 2000), SamplesIn(100));
}

// (No audio driver at all: SpeechPlatformTest, whose problem names the missing device.)
TEST_F(SoundEffectsTest, WithoutADeviceEverySoundIsANoOpAndSdlsReasonIsNamed) {
  const auto spin = Wave("spin.wav", 300, 4000);
  // The disk driver cannot open its file.
  ::setenv("SDL_DISKAUDIOFILE", (folder_ / "missing-folder" / "out.raw").c_str(), 1);
  auto output = std::make_shared<AudioOutput>();
  EXPECT_FALSE(output->Available());
  const std::string problem = output->Problem();
  EXPECT_NE(problem.find("without sound"), std::string::npos) << problem;
  EXPECT_NE(problem.find("no audio device could be opened (SDL: "), std::string::npos) << problem;
  SdlWavePlayer player(output, folder_);
  const auto start = Clock::now();
  player.PlaySound(spin, PlayMode::Sync);
  player.PlaySound("no-such-sound.wav", PlayMode::Sync);
  player.PlaySound("spin.wav", PlayMode::Async);
  EXPECT_LT(Since(start), milliseconds(50));
  EXPECT_EQ(output->Queue(AudioChannel::Speech, std::make_shared<const Samples>(100, 1)).id, 0u);
}

// Where a sound name leads: the working directory first, then the data folder; a path as it is;
// any case and backslashes as on Windows. Played from the data folder too.
TEST_F(SoundEffectsTest, SoundNamesAreFoundWhereTheGameKeepsThem) {
  const auto data = folder_ / "data", work = folder_ / "work";
  std::filesystem::create_directories(data);
  std::filesystem::create_directories(work);
  for (const auto& file : {work / "spin.wav", data / "spin.wav", data / "ZONTARY.WAV",
                           work / "ZONTARY.WAV", data / "exit.wav"}) {
    testing::WriteWave(file, 100, 6000);
  }
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(work);
  const struct {
    std::string name;
    std::filesystem::path found;  // empty: not found
  } cases[] = {
      {"spin.wav", work / "spin.wav"},
      {"exit.wav", data / "exit.wav"},
      {(data / "ZONTARY.WAV").string(), data / "ZONTARY.WAV"},
      {data.string() + "\\zontary.wav", data / "ZONTARY.WAV"},
      {"SPIN.WAV", work / "spin.wav"},
      {(folder_ / "elsewhere" / "ZONTARY.WAV").string(), {}},
  };
  for (const auto& c : cases) {
    const auto found = FindSoundFile(c.name, data);
    EXPECT_EQ(found.has_value(), !c.found.empty()) << c.name;
    if (found && !c.found.empty()) {
      EXPECT_TRUE(std::filesystem::equivalent(*found, c.found)) << c.name << " -> " << *found;
    }
  }
  { SdlWavePlayer(std::make_shared<AudioOutput>(), data).PlaySound("exit.wav", PlayMode::Sync); }
  std::filesystem::current_path(previous);
  EXPECT_EQ(CountOf(PlayedSamples(), 6000), SamplesIn(100));
}

}  // namespace
}  // namespace orvanta::speech
