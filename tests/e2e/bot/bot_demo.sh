# Loading the demo bot at the console: the robot appears in the middle of the window, holding
# Up makes it run, DrawFrameNumber(true) shows the frame number at column 0, row 17, and
# ConDump holds the load's lines.
source "$E2E_LIB"
dump="/tmp/qb$$.txt"  # short: typed lines are limited to 38 characters
trap 'rm -f "$dump"; e2e_cleanup' EXIT

# lit FILE X Y W H: 1 when the region holds any non-black pixel.
lit() {
  convert "$1" -crop "$4x$5+$2+$3" +repage "$E2E_TMP/region.png"
  [ "$(max_channel "$E2E_TMP/region.png")" != 0 ] && echo 1 || echo 0
}
# lit_count FILE X Y W H: the number of non-black pixels in the region.
lit_count() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace gray -threshold 0 -format '%[fx:round(mean*w*h)]' info:
}
# changed A B: the number of pixels of the middle of the window that differ between A and B.
changed() {
  compare -metric AE -fuzz 5% "$1" "$2" -crop 320x360+160+60 +repage null: 2>&1 || true
}
: "${KEEP_SHOTS:=}"
shot() { screenshot "$E2E_TMP/$1.png"; [ -z "$KEEP_SHOTS" ] || cp "$E2E_TMP/$1.png" "$KEEP_SHOTS/"; }

quarn_start --windowed --no-dialogs
shot empty
[ "$(lit "$E2E_TMP/empty.png" 160 240 320 200)" = 0 ] || fail "something is drawn before a bot is loaded"

type_line "LoadBot('bots/robot/robot.bot')"
type_line "ConDump('$dump')"
sleep 0.3
[ -f "$dump" ] || fail "ConDump wrote no file"
grep -q $'^LoadBot(\'bots/robot/robot.bot\')\r$' "$dump" || fail "the entered line is not in the dump"
grep -q $'^Load model bots/robot/robot.md2..OK\r$' "$dump" || fail "no model line"
grep -q $'^Load model skin bots/robot/robot.tga..OK\r$' "$dump" || fail "no skin line"
grep -q $'^Load weapon bots/robot/weapon.md2..OK\r$' "$dump" || fail "no weapon line"
grep -q $'^State Idle added\r$' "$dump" || fail "no state line"
grep -q $'^Next state 1 added to 0\r$' "$dump" || fail "no next state line"
grep -q $'^Bot timing set\r$' "$dump" || fail "no timing line"
grep -q $'^Bot file robot.bot compiled\r$' "$dump" || fail "no compiled line"
[ "$(grep -n $'^Bot file robot.bot compiled\r$' "$dump" | cut -d: -f1)" -gt \
  "$(grep -n $'^Load model bots/robot/robot.md2..OK\r$' "$dump" | cut -d: -f1)" ] || fail "lines out of order"
! grep -q '^Runtimeerror\|^Syntaxerror\|^Exception' "$dump" || fail "the load reported an error"

# The console covers the top of the window: hide it to see the whole robot.
xdotool key Tab
sleep 1
shot idle1
sleep 0.2
shot idle2
[ "$(lit_count "$E2E_TMP/idle1.png" 160 60 320 360)" -gt 2000 ] || fail "no robot in the middle of the window"

# Running changes the pose far more than the idle breathing does between two shots.
xdotool keydown Up
sleep 0.6
shot run1
sleep 0.2
shot run2
xdotool keyup Up
idle_change=$(changed "$E2E_TMP/idle1.png" "$E2E_TMP/idle2.png")
run_change=$(changed "$E2E_TMP/idle1.png" "$E2E_TMP/run1.png")
echo "idle change $idle_change, run change $run_change"
[ "$run_change" -gt 500 ] || fail "holding Up did not change the robot ($run_change pixels)"
[ "$run_change" -gt $(( 2 * idle_change )) ] || fail "running looks like idling ($run_change vs $idle_change)"

# The frame-number overlay: off at start, at column 0, row 17 once switched on.
[ "$(lit "$E2E_TMP/idle1.png" 0 408 150 32)" = 0 ] || fail "frame number shown before DrawFrameNumber"
xdotool key Tab
sleep 0.3
type_line "DrawFrameNumber(true)"
xdotool key Tab
sleep 0.5
shot framenumber
[ "$(lit "$E2E_TMP/framenumber.png" 0 408 150 32)" = 1 ] || fail "DrawFrameNumber(true) shows nothing at row 17"

xdotool key Escape
quarn_expect_exit 3 0
echo ok
