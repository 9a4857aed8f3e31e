# autoexec.txt beside the program runs at start-up, --no-autoexec skips it, and one that never
# ends still lets Escape end the program. The program runs from a copy in a scratch folder, so
# nothing is left beside the real one.
source "$E2E_LIB"
dir="$E2E_TMP/program"
mkdir -p "$dir"
cp "$QUARN_BIN/quarn" "$QUARN_BIN/Font.tga" "$dir/"
dump="$E2E_TMP/autoexec_dump.txt"
printf "Bind('C', KEY_CROUCH)\r\nBinds\r\nConDump('%s')\r\nQuit\r\nAbout\r\n" "$dump" >"$dir/autoexec.txt"

status=0
timeout 20 "$dir/quarn" --windowed --no-dialogs --no-autoexec --exec "ConDump('$dump')" --exec Quit \
  >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 0 ] || fail "--no-autoexec: exit status $status: $(cat "$E2E_TMP/err")"
grep -q "KEY_CROUCH" "$dump" && fail "--no-autoexec still ran autoexec.txt"

status=0
timeout 20 "$dir/quarn" --windowed --no-dialogs >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 0 ] || fail "autoexec Quit: exit status $status: $(cat "$E2E_TMP/err")"
grep -qF $'C KEY_CROUCH\r' "$dump" || fail "autoexec.txt did not bind C: $(cat "$dump")"
grep -q "Quarn MD2 demo" "$dump" && fail "a line after Quit ran"

printf "while true do x := 1\r\n" >"$dir/autoexec.txt"
QUARN_BIN="$dir" quarn_start --windowed --no-dialogs
sleep 0.5
kill -0 "$QUARN_PID" || fail "the program ended by itself"
xdotool key Escape
quarn_expect_exit 3 0
echo ok
