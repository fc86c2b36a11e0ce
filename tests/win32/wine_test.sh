#!/usr/bin/env bash
# Plays the Windows game under Wine: the exe's icon (six sizes), version resource and manifest,
# the zip's CR LF guide and licence, the Windows-side checks, then the window appears with its
# title, its icons and a 640 x 480 client area, the demonstration draws yellow missiles and the
# blue band, F2 then typing changes the miss counter, the game goes on while a menu is open,
# Alt+F then X exits with 40014 as cmd sees it, VOLARIN.INI holds nine CRLF lines, WM_CLOSE
# gives 0, closing or ending the session writes the settings too, minimising pauses a running
# game, a save that cannot be made is told in a message box before the game ends, a recording
# into the settings file is refused, and a session recorded in the Qt game replays with
# --replay --exit-at-end to "verified", a recording asking for a 65535 x 65535 window verifies
# too, and Esc ends one of 4000 size changes at once.
# In English and in Japanese: the menus, the hint before the first game, the cards, the
# launchers after a restore, a burst of keys that leaves the results card showing, and a game
# kept with Ctrl+S on an 82-character path, shown inside the field, that replays to "verified";
# after three games F4 shows the progress card with their points. --version prints the
# version, and --per-user keeps the settings in %APPDATA%\Volarin.
# Usage: wine_test.sh BUILD_DIR  (inside an X server with a 24-bit screen)
set -euo pipefail
. "$(cd "$(dirname "$0")" && pwd)/../screen_checks.sh"
build="$(realpath "$1")"
here="$(cd "$(dirname "$0")" && pwd)"
# The window's title and the version, as this build wrote them.
VOLARIN_TITLE="$(cat "$build/title.txt")"
version="$(cat "$build/version.txt")"
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,mscoree,mshtml=d"
# The screenshots stay in the build folder for a look at what the test saw.
cleanup() {
  wineserver -k 2>/dev/null || true
  cp "$work"/*.png "$build/" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

"$here/wine_prefix.sh"
mkdir "$work/play"
cp "$build/volarin.exe" "$build/volarin-win32-checks.exe" "$work/play/"
cd "$work/play"

echo "== The exe's icon at every usual size and its version resource"
resources="$(wrestool -l volarin.exe)"
grep -q -e '--type=14 ' <<<"$resources" || fail "no icon group in volarin.exe: $resources"
grep -q -e '--type=16 ' <<<"$resources" || fail "no version resource in volarin.exe: $resources"
wrestool -x --type=14 volarin.exe >"$work/volarin.ico"
sizes="$(icotool -l "$work/volarin.ico" | sed -n 's/.*--width=\([0-9]*\) --height=\1 .*/\1/p' | tr '\n' ' ')"
[ "$sizes" = "16 24 32 48 64 256 " ] || fail "the icon's sizes are $sizes"
# The version's strings are UTF-16: without their zero bytes a name runs into its value.
strings="$(wrestool -x --raw --type=16 volarin.exe | tr -d '\0')"
for value in ProductNameVolarin "FileVersion$version" "ProductVersion$version" 'MIT License' \
  FileDescription; do
  grep -q -a -F "$value" <<<"$strings" || fail "the version resource lacks $value"
done

echo "== The exe's manifest: per-monitor DPI awareness, version 6 controls, Windows 7 to 11"
wrestool -x --raw --type=24 --name=1 volarin.exe >"$work/manifest.xml"
xmllint --noout "$work/manifest.xml" || fail "the manifest is not well-formed XML"
manifest="$(tr -s ' \n' ' ' <"$work/manifest.xml")"
for part in '>PerMonitorV2, PerMonitor</dpiAwareness>' '>true/pm</dpiAware>' \
  'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
  35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
  1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  [[ "$manifest" == *"$part"* ]] || fail "the manifest lacks $part"
done

echo "== The zip's guide and licence, as every Notepad reads them"
# The guide is headed by the same title and version, after a UTF-8 byte order mark; both
# files end every line in CR LF, and the licence is LICENSE word for word.
zip="$build/volarin-$version-win64.zip"
guide="$(unzip -p "$zip" "volarin-$version-win64/HOW-TO-PLAY.txt")"
[ "$(sed -n 1p <<<"$guide")" = $'\xEF\xBB\xBF'"$VOLARIN_TITLE for Windows"$'\r' ] ||
  fail "HOW-TO-PLAY.txt is headed '$(sed -n 1p <<<"$guide")'"
licence="$(unzip -p "$zip" "volarin-$version-win64/LICENSE.txt")"
for text in "$guide" "$licence"; do
  [ "$(grep -c -v $'\r$' <<<"$text")" = 0 ] || fail "a line of the guide or the licence lacks CR LF"
done
cmp -s <(tr -d '\r' <<<"$licence") "$here/../../LICENSE" || fail "LICENSE.txt is not LICENSE"
for words in 'Ctrl+S' 'VOLARIN.INI' '%APPDATA%\Volarin' '--replay FILE' '--per-user'; do
  grep -q -F -e "$words" <<<"$guide" || fail "HOW-TO-PLAY.txt does not mention $words"
done

echo "== Windows-side checks"
wine volarin-win32-checks.exe | tr -d '\r' | tee "$work/checks.txt"
tail -n 1 "$work/checks.txt" | grep -q ' 0 failed$' || fail "Windows-side checks"

echo "== Two copies saving different bests at once, on an ordinary and on a hard-linked file"
for kind in plain linked; do
  rm -f VOLARIN.INI other.ini && printf '0\r\n' >VOLARIN.INI
  [ "$kind" = linked ] && ln VOLARIN.INI other.ini
  wine volarin-win32-checks.exe save-loop 300 a >"$work/a.txt" &
  first=$!
  wine volarin-win32-checks.exe save-loop 300 b >"$work/b.txt" || true
  wait "$first" || true
  echo "$kind: $(tr -d '\r' <"$work/a.txt"); $(tr -d '\r' <"$work/b.txt")"
  [ "$(cat "$work/a.txt" "$work/b.txt" | grep -c '^0 of 300 saves lost, 0 reads damaged')" = 2 ] ||
    fail "$kind: a save was lost or a read found a damaged file"
  [ "$kind" = plain ] || cmp -s VOLARIN.INI other.ini || fail "linked: the names hold different texts"
  grep -q $'^91234 a*\r$' VOLARIN.INI && grep -q $'^8 b\r$' VOLARIN.INI ||
    fail "$kind: a copy's best was lost: $(tr '\r\n' ' |' <VOLARIN.INI)"
  left="$(ls -A | grep -v -x -e VOLARIN.INI -e other.ini -e .VOLARIN.INI.volarin-lock -e '.*\.exe')" ||
    true
  [ -z "$left" ] || fail "$kind: left behind: $left"
done
rm -f VOLARIN.INI other.ini

# Wine makes and drops windows of its own as programs start and end, and a search that meets
# one going away fails; so the search is tried again for up to 30 s.
find_window() {
  for _ in $(seq 60); do
    window="$(xdotool search --name "^$VOLARIN_TITLE\$" 2>/dev/null | head -n 1)" || true
    [ -n "$window" ] && xdotool windowfocus --sync "$window" 2>/dev/null && return 0
    sleep 0.5
  done
  fail "no window titled '$VOLARIN_TITLE'"
}

shot() { import -window "$window" "$work/$1.png"; }



# Takes shot $2 until region $3 differs from shot $1; false when it stays the same for 5 s,
# so a busy machine only makes the test slower.
changes() {
  for _ in $(seq 25); do
    sleep 0.2
    shot "$2"
    same_region "$1" "$2" "$3" || return 0
  done
  return 1
}


echo "== The window, the demonstration, F2 and typing, File > Exit"
# cmd reports the exit code in full; the Linux side of Wine keeps only its low 8 bits.
wine cmd /c "volarin.exe & echo exit code %ERRORLEVEL%" >"$work/cmd.txt" 2>&1 &
pid=$!
find_window
client="$(wine volarin-win32-checks.exe client-size "$VOLARIN_TITLE" | tr -d '\r')"
[ "$client" = 640x480 ] || fail "the client area below the menu bar is $client, not 640x480"
# Wine hands the window class's icons to X as width, height and ARGB pixels, one after the
# other; the game's carry the yellow of its letter, the system's default icon none.
icons="$(xprop -id "$window" -notype -f _NET_WM_ICON 32c ' $0+' _NET_WM_ICON | tr -c '0-9\n' ' ' |
  awk '{ for (i = 1; i <= NF; i += 2 + $i * $(i + 1)) {
           yellow = 0
           for (j = i + 2; j < i + 2 + $i * $(i + 1); ++j) {
             r = int($j / 65536) % 256; g = int($j / 256) % 256; b = $j % 256
             yellow += r > 160 && g > 160 && b < 100
           }
           printf "%s%dx%d %s", (i > 1 ? ", " : ""), $i, $(i + 1), (yellow ? "yellow" : "plain")
         } }')"
