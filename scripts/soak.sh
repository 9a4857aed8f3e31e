#!/usr/bin/env bash
# Drives the program under a virtual display for MINUTES (default 10): LoadBot of the shipped
# bot and of bots generated here (other skins, script errors, many states), animation-file
# playback, console lines with errors, Tab, movement keys and mouse looks, over and over. It
# samples the resident memory every few seconds and fails when its floor grows by more than
# QUARN_SOAK_GROWTH_KB (default 6144) after the first minute, or when the program stops
# answering (a ConDump that does not appear) or ends. The console keeps every line it is given
# for the whole run, so the heap its new lines take (counted from the dumps) is allowed on top.
# Needs the build in build/ (or QUARN_BIN).
#
#   scripts/soak.sh [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
BIN=$(realpath "${QUARN_BIN:-build/bin}")
growth_limit=${QUARN_SOAK_GROWTH_KB:-6144}
export LC_ALL=C ALSOFT_DRIVERS=null QUARN_NO_DIALOGS=1
# Typed lines hold at most 38 characters: the program runs in a folder with a short name, where
# ConDump and LoadAnimationFile names are relative, and the generated bots are named absolutely.
tmp=$(mktemp -d /tmp/qs.XXXX)
pid="" sampler=""
cleanup() {
  [ -n "$sampler" ] && kill "$sampler" 2>/dev/null || true
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "soak: FAIL: $*" >&2; exit 1; }

# Generated bots: the robot with its other skins, one with a run-time error half-way, one with
# a syntax error, one that builds many states in loops. Bot files name files relative to the
# program's folder; the generated ones are loaded by their absolute names.
robot="$BIN/bots/robot/robot.bot"
sed 's/robot\.tga/robot.bmp/' "$robot" >"$tmp/bmp.bot"
sed 's/robot\.tga/robot.wal/' "$robot" >"$tmp/wal.bot"
{ head -n 12 "$robot"; echo "AddState(0, 'Idle', KEY_NONE, IDLE1, true); x := 1 div 0;"; } >"$tmp/fails.bot"
{ head -n 12 "$robot"; echo "AddState(0, 'Idle' KEY_NONE);"; } >"$tmp/syntax.bot"
{ head -n 12 "$robot"
  echo "for i := 0 to 200 do AddState(i, 'S' + IntToStr(i), i mod 7, i mod 20, true);"
  echo "for i := 0 to 200 do for j := 0 to 2 do AddNextState(i, (i + j) mod 201);"; } >"$tmp/many.bot"
bots=(bots/robot/robot.bot "$tmp/bmp.bot" "$tmp/wal.bot" "$tmp/fails.bot" "$tmp/syntax.bot" "$tmp/many.bot")
cp "$BIN/anims/demo.anim" "$tmp/demo.anim"
{ cat "$BIN/anims/demo.anim"; cat "$BIN/anims/demo.anim"; echo 0; } >"$tmp/twice.anim"
anims=(demo.anim twice.anim missing.anim)
errors=("x := ;" "Nothing(1)" "SetArray(a, INTEGER, 100000000)" "s:='ab';for i:=1 to 40 do s:=s+s"
        "LoadBot('none.bot')" "1 div 0" "Copyright(1)")

