#!/usr/bin/env bash
# Measures the game's pace and cost in a Release build under a virtual X server: ticks per
# second and CPU use over 10 s of the demonstration, the time from start to the first drawn
# frame, and resident memory. Needs root for perf's user-space probes (package linux-perf).
# Usage: measure.sh [PROGRAM]  (another build of the game, to compare; the sounds still come
# from build/release)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release \
  -DVOLARIN_TESTS=OFF -DVOLARIN_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target volarin volarin_sounds >/dev/null
game="$(realpath "${1:-$root/build/release/frontend/qt/volarin}")"
VOLARIN_TITLE="$(cat "$root/build/release/title.txt")"
work="$(mktemp -d)"
# Probe names are global to the machine: each run has its own group, so runs side by side
# neither clash nor remove each other's probes.
group="volarin_$$"
trap 'perf probe -q -d "$group:*" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
cp "$root"/build/release/data/*.wav "$work/"
export XDG_RUNTIME_DIR="$work/runtime"
cd "$work"
perf probe -q -x "$game" --add "$group:OnTick=OnTick"
# A method is probed by its address: perf reads "::" as a line number.
paint="$(nm "$game" | awk '$2 == "T" && $3 == "_ZN8GameView10paintEventEP11QPaintEvent" { print $1 }')"
perf probe -q -x "$game" --add "$group:paint=0x$paint"

# Start to first frame: from the exec of the program to its first paint.
perf record -q -o "$work/start.data" -e sched:sched_process_exec -e "$group:*" \
  -- timeout 2 "$game" 2>/dev/null || true
perf script -i "$work/start.data" -F event,time 2>/dev/null |
  awk -v group="$group" '/sched_process_exec/ && !t0 { t0 = $1 + 0 }
       $0 ~ group ":paint" && !t1 { t1 = $1 + 0 }
       END { printf "start to first frame: %.0f ms\n", (t1 - t0) * 1000 }'

"$game" 2>/dev/null &
pid=$!
xdotool search --sync --name "^$VOLARIN_TITLE\$" >/dev/null
sleep 2
perf stat -x, -e "$group:OnTick" -e task-clock -p "$pid" -- sleep 10 2>"$work/stat.csv"
awk -F, '/OnTick/ { printf "ticks per second: %.2f\n", $1 / 10 }
         /task-clock/ { printf "CPU during the demonstration: %.2f%% of one core\n", $1 / 100 }' \
  "$work/stat.csv"
grep -E 'VmRSS|VmHWM' "/proc/$pid/status"
kill "$pid"
wait "$pid" || true
