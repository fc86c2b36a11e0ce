# Helpers the window tests share: screenshots compared by region and colour, and waiting for
# the program to end. Sourced by the test scripts, which set `work` (their scratch folder)
# and `pid` (the program in the background) and define `fail`.

# The number of pixels of one exact colour inside region $2 of screenshot $1.
count_colour() {
  convert "$work/$1.png" -crop "$2" +repage -fill black +opaque "$3" -fill white -opaque "$3" \
    -format '%[fx:round(mean*w*h)]' info:
}

# True when region $3 is the same in screenshots $1 and $2.
same_region() {
  [ "$(compare -metric AE -crop "$3" "$work/$1.png" "$work/$2.png" null: 2>&1)" = 0 ]
}

# Waits up to 30 s for the background job `pid` and sets status to its exit status.
wait_for_exit() {
  for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end"
  status=0
  wait "$pid" || status=$?
}
