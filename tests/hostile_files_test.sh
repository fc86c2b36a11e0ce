#!/usr/bin/env bash
# Hostile outputs and inputs for the game and the runner: a recording pipe whose reader leaves,
# a recording aimed at the settings file or at a pipe nobody reads, a working folder removed
# while the game runs, a hostile history of games, pictures aimed at a FIFO or a device, a
# replayed recording asking to write files or running past its bound in ticks, a huge line and
# endless sound effects.
# Usage: hostile_files_test.sh VOLARIN VOLARIN_SIM  (the game runs on Qt's offscreen platform)
set -euo pipefail
volarin="$(realpath "$1")"
volarin_sim="$(realpath "$2")"
work="$(mktemp -d)"
pid=""
clean_up() {
  if [ -n "$pid" ] && kill "$pid" 2>/dev/null; then wait "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap clean_up EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
# Runs the command, which must end within 20 s, and sets `status`.
run() {
  status=0
  timeout 20 "$@" >out.txt 2>err.txt || status=$?
  [ "$status" != 124 ] || fail "$* did not end within 20 s"
}
expect() { # status, message part, what was run
  [ "$status" = "$1" ] || fail "$3: status $status, not $1"
  grep -q "$2" err.txt || fail "$3: no message '$2' in: $(cat err.txt)"
}

# The command line: what is passed over is said, and nothing is read past what cannot go
# together; the last replay given counts, and one read after one that cannot be is clean.
printf 'seed 1\n' >r.txt
run "$volarin" -x --exit-at-end --replay r.txt --replay gone --record -y
expect 2 "^volarin: ignoring the argument '-x'$" "-x"
expect 2 "^volarin: a replay records nothing: --record and --replay together$" "--record, --replay"
for option in --record --replay; do
  run "$volarin" $option
  expect 2 "^volarin: $option needs a file name$" "$option alone"
done
run "$volarin" --record /none/r --exit-at-end
expect 2 "^volarin: cannot record to /none/r: No such file or directory$" "--record /none/r"
run "$volarin" --replay gone --replay r.txt --exit-at-end
[ "$status" = 1 ] && [ "$(cat out.txt)" = 'not verified: no "# final" line: the recording was not finished' ] ||
  fail "the last replay given was not the one read: $status $(cat out.txt)"

# The recording is refused, before anything is truncated, when it is the settings file by
# any name; the game does not start.
printf '31\n2\n1\n0\n7 ann\n' >VOLARIN.INI
cp VOLARIN.INI kept.ini
ln -s VOLARIN.INI symbolic
ln VOLARIN.INI hard
for name in VOLARIN.INI ./symbolic hard; do
  run "$volarin" --record "$name"
  expect 2 "is the settings file" "--record $name"
  cmp -s VOLARIN.INI kept.ini || fail "--record $name changed the settings file"
done
mkdir new && (cd new && run "$volarin" --record VOLARIN.INI && expect 2 "is the settings file" \
  "--record to a settings file not made yet" && [ ! -e VOLARIN.INI ]) ||
  fail "--record left a VOLARIN.INI behind"
rm symbolic hard

# A FIFO without a reader is refused at once, by the game and by the runner's pictures, as are
# devices for pictures; one with a reader still gets no picture.
mkfifo pipe
run "$volarin" --record pipe
expect 2 "no program is reading that pipe" "--record to a FIFO without a reader"
for target in pipe /dev/null; do
  echo "png $target" >png.txt
  run "$volarin_sim" png.txt
  expect 1 "line 1: png: cannot write '$target': not a regular file" "png $target"
done
exec 4<>pipe # a reader (and a writer) that never blocks
echo "sheet pipe" >sheet.txt
run "$volarin_sim" sheet.txt
expect 1 "not a regular file" "sheet to a FIFO with a reader"
echo end >&4
read -r first_line <&4
exec 4<&-
[ "$first_line" = end ] || fail "a picture went into a FIFO"

# A recording whose reader leaves: one message, the game goes on to end by the signal asked
# for, and the settings are saved. The runner's dumps to a closed pipe fail the same way.
rm VOLARIN.INI
exec 4<>pipe
"$volarin" --record pipe 2>err.txt 4<&- &
pid=$!
sleep 2
exec 4<&-
sleep 2
kill -TERM "$pid" 2>/dev/null || true # not when the game died of the closed pipe
status=0
wait "$pid" || status=$?
pid=""
expect 143 "the recording could not be written: Broken pipe" "a recording pipe closed by its reader"
[ "$(grep -c 'recording could not be written' err.txt)" = 1 ] || fail "more than one message"
[ "$(wc -l <VOLARIN.INI)" = 9 ] || fail "the settings were not saved after the recording failed"
printf 'tick\ndump\n%.0s' $(seq 2000) >dumps.txt
{
  "$volarin_sim" dumps.txt 2>err.txt && echo 0 >status.txt || echo $? >status.txt
} | head -c 1 >/dev/null
status="$(cat status.txt)"
expect 1 "cannot write the state line: Broken pipe" "dumps to a pipe closed by its reader"

# The folder the game started in is removed while it runs: the settings cannot be saved, and
# the message names that folder as it was.
mkdir gone
folder="$(cd gone && pwd -P)"
(cd gone && exec "$volarin" 2>"$work/err.txt") &
pid=$!
sleep 2
rm -r gone
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=""
expect 143 "could not be saved to $folder/VOLARIN.INI\.$" "a working folder removed while the game ran"

# A history of games that is a FIFO, a link to a device, another user's, binary or 100 MB is
# read at start-up within its bound or not at all: the game starts, ends by the signal with
# its settings saved, in little memory, and the history is left as it was.
# What is read of it without waiting: its kind, owner and size, and a regular file's content.
history_facts() {
  ls -l --time-style=+ VOLARIN-HISTORY.TXT
  if [ -f VOLARIN-HISTORY.TXT ]; then cksum <VOLARIN-HISTORY.TXT; fi
}
mkfifo history-fifo
ln -s /dev/zero history-link
head -c 1000000 /dev/urandom >history-binary
truncate -s 100M history-huge
printf 'when\tlevel\n' >history-other
chown nobody history-other && chmod 600 history-other
for kind in fifo link binary huge other; do
  rm -f VOLARIN.INI VOLARIN-HISTORY.TXT
  mv "history-$kind" VOLARIN-HISTORY.TXT
  before="$(history_facts)"
  /usr/bin/time -f %M -o rss.txt "$volarin" 2>err.txt &
  pid=$!
  sleep 2
  kill -0 "$pid" 2>/dev/null || fail "the game did not survive a history that is $kind"
  kill -TERM "$(pgrep -P "$pid")"
  status=0
  wait "$pid" || status=$?
  pid=""
  [ "$(wc -l <VOLARIN.INI)" = 9 ] || fail "the settings were not saved beside a $kind history"
  [ "$before" = "$(history_facts)" ] || fail "a $kind history was changed"
  [ "$(tail -n 1 rss.txt)" -lt 250000 ] || fail "a $kind history took $(tail -n 1 rss.txt) KB"
  mv VOLARIN-HISTORY.TXT "history-$kind"
done

# A replay runs what a recording holds, and nothing that writes a file or reads the settings
# again; the refused line is named and nothing after it runs.
rm VOLARIN.INI
printf 'seed 7\nload\n# a comment\nsize 640 480\ntick 70\nchar 65\ncommand 40015\ndump\n' >ok.txt
run "$volarin_sim" --replay ok.txt
[ "$status" = 0 ] || fail "a replay refused a recording: $(cat err.txt)"
for refused in "png out.png" "sheet out.png" save load "settings none"; do
  printf 'seed 7\ntick 1\n%s\ndump\n' "$refused" >replay.txt
  run "$volarin_sim" --replay replay.txt
  expect 2 "line 3: ${refused%% *}: a replay" "--replay with $refused"
  [ ! -e out.png ] && [ ! -e VOLARIN.INI ] || fail "--replay with $refused wrote a file"
done

# A replay runs at most four hours of play unless --max-ticks says otherwise: the tick line
# that would pass the bound is refused before any of its ticks runs, with its number.
printf 'seed 1\ntick 4294967295\ndump\n' >long.txt
run "$volarin_sim" --replay long.txt
expect 2 "line 2: tick: more than 921600 ticks in all" "a replay of 2^32 - 1 ticks"
[ ! -s out.txt ] || fail "the refused replay printed a state line"
printf 'tick 4\ndump\ntick 6\ndump\ntick\ndump\n' >ten.txt
for options in "--replay --max-ticks 10" "--max-ticks 10"; do
  run "$volarin_sim" $options ten.txt
  expect 2 "line 5: tick: more than 10 ticks in all" "$options"
  [ "$(grep -c . out.txt)" = 2 ] && grep -q '^{"tick":10,' out.txt ||
    fail "$options: the ticks within the bound did not run: $(cut -c1-12 out.txt)"
done
run "$volarin_sim" --replay --max-ticks 11 ten.txt
[ "$status" = 0 ] || fail "--max-ticks 11 refused 11 ticks: $(cat err.txt)"
for wrong in 0 -1 x 99999999999999999999 ''; do
  run "$volarin_sim" --max-ticks "$wrong" ten.txt
  expect 2 "max-ticks takes a count of ticks" "--max-ticks '$wrong'"
done

# A line past 64 KiB is refused without being read whole, and the memory stays small.
head -c 300000000 /dev/zero | tr '\0' a |
  /usr/bin/time -f %M -o rss.txt "$volarin_sim" 2>err.txt && status=0 || status=$?
expect 2 "line 1: longer than 65536 bytes" "a 300 MB line"
[ "$(tail -n 1 rss.txt)" -lt 150000 ] || fail "a 300 MB line took $(tail -n 1 rss.txt) KB"

# A state line names only the last 1000 effects, after the count of those left out: here 100
# games each of a start, nine misses and the end.
{
  for _ in $(seq 100); do printf 'command 40015\n'; printf 'char 126\n%.0s' $(seq 10); done
  echo dump
} >sounds.txt
line="$("$volarin_sim" sounds.txt)"
[ "$(grep -o '"[a-z]*\.wav"' <<<"$line" | wc -l)" = 1000 ] || fail "not 1000 sounds in the line"
grep -q '"soundsLeftOut":100,"sounds":\["miss.wav"' <<<"$line" || fail "no count of those left out"
echo "hostile files test passed"
