# Loading the demo bot at the console: ConDump holds the load's lines, the robot appears in the
# middle of the window, holding Up makes it run (BotState says so, and the pose changes), and
# DrawFrameNumber(true) shows the frame number at column 0, row 17. Every judgement rests on the
# program's own state, so a loaded machine passes as an idle one.
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

# Enter only enters lines here: the BotState lines typed below must not make the robot shoot.
quarn_start --windowed --no-dialogs --exec "Unbind('ENTER')"
shot empty
[ "$(lit "$E2E_TMP/empty.png" 160 240 320 200)" = 0 ] || fail "something is drawn before a bot is loaded"

type_line "LoadBot('bots/robot/robot.bot')"
condump "$dump"
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
wait_bot_state "$dump" '^State 0 Idle, frame ([0-9]|[1-3][0-9]), keys 0$'

# The console covers the top of the window: hide it to see the whole robot.
xdotool key Tab
robot_shown() { shot idle; [ "$(lit_count "$E2E_TMP/idle.png" 160 60 320 360)" -gt 2000 ]; }
wait_until 30 robot_shown || fail "no robot in the middle of the window"
[ "$(lit "$E2E_TMP/idle.png" 0 408 150 32)" = 0 ] || fail "frame number shown before DrawFrameNumber"

# Holding Up makes the robot run (the bot says so), and the running pose is not the standing one.
xdotool keydown Up
xdotool key Tab
wait_bot_state "$dump" '^State 1 Run, frame 4[0-5], keys 1$'
xdotool key Tab
running_shown() {
  shot run
  run_change=$(changed "$E2E_TMP/idle.png" "$E2E_TMP/run.png")
  [ "$run_change" -gt 500 ]
}
wait_until 30 running_shown || fail "holding Up did not change the robot ($run_change pixels)"
xdotool keyup Up
echo "pixels changed by running: $run_change"

# The frame-number overlay at column 0, row 17 once switched on.
xdotool key Tab
type_line "DrawFrameNumber(true)"
xdotool key Tab
frame_number_shown() { shot framenumber; [ "$(lit "$E2E_TMP/framenumber.png" 0 408 150 32)" = 1 ]; }
wait_until 30 frame_number_shown || fail "DrawFrameNumber(true) shows nothing at row 17"

xdotool key Escape
quarn_expect_exit 3 0
echo ok
