#!/usr/bin/env bash
# Builds a Debian package of a built program, then checks it: its
# dependencies are runtime libraries only, and the program unpacked from
# it into a scratch root prints its usage.
# Usage: tools/make_deb.sh BINARY OUTDIR
set -euo pipefail
bin=$1
out=$2
version=${TARVO_VERSION:-0.1.0}
arch=$(dpkg --print-architecture)
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

stage=$work/stage
make -s -C "$top" install DESTDIR="$stage" PREFIX=/usr BIN="$(realpath "$bin")" INSTALL_STRIP=-s >/dev/null
gzip -9n "$stage/usr/share/man/man1/tarvo.1"

# dpkg-shlibdeps names the packages of the libraries the program links.
mkdir -p "$work/src/debian"
printf 'Source: tarvo\n\nPackage: tarvo\nArchitecture: any\n' > "$work/src/debian/control"
shlibs=$(cd "$work/src" && dpkg-shlibdeps -O "$stage/usr/bin/tarvo" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
[[ -n "$shlibs" ]] || { echo "make_deb: dpkg-shlibdeps found no libraries" >&2; exit 1; }

mkdir -p "$stage/DEBIAN"
cat > "$stage/DEBIAN/control" <<CONTROL
Package: tarvo
Version: $version
Architecture: $arch
Maintainer: Tarvo developers <tarvo@localhost>
Installed-Size: $(du -sk "$stage/usr" | cut -f1)
Depends: $shlibs, fonts-dejavu-core
Section: sound
Priority: optional
Description: keyboard-driven editor and analyser for speech signals
 Tarvo loads recordings into stacked waveform windows, edits, plays and
 records them, and measures segments: RMS, linear prediction, formants
 and spectra.  Every command is one key on a one-line menu.
CONTROL
mkdir -p "$out"
deb=$out/tarvo_${version}_$arch.deb
dpkg-deb --root-owner-group -Zgzip --build "$stage" "$deb" >/dev/null

# The check: runtime dependencies only, and the unpacked program runs.
depends=$(dpkg-deb -f "$deb" Depends)
if grep -q -- '-dev\b' <<<"$depends"; then
  echo "make_deb: $deb depends on development packages: $depends" >&2
  exit 1
fi
root=$work/root
dpkg -x "$deb" "$root"
usage=$("$root/usr/bin/tarvo" --help 2>&1 || true)
if ! grep -q 'tarvo \[options\] file' <<<"$usage"; then
  echo "make_deb: the program unpacked from $deb prints no usage" >&2
  exit 1
fi
echo "$deb"
echo "Depends: $depends"
