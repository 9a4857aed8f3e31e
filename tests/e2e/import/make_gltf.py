#!/usr/bin/env python3
"""Writes small glTF files for the import test, with the standard library only.

  make_gltf.py grid N OUT.gltf   N separate triangles whose corners are all apart (3N vertices)
  make_gltf.py empty OUT.gltf    a scene with one node and no mesh
  make_gltf.py notimage OUT.gltf one triangle whose base colour texture is text, not an image
  make_gltf.py skinned FPS OUT.json OUT.gltf
                                 a bar of 5 rings bent by a two-joint skin, its root moved by
                                 a STEP sampler and its upper joint turned by a LINEAR one;
                                 OUT.json has every vertex's place in the model's space (+x
                                 forward, Z up) at each frame sampled at FPS, evaluated here
  make_gltf.py morph FPS OUT.json OUT.gltf
                                 the same bar with two morph targets whose weights follow a
                                 CUBICSPLINE sampler, on a node that a LINEAR sampler moves and
                                 turns about Y; OUT.json as for skinned
"""
import math
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


RINGS, HALF = 5, 0.25
BEND_AT = 2.0
ROOT_KEYS = [(0.0, (0.0, 0.0, 0.0)), (0.5, (1.0, 0.0, 0.0))]   # STEP
BEND_KEYS = [(0.0, 0.0), (0.5, 60.0), (1.0, 90.0)]             # LINEAR, degrees about Z


def bar():
    positions, joints, weights = [], [], []
    for ring in range(RINGS):
        y = float(ring)
        for x, z in ((-HALF, -HALF), (HALF, -HALF), (HALF, HALF), (-HALF, HALF)):
            positions.append((x, y, z))
            joints.append((0, 1, 0, 0))
            upper = 0.0 if y < BEND_AT else 0.5 if y == BEND_AT else 1.0
            weights.append((1.0 - upper, upper, 0.0, 0.0))
    indices = []
    for ring in range(RINGS - 1):
        for side in range(4):
            a, b = ring * 4 + side, ring * 4 + (side + 1) % 4
            c, d = a + 4, b + 4
            indices += [a, b, d, a, d, c]
    return positions, joints, weights, indices


def quaternion_z(degrees):
    half = math.radians(degrees) / 2
    return (0.0, 0.0, math.sin(half), math.cos(half))


def skinned():
    positions, joints, weights, indices = bar()
    times_root = [t for t, _ in ROOT_KEYS]
    times_bend = [t for t, _ in BEND_KEYS]
    inverse_bind = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1,
                    1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -BEND_AT, 0, 1]
    chunks = [
        (b"".join(struct.pack("<3f", *p) for p in positions), 5126, "VEC3", len(positions)),
        (b"".join(struct.pack("<4B", *j) for j in joints), 5121, "VEC4", len(joints)),
        (b"".join(struct.pack("<4f", *w) for w in weights), 5126, "VEC4", len(weights)),
        (struct.pack("<%dH" % len(indices), *indices) + b"\0\0" * (len(indices) % 2), 5123, "SCALAR",
         len(indices)),
        (struct.pack("<16f", *inverse_bind[:16]) + struct.pack("<16f", *inverse_bind[16:]), 5126,
         "MAT4", 2),
        (struct.pack("<2f", *times_root), 5126, "SCALAR", 2),
        (b"".join(struct.pack("<3f", *v) for _, v in ROOT_KEYS), 5126, "VEC3", 2),
        (struct.pack("<3f", *times_bend), 5126, "SCALAR", 3),
        (b"".join(struct.pack("<4f", *quaternion_z(a)) for _, a in BEND_KEYS), 5126, "VEC4", 3),
    ]
    data, views, accessors = b"", [], []
    for i, (chunk, component, kind, count) in enumerate(chunks):
        views.append({"buffer": 0, "byteOffset": len(data), "byteLength": len(chunk)})
        accessor = {"bufferView": i, "componentType": component, "count": count, "type": kind}
        if i == 0:
            accessor["min"] = [min(p[k] for p in positions) for k in range(3)]
            accessor["max"] = [max(p[k] for p in positions) for k in range(3)]
        if i in (5, 7):
            accessor["min"], accessor["max"] = [chunks_time(chunk)[0]], [chunks_time(chunk)[-1]]
        accessors.append(accessor)
        data += chunk + b"\0" * (-len(chunk) % 4)
    return {
        "asset": {"version": "2.0"},
        "scene": 0,
        "scenes": [{"nodes": [0, 1]}],
        "nodes": [{"name": "bar", "mesh": 0, "skin": 0, "translation": [5, 5, 5]},
                  {"name": "root", "children": [2]},
                  {"name": "upper", "translation": [0, BEND_AT, 0]}],
        "skins": [{"joints": [1, 2], "inverseBindMatrices": 4}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0, "JOINTS_0": 1, "WEIGHTS_0": 2},
                                    "indices": 3}]}],
        "animations": [{"name": "bend",
                        "samplers": [{"input": 5, "output": 6, "interpolation": "STEP"},
                                     {"input": 7, "output": 8, "interpolation": "LINEAR"}],
                        "channels": [{"sampler": 0, "target": {"node": 1, "path": "translation"}},
                                     {"sampler": 1, "target": {"node": 2, "path": "rotation"}}]}],
        "accessors": accessors,
        "bufferViews": views,
        "buffers": [{"byteLength": len(data),
                     "uri": "data:application/octet-stream;base64," + base64.b64encode(data).decode()}],
    }


