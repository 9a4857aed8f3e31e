# A console line that never ends keeps the window responsive: Escape closes the program.
source "$E2E_LIB"
quarn_start --windowed --no-dialogs
type_line "while true do x := 1"
sleep 0.5
kill -0 "$QUARN_PID" || fail "the program ended by itself"
xdotool key Escape
quarn_expect_exit 3 0
echo ok
