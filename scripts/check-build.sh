#!/usr/bin/env bash
# What a maintainer relies on besides the tests: the code's format, the optimised build with
# its benchmarks, clang-tidy over every source file, the threaded parts under the thread
# sanitizer, and a whole scripted game under valgrind. Needs the default build (its
# compile_commands.json and its orvanta). Any finding fails the run; each step gives its time.
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
status=0

step() {
  local name=$1 started=$SECONDS
  shift
  echo "=== ${name} ==="
  if ! "$@"; then
    echo "*** ${name}: FAILED"
    status=1
  fi
  echo "=== ${name}: $((SECONDS - started)) s ==="
}

format_check() {
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
}

tidy_check() {
  # Findings are errors (.clang-tidy); only the offending lines are printed. The benchmarks are
  # built by the release preset only, so they are read with its compile commands.
  run-clang-tidy -j "$jobs" -quiet -p build/default >build/default/clang-tidy.log 2>&1
  local result=$?
  run-clang-tidy -j "$jobs" -quiet -p build/release 'tests/bench/' \
    >>build/default/clang-tidy.log 2>&1 || result=1
  grep -E '(warning|error): ' build/default/clang-tidy.log | sort -u
  return $result
}

# The benchmarks run once each, on their smallest inputs: only to prove that they work.
release_build() {
  cmake --preset release >/dev/null &&
    cmake --build --preset release -j "$jobs" &&
    ctest --preset release -j "$jobs" --timeout 300 -LE 'platform|atspi|e2e' >/dev/null &&
    build/release/tests/bench/orvanta_bench --benchmark_min_time=0 --benchmark_filter='/1000$|/10000/'
}

thread_sanitizer() {
  cmake --preset tsan >/dev/null &&
    cmake --build --preset tsan -j "$jobs" &&
    ctest --preset tsan --timeout 300
}

valgrind_game() {
  # A whole game: the deal, a spin, a letter, the solution and the closing boxes.
  local folder
  folder=$(mktemp -d)
  printf 'ZONTARY_WHEEL/PDATA/1.x\r\nC Saying\r\nTP 1\r\nTO BE\r\n' >"$folder/saying.orp"
  printf 'click cmdSpin\nkey T\ndump\nclick cmdSolve\nanswer OK TO BE\nanswer OK\n' |
    valgrind -q --error-exitcode=3 --leak-check=full --errors-for-leak-kinds=definite,indirect \
      --suppressions=tests/valgrind.supp \
      build/default/orvanta --script --puzzles "$folder" --rand 0,0,0.4 >"$folder/events.jsonl"
  local result=$?
  tail -n 1 "$folder/events.jsonl"
  grep -q '"event":"exit","code":0' "$folder/events.jsonl" || result=1
  rm -rf "$folder"
  return $result
}

step "clang-format" format_check
step "release build and benchmarks" release_build
step "clang-tidy" tidy_check
step "valgrind: a whole scripted game" valgrind_game
step "thread sanitizer" thread_sanitizer
exit $status
