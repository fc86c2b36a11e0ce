#!/usr/bin/env bash
# Runs each scenario here through the runner and compares its whole transcript with the one
# kept beside it, byte for byte: check.sh SIM [--regenerate] rewrites the kept transcripts.
set -euo pipefail
sim="$1"
regenerate="${2:-}"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
# A sanitised build reports the leak suppressions it used; that report is not the run's output.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0"

# The state lines, the status, the messages, the mode and a digest of each picture and the
# settings file as the run left them. The modes are those a usual umask leaves.
umask 022
transcript() {
  local name="$1" folder="$work/$1" status=0
  mkdir -p "$folder"
  if [[ -f "$here/$name.ini" ]]; then cp "$here/$name.ini" "$folder/VOLARIN.INI"; fi
  # Scenarios named replay_* are run as a replay is: with only a recording's commands.
  local mode=()
  if [[ "$name" == replay_* ]]; then mode=(--replay); fi
  (cd "$folder" && "$sim" "${mode[@]}" "$here/$name.txt" >out 2>err) || status=$?
  cat "$folder/out"
  echo "== status $status"
  echo "== standard error"
  cat "$folder/err"
  for picture in $(cd "$folder" && ls -- *.png 2>/dev/null); do
    echo "== $picture $(stat -c %a "$folder/$picture") $(sha256sum <"$folder/$picture" | cut -d' ' -f1)"
  done
  if [[ -f "$folder/VOLARIN.INI" ]]; then
    echo "== VOLARIN.INI"
    cat "$folder/VOLARIN.INI"
  fi
}

for scenario in "$here"/*.txt; do
  name="$(basename "$scenario" .txt)"
  transcript "$name" >"$work/$name.transcript"
  if [[ "$regenerate" == --regenerate ]]; then
    cp "$work/$name.transcript" "$here/$name.expected"
  elif ! cmp -s "$work/$name.transcript" "$here/$name.expected"; then
    echo "golden: $name differs from its kept transcript:"
    diff "$here/$name.expected" "$work/$name.transcript" | head -40 || true
    failed=1
  fi
done
exit "$failed"
