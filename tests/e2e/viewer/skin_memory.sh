# Loading a skin at the pixel limit again does not hold the old texture beside the new one: the
# second LoadSkin of an 8192x8192 PNG (192 MB decoded) adds far less than a texture to the
# program's peak memory. Judged by the kernel's high-water mark, never by time.
source "$E2E_LIB"
cd "$E2E_TMP"  # typed lines hold at most 38 characters: the names are relative
python3 - big.png <<'PY'
import struct, sys, zlib
w = h = 8192
row = b'\x00' + b'\xff\x00\x00' * w
packer = zlib.compressobj(9)
data = b''.join(packer.compress(row) for _ in range(h)) + packer.flush()
def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
open(sys.argv[1], 'wb').write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
                              + chunk(b'IDAT', data) + chunk(b'IEND', b''))
PY
peak_kb() { awk '/VmHWM/ {print $2}' "/proc/$QUARN_PID/status"; }
quarn_start --windowed --no-dialogs --view "$QUARN_BIN/bots/robot/robot.md2" --exec "DrawFPS(false)"
type_line "LoadSkin('big.png')"
condump first.txt
grep -q "^Skin big.png on " first.txt || fail "the big skin was not loaded: $(tail -3 first.txt)"
first=$(peak_kb)
type_line "LoadSkin('big.png')"
condump second.txt
second=$(peak_kb)
echo "peak after the first load: $((first / 1024)) MB, after the second: $((second / 1024)) MB"
[ $((second - first)) -lt $((96 * 1024)) ] || fail "the second load added $(((second - first) / 1024)) MB"
xdotool key Escape
quarn_expect_exit 30 0
echo ok
