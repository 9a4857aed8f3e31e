# Odd command lines: a missing --exec line is named, empty and many --exec lines run, and
# qscript refuses a folder as its script.
source "$E2E_LIB"

status=0
"$QUARN_BIN/quarn" --windowed --no-dialogs --exec >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 2 ] || fail "--exec without a line: exit status $status, expected 2"
grep -qF "quarn: --exec needs a LINE" "$E2E_TMP/err" || fail "--exec without a line: $(head -n 1 "$E2E_TMP/err")"

# An empty line, a line of blanks and 300 lines in a row: all entered, in order.
dump="$E2E_TMP/dump.txt"
args=(--exec "" --exec "   ")
for i in $(seq 1 300); do args+=(--exec "n := $i"); done
status=0
timeout 120 "$QUARN_BIN/quarn" --windowed --no-dialogs "${args[@]}" --exec "ConDump('$dump')" \
  --exec "Quit" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 0 ] || fail "many --exec lines: exit status $status: $(cat "$E2E_TMP/err")"
[ -f "$dump" ] || fail "many --exec lines: no console dump"
grep -q "^n := 300"$'\r'"$" "$dump" || fail "the 300th line was not entered"
! grep -q "error" "$dump" || fail "an empty or blank line failed: $(grep error "$dump")"

status=0
"$QUARN_BIN/qscript" "$E2E_TMP" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 1 ] || fail "qscript FOLDER: exit status $status, expected 1"
grep -qF "qscript: cannot read $E2E_TMP" "$E2E_TMP/err" || fail "qscript FOLDER: $(cat "$E2E_TMP/err")"
echo ok
