#!/usr/bin/env bash
# Measures the game's pace and cost in a Release build under a virtual X server: ticks per
# second and CPU use over 10 s of the demonstration, the time from start to the first drawn
# frame, and resident memory. Needs root for perf's user-space probes (package linux-perf).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release \
  -DVOLARIN_TESTS=OFF -DVOLARIN_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build/release" -j"$(nproc)" --target volarin >/dev/null
game="$root/build/release/frontend/qt/volarin"
work="$(mktemp -d)"
trap 'perf probe -q -d "probe_volarin:*" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
cd "$work"
perf probe -q -d 'probe_volarin:*' 2>/dev/null || true
perf probe -q -x "$game" --add OnTick
perf probe -q -x "$game" --add 'GameView::paintEvent'

# Start to first frame: from the exec of the program to its first paint.
perf record -q -o "$work/start.data" -e sched:sched_process_exec -e 'probe_volarin:*' \
  -- timeout 2 "$game" 2>/dev/null || true
perf script -i "$work/start.data" -F event,time 2>/dev/null |
  awk '/sched_process_exec/ && !t0 { t0 = $1 + 0 }
       /paintEvent/ && !t1 { t1 = $1 + 0 }
       END { printf "start to first frame: %.0f ms\n", (t1 - t0) * 1000 }'

"$game" 2>/dev/null &
pid=$!
xdotool search --sync --name '^Volarin ver2.21$' >/dev/null
sleep 2
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
before="$(cpu_ticks)"
ticks="$(perf stat -x, -e probe_volarin:OnTick -p "$pid" -- sleep 10 2>&1 | cut -d, -f1)"
after="$(cpu_ticks)"
hz="$(getconf CLK_TCK)"
echo "ticks per second: $(awk -v n="$ticks" 'BEGIN { printf "%.2f", n / 10 }')"
echo "CPU during the demonstration: $(awk -v d=$((after - before)) -v hz="$hz" \
  'BEGIN { printf "%.1f%% of one core", d / hz / 10 * 100 }')"
grep -E 'VmRSS|VmHWM' "/proc/$pid/status"
kill "$pid"
wait "$pid" || true
