#!/bin/sh
# The only "synthesizer" of the private speech-dispatcher in the real-Orca test: it logs when a
# chunk begins, ends or is cut off (speech-dispatcher kills its process group), with the
# client's pitch, which tells Orca (10) from the game (0), then lasts as long as espeak-ng
# would take to speak it at that rate.
# Usage (from the module's configuration): speak_chunk.sh LOG PITCH RATE TEXT
log=$1 pitch=$2 rate=$3 text=$4
now() { date +%s.%N; }
printf '%s begin %s %s %s\n' "$(now)" "$$" "$pitch" "$text" >>"$log"
# Cut off: the watcher outlives the killed group and notes it when no "end" line was written.
setsid sh -c 'tail --pid="$1" -s 0.01 -f /dev/null; grep -q "^[0-9.]* end $1\$" "$2" ||
  printf "%s cut %s\n" "$(date +%s.%N)" "$1" >>"$2"' watcher "$$" "$log" </dev/null >/dev/null 2>&1 &
wpm=$(awk -v r="${rate%.*}" 'BEGIN { print int(r < 0 ? 175 + r * 0.95 : 175 + r * 2.75) }')
bytes=$(espeak-ng -s "$wpm" --stdout -- "$text" 2>/dev/null | wc -c)
sleep "$(awk -v b="$bytes" 'BEGIN { printf "%.3f", (b > 44 ? b - 44 : 0) / 44100 }')"
printf '%s end %s\n' "$(now)" "$$" >>"$log"
