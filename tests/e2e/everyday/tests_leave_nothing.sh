# Tests that write scratch files beside the program's files remove them again, parameterised
# ones included; nothing is left in the bin directory or beside the test programs.
source "$E2E_LIB"
beside="$QUARN_BUILD/tests/beside-program"
list() { find "$QUARN_BIN" "$beside" -mindepth 1 -maxdepth 1 | sort; }
list >"$E2E_TMP/before"
LC_ALL=C QUARN_NO_DIALOGS=1 ALSOFT_DRIVERS=null "$beside/bots_sound_gl" --gtest_filter='*SetSoundFrames*' \
  >"$E2E_TMP/out" 2>&1 || fail "bots_sound_gl: $(tail -n 20 "$E2E_TMP/out")"
list >"$E2E_TMP/after"
diff "$E2E_TMP/before" "$E2E_TMP/after" >"$E2E_TMP/diff" || fail "left behind: $(cat "$E2E_TMP/diff")"
echo ok
