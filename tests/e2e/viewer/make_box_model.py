#!/usr/bin/env python3
"""Writes a small MD2 model for the viewer tests: a standing box, 199 frames, whose run frames
(40-45) are a wide, flat box; it records the skin name given."""
import struct
import sys

FRAMES = 199


def box(width, height):
    return [(x, y, z) for x in (-width, width) for y in (-width, width) for z in (0, height)]


def main(path, skin_name):
    # Corners are numbered by their x, y, z bits (x high): faces as two triangles each, wound
    # clockwise seen from outside as the format's front faces are, so culling hides the inside.
    quads = [(0, 1, 3, 2), (4, 6, 7, 5), (0, 4, 5, 1), (2, 3, 7, 6), (0, 2, 6, 4), (1, 5, 7, 3)]
    triangles = []
    for a, b, c, d in quads:
        triangles += [((a, c, b), (0, 2, 1)), ((a, d, c), (0, 3, 2))]
    texcoords = [(0, 0), (63, 0), (63, 63), (0, 63)]
    num_vertices = 8
    frame_size = 40 + 4 * num_vertices

    ofs_skins = 68
    ofs_st = ofs_skins + 64
    ofs_tris = ofs_st + 4 * len(texcoords)
    ofs_frames = ofs_tris + 12 * len(triangles)
    ofs_end = ofs_frames + frame_size * FRAMES
    out = bytearray(struct.pack("<4s16i", b"IDP2", 8, 64, 64, frame_size, 1, num_vertices, len(texcoords),
                                len(triangles), 0, FRAMES, ofs_skins, ofs_st, ofs_tris, ofs_frames, ofs_end,
                                ofs_end))
    out += skin_name.encode().ljust(64, b"\0")
    for s, t in texcoords:
        out += struct.pack("<2h", s, t)
    for vertices, coords in triangles:
        out += struct.pack("<6h", *vertices, *coords)
    for f in range(FRAMES):
        corners = box(40, 20) if 40 <= f <= 45 else box(10, 50)
        low = [min(c[i] for c in corners) for i in range(3)]
        high = [max(c[i] for c in corners) for i in range(3)]
        scale = [(high[i] - low[i]) / 255 for i in range(3)]
        name = ("stand%02d" % (f + 1)) if f < 40 else ("run%d" % (f - 39)) if f <= 45 else ("other%03d" % f)
        out += struct.pack("<6f", *scale, *low) + name.encode().ljust(16, b"\0")
        for c in corners:
            out += struct.pack("<4B", *[round((c[i] - low[i]) / scale[i]) for i in range(3)], 0)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
