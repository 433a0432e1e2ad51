// EspeakVoice.cpp: espeak-ng to memory, and the voice's queue of texts. The worker synthesizes
// one text at a time (about a thousand times faster than it is spoken) and queues its samples on
// the speech channel, so texts follow each other without a gap.
#include "speech/linux/EspeakVoice.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace orvanta::speech {
namespace {

using Clock = std::chrono::steady_clock;

// The longest a single text may take to synthesize before a waiting caller gives up on it.
constexpr auto kSynthesisLimit = std::chrono::seconds(5);
// How long the farewell may take when the game ends.
constexpr auto kFarewellLimit = std::chrono::seconds(4);

struct SynthesisJob {
  Samples* samples;
  const std::atomic<bool>* stop;
};

int ReceiveSamples(short* wave, int count, espeak_EVENT* events) {
  auto* job = events != nullptr ? static_cast<SynthesisJob*>(events->user_data) : nullptr;
  if (job == nullptr) {
    return 0;
  }
  // Never ask espeak-ng to abort (by returning 1): in synchronous mode that leaves it waiting
  // for ever in the next espeak_Terminate or espeak_Cancel. Synthesis is so fast that letting a
  // stopped text run out, unheard, costs only a few milliseconds.
  if (wave != nullptr && count > 0 && !job->stop->load()) {
    job->samples->insert(job->samples->end(), wave, wave + count);
  }
  return 0;
}

// espeak-ng normally speaks at the output's own rate; should it not, stretch linearly.
Samples Resample(const Samples& input, int fromRate) {
  if (fromRate == AudioOutput::kSampleRate || input.size() < 2) {
    return input;
  }
  const double step = static_cast<double>(fromRate) / AudioOutput::kSampleRate;
  const auto length = static_cast<std::size_t>(static_cast<double>(input.size() - 1) / step) + 1;
  Samples output(length);
  for (std::size_t i = 0; i < length; ++i) {
    const double at = static_cast<double>(i) * step;
    const auto left = static_cast<std::size_t>(at);
    const std::size_t right = std::min(left + 1, input.size() - 1);
    const double part = at - static_cast<double>(left);
    output[i] = static_cast<std::int16_t>(input[left] * (1.0 - part) + input[right] * part);
  }
  return output;
}

}  // namespace

EspeakEngine::EspeakEngine() {
  // DONT_EXIT: without it espeak-ng ends the whole program when its data is missing.
  sampleRate_ = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (sampleRate_ <= 0) {
    problem_ = "the game's own voice (espeak-ng) could not start (its voice data may be missing)";
    return;
  }
  espeak_SetSynthCallback(&ReceiveSamples);
  if (espeak_SetVoiceByName("en") != EE_OK) {
    problem_ = "the game's own voice (espeak-ng) could not start: it has no English voice (\"en\")";
    return;
  }
  ready_ = true;
}

EspeakEngine& EspeakEngine::Process() {
  static EspeakEngine engine;  // started once, on first use, by whichever thread comes first
  return engine;
}

std::string EspeakEngine::Configure(std::optional<int> rate, std::string_view voice) {
  std::lock_guard lock(mutex_);
  if (!ready_) {
    return {};
  }
  std::string refused;
  if (rate) {
    // The same scale as speech-dispatcher's: -100 is the slowest, 100 the fastest.
    const int scaled = *rate < 0 ? (espeakRATE_NORMAL - espeakRATE_MINIMUM) * *rate / 100
                                 : (espeakRATE_MAXIMUM - espeakRATE_NORMAL) * *rate / 100;
    espeak_SetParameter(espeakRATE, espeakRATE_NORMAL + scaled, 0);
  }
  if (!voice.empty() && espeak_SetVoiceByName(std::string(voice).c_str()) != EE_OK) {
    refused = "the game's own voice (espeak-ng) has no voice \"" + std::string(voice) +
              "\" (espeak-ng --voices lists them)";
    espeak_SetVoiceByName("en");
  }
  return refused;
}

Samples EspeakEngine::Synthesize(std::string_view text, const std::atomic<bool>& stop) {
  Samples samples;
  if (!ready_) {
    return samples;
  }
  const std::string terminated(text);
  SynthesisJob job{&samples, &stop};
  std::lock_guard lock(mutex_);
  // In synchronous mode espeak_Synth returns when the whole text is made.
  if (espeak_Synth(terminated.c_str(), terminated.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                   nullptr, &job) != EE_OK) {
    return {};
  }
  return Resample(samples, sampleRate_);
}

EspeakVoice::EspeakVoice(EspeakEngine& engine, std::shared_ptr<AudioOutput> output)
    : engine_(engine), output_(std::move(output)), worker_(&EspeakVoice::Work, this) {}

