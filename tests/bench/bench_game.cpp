// Benchmarks of the work a player waits for, each beside its floor (the least any program would
// do for the same result) so that a figure reads as a ratio: loading a puzzle against reading
// the first line of every file, the checker against reading the file's lines, the hand-off of
// a key release to the screen reader against calling the screen reader directly.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Program.h"
#include "base/ProgramEnd.h"
#include "base/RandomSource.h"
#include "puzzles/PuzzleChecker.h"
#include "puzzles/modPuzzler.h"
#include "script/ScriptSpeech.h"

namespace {

using namespace orvanta;
using Clock = std::chrono::steady_clock;

// The folder of the files the benchmarks make, once per run, removed at its end.
const std::filesystem::path& Scratch() {
  static const struct Folder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("orvanta-bench-" + std::to_string(::getpid()));
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  } folder;
  return folder.path;
}

// A folder of `count` small puzzle files.
std::filesystem::path PuzzleFolder(int count) {
  auto folder = Scratch() / ("folder-" + std::to_string(count));
  if (std::filesystem::create_directories(folder)) {
    for (int i = 0; i < count; ++i) {
      std::string name = "pack";
      name.append(std::to_string(i)).append(".orp");
      std::ofstream(folder / name) << "ZONTARY_WHEEL/PDATA/1.x\r\nC Sayings\r\nTP 3\r\n"
                                      "TO BE OR NOT TO BE\r\nALL IS WELL\r\nTIME WILL TELL\r\n";
    }
  }
  return folder;
}

// A puzzle file of about 100 MB whose phrases are all different (the checker's worst case).
std::filesystem::path BigFile() {
  auto file = Scratch() / "big" / "big.orp";
  if (std::filesystem::create_directories(file.parent_path())) {
    std::ofstream out(file, std::ios::binary);
    out << "ZONTARY_WHEEL/PDATA/1.x\r\nC Numbers\r\nTP 32767\r\n";
    std::string line;
    for (long i = 0; out.tellp() < 100L * 1000 * 1000; ++i) {
      line = "PHRASE NUMBER ";
      line.append(std::to_string(i)).append(" OF THE BIG PACK\r\n");
      out << line;
    }
  }
  return file;
}

void BM_LoadPuzzle(benchmark::State& state) {
  const auto folder = PuzzleFolder(static_cast<int>(state.range(0)));
  MersenneRandom random;
  SteadyClock clock;
  for (auto _ : state) {
    LoadResult result = LoadPuzzle(folder, random, clock);
    if (!std::holds_alternative<PuzzleData>(result)) {
      state.SkipWithError(std::get<PuzzleError>(result).Message().c_str());
      break;
    }
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_LoadPuzzle)->Arg(1000)->Arg(10000)->Arg(32767)->Unit(benchmark::kMillisecond);

// The floor of a load: every file opened and its first line (the format mark) read.
void BM_ReadFirstLineOfEachFile(benchmark::State& state) {
  const auto folder = PuzzleFolder(static_cast<int>(state.range(0)));
  std::string line;
  for (auto _ : state) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      std::ifstream in(entry.path(), std::ios::binary);
      std::getline(in, line);
      benchmark::DoNotOptimize(line);
    }
  }
}
BENCHMARK(BM_ReadFirstLineOfEachFile)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(32767)
    ->Unit(benchmark::kMillisecond);

// The peak resident memory since ResetPeakMemory(), in MB.
void ResetPeakMemory() {
  std::ofstream("/proc/self/clear_refs") << "5";
}
double PeakMemoryMB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::stod(line.substr(6)) / 1024.0;  // given in kB
    }
  }
  return 0.0;
}

void BM_CheckPuzzleFile100MB(benchmark::State& state) {
  const auto file = BigFile();
  ResetPeakMemory();
  const double before = PeakMemoryMB();
  std::int64_t problems = 0;
  for (auto _ : state) {
    const PuzzleFileReport report = CheckPuzzleFile(file, [](const PuzzleProblem&) {});
    problems = report.Problems;
    benchmark::DoNotOptimize(report);
  }
  state.counters["peak_MB"] = PeakMemoryMB();
  state.counters["peak_MB_before"] = before;
  state.counters["problems"] = static_cast<double>(problems);
}
BENCHMARK(BM_CheckPuzzleFile100MB)->Unit(benchmark::kMillisecond);

