#!/usr/bin/env bash
# Makes the README screenshot through the automation interface: the
# bundled samples loaded, the cursor moved, the screen photographed.
set -euo pipefail
bin=$(realpath "$1")
out=$(realpath -m "$2")
mkdir -p "$(dirname "$out")"
script=$(mktemp)
trap 'rm -f "$script"' EXIT
cat > "$script" <<SCRIPT
key C-Right C-Right S-Right
shot $out
key C-c
SCRIPT
cd "$(dirname "$0")/../samples"
TARVO_SCRIPT="$script" TARVO_SIZE=800x600 "$bin" $(ls *.wav *.snd *.ils *.mat 2>/dev/null | head -n 5)
echo "wrote $out"
