#!/usr/bin/env python3
"""Draws every frame's pivot onto a copy of a sprite atlas, on an opaque background, from the
atlas's JSON index (the packers' array or hash form): a red cross where the model's origin lands
in each frame. Needs ImageMagick's convert.

    scripts/mark_pivots.py DIR/atlas.json OUT.png [--background '#5a6e82']
"""
import json
import os
import subprocess
import sys


def main(index_name, out_name, background="#5a6e82"):
    index = json.load(open(index_name))
    frames = index["frames"]
    frames = list(frames.values()) if isinstance(frames, dict) else frames
    image = os.path.join(os.path.dirname(index_name), index["meta"]["image"])
    draw = []
    for frame in frames:
        if "pivot" not in frame:
            continue
        rect, source, size = frame["frame"], frame["spriteSourceSize"], frame["sourceSize"]
        x = rect["x"] - source["x"] + frame["pivot"]["x"] * size["w"]
        y = rect["y"] - source["y"] + frame["pivot"]["y"] * size["h"]
        arm = max(3, size["w"] // 40)
        draw.append("line %.1f,%.1f %.1f,%.1f" % (x - arm, y, x + arm, y))
        draw.append("line %.1f,%.1f %.1f,%.1f" % (x, y - arm, x, y + arm))
    subprocess.run(["convert", image, "-background", background, "-flatten", "-stroke", "red",
                    "-strokewidth", "2", "-draw", " ".join(draw), out_name], check=True)


if __name__ == "__main__":
    if len(sys.argv) not in (3, 5):
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], *(sys.argv[4:5]))
