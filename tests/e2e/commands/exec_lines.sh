# --exec enters lines at start-up without typing, in order; a line longer than the typing
# limit is entered whole.
source "$E2E_LIB"
dump="$E2E_TMP/exec_dump.txt"
long="x := 'a fairly long string literal that goes past the typing limit'"
status=0
timeout 120 "$QUARN_BIN/quarn" --windowed --no-dialogs --exec "$long" --exec "ConDump('$dump')" \
  --exec "Quit" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 0 ] || fail "exit status $status: $(cat "$E2E_TMP/err")"
[ -f "$dump" ] || fail "--exec ConDump wrote no file"
grep -qF "$long"$'\r' "$dump" || fail "the long line was not entered whole"
echo ok
