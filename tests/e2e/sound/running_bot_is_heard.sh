# The demo bot is heard: the sound device writes its mixed output to a wave file; until the bot
# is seen idling the file is silent, holding Up makes it run (BotState says so) and its
# footsteps reach the file; Escape still ends the program cleanly with the sound device open.
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

dump="/tmp/qs$$.txt"  # short: typed lines are limited to 38 characters
trap 'rm -f "$dump"; e2e_cleanup' EXIT
# Enter only enters lines here: the BotState lines typed below must not make the robot shoot.
quarn_start --windowed --no-dialogs --exec "Unbind('ENTER')" --exec "LoadBot('bots/robot/robot.bot')"
[ -f "$out" ] || fail "the sound device wrote no file: $(cat "$E2E_TMP/stderr")"
wait_bot_state "$dump" '^State 0 Idle, '
idle_size=$(stat -c %s "$out")
level() { python3 "$here/wave_level.py" "$out" "$idle_size"; }
# after=P: the loudest sample written since the bot was seen idling.
heard() { level | grep -Eq 'after=0\.(0[5-9]|[1-9])|after=[1-9]'; }
xdotool keydown Up
wait_bot_state "$dump" '^State 1 Run, '
wait_until 30 heard || fail "no sound while running: $(level)"
xdotool keyup Up
xdotool key Escape
quarn_expect_exit 5 0

grep -q 'Wave .* not found' "$E2E_TMP/stderr" && fail "a frame failed: $(cat "$E2E_TMP/stderr")"
level=$(level)
echo "$level"
read -r frames peak before after <<<"$(echo $level | sed 's/[a-z]*=//g')"
python3 -c "import sys; sys.exit(0 if $before < 0.001 else 1)" || fail "sound while idle: $before"
python3 -c "import sys; sys.exit(0 if $after > 0.05 else 1)" || fail "no sound while running: $after"
echo ok