[ "$icons" = "32x32 yellow, 16x16 yellow" ] || fail "the window's icons are not the game's: $icons"
sleep 2
shot demo
size="$(identify -format '%wx%h' "$work/demo.png")"
[ "$(count_colour demo "$size+0+0" '#FFFF00')" -gt 50 ] || fail "no yellow missile in the demonstration"
[ "$(count_colour demo "$size+0+0" '#0000FF')" -gt 10000 ] || fail "no blue status band"

# The band is the last run of blue rows at column 4; the miss counter sits at its right end.
convert "$work/demo.png" -crop "1x${size#*x}+4+0" +repage txt:"$work/column.txt"
band_bottom="$(grep -n '#0000FF' "$work/column.txt" | tail -n 1 | cut -d: -f1)"
[ -n "$band_bottom" ] || fail "status band not found"
width="${size%x*}"
misses="110x12+$((width - 115))+$((band_bottom - 1 - 14))"
# Keys typed in the demonstration count as misses too; F2 starts a game at no misses.
shot before
xdotool type --delay 50 '~~~'
changes before demo_typed "$misses" || fail "typed characters did not reach the game"
sleep 0.5
shot demo_typed
xdotool key F2
changes demo_typed started "$misses" || fail "F2 did not start a game"
sleep 0.5
shot started
xdotool type --delay 50 '~~~'
changes started typed "$misses" || fail "typing in the game did not change the miss counter"

