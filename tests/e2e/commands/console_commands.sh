# Typing at the console as a user would: About, a line with a run-time error, ConDump (the
# file holds the console's lines with CR LF), DrawFPS(false) removes the overlay, and Quit
# ends the program with status 0.
source "$E2E_LIB"
quarn_start --windowed --no-dialogs
dump="/tmp/qd$$.txt"  # short: typed lines are limited to 38 characters
trap 'rm -f "$dump"; e2e_cleanup' EXIT

type_line "About"
type_line "x := 1 div 0"
condump "$dump"
grep -q $'^About\r$' "$dump" || fail "the entered line is not in the dump"
grep -q $'^Quarn MD2 demo\r$' "$dump" || fail "About's banner is not in the dump"
grep -q '^Runtimeerror: ' "$dump" || fail "the run-time error is not in the dump"
grep -q 'Division by zero' "$dump" || fail "the error message is not in the dump"
grep -q $'^Console dump at .*\r$' "$dump" || fail "no dump line"
[ "$(grep -c $'\r$' "$dump")" = "$(wc -l < "$dump")" ] || fail "a line does not end in CR LF"

# fps_lit: whether the FPS overlay's corner of the window shows anything now.
fps_lit() {
  screenshot "$E2E_TMP/fps.png"
  convert "$E2E_TMP/fps.png" -crop 160x32+480+408 +repage "$E2E_TMP/fps_region.png"
  [ "$(max_channel "$E2E_TMP/fps_region.png")" != 0 ]
}
fps_dark() { ! fps_lit; }
wait_until 30 fps_lit || fail "no FPS overlay before DrawFPS(false)"
type_line "DrawFPS(false)"
wait_until 30 fps_dark || fail "DrawFPS(false) left the overlay"

type_line "Quit"
quarn_expect_exit 3 0
echo ok
