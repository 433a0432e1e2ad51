// AudioOutput.cpp: one SDL2 device fed by a mixing callback. The callback runs on SDL's audio
// thread; the channels are shared with the game's threads under one short-held mutex.
#include "speech/linux/AudioOutput.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvanta::speech {

std::chrono::milliseconds SamplesDuration(std::size_t sampleCount) {
  return std::chrono::milliseconds(static_cast<long long>(sampleCount) * 1000 /
                                   AudioOutput::kSampleRate);
}

Samples MakeDefaultBeep() {
  // A 150 ms sine at 660 Hz, a quarter of full scale, with 15 ms fades so it never clicks.
  constexpr int kLength = AudioOutput::kSampleRate * 150 / 1000;
  constexpr int kFade = AudioOutput::kSampleRate * 15 / 1000;
  constexpr double kFrequency = 660.0;
  constexpr double kAmplitude = 0.25 * 32767.0;
  Samples beep(kLength);
  for (int i = 0; i < kLength; ++i) {
    const double envelope =
        std::min({1.0, static_cast<double>(i) / kFade, static_cast<double>(kLength - i) / kFade});
    const double phase = 2.0 * std::numbers::pi * kFrequency * i / AudioOutput::kSampleRate;
    beep[static_cast<std::size_t>(i)] =
        static_cast<std::int16_t>(std::lround(kAmplitude * envelope * std::sin(phase)));
  }
  return beep;
}

AudioOutput::AudioOutput(AudioOutputOptions options)
    : wantedFrames_(options.bufferFrames), idleClose_(options.idleClose) {
  // SDL would otherwise take over SIGINT and SIGTERM, and the game would no longer end on them.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    problem_ = std::string("No sound: the audio system (SDL) could not start: ") + SDL_GetError() +
               ". The game goes on without sound.";
    return;
  }
  sdlStarted_ = true;
  // Opened now to know whether the game has sound; it closes again once idle.
  std::lock_guard device(deviceMutex_);
  if (OpenDevice() == 0) {
    problem_ = std::string("No sound: no audio device could be opened (SDL: ") + SDL_GetError() +
               "). The game goes on without sound.";
    return;
  }
  available_ = true;
  closer_ = std::thread(&AudioOutput::CloseWhenIdle, this);
}

AudioOutput::~AudioOutput() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (closer_.joinable()) {
    closer_.join();
  }
  if (device_ != 0) {
    SDL_CloseAudioDevice(device_);  // waits for a running callback to return
  }
  if (sdlStarted_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
}

std::uint32_t AudioOutput::OpenDevice() {
  if (device_ != 0) {
    return device_;
  }
  SDL_AudioSpec wanted{};
  wanted.freq = kSampleRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = 1;
  wanted.samples = wantedFrames_;
  wanted.callback = &AudioOutput::Callback;
  wanted.userdata = this;
  SDL_AudioSpec obtained{};
  // No changes allowed: SDL converts to whatever the hardware wants, we always mix 22050 Hz mono.
  const std::uint32_t opened = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (opened != 0) {
    std::lock_guard lock(mutex_);
    device_ = opened;
    bufferFrames_ = obtained.samples;
    ++activity_;
  }
  changed_.notify_all();
  return opened;
}

void AudioOutput::CloseWhenIdle() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    changed_.wait(lock, [this] { return stopping_ || (device_ != 0 && IdleLocked()); });
    const std::uint64_t seen = activity_;
    if (stopping_ || changed_.wait_for(lock, idleClose_, [this, seen] {
          return stopping_ || activity_ != seen || !IdleLocked();
        })) {
      continue;
    }
    lock.unlock();
    {
      std::lock_guard device(deviceMutex_);
      std::uint32_t idle = 0;
      {
        std::lock_guard relock(mutex_);
        if (!stopping_ && IdleLocked() && activity_ == seen) {
          std::swap(idle, device_);
        }
      }
      if (idle != 0) {
        SDL_CloseAudioDevice(idle);
      }
    }
    lock.lock();
  }
}

bool AudioOutput::IdleLocked() const {
  return channels_[0].clips.empty() && channels_[1].clips.empty();
}

bool AudioOutput::DeviceOpen() const {
  std::lock_guard lock(mutex_);
  return device_ != 0;
}

std::chrono::milliseconds AudioOutput::BufferDuration() const {
  std::lock_guard lock(mutex_);
  return SamplesDuration(static_cast<std::size_t>(bufferFrames_));
}

