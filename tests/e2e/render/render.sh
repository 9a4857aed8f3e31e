# quarn --render with no display: a generated model's two groups from 4 directions, as frames,
# sheets with their index and GIFs; a sprite of a pose equals the window's screenshot of it;
# bad options and unreadable files end with their exit status and one line.
source "$E2E_LIB"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$E2E_TMP"
python3 "$here/make_two_groups.py" two.md2 two.tga
convert -size 64x64 gradient:red-blue two.tga

render() { env -u DISPLAY -u WAYLAND_DISPLAY "$QUARN_BIN/quarn" --render "$@"; }
pixel() { convert "$1" -format "%[pixel:p{$2}]" info:; }

render two.md2 --directions 4 --sheet --gif --out out 2>render.err || fail "render failed: $(cat render.err)"
# No progress line on a non-terminal; the skin found is told as the viewer tells it.
[ "$(cat render.err)" = "Skin two.tga on two.md2" ] || fail "stderr: $(cat render.err)"

# Every recorded group, its keyframes, 4 directions; nothing else in the folder.
expected=$( (for d in 0 1 2 3; do
               for f in $(seq -f %03g 0 39); do echo "stand_dir${d}_$f.png"; done
               for f in $(seq -f %03g 0 5); do echo "run_dir${d}_$f.png"; done
               echo "stand_dir$d.gif"; echo "run_dir$d.gif"
             done; echo stand.png; echo stand.json; echo run.png; echo run.json) | sort)
[ "$(ls -A out | sort)" = "$expected" ] || fail "files: $(diff <(echo "$expected") <(ls -A out | sort) | head)"

[ "$(identify -format '%wx%h %[channels]' out/run_dir3_005.png)" = "128x128 srgba" ] ||
  fail "frame: $(identify out/run_dir3_005.png)"
[ "$(pixel out/run_dir3_005.png 0,0)" = "srgba(0,0,0,0)" ] || fail "corner not transparent"
centre=$(pixel out/stand_dir0_000.png 64,64)
[[ "$centre" == srgba*,1\) || "$centre" == srgb\(* ]] || fail "centre not opaque: $centre"
[ "$(identify -format '%wx%h' out/run.png)" = "768x512" ] || fail "run sheet $(identify out/run.png)"
# 40 frames of 128 pixels pass the default --max-width of 4096: each direction takes two rows.
[ "$(identify -format '%wx%h' out/stand.png)" = "4096x1024" ] || fail "stand sheet $(identify out/stand.png)"
# The sheet holds the frames: direction 2, frame 4 of run at (512, 256).
convert out/run.png -crop 128x128+512+256 +repage sheet_cell.png
[ "$(compare -metric AE sheet_cell.png out/run_dir2_004.png null: 2>&1)" = 0 ] || fail "sheet cell differs"

python3 - out/run.json <<'PY' || fail "run.json"
import json, sys
index = json.load(open(sys.argv[1]))
frames = index["frames"]
assert len(frames) == 24, len(frames)
cell = [f for f in frames if f["direction"] == 2 and f["index"] == 4][0]
assert cell["filename"] == "run_dir2_004.png", cell
assert cell["frame"] == {"x": 512, "y": 256, "w": 128, "h": 128}, cell
assert cell["duration"] == 100, cell
meta = index["meta"]
assert meta["image"] == "run.png" and meta["size"] == {"w": 768, "h": 512}, meta
assert meta["directions"] == 4 and meta["framesPerDirection"] == 6, meta
PY
[ "$(identify out/run_dir1.gif | wc -l)" = 6 ] || fail "run GIF frames: $(identify out/run_dir1.gif | wc -l)"
[ "$(identify out/stand_dir0.gif | wc -l)" = 40 ] || fail "stand GIF frames"

# No skin beside the model: drawn untextured, and stderr says so and what was tried.
mkdir bare && python3 "$here/make_two_groups.py" bare/two.md2 nothing.pcx
render bare/two.md2 --anim run --directions 1 --out bare/out 2>bare.err ||
  fail "render without a skin failed: $(cat bare.err)"
grep -qxF "No skin found for bare/two.md2; bare/two.md2 is drawn untextured. Tried:" bare.err ||
  fail "no line about the missing skin: $(cat bare.err)"
