# RenderSprites in the window stops for SIGTERM and for Escape, as the program does everywhere:
# the program ends with its status while the render is part-way, and every file it leaves is a
# whole PNG. Judged by the files, never by how long it took.
source "$E2E_LIB"
robot="$QUARN_BIN/bots/robot/robot.md2"
render="RenderSprites('--out $E2E_TMP/sprites --size 256x256 --fps 60')"
# The robot's recorded groups at 60 frames a second from 8 directions: thousands of frames.
total_at_least=2000

frames() { find "$E2E_TMP/sprites" -name '*.png' 2>/dev/null | wc -l; }
some_written() { [ "$(frames)" -ge 20 ]; }
whole_files() {
  local file
  for file in "$E2E_TMP"/sprites/*.png; do
    identify "$file" >/dev/null 2>&1 || fail "$1: $file is not a whole PNG"
  done
  [ -z "$(find "$E2E_TMP/sprites" -name '.*')" ] || fail "$1: a temporary file was left"
}

for how in TERM Escape; do
  rm -rf "$E2E_TMP/sprites"
  quarn_start --windowed --no-dialogs --view "$robot" --exec "$render"
  wait_until 120 some_written || fail "$how: no frames written"
  if [ "$how" = TERM ]; then
    kill -TERM "$QUARN_PID"
    quarn_expect_exit 60 143
  else
    xdotool key Escape
    quarn_expect_exit 60 0
  fi
  written=$(frames)
  [ "$written" -lt "$total_at_least" ] || fail "$how: the whole render ran ($written frames)"
  whole_files "$how"
  echo "$how: stopped after $written frames"
done
echo ok