void AudioOutput::Callback(void* self, std::uint8_t* stream, int length) {
  static_cast<AudioOutput*>(self)->Mix(reinterpret_cast<std::int16_t*>(stream),
                                       static_cast<std::size_t>(length) / sizeof(std::int16_t));
}

void AudioOutput::Mix(std::int16_t* out, std::size_t count) {
  std::fill(out, out + count, std::int16_t{0});
  bool finishedAny = false;
  {
    std::lock_guard lock(mutex_);
    for (Channel& channel : channels_) {
      std::size_t written = 0;
      while (written < count && !channel.clips.empty()) {
        const Samples& samples = *channel.clips.front().samples;
        const std::size_t take = std::min(count - written, samples.size() - channel.position);
        for (std::size_t i = 0; i < take; ++i) {
          const int mixed = out[written + i] + samples[channel.position + i];
          out[written + i] = static_cast<std::int16_t>(std::clamp(mixed, -32768, 32767));
        }
        written += take;
        channel.position += take;
        if (channel.position >= samples.size()) {
          channel.clips.pop_front();
          channel.position = 0;
          ++activity_;
          finishedAny = true;
        }
      }
    }
  }
  if (finishedAny) {
    changed_.notify_all();
  }
}

ClipTicket AudioOutput::QueueLocked(Channel& channel, std::shared_ptr<const Samples> clip) {
  std::size_t ahead = 0;
  for (const Clip& queued : channel.clips) {
    ahead += queued.samples->size();
  }
  ahead -= channel.position;
  const ClipTicket ticket{nextId_++, SamplesDuration(ahead + clip->size())};
  channel.clips.push_back({ticket.id, std::move(clip)});
  ++activity_;
  return ticket;
}

ClipTicket AudioOutput::Add(AudioChannel channel, std::shared_ptr<const Samples> clip,
                            bool cutOff) {
  if (cutOff) {
    Stop(channel);
  }
  if (!available_ || !clip || clip->empty()) {
    return {};
  }
  std::lock_guard device(deviceMutex_);
  const std::uint32_t id = OpenDevice();
  if (id == 0) {
    return {};  // the device went away since the game started: this clip is not heard
  }
  ClipTicket ticket;
  {
    std::lock_guard lock(mutex_);
    ticket = QueueLocked(ChannelFor(channel), std::move(clip));
  }
  changed_.notify_all();
  // Unpaused only now, with the clip in place, so its first buffer is the first one mixed.
  SDL_PauseAudioDevice(id, 0);
  return ticket;
}

ClipTicket AudioOutput::Queue(AudioChannel channel, std::shared_ptr<const Samples> clip) {
  return Add(channel, std::move(clip), false);
}

ClipTicket AudioOutput::Play(AudioChannel channel, std::shared_ptr<const Samples> clip) {
  return Add(channel, std::move(clip), true);
}

void AudioOutput::Stop(AudioChannel channel) {
  {
    std::lock_guard lock(mutex_);
    Channel& target = ChannelFor(channel);
    target.clips.clear();
    target.position = 0;
  }
  changed_.notify_all();
}

bool AudioOutput::Cancel(AudioChannel channel, std::uint64_t clipId) {
  bool removed = false;
  {
    std::lock_guard lock(mutex_);
    Channel& target = ChannelFor(channel);
    const auto found = std::find_if(target.clips.begin(), target.clips.end(),
                                    [clipId](const Clip& clip) { return clip.id == clipId; });
    if (found != target.clips.end()) {
      if (found == target.clips.begin()) {
        target.position = 0;
      }
      target.clips.erase(found);
      removed = true;
    }
  }
  if (removed) {
    changed_.notify_all();
  }
  return removed;
}

bool AudioOutput::Holds(const Channel& channel, std::uint64_t clipId) {
  return std::any_of(channel.clips.begin(), channel.clips.end(),
                     [clipId](const Clip& clip) { return clip.id == clipId; });
}

bool AudioOutput::Pending(AudioChannel channel, std::uint64_t clipId) const {
  std::lock_guard lock(mutex_);
  return Holds(ChannelFor(channel), clipId);
}

bool AudioOutput::Busy(AudioChannel channel) const {
  std::lock_guard lock(mutex_);
  return !ChannelFor(channel).clips.empty();
}

bool AudioOutput::WaitUntilPlayed(AudioChannel channel, std::uint64_t clipId,
                                  std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  const Channel& target = ChannelFor(channel);
  return changed_.wait_for(lock, limit, [&] { return !Holds(target, clipId); });
}

}  // namespace orvanta::speech
