#!/usr/bin/env bash
# Exits 0 when this machine can run 32-bit x86 programs, 1 when it cannot: some machines' kernels
# refuse them ("Exec format error"), and 32-bit Wine cannot start there. Set ORVANTA_NO_32_BIT=1
# to take the path of such a machine on any machine.
#
# The probe needs no 32-bit library: it is the smallest 32-bit Linux program, written out byte
# by byte (an ELF header, one loadable segment, and `exit(0)` through `int 0x80`).
set -euo pipefail
[ "${ORVANTA_NO_32_BIT:-0}" = 1 ] && exit 1
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
printf '%b' \
  '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
  '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
  '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' \
  '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
  '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
  '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