# The system runs its own loop while a menu is open; the game must go on meanwhile.
xdotool key alt+f
sleep 0.5
shot menu_open
changes menu_open menu_later "${width}x300+0+100" || fail "the game stood still while a menu was open"
xdotool key x
wait_for_exit
tr -d '\r' <"$work/cmd.txt" | grep -q '^exit code 40014$' ||
  fail "File > Exit did not end with 40014: $(cat "$work/cmd.txt")"
[ "$(wc -l <VOLARIN.INI)" = 9 ] || fail "VOLARIN.INI does not hold nine lines"
[ "$(grep -c $'\r$' VOLARIN.INI)" = 9 ] || fail "VOLARIN.INI lines do not end in CR LF"

echo "== A recording into the settings file, by any name, is refused before it starts"
cp VOLARIN.INI kept.ini
ln -s VOLARIN.INI linked.ini
for name in VOLARIN.INI linked.ini; do
  status=0
  timeout 30 wine volarin.exe --record "$name" 2>"$work/record.txt" || status=$?
  [ "$status" = 2 ] || fail "--record $name ended with status $status, not 2"
  grep -q 'is the settings file' "$work/record.txt" || fail "--record $name: no message"
  cmp -s VOLARIN.INI kept.ini || fail "--record $name changed the settings file"