def chunks_time(chunk):
    return struct.unpack("<%df" % (len(chunk) // 4), chunk)


def expected(fps):
    """Each frame's vertices, skinned here by rotating the upper part about the bend."""
    positions, _, weights, _ = bar()
    frames = []
    for k in range(int(BEND_KEYS[-1][0] * fps + 1e-6) + 1):
        t = k / fps
        root = [v for key, v in ROOT_KEYS if key <= t + 1e-9][-1]
        angle = BEND_KEYS[-1][1]
        for (t0, a0), (t1, a1) in zip(BEND_KEYS, BEND_KEYS[1:]):
            if t0 <= t <= t1:
                angle = a0 + (a1 - a0) * (t - t0) / (t1 - t0)
                break
        c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        frame = []
        for (x, y, z), (w0, w1, _, _) in zip(positions, weights):
            # Lower joint: moved with the root. Upper: turned about Z at the bend, then moved.
            lower = (x, y, z)
            upper = (c * x - s * (y - BEND_AT), s * x + c * (y - BEND_AT) + BEND_AT, z)
            p = [w0 * lower[i] + w1 * upper[i] + root[i] for i in range(3)]
            frame.append((p[2], p[0], p[1]))   # the model's x, y, z are glTF's Z, X, Y
        frames.append(frame)
    return frames


# Weights keys at 0 and 1 s: in-tangent, value, out-tangent for each, two weights each.
WEIGHT_KEYS = [(0.0, (0.0, 0.0), (0.0, 0.0), (2.0, -1.0)), (1.0, (0.0, 3.0), (1.0, 1.0), (0.0, 0.0))]
MOVE_KEYS = [(0.0, (0.0, 0.0, 0.0), 0.0), (1.0, (2.0, 0.0, -1.0), 90.0)]   # translation, degrees about Y


def morph_targets(positions):
    shift = [(1.0, 0.0, 0.0) for _ in positions]                # all along X
    stretch = [(0.0, 0.0, 0.5 * p[1]) for p in positions]      # along Z, more the higher
    return shift, stretch


def morph():
    document = skinned()
    positions = bar()[0]
    shift, stretch = morph_targets(positions)
    times = [t for t, *_ in WEIGHT_KEYS]
    weights = b"".join(struct.pack("<2f", *v) for _, i, value, o in WEIGHT_KEYS for v in (i, value, o))
    moves = b"".join(struct.pack("<3f", *m) for _, m, _ in MOVE_KEYS)
    turns = b"".join(struct.pack("<4f", 0.0, math.sin(math.radians(a) / 2), 0.0,
                                 math.cos(math.radians(a) / 2)) for _, _, a in MOVE_KEYS)
    chunks = [
        (b"".join(struct.pack("<3f", *p) for p in positions), "VEC3", len(positions)),
        (b"".join(struct.pack("<3f", *p) for p in shift), "VEC3", len(shift)),
        (b"".join(struct.pack("<3f", *p) for p in stretch), "VEC3", len(stretch)),
        (struct.pack("<2f", *times), "SCALAR", 2),
        (weights, "SCALAR", 12),
        (moves, "VEC3", 2),
        (turns, "VEC4", 2),
    ]
    data = base64.b64decode(document["buffers"][0]["uri"].split(",")[1])
    index_view = document["bufferViews"][3]
    views = [index_view]
    accessors = [dict(document["accessors"][3], bufferView=0)]
    for chunk, kind, count in chunks:
        views.append({"buffer": 0, "byteOffset": len(data), "byteLength": len(chunk)})
        accessor = {"bufferView": len(views) - 1, "componentType": 5126, "count": count, "type": kind}
        if kind == "VEC3" and len(accessors) <= 3:
            values = [struct.unpack("<3f", chunk[12 * i:12 * i + 12]) for i in range(count)]
            accessor["min"] = [min(v[k] for v in values) for k in range(3)]
            accessor["max"] = [max(v[k] for v in values) for k in range(3)]
        if len(accessors) == 4:
            accessor["min"], accessor["max"] = [times[0]], [times[-1]]
        accessors.append(accessor)
        data += chunk
    return {
        "asset": {"version": "2.0"},
        "scene": 0,
        "scenes": [{"nodes": [0]}],
        "nodes": [{"name": "bar", "mesh": 0}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 1}, "indices": 0,
                                    "targets": [{"POSITION": 2}, {"POSITION": 3}]}],
                    "weights": [0.0, 0.0]}],
        "animations": [{"name": "wave",
                        "samplers": [{"input": 4, "output": 5, "interpolation": "CUBICSPLINE"},
                                     {"input": 4, "output": 6, "interpolation": "LINEAR"},
                                     {"input": 4, "output": 7, "interpolation": "LINEAR"}],
                        "channels": [{"sampler": 0, "target": {"node": 0, "path": "weights"}},
                                     {"sampler": 1, "target": {"node": 0, "path": "translation"}},
                                     {"sampler": 2, "target": {"node": 0, "path": "rotation"}}]}],
        "accessors": accessors,
        "bufferViews": views,
        "buffers": [{"byteLength": len(data),
                     "uri": "data:application/octet-stream;base64," + base64.b64encode(data).decode()}],
    }


