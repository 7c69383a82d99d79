#!/usr/bin/env bash
# Installs a built program into a scratch DESTDIR and checks the installed
# tree as a user meets it: the program prints its usage, the man page
# renders without warnings, the desktop entry validates, the icons are
# there, and uninstall removes every file it installed.
# Usage: check_install.sh SOURCE_DIR BINARY
set -uo pipefail
top=$1
bin=$(realpath "$2")
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

make -s -C "$top" install DESTDIR="$dest" PREFIX=/usr BIN="$bin" >/dev/null || fail "make install"
usr=$dest/usr
expected="bin/tarvo share/man/man1/tarvo.1 share/applications/tarvo.desktop
  share/icons/hicolor/scalable/apps/tarvo.svg share/icons/hicolor/48x48/apps/tarvo.png
  share/icons/hicolor/256x256/apps/tarvo.png"
installed=$(cd "$usr" && find . -type f | sed 's|^\./||' | sort)
[[ "$installed" == "$(tr -s ' \n' '\n' <<<"$expected" | sed '/^$/d' | sort)" ]] ||
  fail "installed files differ: $installed"

usage=$("$usr/bin/tarvo" --help 2>&1)
grep -q '^       tarvo \[options\] file \.\.\.$' <<<"$usage" || fail "no usage text: $usage"

man_err=$(MANWIDTH=80 man --warnings -l "$usr/share/man/man1/tarvo.1" 2>&1 >/dev/null)
[[ -z "$man_err" ]] || fail "man page warnings: $man_err"
for section in NAME SYNOPSIS OPTIONS KEYS ENVIRONMENT AUTOMATION FILES "EXIT STATUS" EXAMPLE; do
  MANWIDTH=80 man -l "$usr/share/man/man1/tarvo.1" 2>/dev/null | grep -q "^$section\$" || fail "man page has no $section"
done

# Every option of the usage text and every variable the program reads.
page=$(MANWIDTH=80 man -l "$usr/share/man/man1/tarvo.1" 2>/dev/null)
for name in $(grep -ohE '^ +-[a-zA-Z]+' <<<"$usage") $(grep -rhoE '"TARVO_[A-Z]+"' "$top/src" | tr -d '"' | sort -u); do
  grep -qE "^       ${name}( |\$)" <<<"$page" || fail "man page does not list $name"
done

# Hints are allowed (the entry has two main categories on purpose).
desktop_err=$(desktop-file-validate "$usr/share/applications/tarvo.desktop" 2>&1 | grep -v ': hint: ')
[[ -z "$desktop_err" ]] || fail "desktop entry: $desktop_err"

for size in 48 256; do
  file "$usr/share/icons/hicolor/${size}x${size}/apps/tarvo.png" | grep -q "PNG image data, $size x $size" ||
    fail "no ${size}x${size} PNG icon"
done

make -s -C "$top" uninstall DESTDIR="$dest" PREFIX=/usr >/dev/null || fail "make uninstall"
left=$(find "$dest" -type f)
[[ -z "$left" ]] || fail "uninstall left: $left"

[[ $failed -eq 0 ]] && echo "installed tree checked"
exit $failed
