#!/usr/bin/env bash
# Builds the Debian package and checks it as a user would get it: unpacked into an empty
# prefix, it holds every file, its dependencies were worked out from the programs and can be
# met, the runner and the game run from it, and its desktop files pass their validators.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
deb="$("$root/scripts/package.sh")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

version="$(sed -n 's/^project(Volarin VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
[ "$(basename "$deb")" = "volarin_${version}_$(dpkg --print-architecture).deb" ] ||
  fail "unexpected package name $(basename "$deb")"

prefix="$work/prefix"
dpkg-deb -x "$deb" "$prefix"
share="$prefix/usr/share"
for file in usr/bin/volarin usr/bin/volarin-sim \
  usr/share/volarin/{start,bingo,miss,flush,gameover}.wav \
  usr/share/applications/org.volarin.Volarin.desktop \
  usr/share/icons/hicolor/scalable/apps/org.volarin.Volarin.svg \
  usr/share/metainfo/org.volarin.Volarin.metainfo.xml usr/share/doc/volarin/copyright; do
  [ -f "$prefix/$file" ] || fail "the package lacks $file"
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
  if ldd "$prefix/usr/bin/$program" | grep 'not found'; then fail "$program lacks a library"; fi
done

mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
cd "$work"
printf 'seed 7\ntick 640\ndump\npng window.png\nsheet sheet.png\n' |
  "$prefix/usr/bin/volarin-sim" >state.txt || fail "volarin-sim failed"
grep -q '^{"tick":640,' state.txt || fail "volarin-sim printed no state line"
[ -s window.png ] && [ -s sheet.png ] || fail "volarin-sim wrote no pictures"

# The game starts from the package without a display and keeps its settings at SIGTERM.
QT_QPA_PLATFORM=offscreen "$prefix/usr/bin/volarin" 2>"$work/game.txt" &
pid=$!
sleep 2
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" = 143 ] || { cat "$work/game.txt" >&2; fail "the game ended with $status, not 143"; }
[ "$(wc -l <VOLARIN.INI)" = 9 ] || fail "the game wrote no settings file"

appstreamcli validate --no-net "$share/metainfo/org.volarin.Volarin.metainfo.xml" ||
  fail "the AppStream metadata does not validate"
desktop-file-validate "$share/applications/org.volarin.Volarin.desktop" ||
  fail "the desktop entry does not validate"
echo "package test passed: $(basename "$deb")"
