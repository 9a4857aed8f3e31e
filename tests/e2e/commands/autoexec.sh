# autoexec.txt beside the program runs at start-up, then the user's own in
# $XDG_CONFIG_HOME/quarn; --no-autoexec skips both; one that others could have written is
# reported and not run; one that never ends still lets Escape end the program. The program
# runs from a copy in a scratch folder, so nothing is left beside the real one.
source "$E2E_LIB"
dir="$E2E_TMP/program"
mkdir -p "$dir" "$XDG_CONFIG_HOME/quarn"
cp "$QUARN_BIN/quarn" "$QUARN_BIN/Font.tga" "$dir/"
dump="$E2E_TMP/autoexec_dump.txt"
printf "Bind('C', KEY_CROUCH)\r\nBinds\r\nConDump('%s')\r\nQuit\r\nAbout\r\n" "$dump" >"$dir/autoexec.txt"
chmod 644 "$dir/autoexec.txt"

status=0
timeout 120 "$dir/quarn" --windowed --no-dialogs --no-autoexec --exec "ConDump('$dump')" --exec Quit \
  >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 0 ] || fail "--no-autoexec: exit status $status: $(cat "$E2E_TMP/err")"
grep -q "KEY_CROUCH" "$dump" && fail "--no-autoexec still ran autoexec.txt"

status=0
timeout 120 "$dir/quarn" --windowed --no-dialogs >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 0 ] || fail "autoexec Quit: exit status $status: $(cat "$E2E_TMP/err")"
grep -qF $'C KEY_CROUCH\r' "$dump" || fail "autoexec.txt did not bind C: $(cat "$dump")"
grep -q "Quarn MD2 demo" "$dump" && fail "a line after Quit ran"

# The program's file runs first, then the user's: the user's binding of C wins.
user="$XDG_CONFIG_HOME/quarn/autoexec.txt"
printf "Bind('C', KEY_CROUCH)\r\nBind('J', KEY_JUMP)\r\n" >"$dir/autoexec.txt"
printf "Bind('C', KEY_BACK)\r\n" >"$user"
chmod 644 "$dir/autoexec.txt" "$user"
run_with_binds() {
  status=0
  timeout 120 "$dir/quarn" --windowed --no-dialogs "$@" --exec Binds --exec "ConDump('$dump')" \
    --exec Quit >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
  [ "$status" = 0 ] || fail "exit status $status: $(cat "$E2E_TMP/err")"
}
run_with_binds
grep -qF $'C KEY_BACK\r' "$dump" || fail "the user's autoexec.txt did not run after the program's: $(cat "$dump")"
grep -qF $'J KEY_JUMP\r' "$dump" || fail "the program's autoexec.txt did not run"
run_with_binds --no-autoexec
grep -qE $'^(C KEY_BACK|J KEY_JUMP)\r' "$dump" && fail "--no-autoexec still ran an autoexec.txt"

# Files others may write, or that another user owns, are not run, and the console says why.
chmod 664 "$dir/autoexec.txt"
chmod 646 "$user"
run_with_binds
text=$(tr -d '\r\n' <"$dump")
grep -qF "$dir/autoexec.txt can be changed by other users (mode 0664); it was not run." <<<"$text" \
  || fail "a group-writable autoexec.txt was not reported: $text"
grep -qF "$user can be changed by other users (mode 0646); it was not run." <<<"$text" \
  || fail "a world-writable user autoexec.txt was not reported: $text"
grep -qE $'^(C KEY_BACK|J KEY_JUMP)\r' "$dump" && fail "an autoexec.txt others may write was run"
if [ "$(id -u)" = 0 ]; then
  chmod 644 "$user"
  chown 65534 "$user"
  run_with_binds
  grep -qF "$user is owned by another user (uid 65534); it was not run." <<<"$(tr -d '\r\n' <"$dump")" \
    || fail "an autoexec.txt owned by another user was not reported: $(cat "$dump")"
  grep -qF $'C KEY_BACK\r' "$dump" && fail "an autoexec.txt owned by another user was run"
fi
rm -f "$user"

printf "while true do x := 1\r\n" >"$dir/autoexec.txt"
chmod 644 "$dir/autoexec.txt"
QUARN_BIN="$dir" quarn_start --windowed --no-dialogs
sleep 0.5
kill -0 "$QUARN_PID" || fail "the program ended by itself"
xdotool key Escape
quarn_expect_exit 3 0
echo ok
