# Without a sound device the program runs silently: the demo bot loads with its sound set,
# runs (its frames with footsteps included) without an error, and Escape ends the program.
source "$E2E_LIB"
export ALSOFT_DRIVERS=no-such-driver
dump="/tmp/qn$$.txt"  # short: typed lines are limited to 38 characters
trap 'rm -f "$dump"; e2e_cleanup' EXIT
# Enter only enters lines here: the BotState lines typed below must not make the robot shoot.
quarn_start --windowed --no-dialogs --exec "Unbind('ENTER')" --exec "LoadBot('bots/robot/robot.bot')"
xdotool keydown Up
# Through a whole run cycle: 41, a footstep frame, is behind the bot once it is back at 40.
wait_bot_state "$dump" '^State 1 Run, frame 4[2-5], '
wait_bot_state "$dump" '^State 1 Run, frame 4[01], '
xdotool keyup Up
condump "$dump"
xdotool key Escape
quarn_expect_exit 5 0

[ -f "$dump" ] || fail "ConDump wrote no file"
grep -q $'^Sound collection .*/bots/robot/robot.snd precached\r$' "$dump" || fail "the sound set was not precached"
grep -q $'^Bot file robot.bot compiled\r$' "$dump" || fail "the bot did not load"
grep -q 'Quarn MD2 demo: ' "$E2E_TMP/stderr" && fail "an error was reported: $(cat "$E2E_TMP/stderr")"
echo ok
