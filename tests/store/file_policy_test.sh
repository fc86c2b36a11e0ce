#!/usr/bin/env bash
# The settings file against the file system around it, through the runner's load and save
# (the game's own): anything but a regular file is left alone and never waited on, a link
# leads to the file it names, a file with a second name is rewritten where it is, another
# user's file keeps its owner or is written where it is, and a save removes only the temporary
# files killed saves left.
# Usage: file_policy_test.sh VOLARIN_SIM
set -euo pipefail
sim="$(realpath "$1")"
work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
chmod 755 "$work"  # another user runs the runner in here too
export LC_ALL=C
fail() { echo "FAIL: $*" >&2; exit 1; }
old=$'3\n2\n0\n2\n10 a\n20 b\n30 c\n40 d\n50 e'
# The defaults saved over it: the options are the saving copy's, the higher bests the file's.
saved_over_old=$'1\n1\n1\n1\n10 a\n20 b\n30 c\n40 d\n50 e'

# Runs the runner on the commands given, within 10 s, as the user `as` (when set) and with
# standard input closed, so a new file may take descriptor 0; sets `status`.
run() {
  printf '%s\n' "$@" >"$work/scenario.txt"
  status=0
  ${as:+setpriv --reuid="$as" --regid="$as" --clear-groups} \
    timeout 10 "$sim" "$work/scenario.txt" >/dev/null 2>"$work/err.txt" <&- || status=$?
  [ "$status" != 124 ] || fail "'$*' did not end within 10 s"
}
# The first temporary name a save by the process numbered $1 tries.
temporary_name() {
  local letters=0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ n=$(($1 * 64)) name=
  for _ in 1 2 3 4 5 6; do name+=${letters:n % 62:1} n=$((n / 62)); done
  echo ".VOLARIN.INI.volarin-tmp-$name"
}
export -f temporary_name
# The names in a folder but the save lock's, which stays once made.
names() { ls -A "${1:-.}" | grep -v -e '\.volarin-lock$' | tr '\n' ' '; }
fresh() { mkdir -m 777 "$work/$1" && cd "$work/$1"; }

fresh not_regular
mkfifo fifo
ln -s fifo VOLARIN.INI
run load save
[ -p fifo ] && [ -L VOLARIN.INI ] || fail "the FIFO or the link to it was replaced"
rm VOLARIN.INI
mkdir VOLARIN.INI
run save
[ -z "$(ls -A VOLARIN.INI)" ] || fail "a save wrote into a folder named VOLARIN.INI"
[ "$(names)" = "VOLARIN.INI fifo " ] || fail "left beside a FIFO and a folder: $(names)"
if [ "$(id -u)" = 0 ]; then
  rm -r VOLARIN.INI
  mknod device c 1 3
  ln -s device VOLARIN.INI
  run load save
  [ -c device ] && [ -L VOLARIN.INI ] || fail "the device node or the link to it was replaced"
  [ "$(names)" = "VOLARIN.INI device fifo " ] || fail "left beside a device: $(names)"
fi

# Through the link alone, then with a second name beside the file, which must see the save.
fresh linked
mkdir data
echo "$old" >data/real.ini
ln -s data/real.ini VOLARIN.INI
run load save
ln data/real.ini data/hard.ini
run load 'command 40010' save
[ -L VOLARIN.INI ] || fail "the link was replaced"
[ "$(cat data/real.ini)" = "${old/$'\n2\n0'/$'\n4\n0'}" ] || fail "the level 4 was not saved"
cmp -s data/real.ini data/hard.ini || fail "the second name lost the file"
[ "$(names data)" = "hard.ini real.ini " ] || fail "left beside the file: $(names data)"

# Only names of the exact temporary form go, and not one whose writer still holds it; names a
# player may have chosen, and those of an older form, stay. A new file gets the mode the
# umask leaves.
fresh leftovers
kept=(.VOLARIN.INI.volarin-tmp-a-b.c0 .VOLARIN.INI.volarin-tmp-abc .VOLARIN.INI.volarin-tmp-held00
  VOLARIN.INI.a1B2c3 VOLARIN.INI.backup VOLARIN.INI.before-update.tmp)
for name in "${kept[@]}"; do echo x >"$name"; done
echo 'left by a killed save' >.VOLARIN.INI.volarin-tmp-a1B2c3
flock .VOLARIN.INI.volarin-tmp-held00 sleep 30 &
holder=$!
sleep 0.2
(umask 0 && run save)
kill "$holder"
[ "$(names)" = "$(printf '%s\n' "${kept[@]}" VOLARIN.INI | sort | tr '\n' ' ')" ] ||
  fail "after a save: $(names)"
[ "$(stat -c %a VOLARIN.INI)" = 666 ] || fail "a new file has the mode $(stat -c %a VOLARIN.INI)"

# A name in the way of the first temporary file's (here a folder, which no sweep removes) is
# passed over for the next.
fresh in_the_way
printf 'save\n' >"$work/save.txt"
bash -c 'mkdir "$(temporary_name $$)" && exec "$0" "$1"' "$sim" "$work/save.txt" ||
  fail "a save with a name in the way of its temporary file"
[ "$(find . -name '.VOLARIN.INI.volarin-tmp-*' -type d | wc -l)" = 1 ] && [ -s VOLARIN.INI ] &&
  [ "$(names | wc -w)" = 2 ] || fail "a save with a name in the way left: $(names)"

fresh killed
for round in $(seq 20); do
  yes save | "$sim" >/dev/null 2>&1 &
  sleep "0.$((10 + 2 * round))"
  kill -KILL $!
  wait $! 2>/dev/null || true
done
run save
[ "$(names)" = "VOLARIN.INI " ] || fail "after saves killed mid-way, one more left: $(names)"

if [ "$(id -u)" = 0 ]; then
  # A new file replaces another user's, with its owner, group and mode.
  fresh owner
  echo "$old" >VOLARIN.INI
  chown 65534:65534 VOLARIN.INI
  chmod 640 VOLARIN.INI
  inode="$(stat -c %i VOLARIN.INI)"
  run save
  [ "$(stat -c %i VOLARIN.INI)" != "$inode" ] || fail "the file was written where it is, not replaced"
  [ "$(stat -c '%u:%g %a' VOLARIN.INI)" = "65534:65534 640" ] || fail "another user's file changed hands"
  [ "$(cat VOLARIN.INI)" = "$saved_over_old" ] || fail "root's save over another user's file"
  # A user who may write someone else's file cannot give a new file its owner: the file is
  # written where it is.
  fresh in_place
  echo "$old" >VOLARIN.INI
  chown 0:65534 VOLARIN.INI
  chmod 664 VOLARIN.INI
  as=65534 run save
  [ "$(stat -c %u VOLARIN.INI)" = 0 ] || fail "the file is no longer root's"
  [ "$(cat VOLARIN.INI)" = "$saved_over_old" ] || fail "the save as another user: $(cat "$work/err.txt")"
  [ "$(names)" = "VOLARIN.INI " ] || fail "left beside the file rewritten in place: $(names)"
  # In a folder the user may not write, a file it may write is written where it is; without
  # the file, the save fails.
  fresh unwritable
  echo "$old" >VOLARIN.INI
  chmod 666 VOLARIN.INI
  chmod 755 .
  as=65534 run save
  [ "$(cat VOLARIN.INI)" = "$saved_over_old" ] || fail "a save in a folder it may not write"
  rm VOLARIN.INI
  as=65534 run save
  [ "$status" = 1 ] && [ "$(names)" = "" ] || fail "a save that could not make the file said $status"
fi
echo "file policy test passed"
