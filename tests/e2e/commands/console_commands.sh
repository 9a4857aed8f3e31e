# Typing at the console as a user would: About, a line with a run-time error, ConDump (the
# file holds the console's lines with CR LF; a later dump replaces it, but never a file that
# is not a dump), a screenshot whose message does not take the typed line, DrawFPS(false)
# removes the overlay, and Quit ends the program with status 0.
source "$E2E_LIB"
quarn_start --windowed --no-dialogs
dump="/tmp/qd$$.txt"  # short: typed lines are limited to 38 characters
shot="/tmp/qs$$.png"
keys="/tmp/qk$$.txt"
trap 'rm -f "$dump" "$shot" "$keys"; e2e_cleanup' EXIT

type_line "About"
type_line "x := 1 div 0"
condump "$dump"
grep -q $'^About\r$' "$dump" || fail "the entered line is not in the dump"
grep -q $'^Quarn MD2 demo\r$' "$dump" || fail "About's banner is not in the dump"
grep -q '^Runtimeerror: ' "$dump" || fail "the run-time error is not in the dump"
grep -q 'Division by zero' "$dump" || fail "the error message is not in the dump"
grep -q $'^Console dump at .*\r$' "$dump" || fail "no dump line"
[ "$(grep -c $'\r$' "$dump")" = "$(wc -l < "$dump")" ] || fail "a line does not end in CR LF"

# The screenshot's message comes with a later frame; the next typed line is still About.
type_line "Screenshot('$shot')"
type_line "About"
echo "ssh-ed25519 AAAAC3Nza user@host" >"$keys"
type_line "ConDump('$keys')"
# This dump replaces the earlier one: it is there once it holds the refusal above.
type_line "ConDump('$dump')"
refused() { grep -qF $'Cannot replace file '"$keys"$': it is not empty and not a console dump\r' "$dump"; }
wait_until 30 refused || fail "ConDump over a file that is not a dump did not say why: $(cat "$dump")"
wait_until 30 test -f "$shot" || fail "Screenshot wrote no file"
grep -qF $'Screenshot saved to '"$shot"$'\r' "$dump" || fail "the screenshot's message changed: $(cat "$dump")"
[ "$(grep -c $'^Quarn MD2 demo\r$' "$dump")" = 2 ] || fail "the About typed after the screenshot did not run: $(cat "$dump")"
[ "$(cat "$keys")" = "ssh-ed25519 AAAAC3Nza user@host" ] || fail "ConDump replaced a file that is not a dump"

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
