#!/usr/bin/env bash
# Makes a README picture through the automation interface, from the bundled
# samples in an 800x600 screen.  Usage: screenshot.sh TARVO OUT.png [KIND]
#   main      (default) the samples loaded, the cursor moved
#   spectrum  a 31 ms stretch of the bundled vowel, its spectrum and LP
#             envelope (Both, pad 1, emphasis) in the clip window
set -euo pipefail
bin=$(realpath "$1")
out=$(realpath -m "$2")
kind=${3:-main}
mkdir -p "$(dirname "$out")"
script=$(mktemp)
trap 'rm -f "$script"' EXIT
cd "$(dirname "$0")/../samples"
case $kind in
main)
  files=$(ls *.wav *.snd *.ils *.mat 2>/dev/null | head -n 5 || true)
  keys='key C-Right C-Right S-Right' ;;
spectrum)
  files=vowel.mat
  keys="key T S B 1 y
key C-Right C-Right
key Ins A C-Right Ins B
key T F A B
key Up$(printf ' Right%.0s' {1..20})" ;;
*) echo "screenshot.sh: unknown picture '$kind'" >&2; exit 2 ;;
esac
printf '%s\nshot %s\nkey C-c\n' "$keys" "$out" > "$script"
TARVO_SCRIPT="$script" TARVO_SIZE=800x600 "$bin" $files
echo "wrote $out"
