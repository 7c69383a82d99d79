#!/usr/bin/env bash
# Installs the Debian packages Tarvo needs to build, test and benchmark, but
# only those that are missing.  Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev libfontconfig-dev fonts-dejavu-core
  desktop-file-utils man-db dpkg-dev file
  libgtest-dev libbenchmark-dev libfftw3-dev
  sox python3 python3-numpy python3-scipy
  clang libclang-rt-dev
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "bootstrap: installing ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "bootstrap: missing packages (${missing[*]}) and neither root nor sudo to install them" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if ! "${sudo[@]}" apt-get update -qq || ! "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
  echo "bootstrap: apt-get could not install: ${missing[*]}" >&2
  exit 1
fi