// The floor of a check: the file read line by line.
void BM_ReadLines100MB(benchmark::State& state) {
  const auto file = BigFile();
  ResetPeakMemory();
  std::size_t lines = 0;
  for (auto _ : state) {
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      ++lines;
    }
  }
  benchmark::DoNotOptimize(lines);
  state.counters["peak_MB"] = PeakMemoryMB();
}
BENCHMARK(BM_ReadLines100MB)->Unit(benchmark::kMillisecond);

// The screen reader's route, noting when the money sentence reaches it.
class TimedScreenReader final : public speech::ScreenReaderRoute {
 public:
  bool SayString(std::string_view text, bool) override {
    if (text.rfind("You currently have", 0) == 0) {
      reached = Clock::now();
      ++times;
    }
    return true;
  }
  Clock::time_point reached;
  int times = 0;
};

class TimedSpeechPlatform final : public speech::SpeechPlatform {
 public:
  speech::ScreenReaderRoute& ScreenReader() override { return route; }
  std::unique_ptr<speech::WindowEyesObject> CreateWindowEyes() override { return nullptr; }
  std::unique_ptr<speech::SapiVoice> CreateSapiVoice() override { return nullptr; }
  TimedScreenReader route;
};

// A toolkit that, at each wait of the game loop, releases F5 (the player asks for the money)
// until enough presses have been timed.
class KeyPressingToolkit final : public ui::Toolkit {
 public:
  KeyPressingToolkit(TimedScreenReader& route, int presses) : route_(route), presses_(presses) {}
  void Load(ui::Window&) override {}
  void Show(ui::Window&) override {}
  void Unload(ui::Window&) override {}
  void Repaint(ui::Window&) override {}
  void DoEvents() override {}
  void WaitForEvent() override {
    if (pressed_ != Clock::time_point{}) {
      latencies.push_back(std::chrono::duration<double, std::micro>(route_.reached - pressed_));
    }
    if (static_cast<int>(latencies.size()) >= presses_) {
      EndProgram(0);
    }
    constexpr int kF5 = 116;
    pressed_ = Clock::now();
    program->MainWindow().KeyUp(kF5, {});
  }
  ui::MsgResult MsgBox(std::string_view, std::string_view, ui::MsgButtons buttons,
                       ui::MsgIcon) override {
    return buttons == ui::MsgButtons::YesNo ? ui::MsgResult::No : ui::MsgResult::OK;
  }
  std::string InputBox(std::string_view, std::string_view) override { return {}; }

  Program* program = nullptr;
  std::vector<std::chrono::duration<double, std::micro>> latencies;

 private:
  TimedScreenReader& route_;
  int presses_;
  Clock::time_point pressed_;
};

void ReportMedianAnd99th(benchmark::State& state,
                         std::vector<std::chrono::duration<double, std::micro>> latencies) {
  if (latencies.empty()) {
    state.SkipWithError("nothing was timed");
    return;
  }
  std::sort(latencies.begin(), latencies.end());
  state.counters["median_us"] = latencies[latencies.size() / 2].count();
  state.counters["p99_us"] = latencies[latencies.size() * 99 / 100].count();
}

void BM_KeyReleaseToScreenReader(benchmark::State& state) {
  const auto folder = PuzzleFolder(1);
  std::vector<std::chrono::duration<double, std::micro>> latencies;
  for (auto _ : state) {
    TimedSpeechPlatform speech;
    KeyPressingToolkit toolkit(speech.route, static_cast<int>(state.range(0)));
    std::ostringstream discarded;
    script::ScriptEvents events(discarded);
    script::ScriptWavePlayer wave(events);
    MersenneRandom random;
    SteadyClock clock;
    Program program(Platform{toolkit, wave, speech, random, clock, ui::AppInfo{}, folder});
    toolkit.program = &program;
    try {
      program.Main();
    } catch (const ProgramEnded&) {
    }
    latencies = std::move(toolkit.latencies);
    state.counters["spoken"] = speech.route.times;
  }
  ReportMedianAnd99th(state, std::move(latencies));
}
BENCHMARK(BM_KeyReleaseToScreenReader)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

// The floor of the hand-off: the same route called directly.
void BM_ScreenReaderCalledDirectly(benchmark::State& state) {
  TimedSpeechPlatform speech;
  speech::ScreenReaderRoute& route = speech.ScreenReader();
  std::vector<std::chrono::duration<double, std::micro>> latencies;
  for (auto _ : state) {
    for (int i = 0; i < state.range(0); ++i) {
      const auto pressed = Clock::now();
      route.SayString("You currently have $0", false);
      latencies.emplace_back(speech.route.reached - pressed);
    }
  }
  ReportMedianAnd99th(state, std::move(latencies));
}
BENCHMARK(BM_ScreenReaderCalledDirectly)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
