#!/usr/bin/env bash
# Keeps the manual pages true to the programs: the options each page lists under OPTIONS are
# exactly those the program's --help lists, and every example runs (the game's in a window
# of its own, ended by SIGTERM after a few seconds, which keeps what it recorded).
# Usage: manual_test.sh VOLARIN VOLARIN_SIM VOLARIN_PAGE VOLARIN_SIM_PAGE
set -euo pipefail
volarin="$(realpath "$1")"
volarin_sim="$(realpath "$2")"
pages=("$(realpath "$3")" "$(realpath "$4")")
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The text of section $2 of page $1, with the page's escapes of -, \ and ' undone.
section() {
  awk -v name="$2" '/^\.SH /{on = ($2 == name); next} on' "$1" |
    sed 's/\\-/-/g; s/\\e/\\/g; s/\\(aq/'"'"'/g'
}

# The options a page lists under OPTIONS (each tag line after .TP) and a --help lists.
page_options() { section "$1" OPTIONS | awk '/^\.TP/{getline; print}' | grep -o -- '--[a-z-]*' | sort -u; }
help_options() { "$1" --help | grep -o -- '^  --[a-z-]*' | sed 's/^ *//' | sort -u; }
for i in 0 1; do
  program=("$volarin" "$volarin_sim")
  diff <(page_options "${pages[$i]}") <(help_options "${program[$i]}") >"$work/diff.txt" ||
    { cat "$work/diff.txt" >&2; fail "$(basename "${pages[$i]}") and --help list other options"; }
done

# The examples, each .EX block a script run in one folder, the game's page first (the
# runner's replays what the game recorded). The programs are found on PATH as the pages
# name them; the game runs offscreen for three seconds.
mkdir "$work/bin" "$work/run"
mkdir -m 700 "$work/runtime"
ln -s "$volarin_sim" "$work/bin/volarin-sim"
cat >"$work/bin/volarin" <<END
#!/bin/sh
status=0
QT_QPA_PLATFORM=offscreen timeout --preserve-status -s TERM 3 "$volarin" "\$@" || status=\$?
[ "\$status" = 143 ] && exit 0
exit "\$status"
END
chmod +x "$work/bin/volarin"
for page in "${pages[@]}"; do
  section "$page" EXAMPLES | awk -v out="$work/example" '
    /^\.EX/{n++; on = 1; next} /^\.EE/{on = 0; next} on {print > (out n ".sh")}'
  for example in "$work"/example*.sh; do
    (cd "$work/run" && PATH="$work/bin:$PATH" XDG_RUNTIME_DIR="$work/runtime" HOME="$work" \
      timeout 60 bash -e "$example" >"$work/out.txt" 2>&1) ||
      { cat "$example" "$work/out.txt" >&2; fail "an example of $(basename "$page") fails"; }
    rm "$example"
  done
done
# What the game's page says of its example: the replay ends at the recording's final line.
final="$(sed -n 's/^# final //p' "$work/run/session.txt")"
[ -n "$final" ] && [ "$("$volarin_sim" --replay "$work/run/session.txt")" = "$final" ] ||
  fail "the recorded session does not replay to its # final line"
echo "manual test passed"
