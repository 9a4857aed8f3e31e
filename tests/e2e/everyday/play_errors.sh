# An error during play (here a frame sound naming a wave the set lacks, reached every run
# cycle) goes to the console and stderr once, never as a message box: the program stays usable
# and Escape ends it. The same message comes again after the next LoadBot.
source "$E2E_LIB"
unset QUARN_NO_DIALOGS
bot="$QUARN_BIN/bots/robot/robot.bot"
# Short names: typed lines hold at most 38 characters.
mine="/tmp/qe$$.bot"
dump="/tmp/qe$$.txt"
trap '[ -n "${KEEP_DUMP:-}" ] || rm -f "$mine" "$dump"; e2e_cleanup' EXIT
{ cat "$bot"; echo "SetSound(42, 'nosuch', false);"; } >"$mine"
# errors_on_stderr: how many times stderr has the play error.
errors_on_stderr() { grep -c "^Quarn MD2 demo: Wave 'nosuch' not found\$" "$E2E_TMP/stderr" || true; }
errors_at_least() { [ "$(errors_on_stderr)" -ge "$1" ]; }
# Up until the bot has been through frame 42 (reported) and a whole cycle more (not reported
# again): the messages are counted by what the program wrote, not by how long keys were held.
run_past_the_error() {  # run_past_the_error COUNT
  xdotool keydown Up
  wait_until 30 errors_at_least "$1" || fail "frame 42 never reported its missing wave"
  wait_bot_state "$dump" '^State 1 Run, frame 4[3-5], '
  wait_bot_state "$dump" '^State 1 Run, frame 4[01], '
  wait_bot_state "$dump" '^State 1 Run, frame 4[3-5], '
  xdotool keyup Up
}
# Enter only enters lines here: the BotState lines typed below must not make the robot shoot.
quarn_start --windowed --exec "Unbind('ENTER')" --exec "LoadBot('$mine')"
run_past_the_error 1
type_line "LoadBot('$mine')"
run_past_the_error 2
condump "$dump"
xdotool key Escape
quarn_expect_exit 5 0

count=$(errors_on_stderr)
[ "$count" = 2 ] || fail "stderr has the error $count times, expected 2: $(head -c 2000 "$E2E_TMP/stderr")"
[ -f "$dump" ] || fail "ConDump wrote no file"
count=$(grep -c $'^Wave \'nosuch\' not found\r$' "$dump" || true)
[ "$count" = 2 ] || fail "the console has the error $count times, expected 2"
echo ok