grep -qxF "  bare/two.tga" bare.err || fail "the names tried are not listed: $(cat bare.err)"

# In-between poses: six keyframes at 30 frames a second are eighteen frames.
render two.md2 --anim run --fps 30 --directions 1 --out fps 2>/dev/null || fail "--fps render failed"
[ "$(ls fps | wc -l)" = 18 ] || fail "--fps 30: $(ls fps | wc -l) frames"
[ "$(compare -metric AE fps/run_dir0_003.png out/run_dir0_001.png null: 2>&1)" = 0 ] ||
  fail "sample 3 at 30 frames a second is not keyframe 1"

# Exit statuses: 2 for an option, 1 for a file; one line each, and no files.
check_status() {
  local want=$1; shift
  set +e; render "$@" --out bad >/dev/null 2>err.txt; local status=$?; set -e
  [ "$status" = "$want" ] || fail "$* ended with $status, not $want: $(cat err.txt)"
  grep -q '^quarn: ' err.txt || fail "$*: no error line"
  [ ! -e bad ] || [ -z "$(ls -A bad)" ] || fail "$*: files were written"
}
check_status 2 two.md2 --directions 0
check_status 2 two.md2 --size 128
check_status 2 two.md2 --background '#12345'
check_status 2 two.md2 --anim walk
check_status 2 two.md2 --anim 40-99
check_status 2 two.md2 --frobnicate
check_status 1 missing.md2
check_status 1 two.tga
check_status 1 two.md2 --skin missing.pcx

# The same pose in the window: the viewer frames the idle frames (stand, all one box) as a
# perspective view 15 degrees from above; its screenshot below the open console (the lowest
# 220 rows) equals the sprite.
render two.md2 --anim stand --directions 1 --perspective --elevation 15 --size 640x480 \
  --fit animation --samples 1 --background '#000000' --out same 2>/dev/null || fail "perspective render failed"
# RenderSprites renders the window's bot with the same options, in the window's context,
# before the screenshot's frame: that frame is still the window's own picture.
quarn_start --windowed --no-dialogs --no-autoexec --exec 'DrawFPS(false)' \
  --exec "Screenshot('$E2E_TMP/window.png')" \
  --exec "RenderSprites('--anim run --directions 2 --size 64x48 --out \"my dir\"')" \
  --exec "RenderSprites('--anim walk')" two.md2
wait_until 30 test -s window.png || fail "no screenshot"
condump dump.txt
# Console lines wrap at the console's width: the dump is read as one text.
tr -d '\r\n' <dump.txt | grep -q 'RenderSprites: 12 frames written to my dir' ||
  fail "no RenderSprites line: $(tail -12 dump.txt)"
tr -d '\r\n' <dump.txt | grep -q 'RenderSprites: --anim walk: the model has no animation of that name' ||
  fail "no RenderSprites error line: $(tail -5 dump.txt)"
[ "$(ls "my dir" | wc -l)" = 12 ] || fail "RenderSprites wrote $(ls "my dir" | wc -l) files"
[ "$(identify -format '%wx%h' "my dir/run_dir1_005.png")" = 64x48 ] || fail "RenderSprites size"
# Typed (a console line holds 38 characters): an atlas of run in ./sprites, at one scale.
type_line "RenderSprites('--anim run --atlas')"
wait_until 30 test -f sprites/atlas.json || fail "the typed RenderSprites wrote no atlas"
python3 - sprites/atlas.json <<'PY' || fail "the typed atlas's index"
import json, sys
index = json.load(open(sys.argv[1]))
assert len(index["frames"]) == 48 and len(index["animations"]) == 8, index["meta"]
PY
convert window.png -crop 640x220+0+260 +repage window_low.png
convert same/stand_dir0_000.png -alpha off -crop 640x220+0+260 +repage sprite_low.png
[ "$(max_channel window_low.png)" != 0 ] || fail "the window shows nothing below the console"
difference=$(compare -metric AE window_low.png sprite_low.png null: 2>&1 || true)
[ "$difference" = 0 ] || fail "the sprite differs from the window in $difference pixels"
xdotool key Escape
quarn_expect_exit 3 0
echo ok
