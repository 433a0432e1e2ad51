// How soon a sound starts after the game asks for it, now that the waiting game closes its
// audio device: from Play() to the callback mixing the clip's first samples (a clip shorter than
// one buffer has played out in that very callback), with the device closed and, as the floor,
// with it already open. The own voice adds its synthesis time before that, measured alone.
// Runs on the audio device SDL picks; SDL_AUDIODRIVER=dummy or disk where there is no sound card.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "speech/linux/AudioOutput.h"
#include "speech/linux/EspeakVoice.h"

namespace {

using namespace orvanta::speech;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

void Report(benchmark::State& state, std::vector<Millis> times) {
  if (times.empty()) {
    return;
  }
  std::sort(times.begin(), times.end());
  state.counters["median_ms"] = times[times.size() / 2].count();
  state.counters["p99_ms"] = times[times.size() * 99 / 100].count();
  state.counters["max_ms"] = times.back().count();
}

// Plays a 3 ms clip and times it to the callback; with `closedFirst` each time after the
// device has closed for being idle.
void TimeEffectStart(benchmark::State& state, bool closedFirst) {
  AudioOutput output(AudioOutputOptions{.idleClose = closedFirst ? std::chrono::milliseconds(1)
                                                                 : std::chrono::seconds(60)});
  if (!output.Available()) {
    state.SkipWithError(output.Problem().c_str());
    return;
  }
  const auto clip = std::make_shared<const Samples>(64, std::int16_t{1000});
  output.WaitUntilPlayed(AudioChannel::Effects, output.Play(AudioChannel::Effects, clip).id,
                         std::chrono::seconds(1));
  std::vector<Millis> times;
  for (auto _ : state) {
    while (closedFirst && output.DeviceOpen()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (closedFirst) {  // a quiet spell: SDL has finished closing (it waits for its thread)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const auto asked = Clock::now();
    const ClipTicket ticket = output.Play(AudioChannel::Effects, clip);
    output.WaitUntilPlayed(AudioChannel::Effects, ticket.id, std::chrono::seconds(1));
    times.emplace_back(Clock::now() - asked);
    state.SetIterationTime(times.back().count() / 1000.0);
  }
  Report(state, std::move(times));
}

void BM_EffectStartFromClosedDevice(benchmark::State& state) {
  TimeEffectStart(state, true);
}
BENCHMARK(BM_EffectStartFromClosedDevice)->Iterations(100)->UseManualTime();

void BM_EffectStartOnOpenDevice(benchmark::State& state) {
  TimeEffectStart(state, false);
}
BENCHMARK(BM_EffectStartOnOpenDevice)->Iterations(100)->UseManualTime();

// What the own voice adds before its samples reach the output: synthesizing a sentence.
void BM_SynthesizeSentence(benchmark::State& state) {
  EspeakEngine& engine = EspeakEngine::Process();
  if (!engine.Ready()) {
    state.SkipWithError(engine.Problem().c_str());
    return;
  }
  const std::atomic<bool> stop = false;
  std::vector<Millis> times;
  for (auto _ : state) {
    const auto asked = Clock::now();
    benchmark::DoNotOptimize(engine.Synthesize("You currently have $450", stop));
    times.emplace_back(Clock::now() - asked);
  }
  Report(state, std::move(times));
}
BENCHMARK(BM_SynthesizeSentence)->Iterations(30)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