EspeakVoice::~EspeakVoice() {
  std::unique_lock lock(mutex_);
  if (!utterances_.empty()) {
    WaitUntilSpoken(lock, utterances_.back().number, Clock::now() + kFarewellLimit);
  }
  stopping_ = true;
  stopSynthesis_ = true;
  for (const Utterance& utterance : utterances_) {
    if (utterance.stage == Stage::Playing) {
      output_->Cancel(AudioChannel::Speech, utterance.clip.id);
    }
  }
  utterances_.clear();
  changed_.notify_all();
  lock.unlock();
  worker_.join();  // synthesis is bounded and stops when asked: this returns promptly
}

void EspeakVoice::Work() {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, [this] {
      return stopping_ || std::any_of(utterances_.begin(), utterances_.end(),
                                      [](const auto& u) { return u.stage == Stage::Waiting; });
    });
    if (stopping_) {
      return;
    }
    auto next = std::find_if(utterances_.begin(), utterances_.end(),
                             [](const Utterance& u) { return u.stage == Stage::Waiting; });
    next->stage = Stage::Synthesizing;
    const std::uint64_t number = next->number;
    const std::string text = next->text;
    stopSynthesis_ = false;
    lock.unlock();
    auto samples = std::make_shared<const Samples>(engine_.Synthesize(text, stopSynthesis_));
    lock.lock();
    Utterance* utterance = FindLocked(number);
    if (utterance == nullptr) {
      continue;  // skipped while it was being synthesized
    }
    utterance->clip = output_->Queue(AudioChannel::Speech, std::move(samples));
    utterance->stage = Stage::Playing;
    PruneLocked();  // nothing to say, or no device: done at once
    changed_.notify_all();
  }
}

void EspeakVoice::PruneLocked() {
  std::erase_if(utterances_, [this](const Utterance& u) {
    return u.stage == Stage::Playing &&
           (u.clip.id == 0 || !output_->Pending(AudioChannel::Speech, u.clip.id));
  });
}

EspeakVoice::Utterance* EspeakVoice::FindLocked(std::uint64_t number) {
  const auto found = std::find_if(utterances_.begin(), utterances_.end(),
                                  [number](const Utterance& u) { return u.number == number; });
  return found != utterances_.end() ? &*found : nullptr;
}

void EspeakVoice::WaitUntilSpoken(std::unique_lock<std::mutex>& lock, std::uint64_t number,
                                  Clock::time_point deadline) {
  // First until it is synthesized and playing, then until the output has played it.
  const auto synthesized = std::min(deadline, Clock::now() + kSynthesisLimit);
  changed_.wait_until(lock, synthesized, [this, number] {
    const Utterance* u = FindLocked(number);
    return u == nullptr || u->stage == Stage::Playing;
  });
  const Utterance* utterance = FindLocked(number);
  if (utterance == nullptr || utterance->stage != Stage::Playing) {
    return;
  }
  const ClipTicket clip = utterance->clip;
  lock.unlock();
  const auto margin = std::chrono::milliseconds(250) + output_->BufferDuration();
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  output_->WaitUntilPlayed(AudioChannel::Speech, clip.id, std::min(left, clip.playsOutIn + margin));
  lock.lock();
  PruneLocked();
}

void EspeakVoice::Speak(std::string_view text, int flags) {
  std::unique_lock lock(mutex_);
  const std::uint64_t number = nextNumber_++;
  utterances_.push_back({number, std::string(text), Stage::Waiting, {}});
  changed_.notify_all();
  if ((flags & kSvsfAsync) == 0) {
    WaitUntilSpoken(lock, number, Clock::now() + std::chrono::hours(1));
  }
}

void EspeakVoice::Skip(std::string_view type, int count) {
  std::string unit(type);
  std::transform(unit.begin(), unit.end(), unit.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (unit != "sentence") {
    throw SpeechRouteError("the voice can only skip sentences, not \"" + std::string(type) + "\"");
  }
  std::lock_guard lock(mutex_);
  PruneLocked();
  for (int skipped = 0; skipped < count && !utterances_.empty(); ++skipped) {
    const Utterance& current = utterances_.front();
    if (current.stage == Stage::Playing) {
      output_->Cancel(AudioChannel::Speech, current.clip.id);
    } else if (current.stage == Stage::Synthesizing) {
      stopSynthesis_ = true;
    }
    utterances_.pop_front();
  }
  changed_.notify_all();
}

int EspeakVoice::RunningState() {
  std::lock_guard lock(mutex_);
  PruneLocked();
  return utterances_.empty() ? kSrseDone : kSrseIsSpeaking;
}

}  // namespace orvanta::speech
