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

# Runs the command (its arguments) every 0.2 s until it succeeds, for up to 60 s: a loaded
# machine makes a test slower, never wrong. False when it never did.
wait_until() {
  for _ in $(seq 300); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}

# Near-white pixels in region $2 of screenshot $1: an open menu and a message box are light
# panels, while everything the game draws has at least one dark channel.
light_pixels() {
  convert "$work/$1.png" -crop "$2" +repage -separate -evaluate-sequence min -threshold 80% \
    -format '%[fx:round(mean*w*h)]' info:
}

# Takes screenshot $1 (the script's `shot`) and is true when region $2 holds more than $4
# pixels of colour $3.
shows_colour() {
  shot "$1"
  [ "$(count_colour "$1" "$2" "$3")" -gt "$4" ]
}

# Waits up to 60 s for the background job `pid` and sets status to its exit status.
wait_for_exit() {
  for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end"
  status=0
  wait "$pid" || status=$?
}

# The text of screenshot $1 (region $3 of it, or all, with colour $4 taken away: a frame the
# model would read as a letter) as OCR model $2 reads it: light text on
# dark cards, so scaled up three times, inverted and made black and white, which the Japanese
# model at least needs to read 24-pixel glyphs.
read_text() {
  convert "$work/$1.png" ${3:+-crop "$3" +repage} ${4:+-fill black -opaque "$4"} -resize 300% \
    -negate -threshold 50% "$work/$1-ocr.png"
  tesseract "$work/$1-ocr.png" - -l "$2" 2>/dev/null | tr -s ' \n' ' '
}

# True when screenshot $1 read with model $2 holds every word after them; `text` is what it read.
says() {
  text="$(read_text "$1" "$2")"
  for word in "${@:3}"; do
    [[ "$text" == *"$word"* ]] || return 1
  done
}

# Takes screenshot $1 until, read with model $2, it holds every word after them (a card may
# come late on a busy machine); fails after 60 s.
expect_text() {
  local text=""
  wait_until shot_says "$@" || fail "$1 does not say '${*:3}': $text"
}
shot_says() {
  shot "$1"
  says "$@"
}

# The words each card (and the menu bar, and the hint) must show in the language LANG names,
# and the OCR model for them. The
# Japanese help is known by its F2 line: the model misreads its heading 遊び方 in Wine's face
# now and then, and 一 as ー, hence 時停止.
card_words() {
  case "$LANG" in
    ja*)
      model=jpn+eng help=(F2 ゲームを始める) paused=(時停止 続ける) results=(ミス Score Best)
      menu=(ファイル) hint=(スタート) ;;
    *)
      model=eng help=(F2 "How to play") paused=(Paused "F3 to go on") results=(Score Accuracy Best)
      menu=(File Level Options Help) hint=("F2 start") ;;
  esac
}