done
rm kept.ini linked.ini

# Starts the game where VOLARIN.INI (removed first) is to be written, once its window is up.
start_without_settings() {
  rm -rf VOLARIN.INI
  wine volarin.exe &
  pid=$!
  find_window
  sleep 1
}
# Asks the game's window to close, minimise or be restored, as its system menu does.
ask_window() {
  wine "$work/play/volarin-win32-checks.exe" "$1" "$VOLARIN_TITLE" || fail "could not ask the window to $1"
}
close_window() { ask_window close; }

echo "== WM_CLOSE"
start_without_settings
close_window
wait_for_exit
[ "$status" = 0 ] || fail "WM_CLOSE ended with status $status, not 0"
[ "$(grep -c $'\r$' VOLARIN.INI)" = 9 ] || fail "closing the window did not write the settings"
echo "== --version answers at once; --per-user keeps the settings in %APPDATA%\\Volarin"
[ "$(wine volarin.exe --version | tr -d '\r')" = "volarin $version" ] || fail "--version"
appdata="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Volarin"
rm -rf VOLARIN.INI "$appdata"
wine volarin.exe --per-user &
pid=$!
find_window
sleep 1
close_window
wait_for_exit
[ "$(grep -c $'\r$' "$appdata/VOLARIN.INI")" = 9 ] || fail "--per-user kept no settings in $appdata"
[ ! -e VOLARIN.INI ] || fail "--per-user wrote the settings in the working folder"
echo "== The end of the session"
start_without_settings
wineboot --end-session >/dev/null 2>&1 || true
for _ in $(seq 50); do
  [ -f VOLARIN.INI ] && break
  sleep 0.1
done
[ "$(grep -c $'\r$' VOLARIN.INI 2>/dev/null)" = 9 ] || fail "the end of the session did not write the settings"
wine volarin-win32-checks.exe close "$VOLARIN_TITLE" 2>/dev/null || true
wait_for_exit

echo "== Minimising pauses a running game; F3 resumes it after the window is restored"
start_without_settings
xdotool key F2
sleep 2  # missiles are falling by now
ask_window minimise
sleep 1
ask_window restore
sleep 1
shot restored
sleep 1
shot restored_later
same_region restored restored_later "${width}x300+0+100" || fail "the game ran on while minimised"
xdotool key F3
changes restored_later resumed "${width}x300+0+100" || fail "F3 did not resume the game"
close_window
wait_for_exit

