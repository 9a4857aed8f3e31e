# A bot file that never ends keeps the window responsive: Escape closes the program.
source "$E2E_LIB"
bot="$E2E_TMP/loop.bot"
printf 'AddState(0, %s, KEY_NONE, IDLE1, true);\r\nwhile true do x := 1;\r\n' "'Idle'" > "$bot"
# LoadBot names are relative to the program's directory.
rel=$(realpath --relative-to="$QUARN_BIN" "$bot")
quarn_start --windowed --no-dialogs --exec "LoadBot('$rel')"
sleep 0.5
kill -0 "$QUARN_PID" || fail "the program ended by itself"
xdotool key Escape
quarn_expect_exit 3 0
echo ok
