# SIGINT and SIGTERM end the program promptly: while it runs, and while a message box (the
# start-up question) is open. The exit status tells which signal ended it.
source "$E2E_LIB"
unset QUARN_NO_DIALOGS

quarn_start --windowed
kill -INT "$QUARN_PID"
quarn_expect_exit 3 130

"$QUARN_BIN/quarn" >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr" &
QUARN_PID=$!
for _ in $(seq 1 50); do  # the question's box is up
  xdotool search --onlyvisible --name 'Quarn2 demo' >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool search --onlyvisible --name 'Quarn2 demo' >/dev/null 2>&1 || fail "no start-up question"
kill -TERM "$QUARN_PID"
quarn_expect_exit 3 143
echo ok
