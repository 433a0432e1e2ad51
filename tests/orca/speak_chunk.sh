#!/bin/bash
# The only "synthesizer" of the private speech-dispatcher in the real-Orca test: it logs when a
# chunk begins (with the client's pitch, which tells Orca (10) from the game (0), and rate),
# ends or is cut off, and lasts as long as espeak-ng would take to speak it.
# Usage (from the module's configuration): speak_chunk.sh LOG PITCH RATE TEXT
log=$1 pitch=$2 rate=$3
text=$(printf '%s' "$4" | tr '\r\n' '  ')
# The module's pipes must close the moment it is killed: keep none of them open.
for fd in /proc/$$/fd/*; do
  fd=${fd##*/}
  [ "$fd" -gt 2 ] 2>/dev/null && eval "exec $fd>&-" 2>/dev/null
done
printf '%s begin %s %s %s %s\n' "$(date +%s.%N)" "$$" "$pitch" "$rate" "$text" >>"$log"
# speech-dispatcher cuts a chunk off by killing the process group that the module's child
# leads, this script included; a watcher outside the group notes it.
leader=$(awk '{ print $5 }' /proc/$$/stat)
setsid bash -c 'tail --pid="$1" -s 0.01 -f /dev/null; grep -q "^[0-9.]* end $2\$" "$3" ||
  printf "%s cut %s\n" "$(date +%s.%N)" "$2" >>"$3"' watcher "$leader" "$$" "$log" \
  </dev/null >/dev/null 2>&1 &
wpm=$(awk -v r="${rate%.*}" 'BEGIN { print int(r < 0 ? 175 + r * 0.95 : 175 + r * 2.75) }')
bytes=$(espeak-ng -s "$wpm" --stdout -- "$text" 2>/dev/null | wc -c)
sleep "$(awk -v b="$bytes" 'BEGIN { printf "%.3f", (b > 44 ? b - 44 : 0) / 44100 }')"
printf '%s end %s\n' "$(date +%s.%N)" "$$" >>"$log"
