// EspeakVoice.h: the game's own voice on Linux (self-voicing). espeak-ng synthesizes each text
// into memory on a worker thread, and the samples play on the speech channel of the audio
// output, so the voice goes on over the sound effects.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "speech/SpeechRoutes.h"
#include "speech/linux/AudioOutput.h"

namespace orvanta::speech {

// espeak-ng set up to synthesize into memory with the English voice. espeak-ng keeps its state
// per process and cannot be started a second time once stopped (espeak_Terminate followed by
// espeak_Initialize leaves the next espeak_Terminate waiting for ever), so there is exactly one
// engine, started at its first use and left to the operating system at exit.
class EspeakEngine {
 public:
  static EspeakEngine& Process();
  EspeakEngine(const EspeakEngine&) = delete;
  EspeakEngine& operator=(const EspeakEngine&) = delete;

  bool Ready() const { return ready_; }
  // The rate from -100 to 100 (0: espeak-ng's normal 175 words a minute) and an espeak-ng
  // voice name ("en-us", "en+f3"); unset or empty leave them as they are. What could not be
  // taken, for the player; empty when all was.
  std::string Configure(std::optional<int> rate, std::string_view voice);
  // Why espeak-ng could not start, for the player; empty when it is ready.
  const std::string& Problem() const { return problem_; }

  // The spoken text (UTF-8, plain text) as samples at the audio output's rate; once `stop`
  // turns true the rest is dropped. Empty when the engine is not ready.
  Samples Synthesize(std::string_view text, const std::atomic<bool>& stop);

 private:
  EspeakEngine();
  ~EspeakEngine() = default;

  std::mutex mutex_;  // espeak-ng synthesizes one text at a time
  bool ready_ = false;
  int sampleRate_ = 0;
  std::string problem_;
};

class EspeakVoice : public SapiVoice {
 public:
  // `output` must not be null; without a device every text is done at once, unheard.
  EspeakVoice(EspeakEngine& engine, std::shared_ptr<AudioOutput> output);
  // Lets queued speech (the farewell) finish, for at most a few seconds.
  ~EspeakVoice() override;
  EspeakVoice(const EspeakVoice&) = delete;
  EspeakVoice& operator=(const EspeakVoice&) = delete;

  // Flags with kSvsfAsync (17) queue the text and return; without it (16) wait until spoken.
  void Speak(std::string_view text, int flags) override;
  // "Sentence": drops the text being spoken and the next ones, `count` texts in all.
  void Skip(std::string_view type, int count) override;
  int RunningState() override;

 private:
  enum class Stage { Waiting, Synthesizing, Playing };
  struct Utterance {
    std::uint64_t number;
    std::string text;
    Stage stage = Stage::Waiting;
    ClipTicket clip;
  };

  void Work();
  // Forgets the texts that have played out. Holds mutex_.
  void PruneLocked();
  Utterance* FindLocked(std::uint64_t number);
  // Waits until the text has been spoken, or skipped, or the deadline passed.
  void WaitUntilSpoken(std::unique_lock<std::mutex>& lock, std::uint64_t number,
                       std::chrono::steady_clock::time_point deadline);

  EspeakEngine& engine_;
  std::shared_ptr<AudioOutput> output_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Utterance> utterances_;  // in speaking order: playing, synthesizing, waiting
  std::uint64_t nextNumber_ = 1;
  std::atomic<bool> stopSynthesis_ = false;  // the text being synthesized was skipped
  bool stopping_ = false;
  std::thread worker_;
};

}  // namespace orvanta::speech
