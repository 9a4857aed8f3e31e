# Short options and the bot file argument: -h and -v as --help and --version for quarn and
# qscript, make_soundset --help succeeds, and `quarn FILE.bot` loads that bot at start-up.
source "$E2E_LIB"
for program in "$QUARN_BIN/quarn" "$QUARN_BIN/qscript"; do
  for pair in "-h --help" "-v --version"; do
    read -r short long <<<"$pair"
    "$program" "$short" >"$E2E_TMP/short" || fail "$program $short failed"
    "$program" "$long" >"$E2E_TMP/long" || fail "$program $long failed"
    cmp -s "$E2E_TMP/short" "$E2E_TMP/long" || fail "$program $short differs from $long"
    [ -s "$E2E_TMP/short" ] || fail "$program $short printed nothing"
  done
done
"$QUARN_BUILD/tools/make_soundset/make_soundset" --help >"$E2E_TMP/out" || fail "make_soundset --help failed"
grep -q '^usage: make_soundset' "$E2E_TMP/out" || fail "make_soundset --help: $(cat "$E2E_TMP/out")"

dump="$E2E_TMP/dump.txt"
(cd "$QUARN_BIN/bots" && timeout 120 "$QUARN_BIN/quarn" --windowed --no-dialogs robot/robot.bot \
  --exec "ConDump('$dump')" --exec Quit >"$E2E_TMP/out" 2>"$E2E_TMP/err") || fail "quarn FILE.bot: $(cat "$E2E_TMP/err")"
grep -q $'^Bot file robot.bot compiled\r$' "$dump" || fail "the bot named on the command line was not loaded"
echo ok
