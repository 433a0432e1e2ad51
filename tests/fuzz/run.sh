#!/usr/bin/env bash
# Runs one fuzz target of a "fuzz" preset build for a number of seconds:
#   tests/fuzz/run.sh BUILD_DIR TARGET SECONDS [libFuzzer options...]
# TARGET is puzzles, script, options, words, board, wave or json. Inputs that reach new code are
# kept in BUILD_DIR/tests/fuzz/work/TARGET/corpus and seed the next run; a failing input is saved
# beside it as crash-*, leak-*, oom-* or timeout-*.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1 target=$2 seconds=$3
shift 3
case $target in
  puzzles) max_len=70000 dict=puzzles.dict ;;  # past the reader's 16 KB chunks and a full item
  script) max_len=70000 dict=script.dict ;;  # past the 64 KB limit of a command line
  options) max_len=1024 dict=options.dict ;;
  wave) max_len=16384 dict=wave.dict ;;
  words | board | json) max_len=4096 dict=text.dict ;;
  *) echo "run.sh: unknown fuzz target '$target'" >&2 && exit 2 ;;
esac
fuzz=$build/tests/fuzz
work=$fuzz/work/$target
mkdir -p "$work/corpus"
corpora=("$work/corpus" "$fuzz/seeds/$target")
if [[ -d $here/corpus/$target ]]; then
  corpora+=("$here/corpus/$target")  # small seeds and the inputs of faults found before
fi
exec "$fuzz/fuzz_$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
  -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1 -dict="$here/$dict" \
  -artifact_prefix="$work/" "$@" "${corpora[@]}"
