# Without a sound device the program says so in one line, instead of the sound library's and
# the system sound layer's messages, and runs on.
source "$E2E_LIB"
cat >"$E2E_TMP/asound.conf" <<'CONF'
pcm.!default { type hw card 99 }
CONF
status=0
ALSOFT_DRIVERS=alsa ALSA_CONFIG_PATH="$E2E_TMP/asound.conf" timeout 120 "$QUARN_BIN/quarn" --windowed \
  --no-dialogs --exec Quit >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 0 ] || fail "exit status $status: $(cat "$E2E_TMP/err")"
[ "$(cat "$E2E_TMP/err")" = "quarn: no sound device, running silently" ] || fail "stderr: $(cat "$E2E_TMP/err")"
echo ok
