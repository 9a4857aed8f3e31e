# Without a display the program says so and exits with status 1 at once, instead of running
# unseen; a video driver chosen explicitly is still tried.
source "$E2E_LIB"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$QUARN_BIN/quarn" --windowed \
  --no-dialogs >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 1 ] || fail "exit status $status, expected 1: $(cat "$E2E_TMP/err")"
grep -q '^quarn: cannot open a window: .' "$E2E_TMP/err" || fail "stderr: $(cat "$E2E_TMP/err")"
echo ok
