// The sound-effect switch: off means silence, on means the wave player gets exactly the name
// and the mode the game asked for.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "speech/WavePlayer.h"
#include "speech/modSound.h"

namespace orvanta::speech {
namespace {

using ::testing::_;
using ::testing::InSequence;
using ::testing::StrictMock;

class MockWavePlayer : public WavePlayer {
 public:
  MOCK_METHOD(void, PlaySound, (std::string_view fileName, PlayMode mode), (override));
};

TEST(SoundEffects, SoundIsOffUntilTheGameSwitchesItOn) {
  StrictMock<MockWavePlayer> player;
  modSound sound(player);
  EXPECT_FALSE(sound.SoundEnabled);
  EXPECT_CALL(player, PlaySound(_, _)).Times(0);
  sound.PlaySound("spin.wav", PlayMode::Sync);
  sound.PlaySound("/opt/orvanta/ZONTARY.WAV", PlayMode::Async);
}

TEST(SoundEffects, JingleThenEffectReachThePlayerUnchangedAndInOrder) {
  StrictMock<MockWavePlayer> player;
  modSound sound(player);
  sound.SoundEnabled = true;
  {
    InSequence order;
    EXPECT_CALL(player, PlaySound(std::string_view("/opt/orvanta/ZONTARY.WAV"), PlayMode::Async));
    EXPECT_CALL(player, PlaySound(std::string_view("reveal.wav"), PlayMode::Sync)).Times(2);
    EXPECT_CALL(player, PlaySound(std::string_view("applause.wav"), PlayMode::Sync));
  }
  sound.PlaySound("/opt/orvanta/ZONTARY.WAV", PlayMode::Async);
  sound.PlaySound("reveal.wav", PlayMode::Sync);
  sound.PlaySound("reveal.wav", PlayMode::Sync);
  sound.PlaySound("applause.wav", PlayMode::Sync);
}

TEST(SoundEffects, SwitchingSoundOffAgainSilencesLaterEffects) {
  StrictMock<MockWavePlayer> player;
  modSound sound(player);
  sound.SoundEnabled = true;
  EXPECT_CALL(player, PlaySound(std::string_view("wrong.wav"), PlayMode::Sync)).Times(1);
  sound.PlaySound("wrong.wav", PlayMode::Sync);
  sound.SoundEnabled = false;
  sound.PlaySound("wrong.wav", PlayMode::Sync);
}

TEST(SoundEffects, NamesAreNotCompletedWithFolderOrExtension) {
  StrictMock<MockWavePlayer> player;
  modSound sound(player);
  sound.SoundEnabled = true;
  EXPECT_CALL(player, PlaySound(std::string_view("missing"), PlayMode::Sync));
  sound.PlaySound("missing", PlayMode::Sync);
}

}  // namespace
}  // namespace orvanta::speech