(cd "$tmp" && exec "$BIN/quarn" --windowed --no-dialogs --no-autoexec >stdout 2>stderr) &
pid=$!
window=""
for _ in $(seq 1 150); do
  window=$(xdotool search --onlyvisible --classname '^quarn$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || fail "quarn ended at start: $(cat "$tmp/stderr")"
  sleep 0.1
done
[ -n "$window" ] || fail "no quarn window"
xdotool mousemove --window "$window" 320 240 windowfocus --sync "$window" 2>/dev/null || true

rss_kb() { awk '/^VmRSS:/{print $2}' "/proc/$1/status" 2>/dev/null || echo 0; }
( while kill -0 "$pid" 2>/dev/null; do echo "$(date +%s) $(rss_kb "$pid")"; sleep 5; done ) >"$tmp/rss" &
sampler=$!

type_line() { xdotool type --delay 8 "$1"; xdotool key Return; sleep 0.2; }
alive() {  # the program answers: a dump asked for appears
  # A typed line can be refused while a slow one still runs, and a Tab lost under load leaves
  # the console closed, so each try asks again, the later ones after toggling the console.
  local dump="$tmp/alive.txt" try
  rm -f "$dump"
  for try in 1 2 3 4 5 6; do
    [ "$try" -gt 2 ] && xdotool key Tab && sleep 0.3
    type_line "ConDump('alive.txt')"
    for _ in $(seq 1 100); do [ -s "$dump" ] && return 0; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null || fail "quarn ended: $(tail -c 2000 "$tmp/stderr")"
  done
  fail "quarn stopped answering (no console dump within a minute)"
}

start=$(date +%s)
end=$(( start + minutes * 60 ))
cycles=0
while [ "$(date +%s)" -lt "$end" ]; do
  for bot in "${bots[@]}"; do type_line "LoadBot('$bot')"; done
  type_line "LoadBot('bots/robot/robot.bot')"
  for e in "${errors[@]}"; do type_line "$e"; done
  type_line "LoadAnimationFile('${anims[$(( cycles % ${#anims[@]} ))]}')"
  xdotool key Tab
  for key in Up Down space KP_Insert Return Up; do
    xdotool keydown "$key"; sleep 0.3; xdotool keyup "$key"
  done
  xdotool mousemove_relative -- 40 0 mousemove_relative -- -80 10 mousemove_relative -- 40 -10
  sleep 0.5
  xdotool key Tab
  alive
  # the console as it was when memory began to be judged
  if [ ! -f "$tmp/console-1min.txt" ] && [ $(( $(date +%s) - start )) -ge 60 ]; then
    cp "$tmp/alive.txt" "$tmp/console-1min.txt"
  fi
  cycles=$(( cycles + 1 ))
done
type_line "Quit"
for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "quarn did not quit"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" = 0 ] || fail "exit status $status: $(tail -c 2000 "$tmp/stderr")"

touch "$tmp/console-1min.txt"
python3 - "$tmp/rss" "$start" "$growth_limit" "$cycles" "$tmp/console-1min.txt" "$tmp/alive.txt" <<'PY'
import sys
rows = [tuple(map(int, l.split())) for l in open(sys.argv[1]) if len(l.split()) == 2]
start, limit, cycles = int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]

# The heap a console line takes: its string's slot in the list (room for the list doubling)
# and, past the string's inline 15 characters, a block of its own with the allocator's header.
def line_bytes(line):
    n = len(line)
    return 64 + (0 if n < 16 else (n + 1 + 8 + 15) // 16 * 16)
def console_bytes(name):
    with open(name, 'rb') as f:
        return sum(line_bytes(l.rstrip(b'\r\n')) for l in f)
console_kb = max(0, console_bytes(sys.argv[6]) - console_bytes(sys.argv[5])) // 1024
rows = [(t - start, kb) for t, kb in rows if kb > 0]
settled = [kb for t, kb in rows if t >= 60]
if not settled:
    print("soak: too short to judge memory (%d samples)" % len(rows)); sys.exit(1)
# A line may hold hundreds of MB for a moment (a large array): growth is judged on the floor of
# the last samples, which a leak raises and a passing peak does not.
base, top, last = min(settled[:3]), max(settled), settled[-1]
floor = min(settled[-3:])
print("soak: %s cycles, %d samples; RSS at 1 min %d KB, peak after %d KB, last %d KB, growth %+d KB"
      % (cycles, len(rows), base, top, last, floor - base))
print("soak: the console's new lines take about %d KB; allowed growth %d KB" % (console_kb, limit + console_kb))
sys.exit(1 if floor - base > limit + console_kb else 0)
PY
