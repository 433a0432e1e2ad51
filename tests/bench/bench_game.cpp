// Benchmarks of the work a player waits for: loading a puzzle at start-up (the whole shipped
// folder is scanned each time) and the board operations of one letter call.
#include <benchmark/benchmark.h>

#include "puzzles/RandomSource.h"
#include "puzzles/modPuzzler.h"

namespace {

using namespace orvanta;

void BM_LoadShippedPuzzle(benchmark::State& state) {
  MersenneRandom random;
  SteadyClock clock;
  for (auto _ : state) {
    LoadResult result = LoadPuzzle(ORVANTA_SHIPPED_PUZZLES, random, clock);
    if (!std::holds_alternative<PuzzleData>(result)) {
      state.SkipWithError(std::get<PuzzleError>(result).Message().c_str());
      break;
    }
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_LoadShippedPuzzle)->Unit(benchmark::kMicrosecond);

void BM_RevealAndCountOnALongBoard(benchmark::State& state) {
  std::string solution;
  while (solution.size() < static_cast<std::size_t>(state.range(0))) {
    solution += "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG, CAFÉ & CRÈME ";
  }
  const std::string board = MaskPuzzle(solution);
  for (auto _ : state) {
    std::string revealed = RevealLetter(board, solution, "E");
    benchmark::DoNotOptimize(CountLetter(revealed, "_"));
  }
}
BENCHMARK(BM_RevealAndCountOnALongBoard)->Arg(40)->Arg(32767);

}  // namespace

BENCHMARK_MAIN();
