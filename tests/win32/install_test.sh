#!/usr/bin/env bash
# Installs the Windows game under Wine as a player would: the installer, run silently, puts the
# game into Program Files\Volarin, registers its uninstaller and adds a Start-menu entry that
# starts the game with --per-user; at 200% and at 150% (Wine's LogPixels) the window shows each
# picture pixel as a 2 x 2 square, so the field holds only the game's colours, with no blur;
# the uninstaller removes the program, the entry and the registration, and leaves the player's
# settings folder, %APPDATA%\Volarin.
# Usage: install_test.sh BUILD_DIR  (inside an X server with a 24-bit screen of 1600 x 1200)
set -euo pipefail
. "$(cd "$(dirname "$0")" && pwd)/../screen_checks.sh"
build="$(realpath "$1")"
VOLARIN_TITLE="$(cat "$build/title.txt")"
version="$(cat "$build/version.txt")"
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix"
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
"$(dirname "$0")/wine_prefix.sh"
# Without the menu builder the Start-menu entry stays inside the prefix, out of the desktop's
# own menus.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,mscoree,mshtml,winemenubuilder.exe=d"
checks="$build/volarin-win32-checks.exe"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Volarin'
appdata="$(winepath -u "$(wine cmd /c echo %APPDATA% | tr -d '\r')")"

echo "== The installer, run silently"
timeout 120 wine "$build/volarin-$version-setup.exe" /S || fail "the installer failed"
program="$WINEPREFIX/drive_c/Program Files/Volarin"
for file in volarin.exe HOW-TO-PLAY.txt LICENSE.txt uninstall.exe; do
  [ -f "$program/$file" ] || fail "the installer left out $file"
done
[ "$(find "$program" -name '*.wav' | wc -l)" = 5 ] || fail "the installer left out sounds"
wine reg query "$key" /v UninstallString 2>/dev/null | tr -d '\r' |
  grep -q 'Program Files\\Volarin\\uninstall.exe' || fail "no uninstaller registered"
entry="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Volarin.lnk"
[ -f "$entry" ] || fail "no Start-menu entry"
# The link keeps its target in the system's code page and its arguments in UTF-16.
strings -a "$entry" | grep -q -i 'Program Files\\Volarin\\volarin.exe' ||
  fail "the Start-menu entry does not start the installed game"
strings -a -el "$entry" | grep -q -x -e '--per-user' || fail "the Start-menu entry lacks --per-user"

# Waits up to 30 s for the game's window.
find_window() {
  for _ in $(seq 60); do
    window="$(xdotool search --name "^$VOLARIN_TITLE\$" 2>/dev/null | head -n 1)" || true
    [ -n "$window" ] && xdotool windowfocus --sync "$window" 2>/dev/null && return 0
    sleep 0.5
  done
  fail "the Start-menu entry started no window titled '$VOLARIN_TITLE'"
}

# Closes the game and waits up to 30 s for its settings file in %APPDATA%\Volarin, where the
# entry's --per-user keeps it; none may land in the program's folder.
close_and_find_settings() {
  wine "$checks" close "$VOLARIN_TITLE" || fail "could not close the game"
  settings="$appdata/Volarin/VOLARIN.INI"
  for _ in $(seq 60); do
    [ "$(grep -c $'\r$' "$settings" 2>/dev/null)" = 9 ] && break
    sleep 0.5
  done
  [ "$(grep -c $'\r$' "$settings" 2>/dev/null)" = 9 ] ||
    fail "the Start-menu entry kept no settings in %APPDATA%\\Volarin"
  [ -e "$program/VOLARIN.INI" ] && fail "the game kept its settings in the program's folder"
  timeout 60 wineserver -w || fail "the game did not end"
}

# The client area (without the menu bar) is the bottom of the shot but for the frame, which is
# as wide below as on either side; the field is the client area above the status band and
# below the hint of the demonstration.
for dpi in 192 144; do
  echo "== Started from the Start menu at $((dpi * 100 / 96))%: every pixel a 2 x 2 square"
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  timeout 60 wineserver -w || fail "Wine did not settle"
  wine start /unix "$entry"
  find_window
  client="$(wine "$checks" client-size "$VOLARIN_TITLE" | tr -d '\r')"
  [ "$client" = 1280x960 ] || fail "at $dpi dpi the client area is $client, not 1280x960"
  # Shots until the demonstration has a missile falling, for up to 10 s.
  for _ in $(seq 20); do
    import -window "$window" "$work/dpi-$dpi.png"
    size="$(identify -format '%wx%h' "$work/dpi-$dpi.png")"
    border=$(((${size%x*} - 1280) / 2))
    field="1280x$((960 - 120 - 64))+$border+$((${size#*x} - border - 960 + 120))"
    [ "$(count_colour "dpi-$dpi" "$field" '#FFFF00')" -gt 0 ] && break
    sleep 0.5
  done
  convert "$work/dpi-$dpi.png" -crop "$field" +repage "$work/field-$dpi.png"
  colours="$(convert "$work/field-$dpi.png" -unique-colors -depth 8 txt:- |
    grep -o '#[0-9A-F]\{6\}' | sort | tr '\n' ' ')"
  echo "   colours in the field: $colours"
  for colour in $colours; do
    case "$colour" in
      '#000000' | '#FF0000' | '#00FF00' | '#FFFF00' | '#0000FF' | '#FFFFFF') ;;
      *) fail "at $dpi dpi the field shows $colour: the picture is blurred" ;;
    esac
  done
  [[ "$colours" == *'#FFFF00'* ]] || fail "at $dpi dpi the field shows no missile"
  # Halved and doubled without smoothing, a picture of 2 x 2 squares is the same picture.
  convert "$work/field-$dpi.png" -sample 50% -sample 200% "$work/squares-$dpi.png"
  [ "$(compare -metric AE "$work/field-$dpi.png" "$work/squares-$dpi.png" null: 2>&1)" = 0 ] ||
    fail "at $dpi dpi the picture's pixels are not 2 x 2 squares"
  close_and_find_settings
done

echo "== The uninstaller removes the program and leaves the player's settings"
cp "$appdata/Volarin/VOLARIN.INI" "$work/kept.ini"
# The uninstaller runs on from a copy of itself, so the folder going is what is waited for.
timeout 60 wine "$program/uninstall.exe" /S || fail "the uninstaller did not start"
for _ in $(seq 120); do
  [ -e "$program" ] || break
  sleep 0.5
done
[ -e "$program" ] && fail "the uninstaller left $(ls -A "$program" | tr '\n' ' ')"
[ -e "$entry" ] && fail "the uninstaller left the Start-menu entry"
wine reg query "$key" >/dev/null 2>&1 && fail "the uninstaller left its registration"
cmp -s "$work/kept.ini" "$appdata/Volarin/VOLARIN.INI" || fail "the uninstaller took the settings"
echo "install test passed"
