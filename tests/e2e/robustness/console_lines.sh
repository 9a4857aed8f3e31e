# Garbage at the console: every line of console_lines.txt is entered; the program keeps running
# to the end and prints the expected error for each line that has one, in order.
source "$E2E_LIB"
here=$(dirname "${BASH_SOURCE[0]}")
dump="$E2E_TMP/dump.txt"
args=()
while IFS= read -r row; do
  [[ "$row" == \#* ]] && continue
  args+=(--exec "${row%%$'\t'*}")
done <"$here/console_lines.txt"
status=0
timeout 120 "$QUARN_BIN/quarn" --windowed --no-dialogs "${args[@]}" --exec "ConDump('$dump')" \
  --exec "Quit" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 0 ] || fail "exit status $status: $(head -c 2000 "$E2E_TMP/err")"
[ -f "$dump" ] || fail "no console dump: a line ended the program"
python3 - "$here/console_lines.txt" "$dump" <<'PY' || fail "console output differs"
import sys
rows = [r.rstrip('\n') for r in open(sys.argv[1]) if not r.startswith('#')]
console = open(sys.argv[2], newline='').read().split('\r\n')
# Each entered line appears as a console line; its output runs to the next entered line.
at, failed = 0, False
for i, row in enumerate(rows):
    line, _, expected = row.partition('\t')
    while at < len(console) and console[at] != line:
        at += 1
    if at == len(console):
        print('line not echoed: %r' % line); sys.exit(1)
    end = at + 1
    following = rows[i + 1].partition('\t')[0] if i + 1 < len(rows) else "ConDump("
    while end < len(console) and not console[end].startswith(following):
        end += 1
    printed = ''.join(console[at + 1:end])
    if expected and expected not in printed:
        print('%r printed %r, expected %r' % (line, printed, expected)); failed = True
    at = end
sys.exit(1 if failed else 0)
PY
echo ok
