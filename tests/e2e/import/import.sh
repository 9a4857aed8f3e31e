# quarn --import without a display: an exported model comes back byte for byte (the demo robot,
# its weapon and a generated model, from .glb and .gltf); animations sampled at a rate make a
# model the program reads; a skinned and a morphed mesh made here match their poses evaluated
# here; bad options and files end with their exit status, one line and no
# file written.
source "$E2E_LIB"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$E2E_TMP"
quarn() { env -u DISPLAY -u WAYLAND_DISPLAY "$QUARN_BIN/quarn" "$@"; }
robot=$QUARN_BIN/bots/robot
python3 "$here/../export/make_skinned.py" skinned.md2

# One round trip a row: the model, the glTF kind.
for row in "$robot/robot.md2|glb" "$robot/weapon.md2|gltf" "skinned.md2|glb" "skinned.md2|gltf"; do
  IFS='|' read -r model kind <<<"$row"
  name=$(basename "$model" .md2)_$kind
  quarn --export "$model" -o "$name.$kind" >/dev/null || fail "cannot export $model"
  quarn --import "$name.$kind" -o "$name.md2" >"$name.out" || fail "cannot import $name.$kind"
  cmp "$model" "$name.md2" || fail "$model did not come back byte for byte from .$kind"
  grep -q "largest position error" "$name.out" || fail "no precision line: $(cat "$name.out")"
  echo "$model: $(cat "$name.out")"
done

# Exported at another scale: the recorded grids no longer fit, so each frame gets its own and
# the error stays within half a step of it.
quarn --export "$robot/robot.md2" -o scaled.glb --scale 0.0254 >/dev/null || fail "cannot export scaled"
quarn --import scaled.glb -o scaled.md2 >scaled.out || fail "cannot import the scaled robot"
fraction=$(sed -n 's/.*(\([^ ]*\) of the model.s size).*/\1/p' scaled.out)
python3 -c "import sys; sys.exit(0 if 0 <= float('$fraction') < 1 / 255 else 1)" ||
  fail "the scaled robot: $(cat scaled.out)"
# --scale multiplies every length: back in inches, the robot's frames span what they did.
quarn --import scaled.glb -o inches.md2 --scale 39.37007874 >/dev/null || fail "cannot import with --scale"
python3 - "$robot/robot.md2" inches.md2 <<'PY' || fail "--scale did not give the robot its size back"
import struct
import sys
def extent(name):
    data = open(name, "rb").read()
    header = struct.unpack("<4s16i", data[:68])
    return [s * 255 for s in struct.unpack("<3f", data[header[14]:header[14] + 12])]
a, b = extent(sys.argv[1]), extent(sys.argv[2])
assert all(abs(x - y) <= 1e-3 * max(a) for x, y in zip(a, b)), (a, b)
PY

# Sampled: the robot's animations at 15 frames a second (the first two chosen by number and
# one by name), a file the program reads back with the frames asked for.
quarn --import robot_glb.glb -o sampled.md2 --fps 15 --anim 0-1 --anim run >sampled.out 2>sampled.err ||
  fail "cannot sample the robot: $(cat sampled.err)"
grep -Eq "^sampled.md2: [0-9]+ bytes, [0-9]+ frames" sampled.out || fail "$(cat sampled.out)"
quarn --export sampled.md2 -o sampled.glb >/dev/null || fail "the sampled model cannot be read"

# Skinned: a bar bent by two joints, imported at two rates and compared pose by pose with the
# skinning evaluated in the test (make_gltf.py), within the error the import reports.
# Morphed: the same bar with morph weights on a CUBICSPLINE sampler and its node moved and
# turned by LINEAR ones, the same way. One row: kind, animation, frames a second.
for row in "skinned bend 10" "skinned bend 25" "morph wave 10" "morph wave 30"; do
  read -r kind animation fps <<<"$row"
  name=$kind$fps
  python3 "$here/make_gltf.py" "$kind" "$fps" "$name.json" "$name.gltf"
  quarn --import "$name.gltf" -o "$name.md2" --fps "$fps" >"$name.out" || fail "cannot import the $kind bar"
  error=$(sed -n 's/.*largest position error \([^ ]*\) model units.*/\1/p' "$name.out")
  python3 "$here/check_md2.py" "$name.md2" "$name.json" "$error" "$animation" || fail "the $kind bar at $fps"
  cat "$name.out"
done

# The skin: the base colour texture written as PNG, its name the model's first skin.
quarn --export "$robot/robot.md2" --skin "$robot/robot.pcx" -o skinned_robot.glb >/dev/null
quarn --import skinned_robot.glb -o skinned_robot.md2 --skin-out robot_skin.png >/dev/null ||
  fail "cannot import the robot with its skin"
[ "$(identify -format '%m %wx%h' robot_skin.png)" = "PNG 512x512" ] || fail "the skin is not a 512x512 PNG"
python3 - <<'PY' || fail "the model does not name its skin"
import struct
data = open("skinned_robot.md2", "rb").read()
header = struct.unpack("<4s16i", data[:68])
assert data[header[11]:header[11] + 64].rstrip(b"\0") == b"robot_skin.png", data[header[11]:header[11] + 64]
PY

# Exit statuses: 2 for an option, 1 for a file; one line each, and nothing written.
check_status() {
  local want=$1; shift
  set +e; quarn "$@" >/dev/null 2>err.txt; local status=$?; set -e
  [ "$status" = "$want" ] || fail "$* ended with $status, not $want: $(cat err.txt)"
  [ "$(grep -c '^quarn: ' err.txt)" = 1 ] || fail "$*: not one error line: $(cat err.txt)"
  [ ! -e bad.md2 ] || fail "$*: bad.md2 was written"
}
head -c 200 robot_glb.glb >truncated.glb
python3 "$here/make_gltf.py" empty empty.gltf
python3 "$here/make_gltf.py" grid 1000 many.gltf
python3 "$here/make_gltf.py" notimage notimage.gltf
check_status 2 --import robot_glb.glb
check_status 2 --import robot_glb.glb -o bad.md2 --fps 0
check_status 2 --import robot_glb.glb -o bad.md2 --scale 0
check_status 2 --import robot.obj -o bad.md2
check_status 2 --import robot_glb.glb -o bad.md2 --frobnicate
check_status 1 --import missing.glb -o bad.md2
check_status 1 --import truncated.glb -o bad.md2
check_status 1 --import empty.gltf -o bad.md2
check_status 1 --import many.gltf -o bad.md2
grep -q "3000 vertices, at most 2048" err.txt || fail "the limit is not named: $(cat err.txt)"
check_status 1 --import notimage.gltf -o bad.md2
check_status 1 --import skinned_glb.glb -o bad.md2 --skin-out bad.png
[ ! -e bad.png ] || fail "bad.png was written"
check_status 2 --import robot_glb.glb -o bad.md2 --skin-out bad.tga
check_status 1 --import robot_glb.glb -o bad.md2 --anim nosuchanimation
check_status 1 --import robot_glb.glb -o bad.md2 --node nosuchnode
check_status 1 --import robot_glb.glb -o no/such/folder/bad.md2
echo "PASS"
