#!/usr/bin/env bash
# Builds the fuzz targets with Clang's libFuzzer and runs each for a fixed number of inputs,
# then fuzzes the page's #replay= link decoder under node the same way. Extra arguments go to
# every libFuzzer target, e.g. -max_total_time=600 -runs=-1.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"

# Clang, and libFuzzer with the sanitizer runtimes.
"$root/scripts/ensure-packages.sh" clang libclang-rt-14-dev

build="$root/build/fuzz"
cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVOLARIN_FUZZ=ON -DVOLARIN_TESTS=OFF -DVOLARIN_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j2 --target volarin-fuzz-settings volarin-fuzz-history volarin-fuzz-scenario \
  volarin-fuzz-replay

# New inputs go to a scratch corpus; the repository's seed corpus is only read.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
run() {
  local target="$1" runs="$2"
  shift 2
  mkdir -p "$work/$target"
  echo "== $target: $runs runs"
  "$build/tests/fuzz/volarin-fuzz-$target" -seed=1 -runs="$runs" \
    -dict="$root/tests/fuzz/$target.dict" -artifact_prefix="$root/build/fuzz/$target-" \
    -print_final_stats=1 "$@" "$work/$target" "$root/tests/fuzz/corpus/$target" 2>"$work/log" ||
    { tail -n 60 "$work/log" >&2; exit 1; }
  grep -E '^(Done|stat::number_of_executed_units)' "$work/log"
}
run settings 1000000 "$@"
run history 200000 "$@"
run scenario 60000 "$@"
run replay 2000 "$@"

echo "== the page's #replay= link decoder"
command -v node >/dev/null || "$root/scripts/ensure-packages.sh" nodejs
node "$root/tests/web/replay_link_fuzz.mjs" "$root/frontend/web/page" \
  "$root/tests/fuzz/corpus/replay/"* --runs 3000
