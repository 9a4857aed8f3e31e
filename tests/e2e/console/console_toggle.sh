# The program starts with the console open (console.txt's lines, then the prompt with its
# cursor) and the FPS overlay; typed text appears on the input line; Tab hides and shows the
# console.
source "$E2E_LIB"

# lit FILE X Y W H: 1 when the region holds any non-black pixel.
lit() {
  convert "$1" -crop "$4x$5+$2+$3" +repage "$E2E_TMP/region.png"
  [ "$(max_channel "$E2E_TMP/region.png")" != 0 ] && echo 1 || echo 0
}

# shown NAME CHECK...: takes screenshots as NAME.png until every CHECK ("X Y W H 0|1": the
# region is dark or lit) holds. The picture is judged once the program has drawn it, however
# long a loaded machine takes.
shown() {
  local name=$1 check x y w h want
  shift
  screenshot "$E2E_TMP/$name.png"
  for check in "$@"; do
    read -r x y w h want <<<"$check"
    [ "$(lit "$E2E_TMP/$name.png" "$x" "$y" "$w" "$h")" = "$want" ] || return 1
  done
}

quarn_start --windowed --no-dialogs
wait_until 30 shown start "0 0 300 24 1" || fail "no console text in the first row"
wait_until 30 shown start "480 408 160 32 1" || fail "no FPS overlay at column 30, row 17"

# The input line is the last console row: find it from console.txt's line count.
lines=$(wc -l < "$QUARN_BIN/console.txt" 2>/dev/null || echo 0)
row=$(( lines < 9 ? lines : 9 ))
before=$(lit "$E2E_TMP/start.png" 40 $(( row * 24 + 8 )) 250 22)
[ "$before" = 0 ] || fail "the input line was not empty at start"
xdotool type --delay 30 "ABCDEFGHIJ"
wait_until 30 shown typed "40 $(( row * 24 + 8 )) 150 22 1" || fail "typed text does not appear"

xdotool key Tab
wait_until 30 shown closed "0 0 640 240 0" || fail "Tab did not hide the console"
[ "$(lit "$E2E_TMP/closed.png" 480 408 160 32)" = 1 ] || fail "the FPS overlay went away with the console"

xdotool key Tab
wait_until 30 shown reopened "0 0 300 24 1" || fail "Tab did not show the console again"

xdotool key Escape
quarn_expect_exit 2 0
echo ok