echo "== The cards, the hint and the menus, read back by OCR in English and in Japanese"
# Wine takes the user's language from the C library's locale, which needs ja_JP.UTF-8 compiled;
# a machine without it gets it here, in the scratch folder.
mkdir "$work/locale"
localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" || fail "could not compile ja_JP.UTF-8"
# A folder whose kept games' paths (Z:\...\volarin-YYYYMMDD-HHMMSS.txt) are 82 characters long.
cards="$work/play/$(printf 'k%.0s' $(seq $((82 - 2 - 28 - ${#work} - 6))))"
mkdir "$cards"
cd "$cards"
# band_bottom is a line of ImageMagick's text dump: the band's last row is band_bottom - 2.
field_top=$((band_bottom - 2 - 479))
hint_area="${width}x60+0+$field_top"
for LANG in en_US.UTF-8 ja_JP.UTF-8; do
  export LANG LOCPATH="$work/locale"
  card_words
  # Digits only at level 3: every other key acts on "A", which never falls, so each is a miss.
  printf '4\r\n3\r\n0\r\n0\r\n' >VOLARIN.INI
  wine ../volarin.exe &
  pid=$!
  find_window
  sleep 1
  shot "start-$LANG"
  expect_text "start-$LANG" "$model" "${menu[@]}"
  hint_text="$(read_text "start-$LANG" "$model" "$hint_area" '#FFFFFF')"
  [[ "$hint_text" == *"${hint[0]}"* ]] || fail "the hint does not say '${hint[0]}': $hint_text"
  xdotool key F1
  sleep 0.5
  shot "help-$LANG"
  expect_text "help-$LANG" "$model" "${help[@]}"
  xdotool key Escape F2
  started=$SECONDS
  sleep 1.5
  xdotool key F3
  sleep 0.5
  shot "paused-$LANG"
  expect_text "paused-$LANG" "$model" "${paused[@]}"
  [ "$(count_colour "paused-$LANG" "$hint_area" '#A0FFA0')" = 0 ] || fail "the hint shows after F2"
  # Restored, the paused game shows its missiles and its three launchers, not a black field.
  ask_window minimise
  sleep 1
  ask_window restore
  sleep 1
  shot "restored-$LANG"
  [ "$(count_colour "restored-$LANG" "${width}x130+0+30" '#FFFF00')" -gt 30 ] ||
    fail "the paused field went black after minimise and restore"
  [ "$(count_colour "restored-$LANG" "${width}x8+0+$((field_top + 440))" '#00FF00')" = 192 ] ||
    fail "the launchers are gone after minimise and restore"
  # Twelve keys at once: the tenth miss ends the game; the two after it and S neither close
  # the card nor save.
  xdotool key F3
  xdotool key --delay 20 asciitilde asciitilde asciitilde asciitilde asciitilde asciitilde \
    asciitilde asciitilde asciitilde asciitilde asciitilde asciitilde s
  sleep 0.3
  shot "results-$LANG"
  expect_text "results-$LANG" "$model" "${results[@]}"
  rm -f volarin-*.txt
  compgen -G "volarin-*.txt" >/dev/null && fail "S saved a game"
  # Ctrl+S keeps the game alone beside VOLARIN.INI, and the card shows its path in the field.
  sleep 1
  xdotool key ctrl+s
  sleep 1
  saved=(volarin-*.txt)
  [ -f "${saved[0]}" ] || fail "Ctrl+S on the results card left no volarin-*.txt beside VOLARIN.INI"
  shot "kept-$LANG"
  # The window's frame is as wide on both sides of the 640-pixel client area.
  left=$(((width - 640) / 2))
  for strip in "8x440+$left+$((field_top + 4))" "8x440+$((left + 632))+$((field_top + 4))"; do
    for colour in '#000060' '#FFFFFF'; do
      [ "$(count_colour "kept-$LANG" "$strip" "$colour")" = 0 ] || fail "the card reaches $strip"
    done
  done
  [ "$(count_colour "kept-$LANG" "${width}x32+0+$((field_top + 448))" '#000060')" = 0 ] ||
    fail "the card covers the band"
  head -n 1 "${saved[0]}" | grep -q '^seed [0-9]*$' || fail "the saved game is no recording"
  grep -q '^command 40015$' "${saved[0]}" || fail "the saved game has no start command"
  tail -n 1 "${saved[0]}" | grep -q '^# final {.*"gameOver":1' ||
    fail "the saved game does not end with the game's final state"
  ticks="$(awk '/^tick /{n += $2} END {print n}' "${saved[0]}")"
  [ "$ticks" -lt $(((SECONDS - started + 10) * 64)) ] || fail "the kept game is $ticks ticks long"
  close_window
  wait_for_exit
  status=0
  timeout 120 wine ../volarin.exe --replay "${saved[0]}" --exit-at-end >"$work/kept.txt" 2>&1 ||
    status=$?
  [ "$status" = 0 ] && grep -q '^verified' "$work/kept.txt" ||
    fail "the kept game replays with status $status: $(head -c 300 "$work/kept.txt")"
done
unset LANG LOCPATH
cd "$work/play"

