#!/usr/bin/env bash
# Renders the icon's PNG sizes from data/icons/tarvo.svg (needs rsvg-convert,
# package librsvg2-bin).  The PNGs are committed, so building needs neither.
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
for size in 48 256; do
  rsvg-convert -w "$size" -h "$size" tarvo.svg -o "tarvo-$size.png"
done
