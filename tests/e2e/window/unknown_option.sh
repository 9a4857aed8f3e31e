# An unknown option prints usage on stderr and exits with status 2, without opening a window.
source "$E2E_LIB"
status=0
"$QUARN_BIN/quarn" --bogus >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 2 ] || fail "exit status $status"
grep -q '^usage: quarn' "$E2E_TMP/err" || fail "no usage on stderr"
[ ! -s "$E2E_TMP/out" ] || fail "stdout not empty"
"$QUARN_BIN/quarn" --help | grep -q -- '--windowed' || fail "--help does not explain --windowed"
echo "ok"
