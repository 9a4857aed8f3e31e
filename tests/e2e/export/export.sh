# quarn --export without a display, judged by outside readers: the Khronos glTF-Validator
# (no errors, no warnings), three.js's GLTFLoader (the clips are the recorded groups; the
# morph-blended positions equal the program's own blended frames) and assimp (reads the model
# with its animations); the console's Export writes the loaded bot the same way; bad options and
# unreadable files end with their exit status and one line.
source "$E2E_LIB"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if ! command -v node >/dev/null; then
  echo "SKIPPED: node is not installed; the glTF readers run under node"
  exit 77
fi
[ -d "$QUARN_JUDGES/gltf-validator" ] && [ -d "$QUARN_JUDGES/three" ] ||
  fail "gltf-validator and three are missing from $QUARN_JUDGES: run scripts/setup.sh --tests"
command -v assimp >/dev/null || fail "assimp is missing: run scripts/setup.sh --tests"
cd "$E2E_TMP"
# The node scripts find their packages from their own folder.
cp "$here"/*.mjs .
ln -s "$QUARN_JUDGES" node_modules

export_model() { env -u DISPLAY -u WAYLAND_DISPLAY "$QUARN_BIN/quarn" --export "$@"; }
reference() { "$QUARN_BUILD/tests/export_reference" "$@"; }
robot=$QUARN_BIN/bots/robot

mkdir -p m
python3 "$here/make_skinned.py" m/skinned.md2
convert -size 32x32 gradient:red-yellow -type palette m/red.pcx
convert -size 32x32 gradient:blue-cyan m/blue.tga
convert -size 32x32 gradient:green-white m/green.jpg
reference m/skinned.md2 >skinned.json || fail "no reference poses of the generated model"
reference "$robot/robot.md2" >robot.json || fail "no reference poses of the robot"

# One case a row: name, model, tolerance of three.js's positions (of the model's size), options.
cases=(
  "robot|$robot/robot.md2|1e-4|--weapon $robot/weapon.md2"
  "robot_q16|$robot/robot.md2|1e-2|--weapon $robot/weapon.md2 --quantize 16"
  "robot_q8|$robot/robot.md2|3e-2|--weapon $robot/weapon.md2 --quantize 8 --unlit --filter nearest"
  "skinned|m/skinned.md2|1e-4|"
  "skinned_q16|m/skinned.md2|1e-2|--quantize 16"
  "skinned_q8|m/skinned.md2|3e-2|--quantize 8"
)
for row in "${cases[@]}"; do
  IFS='|' read -r name model tolerance options <<<"$row"
  # shellcheck disable=SC2086
  export_model "$model" $options -o "$name.glb" >"$name.out" 2>"$name.err" ||
    fail "$name: export failed: $(cat "$name.err")"
  grep -q "^$name.glb: [0-9]* bytes (MD2 [0-9]* bytes; morph targets" "$name.out" ||
    fail "$name: no size line: $(cat "$name.out")"
  node validate.mjs "$name.glb" >"$name.valid" 2>&1 || fail "$name: validator: $(cat "$name.valid")"
  base=${name%%_*}
  node check_three.mjs "$name.glb" "$base.json" 10 1 "$tolerance" >"$name.three" 2>&1 ||
    fail "$name: three.js: $(cat "$name.three")"
  assimp info "$name.glb" >"$name.assimp" 2>&1 || fail "$name: assimp: $(tail -5 "$name.assimp")"
  grep -Eq "^Animation Channels: *[1-9]" "$name.assimp" || grep -Eq "^Animations: *[1-9]" "$name.assimp" ||
    fail "$name: assimp reads no animation: $(cat "$name.assimp")"
  echo "$name: $(cat "$name.valid"); $(cat "$name.three")"
done

# The robot's groups are every name Animations lists, in order.
node -e '
const r = require("./robot.json");
const names = r.animations.map((a) => a.name).join(" ");
if (r.animations.length < 10 || !names.startsWith("stand")) { console.error(names); process.exit(1); }
' || fail "the robot's groups"
# Several skins: the first on the material, all three as variants; the groups of awkward names.
node -e '
const fs = require("fs");
const b = fs.readFileSync("skinned.glb");
const json = JSON.parse(b.subarray(20, 20 + b.readUInt32LE(12)).toString());
const variants = json.extensions.KHR_materials_variants.variants.map((v) => v.name).join(" ");
if (variants !== "red.pcx blue.tga green.jpg") throw new Error("variants " + variants);
if (json.images.length !== 3 || json.images.some((i) => i.mimeType !== "image/png")) throw new Error("images");
const clips = json.animations.map((a) => a.name).join(" ");
if (clips !== "stand pain pain_2 attack stand_2 frames") throw new Error("clips " + clips);
' || fail "skins or groups of the generated model"

# With another keyframe rate the same poses come at other times.
export_model m/skinned.md2 --fps 25 --scale 0.0254 -o fps.glb >/dev/null || fail "--fps export"
node check_three.mjs fps.glb skinned.json 25 0.0254 1e-4 >fps.three 2>&1 || fail "--fps 25: $(cat fps.three)"

# .gltf: the JSON with its buffer and images beside it, valid as a whole.
export_model m/skinned.md2 -o "text out.gltf" >/dev/null || fail ".gltf export"
[ "$(ls "text out"* | sort | tr '\n' ' ')" = "text out.bin text out.gltf text out_skinned_skin1.png text out_skinned_skin2.png text out_skinned_skin3.png " ] ||
  fail ".gltf files: $(ls)"
node validate.mjs "text out.gltf" >text.valid 2>&1 || fail ".gltf validator: $(cat text.valid)"
[ "$(identify -format '%m %wx%h' "text out_skinned_skin1.png")" = "PNG 32x32" ] || fail "skin PNG"

# The console's Export writes the loaded bot as --export writes a model.
quarn_start --windowed --no-dialogs --no-autoexec --exec "LoadBot('bots/robot/robot.bot')" \
  --exec "Export('$E2E_TMP/bot.glb')" --exec "Export('bot.obj')"
wait_until 60 test -s bot.glb || fail "Export wrote no file"
condump dump.txt
# Console lines wrap at the console's width: the dump is read as one text.
tr -d '\r\n' <dump.txt | grep -q "Export: $E2E_TMP/bot.glb: [0-9]* bytes (MD2 276896 bytes" ||
  fail "no Export line: $(tail -12 dump.txt)"
tr -d '\r\n' <dump.txt | grep -q "Export: the file name must end in .glb or .gltf: 'bot.obj'" ||
  fail "no Export error line: $(tail -5 dump.txt)"
xdotool key Escape
quarn_expect_exit 3 0
node validate.mjs bot.glb >bot.valid 2>&1 || fail "Export: validator: $(cat bot.valid)"
node check_three.mjs bot.glb robot.json 10 1 1e-4 >bot.three 2>&1 || fail "Export: three.js: $(cat bot.three)"

# A skin found that cannot be read is left out with a line; the others are kept.
mkdir -p c && cp m/skinned.md2 m/blue.tga c/ && echo garbage >c/red.pcx
export_model c/skinned.md2 -o c.glb >/dev/null 2>c.err || fail "export with a broken skin: $(cat c.err)"
[ "$(cat c.err)" = "quarn: skin c/red.pcx left out: PCX header is cut short" ] || fail "skin line: $(cat c.err)"
node validate.mjs c.glb | grep -q " materials 1 " || fail "the readable skin was not kept"

# Exit statuses: 2 for an option, 1 for a file; one line each, and nothing written.
check_status() {
  local want=$1; shift
  set +e; export_model "$@" >/dev/null 2>err.txt; local status=$?; set -e
  [ "$status" = "$want" ] || fail "$* ended with $status, not $want: $(cat err.txt)"
  [ "$(grep -c '^quarn: ' err.txt)" = 1 ] || fail "$*: not one error line: $(cat err.txt)"
  [ ! -e bad.glb ] || fail "$*: bad.glb was written"
}
printf 'IDP2' >short.md2
python3 - <<'PY'
import struct
# A well-formed model without frames.
open("empty.md2", "wb").write(struct.pack("<4s16i", b"IDP2", 8, 8, 8, 40, 0, 0, 0, 0, 0, 0,
                                          68, 68, 68, 68, 68, 68))
PY
python3 - <<'PY'
import struct
# The generated model with a scale that is not a number in its third frame.
data = bytearray(open("m/skinned.md2", "rb").read())
ofs_frames, frame_size = struct.unpack_from("<i", data, 56)[0], struct.unpack_from("<i", data, 16)[0]
struct.pack_into("<f", data, ofs_frames + 2 * frame_size + 4, float("nan"))
open("nan.md2", "wb").write(data)
PY
check_status 1 nan.md2 -o bad.glb
check_status 2 m/skinned.md2 -o bad.glb --quantize 12
check_status 2 m/skinned.md2 -o bad.glb --fps 0
check_status 2 m/skinned.md2 -o bad.glb --scale -1
check_status 2 m/skinned.md2 -o bad.glb --filter cubic
check_status 2 m/skinned.md2 -o bad.obj
check_status 2 m/skinned.md2
check_status 2 m/skinned.md2 -o bad.glb --frobnicate
check_status 1 missing.md2 -o bad.glb
check_status 1 short.md2 -o bad.glb
check_status 1 empty.md2 -o bad.glb
check_status 1 m/skinned.md2 --skin missing.png -o bad.glb
check_status 1 m/skinned.md2 --weapon missing.md2 -o bad.glb
check_status 1 m/skinned.md2 -o no/such/folder/bad.glb
# A failed write leaves the file there as it was.
echo keep >kept.glb && chmod 0444 kept.glb
if [ "$(id -u)" != 0 ]; then check_status 1 m/skinned.md2 -o kept.glb; fi
[ "$(cat kept.glb)" = keep ] || fail "kept.glb changed"
echo ok
