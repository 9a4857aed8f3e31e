# Bot files of megabytes load: 100 000 statements in a row (each statement once copied the whole
# list before it, so such a file took many seconds), ten megabytes of comments, and a string
# literal of five megabytes. A compiled tree may take twice its text and 56 MiB: a file of many
# more statements stops with an out-of-memory error.
source "$E2E_LIB"
up=$(realpath --relative-to="$QUARN_BIN" /)
python3 - "$E2E_TMP" <<'PY'
import sys
d = sys.argv[1]
open(d + '/long.bot', 'w').write('n := 0;\r\n' + 'n := n + 1;\r\n' * 100000 +
                                 "AddState(0, 'N' + IntToStr(n), KEY_NONE, IDLE1, true);\r\n")
open(d + '/huge.bot', 'w').write('n := 0;\r\n' + 'n := n + 1;\r\n' * 400000 +
                                 "AddState(0, 'N' + IntToStr(n), KEY_NONE, IDLE1, true);\r\n")
open(d + '/comments.bot', 'w').write(('// ' + 'c' * 76 + '\r\n') * 130000 +
                                     "AddState(0, 'AfterComments', KEY_NONE, IDLE1, true);\r\n")
open(d + '/literal.bot', 'w').write("s := '" + 'a' * 5000000 + "';\r\n" +
                                    "AddState(0, 'L' + IntToStr(length(s)), KEY_NONE, IDLE1, true);\r\n")
PY
dump="$E2E_TMP/dump.txt"
status=0
timeout 120 "$QUARN_BIN/quarn" --windowed --no-dialogs \
  --exec "LoadBot('$up$E2E_TMP/long.bot')" \
  --exec "LoadBot('$up$E2E_TMP/huge.bot')" \
  --exec "LoadBot('$up$E2E_TMP/comments.bot')" \
  --exec "LoadBot('$up$E2E_TMP/literal.bot')" \
  --exec "ConDump('$dump')" --exec "Quit" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 0 ] || fail "exit status $status (124: still loading after 120 s): $(cat "$E2E_TMP/err")"
for line in "State N100000 added" "Bot file long.bot compiled" "State AfterComments added" \
            "State L5000000 added" "Bot file literal.bot compiled"; do
  grep -qF "$line"$'\r' "$dump" || fail "missing console line '$line'"
done
# Script errors are word-wrapped on the console: join the lines before looking.
tr '\r\n' '  ' <"$dump" | tr -s ' ' |
  grep -qF "Runtimeerror: Out of memory: the compiled script would take more than 65 MiB" ||
  fail "the file of 400 000 statements did not stop with its out-of-memory line"
! grep -qF $'State N400000 added\r' "$dump" || fail "the file of 400 000 statements ran"
echo ok
