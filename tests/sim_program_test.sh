#!/usr/bin/env bash
# The scenario runner as a program: its fonts, its output while it is busy, and how it fails.
# Usage: sim_program_test.sh VOLARIN_SIM SOURCE_DIR PICTURES (1 when the runner draws)
set -euo pipefail
sim="$(realpath "$1")"
demo="$(realpath "$2")/tools/sim/demo.txt"
pictures="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0"

fail() { echo "FAIL: $*" >&2; exit 1; }
# Runs the shell command $3, which must end with status $1 and say $2 on standard error.
fails_saying() {
  local status=0
  bash -c "$3" 2>err || status=$?
  [ "$status" = "$1" ] || fail "'$3' ended with status $status, not $1"
  grep -q -F -e "$2" err || fail "'$3' did not say '$2': $(cat err)"
}

# Until a picture is asked for, the runner touches neither the display system nor the fonts:
# with the font configuration missing, only a run that draws has anything to complain about.
if [ "$pictures" = 1 ]; then
  printf 'tick 100\ndump\n' | FONTCONFIG_FILE=/nonexistent "$sim" >/dev/null 2>err
  [ ! -s err ] || fail "a run without pictures complained: $(cat err)"
  echo 'png a.png' | FONTCONFIG_FILE=/nonexistent "$sim" >/dev/null 2>err
  [ -s err ] || fail "a picture was drawn without fonts and without a word"
  # With neither stand-in face installed the glyphs come from whatever serif face there is.
  if [ -d /usr/share/fonts/truetype/dejavu ]; then
    printf '<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir><cachedir>%s/cache</cachedir></fontconfig>\n' \
      "$work" >fonts.conf
    echo 'sheet s.png' | FONTCONFIG_FILE="$work/fonts.conf" "$sim" >/dev/null 2>&1 ||
      fail "no sheet drawn with DejaVu alone"
    yellow="$(convert s.png -crop 32x32+0+64 +repage -fill black +opaque '#FFFF00' -fill white \
      -opaque '#FFFF00' -format '%[fx:round(mean*w*h)]' info:)"
    [ "$yellow" -gt 40 ] || fail "the A of cell 32 has $yellow yellow pixels"
  fi
else
  fails_saying 1 "volarin-sim: line 2: png: this runner was built without pictures" \
    "printf 'dump\npng a.png\ndump\n' | '$sim' >/dev/null"
fi

# The state line reaches a reader while the runner is busy with the next command.
{ printf 'dump\ntick 4294967295\n' | timeout 20 "$sim" >busy.txt & } 2>/dev/null
busy=$!
for _ in $(seq 200); do
  [ -s busy.txt ] && break
  sleep 0.1
done
kill "$busy" 2>/dev/null || true
wait "$busy" 2>/dev/null || true
grep -q -E '^\{"tick":0,.*\}$' busy.txt || fail "no state line before the long tick: $(cat busy.txt)"

# The demonstration file runs; a missing file, a folder, unreadable input or a second file stops
# the run with status 2, and a full device or a file-size limit (for a state line or, where the
# runner draws, a picture) or a settings file that cannot be written with status 1.
"$sim" "$demo" >out 2>err || fail "the demonstration did not run: $(cat err)"
lines="$(wc -l <out)"
[ "$lines" -ge 40 ] && [ "$lines" -le 80 ] || fail "the demonstration printed $lines lines"
fails_saying 1 ": dump: cannot write the state line: No space left on device" "'$sim' '$demo' >/dev/full"
fails_saying 1 ": dump: cannot write the state line: File too large" "ulimit -f 8; '$sim' '$demo' >out"
if [ "$pictures" = 1 ]; then
  fails_saying 1 "volarin-sim: line 1: sheet: cannot write 's': File too large" \
    "ulimit -f 1; echo sheet s | '$sim'"
fi
fails_saying 2 "volarin-sim: '/none/v w': No such file or directory" "'$sim' '/none/v w'"
fails_saying 2 "volarin-sim: '/': is a directory" "'$sim' --replay /"
fails_saying 2 "volarin-sim: the commands could not be read" "'$sim' </"
fails_saying 2 "usage: volarin-sim [--replay] [--max-ticks N] [FILE]" "'$sim' a b"
fails_saying 1 "volarin-sim: line 1: save: cannot write the settings file VOLARIN.INI" \
  "mkdir VOLARIN.INI; echo save | '$sim'"
rmdir VOLARIN.INI
fails_saying 2 \
  "volarin-sim: line 1: save: a replay runs only the commands of a recording; this one writes a file" \
  "echo save | '$sim' --replay"
echo "runner program test passed"
