#!/usr/bin/env python3
"""Writes a small MD2 model with two recorded groups: stand01..stand40 (frames 0-39, one tall
box, so every idle pose looks the same) and run1..run6 (frames 40-45, a box that leans further
each frame). It records the skin name given."""
import struct
import sys

STAND, RUN = 40, 6


def box(width, height, lean):
    return [(x + lean * z / height, y, z) for x in (-width, width) for y in (-width * 0.6, width * 0.6)
            for z in (0, height)]


def main(path, skin_name):
    # Corners are numbered by their x, y, z bits (x high); faces wound clockwise seen from
    # outside, as the format's front faces are.
    quads = [(0, 1, 3, 2), (4, 6, 7, 5), (0, 4, 5, 1), (2, 3, 7, 6), (0, 2, 6, 4), (1, 5, 7, 3)]
    triangles = []
    for a, b, c, d in quads:
        triangles += [((a, c, b), (0, 2, 1)), ((a, d, c), (0, 3, 2))]
    texcoords = [(0, 0), (63, 0), (63, 63), (0, 63)]
    frames = STAND + RUN
    frame_size = 40 + 4 * 8
    ofs_skins = 68
    ofs_st = ofs_skins + 64
    ofs_tris = ofs_st + 4 * len(texcoords)
    ofs_frames = ofs_tris + 12 * len(triangles)
    ofs_end = ofs_frames + frame_size * frames
    out = bytearray(struct.pack("<4s16i", b"IDP2", 8, 64, 64, frame_size, 1, 8, len(texcoords),
                                len(triangles), 0, frames, ofs_skins, ofs_st, ofs_tris, ofs_frames, ofs_end,
                                ofs_end))
    out += skin_name.encode().ljust(64, b"\0")
    for s, t in texcoords:
        out += struct.pack("<2h", s, t)
    for vertices, coords in triangles:
        out += struct.pack("<6h", *vertices, *coords)
    for f in range(frames):
        corners = box(12, 50, 0) if f < STAND else box(12, 50, 6 * (f - STAND + 1))
        low = [min(c[i] for c in corners) for i in range(3)]
        high = [max(c[i] for c in corners) for i in range(3)]
        scale = [(high[i] - low[i]) / 255 for i in range(3)]
        name = "stand%02d" % (f + 1) if f < STAND else "run%d" % (f - STAND + 1)
        out += struct.pack("<6f", *scale, *low) + name.encode().ljust(16, b"\0")
        for c in corners:
            out += struct.pack("<4B", *[round((c[i] - low[i]) / scale[i]) for i in range(3)], 0)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
