#!/usr/bin/env bash
# Measures the Windows game under Wine on a virtual X server: the time from start to the
# first drawn frame, ticks per second and CPU use over 10 s of the demonstration, and the
# exe's size. Ticks are counted from the game's own recording (--record): a key pressed at
# each end of the interval makes the recording write out the ticks run so far.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${DISPLAY:-}" ]; then
  "$root/scripts/build-windows.sh" >/dev/null
  "$root/scripts/ensure-packages.sh" wine wine64 xvfb xauth xdotool imagemagick \
    fonts-ipafont-gothic fonts-ipafont-mincho fonts-urw-base35
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
build="$root/build/windows"
VOLARIN_TITLE="$(cat "$build/title.txt")"
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,mscoree,mshtml=d"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$root/tests/win32/wine_prefix.sh"
mkdir "$work/play"
cp "$build/volarin.exe" "$build/volarin-win32-checks.exe" "$build"/*.wav "$work/play/"
cd "$work/play"
now_ms() { echo $(($(date +%s%N) / 1000000)); }
blue_pixels() {
  import -window root "$work/shot.png" 2>/dev/null || { echo 0; return; }
  convert "$work/shot.png" -fill black +opaque '#0000FF' -fill white -opaque '#0000FF' \
    -format '%[fx:round(mean*w*h)]' info:
}

# Start to first frame: from the launch to the first screenshot showing the status band.
# Screenshots are taken back to back, about every 50 ms.
wineserver -p 60 # keep the server running so that the start is not the server's start
start="$(now_ms)"
wine volarin.exe --record "$work/record.txt" &
game=$!
until [ "$(blue_pixels)" -gt 10000 ]; do :; done
echo "start to first frame: $(($(now_ms) - start)) ms (including Wine's own start)"

window="$(xdotool search --sync --name "^$VOLARIN_TITLE\$" | head -n 1)"
xdotool windowfocus --sync "$window"
sleep 2
pid="$(pgrep -n -f 'volarin.exe --record')"
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
server="$(pgrep -n wineserver)"
xdotool key a
t1="$(now_ms)"
game_cpu1="$(cpu_ticks "$pid")"
server_cpu1="$(cpu_ticks "$server")"
sleep 10
xdotool key a
t2="$(now_ms)"
game_cpu2="$(cpu_ticks "$pid")"
server_cpu2="$(cpu_ticks "$server")"
sleep 0.5
wine volarin-win32-checks.exe close "$VOLARIN_TITLE"
wait "$game" || true

hz="$(getconf CLK_TCK)"
awk -v ms=$((t2 - t1)) '
  /^tick/ { ticks += ($2 == "" ? 1 : $2) }
  /^char/ { marks[++n] = ticks }
  END { printf "ticks per second: %.2f (%d ticks in %d ms)\n", (marks[2] - marks[1]) * 1000 / ms, marks[2] - marks[1], ms }' \
  "$work/record.txt"
awk -v g=$((game_cpu2 - game_cpu1)) -v s=$((server_cpu2 - server_cpu1)) -v hz="$hz" \
  -v ms=$((t2 - t1)) 'BEGIN {
    printf "CPU during the demonstration: game %.1f%%, wineserver %.1f%% of one core\n",
      g * 100000 / hz / ms, s * 100000 / hz / ms }'
echo "exe size: $(stat -c %s "$build/volarin.exe") bytes"
