# Without a sound device the program runs silently: the demo bot loads with its sound set,
# runs (its frames with footsteps included) without an error, and Escape ends the program.
source "$E2E_LIB"
export ALSOFT_DRIVERS=no-such-driver
dump="$E2E_TMP/dump.txt"
quarn_start --windowed --no-dialogs --exec "LoadBot('bots/robot/robot.bot')" --exec "ConDump('$dump')"
xdotool keydown Up
sleep 2
xdotool keyup Up
xdotool key Escape
quarn_expect_exit 5 0

[ -f "$dump" ] || fail "ConDump wrote no file"
grep -q $'^Sound collection .*/bots/robot/robot.snd precached\r$' "$dump" || fail "the sound set was not precached"
grep -q $'^Bot file robot.bot compiled\r$' "$dump" || fail "the bot did not load"
grep -q 'Quarn MD2 demo: ' "$E2E_TMP/stderr" && fail "an error was reported: $(cat "$E2E_TMP/stderr")"
echo ok
