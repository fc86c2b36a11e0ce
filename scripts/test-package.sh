#!/usr/bin/env bash
# Builds the Debian package and checks it as a user and a distribution would get it: lintian
# finds no error or warning, both programs are hardened, the manual pages render without a
# warning; unpacked into an empty prefix it holds every file, its dependencies were worked out
# from the programs and can be met, the runner and the game run from it, and its desktop files
# pass their validators. Installed without its recommendations into a minimal Debian 12 made
# with debootstrap, the game opens its window and its Japanese menu can be read.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
deb="$("$root/scripts/package.sh")"
# hardening-check comes with devscripts; man-db and groff-base render the manual pages.
"$root/scripts/ensure-packages.sh" lintian devscripts man-db groff-base debootstrap xvfb xdotool \
  imagemagick tesseract-ocr tesseract-ocr-jpn
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The package's version is the top entry of the project's changelog, which it ships (the build
# refused to configure if that entry is not of the project's version).
version="$(dpkg-parsechangelog -l "$root/CHANGELOG" -S Version)"
[ "${version%-*}" = "$(cat "$root/build/package/version.txt")" ] ||
  fail "CHANGELOG's top entry $version is not of the version built"
[ "$(basename "$deb")" = "volarin_${version}_$(dpkg --print-architecture).deb" ] ||
  fail "unexpected package name $(basename "$deb")"

# The package has no informational note either, and keeps it so: an unstripped section or a
# missing hardening flag is one. Pedantic notes are shown and let through.
status=0
lintian --fail-on error,warning,info -I -E --pedantic "$deb" >"$work/lintian.txt" 2>&1 ||
  status=$?
grep -v '^running with root privileges' "$work/lintian.txt" || true
[ "$status" = 0 ] || fail "lintian reports errors, warnings or informational notes"

prefix="$work/prefix"
dpkg-deb -x "$deb" "$prefix"
share="$prefix/usr/share"
for file in usr/games/volarin usr/games/volarin-sim \
  usr/share/man/man6/volarin.6.gz usr/share/man/man6/volarin-sim.6.gz \
  usr/share/doc/volarin/changelog.Debian.gz usr/share/volarin/{start,bingo,miss,flush,gameover}.wav \
  usr/share/applications/org.volarin.Volarin.desktop \
  usr/share/icons/hicolor/scalable/apps/org.volarin.Volarin.svg \
  usr/share/metainfo/org.volarin.Volarin.metainfo.xml usr/share/doc/volarin/copyright; do
  [ -f "$prefix/$file" ] || fail "the package lacks $file"
done
[ ! -e "$prefix/usr/bin" ] || fail "the package has programs in /usr/bin"
cmp -s <(zcat "$prefix/usr/share/doc/volarin/changelog.Debian.gz") "$root/CHANGELOG" ||
  fail "the package's changelog is not CHANGELOG"

# Control-flow protection is compiled in, but Debian 12's C start files carry no CET mark, so
# the linker marks no program of it as protected (/usr/bin/ls neither): that check is skipped.
for program in volarin volarin-sim; do
  hardening-check --nocfprotection "$prefix/usr/games/$program" >"$work/hardening.txt" ||
    { cat "$work/hardening.txt" >&2; fail "$program is not hardened"; }
done
# groff itself and man-db, which finds the preprocessors, both warning about everything.
for page in "$prefix"/usr/share/man/man6/*.6.gz; do
  zcat "$page" | groff -ww -z -man 2>"$work/groff.txt"
  MANWIDTH=80 man --warnings=w -l "$page" 2>>"$work/groff.txt" >/dev/null
  [ ! -s "$work/groff.txt" ] || { cat "$work/groff.txt" >&2; fail "$page warns"; }
done

# dpkg-shlibdeps names the library packages; each must be there, and apt must be able to
# meet them all.
depends="$(dpkg-deb -f "$deb" Depends)"
names="$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6; do
  grep -q -x -F "$library" <<<"$names" || fail "Depends lacks $library: $depends"
done
apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.txt" 2>&1 ||
  { cat "$work/apt.txt" >&2; fail "apt cannot meet the dependencies"; }
for program in volarin volarin-sim; do
  if ldd "$prefix/usr/games/$program" | grep 'not found'; then fail "$program lacks a library"; fi
done

mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
cd "$work"
printf 'seed 7\ntick 640\ndump\npng window.png\nsheet sheet.png\n' |
  "$prefix/usr/games/volarin-sim" >state.txt || fail "volarin-sim failed"
grep -q '^{"tick":640,' state.txt || fail "volarin-sim printed no state line"
[ -s window.png ] && [ -s sheet.png ] || fail "volarin-sim wrote no pictures"

# The game starts from the package without a display and keeps its settings at SIGTERM. The
# signal waits for the recording's first tick line, a second into the event loop: a signal
# before the loop ends the program at once, with nothing to keep yet.
QT_QPA_PLATFORM=offscreen "$prefix/usr/games/volarin" --record session.txt 2>"$work/game.txt" &
pid=$!
for _ in $(seq 300); do
  grep -q '^tick' session.txt 2>/dev/null && break
  sleep 0.1
done
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" = 143 ] || { cat "$work/game.txt" >&2; fail "the game ended with $status, not 143"; }
[ "$(wc -l <VOLARIN.INI)" = 9 ] || fail "the game wrote no settings file"

appstreamcli validate --no-net --pedantic "$share/metainfo/org.volarin.Volarin.metainfo.xml" ||
  fail "the AppStream metadata does not validate"
desktop-file-validate "$share/applications/org.volarin.Volarin.desktop" ||
  fail "the desktop entry does not validate"
"$root/scripts/test-clean-install.sh" "$deb" "$(cat "$root/build/package/title.txt")"
echo "package test passed: $(basename "$deb")"
