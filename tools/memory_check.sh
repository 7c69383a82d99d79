#!/usr/bin/env bash
# Five windows at the frame limit with 8 channels, a copy and a paste, under
# address-space limits (ulimit -v, so an optimised build without ASan):
# memory_check.sh PROGRAM WORK_DIR.  At 600 MiB every load fits; below,
# every load that did not fit must have said " Memory allocation error. ",
# window 1 must still hold the first file, and the program must end normally
# either way.
set -euo pipefail
bin=$(realpath "$1")
mkdir -p "$2"
cd "$2"
[[ -f big.wav ]] || sox -V1 -n -r 16000 -c 8 -b 16 big.wav synth 65.536 sine 300 # 1048576 frames
# A failed load leaves its name in the box's field: clear it before typing.
load='key F L End'$(printf ' Backspace%.0s' {1..20})'\ntype big.wav\nkey Enter Space\n'
# At the end F2 on window 1 shows what the failed loads left of the first file.
printf "key E C\ntype *\nkey Space\nkey E P Home Space\n$load$load$load${load}key Up Up Up Up Up F2 Space\n" > script.txt
for limit in 614400 200000; do
  rm -f transcript.txt
  status=0
  (ulimit -v $limit; TARVO_SCRIPT=script.txt TARVO_TRANSCRIPT=transcript.txt "$bin" big.wav >stderr.txt 2>&1) || status=$?
  # The information line follows each load from the File menu (not the first).
  loaded=$(($(grep -c '^P: (WAV) 1048576 samples (8 chan.)' transcript.txt || true) - 1))
  first=$(grep -E '^P: ?(\(WAV\)|No signal)' transcript.txt | tail -n 1)
  refused=$(grep -c '^P: Memory allocation error. $' transcript.txt || true)
  echo "memory check at $((limit / 1024)) MiB: status $status, $loaded of 4 later loads done, $refused allocation errors"
  if [[ $status -ne 0 || $((loaded + refused)) -lt 4 || ($limit -ge 614400 && $loaded -ne 4) ||
        $first != "P: (WAV) 1048576 samples (8 chan.)"* ]]; then
    echo "memory check failed: see $PWD/transcript.txt and stderr.txt" >&2
    exit 1
  fi
done
