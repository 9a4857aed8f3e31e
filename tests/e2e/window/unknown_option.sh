# An unknown option prints one line and where the usage is on stderr and exits with status 2,
# without opening a window; --render's own options likewise.
source "$E2E_LIB"
status=0
"$QUARN_BIN/quarn" --bogus >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 2 ] || fail "exit status $status"
[ "$(cat "$E2E_TMP/err")" = "quarn: unknown option '--bogus'
Try 'quarn --help'." ] || fail "not one line and the hint: $(cat "$E2E_TMP/err")"
status=0
"$QUARN_BIN/quarn" --render m.md2 --fps x >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 2 ] || fail "--render: exit status $status"
[ "$(wc -l <"$E2E_TMP/err")" = 2 ] && grep -qx "Try 'quarn --render --help'." "$E2E_TMP/err" ||
  fail "--render: not one line and the hint: $(cat "$E2E_TMP/err")"
[ ! -s "$E2E_TMP/out" ] || fail "stdout not empty"
"$QUARN_BIN/quarn" --help | grep -q -- '--windowed' || fail "--help does not explain --windowed"
echo "ok"
