# Bot files of several megabytes load in a few seconds: 400 000 statements in a row (each
# statement once copied the whole list before it: over half a minute for this file), ten megabytes
# of comments, and a string literal of five megabytes.
source "$E2E_LIB"
up=$(realpath --relative-to="$QUARN_BIN" /)
python3 - "$E2E_TMP" <<'PY'
import sys
d = sys.argv[1]
open(d + '/long.bot', 'w').write('n := 0;\r\n' + 'n := n + 1;\r\n' * 400000 +
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
  --exec "LoadBot('$up$E2E_TMP/comments.bot')" \
  --exec "LoadBot('$up$E2E_TMP/literal.bot')" \
  --exec "ConDump('$dump')" --exec "Quit" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 0 ] || fail "exit status $status (124: still loading after 25 s): $(cat "$E2E_TMP/err")"
for line in "State N400000 added" "Bot file long.bot compiled" "State AfterComments added" \
            "State L5000000 added" "Bot file literal.bot compiled"; do
  grep -qF "$line"$'\r' "$dump" || fail "missing console line '$line'"
done
echo ok
