#!/usr/bin/env python3
"""check_md2.py MODEL.md2 EXPECTED.json ERROR NAME: the model's frames, decoded here from the
file, hold the expected places (one list of x, y, z per vertex, per frame) to within ERROR, the
largest position error the import reported (and never more than half a step of a frame's grid),
and are named NAME1, NAME2 ..."""
import json
import struct
import sys

model, expected, error, name = sys.argv[1], sys.argv[2], float(sys.argv[3]), sys.argv[4]
data = open(model, "rb").read()
header = struct.unpack("<4s16i", data[:68])
frame_size, vertices, frames, ofs_frames = header[4], header[6], header[10], header[14]
want = json.load(open(expected))
assert frames == len(want), f"{frames} frames, expected {len(want)}"
worst = 0.0
for f, places in enumerate(want):
    at = ofs_frames + f * frame_size
    scale, translate = struct.unpack("<3f", data[at:at + 12]), struct.unpack("<3f", data[at + 12:at + 24])
    recorded = data[at + 24:at + 40].split(b"\0")[0].decode()
    assert recorded == f"{name}{f + 1}", f"frame {f} is named {recorded}"
    assert vertices == len(places), f"{vertices} vertices, expected {len(places)}"
    for v, place in enumerate(places):
        raw = data[at + 40 + 4 * v:at + 43 + 4 * v]
        for axis in range(3):
            decoded = raw[axis] * scale[axis] + translate[axis]
            miss = abs(decoded - place[axis])
            worst = max(worst, miss)
            assert miss <= scale[axis] / 2 + 1e-4, f"frame {f} vertex {v} axis {axis}: {decoded} for {place[axis]}"
assert worst <= error + 1e-4, f"an error of {worst}, more than the {error} reported"
print(f"{model}: {frames} frames within {worst:.6g} (reported {error:.6g})")
