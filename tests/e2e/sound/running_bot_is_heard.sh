# The demo bot is heard: the sound device writes its mixed output to a wave file; while the bot
# idles it is silent, holding Up makes it run and its footsteps are in the file; Escape still
# ends the program cleanly with the sound device open.
source "$E2E_LIB"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out="$E2E_TMP/output.wav"
cat >"$E2E_TMP/alsoft.conf" <<CONF
[general]
channels = stereo
sample-type = float32
frequency = 22050
[wave]
file = $out
CONF
export ALSOFT_CONF="$E2E_TMP/alsoft.conf" ALSOFT_DRIVERS=wave

quarn_start --windowed --no-dialogs --exec "LoadBot('bots/robot/robot.bot')"
[ -f "$out" ] || fail "the sound device wrote no file: $(cat "$E2E_TMP/stderr")"
sleep 1
idle_size=$(stat -c %s "$out")
xdotool keydown Up
sleep 2
xdotool keyup Up
sleep 0.5
xdotool key Escape
quarn_expect_exit 5 0

grep -q 'Wave .* not found' "$E2E_TMP/stderr" && fail "a frame failed: $(cat "$E2E_TMP/stderr")"
level=$(python3 "$here/wave_level.py" "$out" "$idle_size")
echo "$level"
read -r frames peak before after <<<"$(echo $level | sed 's/[a-z]*=//g')"
# About four seconds at 22050 frames per second were written (the writer keeps real time).
[ "$frames" -gt 22050 ] || fail "only $frames frames written"
python3 -c "import sys; sys.exit(0 if $before < 0.001 else 1)" || fail "sound while idle: $before"
python3 -c "import sys; sys.exit(0 if $after > 0.05 else 1)" || fail "no sound while running: $after"
echo ok
