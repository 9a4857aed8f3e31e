# Helpers for end-to-end tests: start the real program on the virtual display, find its
# window, type into it, take screenshots, wait for it to end.
set -euo pipefail

E2E_TMP=$(mktemp -d /tmp/quarn-e2e.XXXXXX)
QUARN_PID=""
QUARN_WINDOW=""
trap 'e2e_cleanup' EXIT
# The tester's own start-up file never runs in a test: the user's configuration folder is a
# fresh one.
export XDG_CONFIG_HOME="$E2E_TMP/config"

e2e_cleanup() {
  if [ -n "$QUARN_PID" ] && kill -0 "$QUARN_PID" 2>/dev/null; then kill -9 "$QUARN_PID" 2>/dev/null || true; fi
  rm -rf "$E2E_TMP"
}

fail() { echo "FAIL: $*" >&2; exit 1; }

# quarn_start ARGS...: starts quarn in the background and waits until its window is mapped.
quarn_start() {
  "$QUARN_BIN/quarn" "$@" >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr" &
  QUARN_PID=$!
  for _ in $(seq 1 100); do
    # The title is UTF-8, which xdotool's name search does not read: find the class, then check
    # the title with xwininfo.
    QUARN_WINDOW=$(xdotool search --onlyvisible --classname '^quarn$' 2>/dev/null | head -n 1 || true)
    [ -n "$QUARN_WINDOW" ] && break
    kill -0 "$QUARN_PID" 2>/dev/null || fail "quarn exited early: $(cat "$E2E_TMP/stderr")"
    sleep 0.1
  done
  [ -n "$QUARN_WINDOW" ] || fail "no quarn window"
  xwininfo -id "$QUARN_WINDOW" | grep -q '"Quarn MD2 demo"' || fail "window not named 'Quarn MD2 demo'"
  # Keyboard input goes to the focused window: there is no window manager on the display.
  xdotool mousemove --window "$QUARN_WINDOW" 320 240 windowfocus --sync "$QUARN_WINDOW" 2>/dev/null || true
  sleep 0.5
}

# quarn_wait_exit SECONDS: waits for quarn to end and sets QUARN_STATUS to its exit status.
# Call it directly, not inside $(...): a subshell cannot wait for the program.
quarn_wait_exit() {
  [ "$BASHPID" = "$$" ] || fail "quarn_wait_exit must not run in a subshell"
  local limit=$(( $1 * 10 ))
  for _ in $(seq 1 "$limit"); do
    kill -0 "$QUARN_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$QUARN_PID" 2>/dev/null && fail "quarn still running after $1 s"
  QUARN_STATUS=0
  wait "$QUARN_PID" || QUARN_STATUS=$?
  QUARN_PID=""
}

# quarn_expect_exit SECONDS STATUS: quarn ends within SECONDS with exit status STATUS.
quarn_expect_exit() {
  quarn_wait_exit "$1"
  [ "$QUARN_STATUS" = "$2" ] || fail "exit status $QUARN_STATUS, expected $2 ($(cat "$E2E_TMP/stderr"))"
}

# client_geometry: "W H X Y" of the window's client area on the screen.
client_geometry() {
  local info; info=$(xwininfo -id "$QUARN_WINDOW")
  echo "$(awk '/Width:/{print $2}' <<<"$info") $(awk '/Height:/{print $2}' <<<"$info")" \
       "$(awk '/Absolute upper-left X:/{print $4}' <<<"$info") $(awk '/Absolute upper-left Y:/{print $4}' <<<"$info")"
}

# screenshot FILE: the window's client area as a PNG.
screenshot() {
  local w h x y
  read -r w h x y < <(client_geometry)
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$1"
}

# max_channel FILE: the largest of the red, green and blue values in the image (0..1).
max_channel() { convert "$1" -format '%[fx:max(maxima.r,max(maxima.g,maxima.b))]' info:; }

# type_line TEXT: types TEXT into the window and presses Enter.
type_line() {
  xdotool type --delay 15 "$1"
  xdotool key Return
  sleep 0.3
}

# wait_until SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; returns 1 when it
# has not after SECONDS. The limit only bounds a hung run: what is checked is the program's
# state, never how much happened in some time, so a loaded machine passes as an idle one.
wait_until() {
  local limit=$(( $1 * 10 ))
  shift
  for _ in $(seq 1 "$limit"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# condump FILE: enters ConDump('FILE') and waits for the file. The dump is written under
# another name and renamed, so once the file is there it is whole.
condump() {
  rm -f "$1"
  type_line "ConDump('$1')"
  wait_until 30 test -f "$1" || fail "ConDump wrote no file"
}

# bot_state DUMP: the bot's state now, as BotState reports it ("State 1 Run, frame 42, keys 1",
# "No bot loaded"). Needs the console open; start the program with --exec "Unbind('ENTER')" so
# the Enter that enters the line does not also make the bot shoot.
bot_state() {
  type_line "BotState"
  condump "$1"
  grep -a '^State \|^No bot loaded' "$1" | tail -n 1 | tr -d '\r'
}

# bot_state_matches DUMP REGEX: whether the bot's state now matches the extended REGEX.
bot_state_matches() { bot_state "$1" | grep -Eq "$2"; }

# wait_bot_state DUMP REGEX: waits until the bot's state matches REGEX.
wait_bot_state() {
  wait_until 30 bot_state_matches "$1" "$2" ||
    fail "the bot never reached /$2/: last $(bot_state "$1")"
}
