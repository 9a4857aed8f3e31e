# The sheets' indexes as the engines read them: the packers' JSON hash, the animation editor's
# JSON and the SpriteFrames resource, each parsed back here; the GIF and WebP delays of a loop
# add up to the animation's length at any frame rate.
source "$E2E_LIB"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$E2E_TMP"
python3 "$here/make_two_groups.py" two.md2 two.tga
convert -size 64x64 gradient:red-blue two.tga

render() { env -u DISPLAY -u WAYLAND_DISPLAY "$QUARN_BIN/quarn" --render two.md2 "$@" 2>>render.err ||
  fail "render $* failed: $(cat render.err)"; }

render --anim run --directions 16 --direction-list 3,12 --format texturepacker-hash --out hash
render --anim run --directions 2 --trim --format aseprite --out editor
render --directions 2 --atlas --trim --padding 2 --format godot --out engine

python3 - <<'PY' || fail "the indexes do not read back"
import json, re

# The packers' hash: frames by file name, the directions asked for, numbers zero-padded.
index = json.load(open("hash/run.json"))
names = sorted(index["frames"])
assert names == ["run_dir%02d_%03d.png" % (d, f) for d in (3, 12) for f in range(6)], names
frame = index["frames"]["run_dir12_005.png"]
assert frame["frame"]["w"] == 128 and frame["sourceSize"] == {"w": 128, "h": 128}, frame
assert 0 < frame["pivot"]["x"] < 1 and 0 < frame["pivot"]["y"] < 1, frame
assert index["animations"]["run_dir03"] == ["run_dir03_%03d.png" % f for f in range(6)]

# The animation editor's JSON: frames in order, a tag for each direction, pivots as a slice.
index = json.load(open("editor/run.json"))
frames, meta = index["frames"], index["meta"]
assert len(frames) == 12 and all(f["trimmed"] for f in frames), frames[0]
assert [(t["name"], t["from"], t["to"]) for t in meta["frameTags"]] == \
    [("run_dir0", 0, 5), ("run_dir1", 6, 11)], meta["frameTags"]
assert sum(f["duration"] for f in frames[:6]) == 600
keys = meta["slices"][0]["keys"]
assert [k["frame"] for k in keys] == [0, 6] and all("pivot" in k for k in keys), keys

# The resource: every AtlasTexture a region inside the atlas, one looping animation for each
# animation and direction at 10 frames a second.
text = open("engine/atlas.tres").read()
assert text.startswith('[gd_resource type="SpriteFrames" load_steps=94 format=3]'), text[:80]
assert '[ext_resource type="Texture2D" path="atlas.png" id="1_atlas"]' in text
regions = re.findall(r"region = Rect2\((\d+), (\d+), (\d+), (\d+)\)", text)
assert len(regions) == 92, len(regions)
size = open("engine/atlas.png", "rb").read()[16:24]
width, height = int.from_bytes(size[:4], "big"), int.from_bytes(size[4:], "big")
assert all(int(x) + int(w) <= width and int(y) + int(h) <= height for x, y, w, h in regions)
animations = re.findall(r'"loop": true,\n"name": &"(\w+)",\n"speed": ([\d.]+)', text)
assert animations == [(n, "10.0") for n in ("stand_dir0", "stand_dir1", "run_dir0", "run_dir1")], animations
assert text.count('"texture": SubResource("AtlasTexture_') == 92
PY

# GIF delays in hundredths and WebP durations in milliseconds over one loop of run (600 ms):
# within 10 ms, none under 20 ms, at rates that do not divide the loop evenly.
for fps in 7 30 60 240; do
  render --anim run --directions 1 --fps "$fps" --gif --webp --out "timed$fps"
  python3 - "timed$fps" "$fps" <<'PY' || fail "--fps $fps: the delays do not add up"
import struct, sys
folder, fps = sys.argv[1], int(sys.argv[2])
gif = open(folder + "/run_dir0.gif", "rb").read()
def blocks(at):  # skips data sub-blocks
    while gif[at]:
        at += gif[at] + 1
    return at + 1
delays, at = [], 13 + ((3 << ((gif[10] & 7) + 1)) if gif[10] & 0x80 else 0)
while gif[at] != 0x3B:
    if gif[at] == 0x21:
        if gif[at + 1] == 0xF9:
            delays.append(struct.unpack("<H", gif[at + 4:at + 6])[0] * 10)
        at = blocks(at + 2)
    else:
        flags = gif[at + 9]
        at = blocks(at + 10 + ((3 << ((flags & 7) + 1)) if flags & 0x80 else 0) + 1)
webp = open(folder + "/run_dir0.webp", "rb").read()
durations, at = [], 12
while at < len(webp):
    kind, size = webp[at:at + 4], struct.unpack("<I", webp[at + 4:at + 8])[0]
    if kind == b"ANMF":
        durations.append(int.from_bytes(webp[at + 20:at + 23], "little"))
    at += 8 + size + (size & 1)
for name, values in (("GIF", delays), ("WebP", durations)):
    assert values and abs(sum(values) - 600) <= 10, (name, sum(values), values)
    assert min(values) >= 20, (name, values)
PY
done
grep -q "^quarn: --gif: at 240 frames a second" render.err || fail "no note on the frames left out: $(cat render.err)"
echo ok