def morph_expected(fps):
    """Each frame's vertices: the Hermite curve of the weights, then the turn and the move."""
    positions = bar()[0]
    shift, stretch = morph_targets(positions)
    (t0, _, v0, out0), (t1, in1, v1, _) = WEIGHT_KEYS
    frames = []
    for k in range(int(t1 * fps + 1e-6) + 1):
        s = (k / fps - t0) / (t1 - t0)
        h00, h10, h01, h11 = 2 * s**3 - 3 * s**2 + 1, s**3 - 2 * s**2 + s, -2 * s**3 + 3 * s**2, s**3 - s**2
        w = [h00 * v0[i] + h10 * (t1 - t0) * out0[i] + h01 * v1[i] + h11 * (t1 - t0) * in1[i]
             for i in range(2)]
        move = [MOVE_KEYS[0][1][i] + s * (MOVE_KEYS[1][1][i] - MOVE_KEYS[0][1][i]) for i in range(3)]
        angle = math.radians(MOVE_KEYS[0][2] + s * (MOVE_KEYS[1][2] - MOVE_KEYS[0][2]))
        frame = []
        for p, a, b in zip(positions, shift, stretch):
            q = [p[i] + w[0] * a[i] + w[1] * b[i] for i in range(3)]
            # About Y: x' = x cos + z sin, z' = -x sin + z cos.
            r = (q[0] * math.cos(angle) + q[2] * math.sin(angle), q[1],
                 -q[0] * math.sin(angle) + q[2] * math.cos(angle))
            g = [r[i] + move[i] for i in range(3)]
            frame.append((g[2], g[0], g[1]))
        frames.append(frame)
    return frames


kind, out = sys.argv[1], sys.argv[-1]
if kind == "morph":
    with open(sys.argv[3], "w") as f:
        json.dump(morph_expected(int(sys.argv[2])), f)
    with open(out, "w") as f:
        json.dump(morph(), f)
    sys.exit(0)
if kind == "skinned":
    with open(sys.argv[3], "w") as f:
        json.dump(expected(int(sys.argv[2])), f)
    with open(out, "w") as f:
        json.dump(skinned(), f)
    sys.exit(0)
document = (grid(int(sys.argv[2])) if kind == "grid" else not_image() if kind == "notimage"
            else empty())
with open(out, "w") as f:
    json.dump(document, f)