echo "== Three games, then F4 shows the progress card with their three points"
mkdir "$work/progress" && cd "$work/progress"
printf '4\r\n1\r\n0\r\n0\r\n' >VOLARIN.INI  # digits: every letter is a miss
wine ../play/volarin.exe &
pid=$!
find_window
games_in_history() { [ "$(grep -c . VOLARIN-HISTORY.TXT 2>/dev/null)" = $(($1 + 1)) ]; }
# The score's points are squares of 7 x 7 in a colour of their own, beside its legend's bar.
points_shown() {
  shot progress
  [ "$(count_colour progress 4000x4000+0+0 '#FF8000')" = $((3 * 49 + 80)) ]
}
for game in 1 2 3; do
  xdotool key F2
  xdotool key --delay 20 x x x x x x x x x x
  wait_until games_in_history "$game" || fail "game $game did not reach VOLARIN-HISTORY.TXT"
done
xdotool key F4
wait_until points_shown || fail "the progress card's plot does not show three points"
expect_text progress eng Progress Slowest
close_window
wait_for_exit
cd "$work/play"

echo "== A save that cannot be made is told in a message box"
start_without_settings
mkdir VOLARIN.INI
close_window
sleep 2
find_window  # the box has the game's title; the game's window is gone by now
kill -0 "$pid" 2>/dev/null || fail "the game ended without telling that the settings were not saved"
shot unsaved
xdotool key Return
wait_for_exit
[ "$status" = 0 ] || fail "closing after the message ended with status $status, not 0"
echo "== A session recorded in the Qt game replays to its recorded end; VOLARIN.INI untouched"
rm -rf VOLARIN.INI
cp "$here/../recordings/qt_session.txt" session.txt
printf '0\r\n' >VOLARIN.INI
cp -p VOLARIN.INI kept.ini
status=0
timeout 120 wine volarin.exe --replay session.txt --exit-at-end --state-line >"$work/replay.txt" 2>&1 ||
  status=$?
tr -d '\r' <"$work/replay.txt" | grep -v '^[0-9a-f]*:\(err\|fixme\)' >"$work/verdict.txt" || true
[ "$status" = 0 ] || fail "the replay ended with status $status: $(cat "$work/verdict.txt")"
[ "$(sed -n 1p "$work/verdict.txt")" = verified ] || fail "the replay said $(head -c 300 "$work/verdict.txt")"
[ "$(sed -n 2p "$work/verdict.txt")" = "$(grep '^# final ' session.txt | cut -c9-)" ] ||
  fail "the replay ended at another state line"
cmp -s VOLARIN.INI kept.ini && [ "$(stat -c %Y VOLARIN.INI)" = "$(stat -c %Y kept.ini)" ] ||
  fail "the replay touched VOLARIN.INI"
rm session.txt kept.ini

echo "== Recordings from a stranger: the largest window verifies; Esc ends a flood of size changes"
hostile="$here/../fuzz/corpus/replay"
status=0
timeout 120 wine volarin.exe --replay "$(winepath -w "$hostile/huge_window")" --exit-at-end \
  >"$work/huge.txt" 2>&1 || status=$?
[ "$status" = 0 ] && tr -d '\r' <"$work/huge.txt" | grep -q '^verified$' ||
  fail "the 65535 x 65535 recording ended with status $status: $(head -c 300 "$work/huge.txt")"
wine volarin.exe --replay "$(winepath -w "$hostile/size_flood")" >"$work/flood.txt" 2>&1 &
pid=$!
title="$VOLARIN_TITLE"
VOLARIN_TITLE="$title - replay"
find_window
VOLARIN_TITLE="$title"
sleep 2
xdotool key Escape
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the replay went on for 10 s after Esc in a flood of size changes"
wait_for_exit
tr -d '\r' <"$work/flood.txt" | grep -q '^not verified: the replay was ended before' ||
  fail "Esc did not end the flood's replay: $(head -c 300 "$work/flood.txt")"

echo "wine window test passed"
