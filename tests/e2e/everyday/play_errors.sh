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
quarn_start --windowed --exec "LoadBot('$mine')"
xdotool keydown Up
sleep 2
xdotool keyup Up
type_line "LoadBot('$mine')"
xdotool keydown Up
sleep 1.5
xdotool keyup Up
type_line "ConDump('$dump')"
xdotool key Escape
quarn_expect_exit 5 0

count=$(grep -c "^Quarn MD2 demo: Wave 'nosuch' not found\$" "$E2E_TMP/stderr" || true)
[ "$count" = 2 ] || fail "stderr has the error $count times, expected 2: $(head -c 2000 "$E2E_TMP/stderr")"
[ -f "$dump" ] || fail "ConDump wrote no file"
count=$(grep -c $'^Wave \'nosuch\' not found\r$' "$dump" || true)
[ "$count" = 2 ] || fail "the console has the error $count times, expected 2"
echo ok
