// The sound-effect switch: off means silence, on means the wave player gets exactly the name
// and the mode the game asked for, in order.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "speech/WavePlayer.h"
#include "speech/modSound.h"

namespace orvanta::speech {
namespace {

using ::testing::InSequence;
using ::testing::StrictMock;

class MockWavePlayer : public WavePlayer {
 public:
  MOCK_METHOD(void, PlaySound, (std::string_view fileName, PlayMode mode), (override));
};

TEST(SoundEffects, OnlySwitchedOnSoundsReachThePlayerUnchangedAndInOrder) {
  StrictMock<MockWavePlayer> player;  // any call not expected below fails the test
  modSound sound(player);
  sound.PlaySound("spin.wav", PlayMode::Sync);  // off until the game switches it on
  sound.SoundEnabled = true;
  {
    InSequence order;
    EXPECT_CALL(player, PlaySound(std::string_view("/opt/orvanta/ZONTARY.WAV"), PlayMode::Async));
    EXPECT_CALL(player, PlaySound(std::string_view("reveal"), PlayMode::Sync)).Times(2);
  }
  sound.PlaySound("/opt/orvanta/ZONTARY.WAV", PlayMode::Async);
  sound.PlaySound("reveal", PlayMode::Sync);  // no folder or extension added
  sound.PlaySound("reveal", PlayMode::Sync);
  sound.SoundEnabled = false;
  sound.PlaySound("wrong.wav", PlayMode::Sync);
}

}  // namespace
}  // namespace orvanta::speech
