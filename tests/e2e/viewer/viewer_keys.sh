# Viewer mode driven by keys, in a window of another size: PageDown plays the next group (the
# run frames), Space pauses, '.' and ',' step one frame, and the window can be resized. Judged
# by BotState's frame numbers and the screenshots' sizes.
source "$E2E_LIB"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$E2E_TMP"
mkdir models
python3 "$here/make_box_model.py" models/box.md2 'skins/box.pcx'
convert -size 64x64 xc:'#ff0000' -type palette PCX:models/box.pcx

quarn_start --windowed --no-dialogs --size 800x600 --exec 'DrawFPS(false)' \
  --exec "Unbind('ENTER')" models/box.md2
read -r w h _ _ < <(client_geometry)
[ "$w $h" = "800 600" ] || fail "--size 800x600 made a ${w}x${h} window"
wait_bot_state dump.txt '^State 0 Idle, frame ([0-9]|[1-3][0-9]), '

frame_of() { bot_state dump.txt | sed -n 's/.*, frame \([0-9]*\),.*/\1/p'; }
# keys KEY...: pressed with the console hidden.
keys() {
  xdotool key Tab
  for key in "$@"; do xdotool key "$key"; done
  xdotool key Tab
}

keys Next space
paused=$(frame_of)
[ "$paused" -ge 40 ] && [ "$paused" -le 45 ] || fail "PageDown did not play the run frames: frame $paused"
again=$(frame_of)
[ "$again" = "$paused" ] || fail "paused at frame $paused, then frame $again"
keys period
expected=$(( (paused - 40 + 1) % 6 + 40 ))
[ "$(frame_of)" = "$expected" ] || fail "'.' from frame $paused did not show frame $expected"
keys comma comma
expected=$(( (paused - 40 + 5) % 6 + 40 ))
[ "$(frame_of)" = "$expected" ] || fail "',' twice did not show frame $expected"
keys space
wait_until 30 bot_state_matches dump.txt ", frame (4[0-5]), " || fail "the run frames stopped"

xdotool windowsize "$QUARN_WINDOW" 500 400
resized() { read -r w h _ _ < <(client_geometry); [ "$w $h" = "500 400" ]; }
wait_until 30 resized || fail "the viewer's window could not be resized (${w}x${h})"
type_line "Screenshot('small.png')"
wait_until 30 test -f "$E2E_TMP/small.png" || fail "no screenshot"
[ "$(identify -format '%w %h' "$E2E_TMP/small.png")" = "500 400" ] || fail "the screenshot is not the window's new size"

xdotool key Escape
quarn_expect_exit 3 0
echo ok
