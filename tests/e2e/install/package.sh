# The .deb as a user gets it: made by cpack, unpacked into a scratch root, the program started
# through its bin/ link finds its font and demo bot next to itself; qscript runs a script.
source "$E2E_LIB"
cpack --config "$QUARN_BUILD/CPackConfig.cmake" -B "$E2E_TMP/pkg" >"$E2E_TMP/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -n 5 "$E2E_TMP/cpack.log")"
deb=$(ls "$E2E_TMP"/pkg/quarn_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no .deb"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q libsdl2 <<<"$depends" || fail "package does not depend on SDL: '$depends'"

root="$E2E_TMP/root"
dpkg-deb -x "$deb" "$root"
[ -L "$root/usr/bin/quarn" ] || fail "no link usr/bin/quarn"
for f in quarn qscript qscript-bot Font.tga console.txt bots/robot/robot.bot bots/robot/robot.md2 \
         bots/robot/robot.snd; do
  [ -e "$root/usr/lib/quarn/$f" ] || fail "usr/lib/quarn/$f not installed"
done

dump="$E2E_TMP/dump.txt"
status=0
(cd "$E2E_TMP" && timeout 120 "$root/usr/bin/quarn" --windowed --no-dialogs \
   --exec "LoadBot('bots/robot/robot.bot')" --exec "ConDump('$dump')" --exec "Quit") \
  >"$E2E_TMP/out" 2>"$E2E_TMP/err" || status=$?
[ "$status" = 0 ] || fail "installed quarn: exit status $status: $(cat "$E2E_TMP/err")"
grep -q "Bot file robot.bot compiled" "$dump" || fail "installed quarn did not load its demo bot"

printf "Print('installed');\n" >"$E2E_TMP/hello.qs"
out=$("$root/usr/bin/qscript" "$E2E_TMP/hello.qs" 2>&1) || fail "installed qscript failed: $out"
[ "$out" = installed ] || fail "installed qscript printed '$out'"
echo ok
