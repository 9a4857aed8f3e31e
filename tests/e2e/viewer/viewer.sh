# Viewer mode: `quarn MODEL.md2` on a generated box model that records a PCX skin name finds
# that skin (an 8-bit PCX) beside the model, draws the model with it, frames it in
# the middle of the window and answers the demo's keys (Up plays the run frames, a wide box:
# BotState says so, and the picture changes).
source "$E2E_LIB"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$E2E_TMP"
mkdir models
python3 "$here/make_box_model.py" models/box.md2 'skins/box.pcx'
convert -size 64x64 xc:'#ff0000' -type palette PCX:models/box.pcx

# red_count FILE: pixels of the window that are clearly the skin's red.
red_count() {
  convert "$1" -fx 'r>0.5 && g<0.25 && b<0.25 ? 1 : 0' -colorspace gray -format '%[fx:round(mean*w*h)]' info:
}
changed() { compare -metric AE -fuzz 5% "$1" "$2" null: 2>&1 || true; }

# Enter only enters lines here: the BotState lines typed below must not make the model shoot.
quarn_start --windowed --no-dialogs --exec 'DrawFPS(false)' --exec "Unbind('ENTER')" models/box.md2
condump dump.txt
grep -q $'^Load model models/box.md2..OK\r$' dump.txt || fail "no model line: $(cat dump.txt)"
grep -q $'^Load model skin models/box.pcx..OK\r$' dump.txt || fail "the skin beside the model was not loaded"
grep -q $'^[0-9][0-9]* states and [0-9][0-9]* next states added\r$' dump.txt || fail "no demo states"
! grep -q '^State .* added' dump.txt || fail "the viewer's states are listed one by one"
grep -q $'^Bot file box.md2 (view) compiled\r$' dump.txt || fail "no compiled line: $(cat dump.txt)"
! grep -q '^Runtimeerror\|^Syntaxerror\|^Exception' dump.txt || fail "the view reported an error"

wait_bot_state dump.txt '^State 0 Idle, '
xdotool key Tab
skin_shown() {
  screenshot "$E2E_TMP/idle.png"
  idle_red=$(red_count "$E2E_TMP/idle.png")
  [ "$idle_red" -gt 3000 ]
}
wait_until 30 skin_shown || fail "the skin's red is not shown ($idle_red pixels)"
echo "red pixels standing: $idle_red"
# Framed: the box's middle is near the window's middle.
convert "$E2E_TMP/idle.png" -crop 64x64+288+208 +repage "$E2E_TMP/middle.png"
[ "$(red_count "$E2E_TMP/middle.png")" -gt 2000 ] || fail "the model is not in the middle of the window"

xdotool keydown Up
xdotool key Tab
wait_bot_state dump.txt '^State 1 Run, frame 4[0-5], keys 1$'
xdotool key Tab
run_shown() {
  screenshot "$E2E_TMP/run.png"
  run_change=$(changed "$E2E_TMP/idle.png" "$E2E_TMP/run.png")
  [ "$run_change" -gt 2000 ]
}
wait_until 30 run_shown || fail "holding Up did not play the run frames ($run_change pixels)"
xdotool keyup Up
echo "pixels changed by Up: $run_change"

xdotool key Escape
quarn_expect_exit 3 0
echo ok
