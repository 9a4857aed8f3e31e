# Devices, FIFOs and folders named where a file is expected: each command says it cannot use
# the name, and nothing blocks or reads forever (a FIFO without a reader blocks an open, a
# device never ends).
source "$E2E_LIB"
dump="$E2E_TMP/dump.txt"
fifo="$E2E_TMP/fifo"
mkfifo "$fifo"
# LoadBot names are relative to the program's folder.
up=$(realpath --relative-to="$QUARN_BIN" /)
bot="$E2E_TMP/sounds.bot"
printf "PrecacheSet('%s/dev/zero');\nPrecacheSet('%s%s');\n" "$up" "$up" "$fifo" >"$bot"
status=0
timeout 120 "$QUARN_BIN/quarn" --windowed --no-dialogs \
  --exec "LoadBot('$up/dev/zero')" \
  --exec "LoadBot('$up$fifo')" \
  --exec "LoadBot('$up$E2E_TMP')" \
  --exec "LoadAnimationFile('/dev/zero')" \
  --exec "LoadAnimationFile('$fifo')" \
  --exec "LoadAnimationFile('$E2E_TMP')" \
  --exec "LoadBot('$up$bot')" \
  --exec "ConDump('$fifo')" \
  --exec "ConDump('$dump')" --exec "Quit" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 0 ] || fail "exit status $status (124: blocked): $(cat "$E2E_TMP/err")"
[ -f "$dump" ] || fail "no console dump"
text=$(tr -d '\r\n' <"$dump")
for name in /dev/zero "$fifo" "$E2E_TMP"; do
  grep -qF "Cannot open file $QUARN_BIN/$up$name" <<<"$text" || fail "LoadBot('$name') did not say it cannot open the file"
  grep -qF "Animation file$name not found" <<<"$text" || fail "LoadAnimationFile('$name') did not say the file is not found"
done
grep -qF "Error precaching$QUARN_BIN/$up/dev/zero" <<<"$text" || fail "PrecacheSet of a device did not fail"
grep -qF "Error precaching$QUARN_BIN/$up$fifo" <<<"$text" || fail "PrecacheSet of a FIFO did not fail"
grep -qF "Cannot create file $fifo" <<<"$text" || fail "ConDump to a FIFO nobody reads did not fail"
echo ok
