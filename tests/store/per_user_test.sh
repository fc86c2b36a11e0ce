#!/usr/bin/env bash
# Where the game keeps its settings: in the working folder when the file is there or the
# folder can be written, as always; otherwise, and always with --per-user, in the player's own
# data folder ($XDG_DATA_HOME/volarin, else ~/.local/share/volarin), made when needed, read
# at start and written at the end. A read-only folder is a read-only bind mount in a mount
# namespace of the test's own, since permissions do not stop root.
# Usage: per_user_test.sh VOLARIN  (as root)
set -euo pipefail
volarin="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen LC_ALL=C
unset XDG_DATA_HOME
# Level 4, every class: a game that read this file writes level 4 back at its end.
seeded=$'31\n4\n0\n1\n10 a\n20 b\n30 c\n40 d\n50 e'

# Plays in folder $1 (made read-only when $2 is "ro") with HOME=$work/home and the rest of
# the arguments, and ends the game by SIGTERM, which keeps the settings as Exit does. The
# signal is sent once the recording holds a tick line, written after a second of play: the
# event loop, which answers it, runs by then. timeout runs in the foreground: otherwise it
# passes the signal on twice (to the game, then to its process group), and a second signal
# the loop has not yet taken ends the game at once, without its settings.
play() {
  local folder=$1 mode=$2
  shift 2
  mkdir -p "$folder"
  rm -f "$work/session.txt"
  status=0
  HOME="$work/home" timeout --foreground 60 unshare --mount --propagation private sh -c '
    if [ "$1" = ro ]; then mount --bind "$0" "$0" && mount -o remount,ro,bind "$0"; fi
    cd "$0" && shift && exec "$@"' "$folder" "$mode" "$volarin" --record "$work/session.txt" \
    "$@" 2>"$work/err.txt" &
  local pid=$!
  for _ in $(seq 300); do
    grep -q '^tick' "$work/session.txt" 2>/dev/null && break
    sleep 0.1
  done
  kill -TERM "$pid"
  wait "$pid" || status=$?
  [ "$status" = 143 ] || fail "the game ended with $status: $(cat "$work/err.txt")"
}
per_user="$work/home/.local/share/volarin"

# A read-only folder without settings: made in the per-user folder, for this user alone.
play "$work/ro" ro
[ "$(wc -l <"$per_user/VOLARIN.INI")" = 9 ] || fail "no settings in $per_user"
[ "$(stat -c %a "$per_user")" = 700 ] || fail "$per_user is not for the user alone"
[ -z "$(ls -A "$work/ro")" ] || fail "the read-only folder holds $(ls -A "$work/ro")"
! grep -q "could not be saved" "$work/err.txt" || fail "$(cat "$work/err.txt")"

# Read back from there at the next start, and written back.
printf '%s\n' "$seeded" >"$per_user/VOLARIN.INI"
play "$work/ro" ro
[ "$(sed -n 2p "$per_user/VOLARIN.INI")" = 4 ] || fail "the per-user settings were not read"

# XDG_DATA_HOME names the data folder.
XDG_DATA_HOME="$work/data" play "$work/ro" ro
[ -f "$work/data/volarin/VOLARIN.INI" ] || fail "XDG_DATA_HOME was not followed"

# A read-only folder that holds settings keeps being read; none go to the per-user folder.
rm -rf "$work/home" "$work/data"
mkdir "$work/ro-kept"
printf '%s\n' "$seeded" >"$work/ro-kept/VOLARIN.INI"
play "$work/ro-kept" ro
[ ! -e "$per_user" ] || fail "settings beside the game went to the per-user folder"
grep -q "could not be saved to $work/ro-kept/VOLARIN.INI" "$work/err.txt" ||
  fail "the player was not told where the settings could not be saved: $(cat "$work/err.txt")"

# A writable folder keeps them, as always, and makes no per-user folder.
play "$work/rw" rw
[ "$(wc -l <"$work/rw/VOLARIN.INI")" = 9 ] || fail "no settings in the writable folder"
[ ! -e "$work/home" ] || fail "a writable folder's game made $(find "$work/home")"

# --per-user keeps them in the per-user folder even so.
rm "$work/rw/VOLARIN.INI"
play "$work/rw" rw --per-user
[ -f "$per_user/VOLARIN.INI" ] || fail "--per-user kept no settings in $per_user"
[ ! -e "$work/rw/VOLARIN.INI" ] || fail "--per-user wrote settings in the working folder"
echo "per-user test passed"
