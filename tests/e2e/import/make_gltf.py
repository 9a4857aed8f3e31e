#!/usr/bin/env python3
"""Writes small glTF files for the import test, with the standard library only.

  make_gltf.py grid N OUT.gltf   N separate triangles whose corners are all apart (3N vertices)
  make_gltf.py empty OUT.gltf    a scene with one node and no mesh
  make_gltf.py notimage OUT.gltf one triangle whose base colour texture is text, not an image
"""
import base64
import json
import struct
import sys


def grid(triangles):
    positions = []
    for t in range(triangles):
        x, y = t % 64, t // 64
        positions += [(x, y, 0.0), (x + 0.5, y, 0.0), (x, y + 0.5, 0.0)]
    data = b"".join(struct.pack("<3f", *p) for p in positions)
    low = [min(p[k] for p in positions) for k in range(3)]
    high = [max(p[k] for p in positions) for k in range(3)]
    return {
        "asset": {"version": "2.0"},
        "scene": 0,
        "scenes": [{"nodes": [0]}],
        "nodes": [{"name": "grid", "mesh": 0}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}],
        "accessors": [{"bufferView": 0, "componentType": 5126, "count": len(positions),
                       "type": "VEC3", "min": low, "max": high}],
        "bufferViews": [{"buffer": 0, "byteLength": len(data)}],
        "buffers": [{"byteLength": len(data),
                     "uri": "data:application/octet-stream;base64," +
                            base64.b64encode(data).decode()}],
    }


def empty():
    return {"asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0]}],
            "nodes": [{"name": "nothing"}]}


def not_image():
    document = grid(1)
    document["meshes"][0]["primitives"][0]["material"] = 0
    document["materials"] = [{"pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}]
    document["textures"] = [{"source": 0}]
    document["images"] = [{"uri": "data:image/png;base64," +
                                  base64.b64encode(b"this is not an image").decode()}]
    return document


kind, out = sys.argv[1], sys.argv[-1]
document = (grid(int(sys.argv[2])) if kind == "grid" else not_image() if kind == "notimage"
            else empty())
with open(out, "w") as f:
    json.dump(document, f)
