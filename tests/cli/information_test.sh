#!/usr/bin/env bash
# --help and --version of both programs: printed on standard output with status 0, without a
# display, a window or a file written, wherever on the command line they stand.
# Usage: information_test.sh VOLARIN VOLARIN_SIM VERSION
set -euo pipefail
volarin="$(realpath "$1")"
volarin_sim="$(realpath "$2")"
version="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
mkdir "$work/empty"
cd "$work/empty"
# No display of any kind: a program that looked for one would abort or wait.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# Runs program $1 with the rest as arguments; sets out and status.
ask() {
  status=0
  out="$(timeout 10 "$@" 2>"$work/errors.txt" </dev/null)" || status=$?
  [ "$status" = 0 ] || fail "$* ended with $status: $(cat "$work/errors.txt")"
  [ ! -s "$work/errors.txt" ] || fail "$* wrote to standard error: $(cat "$work/errors.txt")"
  [ -z "$(ls -A)" ] || fail "$* left files: $(ls -A)"
}

for program in "$volarin:volarin" "$volarin_sim:volarin-sim"; do
  path="${program%%:*}" name="${program#*:}"
  ask "$path" --version
  [ "$out" = "$name $version" ] || fail "$name --version printed '$out'"
  # Before and after other options, and after one that would write a file.
  for args in "--help" "--record session.txt --help" "--help --version" "--replay --help"; do
    ask "$path" $args
    [[ "$out" == "Usage: $name "* ]] || fail "$name $args printed no usage: $out"
    [[ "$out" == *"--help "*"--version "* ]] || fail "$name $args lists neither --help nor --version"
  done
done
echo "information test passed"
