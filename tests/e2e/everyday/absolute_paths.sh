# An absolute file name is used as it stands, in LoadBot and in every file a bot file names;
# relative names keep the program's directory as their base.
source "$E2E_LIB"
robot="$QUARN_BIN/bots/robot"
bot="$E2E_TMP/mine.bot"
cat >"$bot" <<BOT
LoadMD2('$robot/robot.md2');
LoadMD2Skin('$robot/robot.tga');
LoadWeapon('bots/robot/weapon.md2');
LoadWeaponSkin('$robot/weapon.jpg');
AddState(0, 'Idle', KEY_NONE, IDLE1, true);
PrecacheSet('$robot/robot.snd');
BOT

"$QUARN_BIN/qscript" --bot "$bot" >"$E2E_TMP/qscript.out" 2>&1 || fail "qscript --bot: $(cat "$E2E_TMP/qscript.out")"
grep -q "^Sound collection $robot/robot.snd precached\$" "$E2E_TMP/qscript.out" || fail "set not found: $(cat "$E2E_TMP/qscript.out")"

dump="$E2E_TMP/dump.txt"
timeout 120 "$QUARN_BIN/quarn" --windowed --no-dialogs --exec "LoadBot('$bot')" --exec "ConDump('$dump')" \
  --exec Quit >"$E2E_TMP/out" 2>"$E2E_TMP/err" || fail "quarn: $(cat "$E2E_TMP/err")"
grep -q $'^Bot file mine.bot compiled\r$' "$dump" || fail "LoadBot of an absolute name: $(cat "$dump")"
echo ok
