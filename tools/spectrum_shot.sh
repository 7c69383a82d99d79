#!/usr/bin/env bash
# Makes the README's spectrum picture through the automation interface: a
# 31 ms stretch of the bundled vowel, its spectrum and LP envelope (Both,
# pad 1, emphasis) in the clip window.  Usage: spectrum_shot.sh TARVO OUT.png
set -euo pipefail
bin=$(realpath "$1")
out=$(realpath -m "$2")
mkdir -p "$(dirname "$out")"
script=$(mktemp)
trap 'rm -f "$script"' EXIT
cat > "$script" <<SCRIPT
key T S B 1 y
key C-Right C-Right
key Ins A C-Right Ins B
key T F A B
key Up Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right
shot $out
key C-c
SCRIPT
cd "$(dirname "$0")/../samples"
TARVO_SCRIPT="$script" TARVO_SIZE=800x600 "$bin" vowel.mat
echo "wrote $out"
