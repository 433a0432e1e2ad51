// AudioOutput.h: the game's one audio device on Linux (SDL2), with two independent channels
// mixed together: sound effects and the game's own voice, so speech goes on over an effect.
// When no device can be opened the output says why and every call does nothing. While nothing
// plays the device is closed, so the waiting game does no audio work; the next clip opens it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvanta::speech {

// Mono 16-bit samples at AudioOutput::kSampleRate.
using Samples = std::vector<std::int16_t>;

enum class AudioChannel { Effects = 0, Speech = 1 };

// How long `sampleCount` samples last at the output's rate.
std::chrono::milliseconds SamplesDuration(std::size_t sampleCount);

// The soft beep that stands in for a sound file that cannot be played.
Samples MakeDefaultBeep();

// Identifies one clip handed to a channel. Id 0 is a clip that was never queued (no device).
struct ClipTicket {
  std::uint64_t id = 0;
  // How long until this clip has played out, counted from when it was queued.
  std::chrono::milliseconds playsOutIn{0};
};

struct AudioOutputOptions {
  // Device buffer in sample frames: 256 frames at 22050 Hz is 11.6 ms. A sound waits for at most
  // one buffer on an open device; on a device just opened SDL may first mix one buffer of
  // silence, so a sound after a quiet spell starts within two buffers (23 ms).
  std::uint16_t bufferFrames = 256;
  // How long the device stays open once everything has played. SDL's audio thread keeps mixing
  // silence while a device is open, even paused, so the waiting game closes it; the pause
  // spares the open and close between the sounds and sentences of a turn.
  std::chrono::milliseconds idleClose{2000};
};

class AudioOutput {
 public:
  static constexpr int kSampleRate = 22050;

  explicit AudioOutput(AudioOutputOptions options = {});
  ~AudioOutput();
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // True when the device could be opened and sounds are really played.
  bool Available() const { return available_; }
  // True while the device is open: something is playing or has just played.
  bool DeviceOpen() const;
  // A sentence for the player when no device could be opened (names SDL's reason); else empty.
  const std::string& Problem() const { return problem_; }
  // The length of one device buffer: the latency between queueing and hearing.
  std::chrono::milliseconds BufferDuration() const;

  // Adds a clip behind what the channel is playing.
  ClipTicket Queue(AudioChannel channel, std::shared_ptr<const Samples> clip);
  // Cuts off everything on the channel, then plays `clip`.
  ClipTicket Play(AudioChannel channel, std::shared_ptr<const Samples> clip);
  // Cuts off everything on the channel.
  void Stop(AudioChannel channel);
  // Drops one clip, playing or waiting; false when it had already played out.
  bool Cancel(AudioChannel channel, std::uint64_t clipId);
  // True while the clip is playing or waiting on its channel.
  bool Pending(AudioChannel channel, std::uint64_t clipId) const;
  // True while anything is playing or waiting on the channel.
  bool Busy(AudioChannel channel) const;
  // Waits until the clip has played out (or was cut off), at most `limit`. False on timeout.
  bool WaitUntilPlayed(AudioChannel channel, std::uint64_t clipId,
                       std::chrono::milliseconds limit) const;

 private:
  struct Clip {
    std::uint64_t id;
    std::shared_ptr<const Samples> samples;
  };
  struct Channel {
    std::deque<Clip> clips;
    std::size_t position = 0;  // samples of the front clip already played
  };

  static void Callback(void* self, std::uint8_t* stream, int length);
  void Mix(std::int16_t* out, std::size_t count);
  // Opens the device (paused) when it is closed; 0 when it cannot be opened. Holds deviceMutex_.
  std::uint32_t OpenDevice();
  // Adds the clip to the channel, first cutting off what it plays when `cutOff`.
  ClipTicket Add(AudioChannel channel, std::shared_ptr<const Samples> clip, bool cutOff);
  ClipTicket QueueLocked(Channel& channel, std::shared_ptr<const Samples> clip);
  bool IdleLocked() const;
  // The closing thread: closes the device once it has been idle for idleClose_.
  void CloseWhenIdle();
  static bool Holds(const Channel& channel, std::uint64_t clipId);
  Channel& ChannelFor(AudioChannel channel) { return channels_[static_cast<int>(channel)]; }
  const Channel& ChannelFor(AudioChannel channel) const {
    return channels_[static_cast<int>(channel)];
  }

  bool sdlStarted_ = false;
  bool available_ = false;
  std::uint16_t wantedFrames_ = 0;
  int bufferFrames_ = 0;
  std::chrono::milliseconds idleClose_;
  std::string problem_;

  // Opening and closing the device; taken before mutex_, never while holding it (closing waits
  // for the callback, which takes mutex_).
  std::mutex deviceMutex_;
  mutable std::mutex mutex_;
  // Clips added, played out or dropped; the device opened or closed; the output ending.
  mutable std::condition_variable changed_;
  std::uint32_t device_ = 0;  // written holding both mutexes
  Channel channels_[2];
  std::uint64_t nextId_ = 1;
  std::uint64_t activity_ = 0;  // counts clips added and played out, for the closing thread
  bool stopping_ = false;
  std::thread closer_;
};

}  // namespace orvanta::speech
