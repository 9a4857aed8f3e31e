#!/usr/bin/env python3
"""Writes a small MD2 model for the export test: a still body box and an arm box that swings,
with frames named so that the groups need care (a break in the numbering, a name recorded
again, a name ending in a digit, a frame without a name) and four recorded skin names, three of
which are found beside the model. Every frame has the same scale and translation, so the body's
vertices keep their exact positions and only the arm's move."""
import math
import struct
import sys

FRAMES = ["stand1", "stand2", "stand3", "stand4", "pain101", "pain102", "pain103", "pain201",
          "pain202", "attack9", "stand1", "stand2", ""]
SKINS = ["models/skinned/red.pcx", "blue", "green.jpg", "missing.wal"]
SCALE, TRANSLATE = (0.25, 0.25, 0.25), (-32.0, -32.0, 0.0)


def box(x0, x1, y0, y1, z0, z1):
    return [(x, y, z) for x in (x0, x1) for y in (y0, y1) for z in (z0, z1)]


def arm(angle):
    # A box hanging from the shoulder at (0, 10, 40), swung forward (+x) by `angle`.
    corners = box(-2, 2, 9, 13, 20, 40)
    c, s = math.cos(angle), math.sin(angle)
    return [(x * c + (z - 40) * s, y, 40 - x * s + (z - 40) * c) for x, y, z in corners]


def main(path):
    # Corners are numbered by their x, y, z bits (x high); faces wound clockwise seen from
    # outside, as the format's front faces are.
    quads = [(0, 1, 3, 2), (4, 6, 7, 5), (0, 4, 5, 1), (2, 3, 7, 6), (0, 2, 6, 4), (1, 5, 7, 3)]
    triangles = []
    for offset in (0, 8):
        for a, b, c, d in quads:
            a, b, c, d = a + offset, b + offset, c + offset, d + offset
            triangles += [((a, c, b), (0, 2, 1)), ((a, d, c), (0, 3, 2))]
    texcoords = [(0, 0), (31, 0), (31, 31), (0, 31)]
    vertices = 16
    frame_size = 40 + 4 * vertices
    ofs_skins = 68
    ofs_st = ofs_skins + 64 * len(SKINS)
    ofs_tris = ofs_st + 4 * len(texcoords)
    ofs_frames = ofs_tris + 12 * len(triangles)
    ofs_end = ofs_frames + frame_size * len(FRAMES)
    out = bytearray(struct.pack("<4s16i", b"IDP2", 8, 32, 32, frame_size, len(SKINS), vertices,
                                len(texcoords), len(triangles), 0, len(FRAMES), ofs_skins, ofs_st,
                                ofs_tris, ofs_frames, ofs_end, ofs_end))
    for name in SKINS:
        out += name.encode().ljust(64, b"\0")
    for s, t in texcoords:
        out += struct.pack("<2h", s, t)
    for corners, coords in triangles:
        out += struct.pack("<6h", *corners, *coords)
    for f, name in enumerate(FRAMES):
        corners = box(-6, 6, -8, 8, 0, 44) + arm(f * 0.4)
        out += struct.pack("<6f", *SCALE, *TRANSLATE) + name.encode().ljust(16, b"\0")
        for c in corners:
            out += struct.pack("<4B", *[round((c[i] - TRANSLATE[i]) / SCALE[i]) for i in range(3)], 0)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
