#!/usr/bin/env python3
"""Loudness of a WAVE file of 32-bit float or 16-bit integer samples.

usage: wave_level.py FILE [SPLIT_BYTES]

Prints "frames=N peak=P" for the whole file and, with SPLIT_BYTES (a file size taken while the
file was being written), also "before=P after=P": the peaks of the samples stored before and
after that point of the file. A file whose writer did not finish (sizes in the header left at
0) is read to its end.
"""
import struct
import sys


def read_wave(path):
    with open(path, 'rb') as f:
        data = f.read()
    if len(data) < 12 or data[0:4] != b'RIFF' or data[8:12] != b'WAVE':
        raise SystemExit(f'{path}: not a RIFF WAVE file')
    pos, fmt, start, size = 12, None, None, None
    while pos + 8 <= len(data):
        ident, length = data[pos:pos + 4], struct.unpack_from('<I', data, pos + 4)[0]
        body = pos + 8
        if ident == b'fmt ':
            tag, channels, rate, _, align, bits = struct.unpack_from('<HHIIHH', data, body)
            if tag == 0xFFFE and length >= 40:  # extensible: the real tag opens the subformat
                tag = struct.unpack_from('<H', data, body + 24)[0]
            fmt = (tag, channels, rate, align, bits)
        elif ident == b'data':
            start = body
            size = length if 0 < length <= len(data) - body else len(data) - body
            break
        pos = body + length + (length & 1)
    if fmt is None or start is None:
        raise SystemExit(f'{path}: no fmt or data chunk')
    tag, channels, rate, align, bits = fmt
    if (tag, bits) == (3, 32):
        code, scale = 'f', 1.0
    elif (tag, bits) == (1, 16):
        code, scale = 'h', 1 / 32768
    else:
        raise SystemExit(f'{path}: format {tag} with {bits} bits is not read here')
    count = size // (bits // 8)
    samples = struct.unpack_from(f'<{count}{code}', data, start)
    return start, channels, [abs(s) * scale for s in samples], bits // 8


def main():
    path = sys.argv[1]
    start, channels, levels, width = read_wave(path)
    print(f'frames={len(levels) // channels} peak={max(levels, default=0):.6f}')
    if len(sys.argv) > 2:
        split = max(0, (int(sys.argv[2]) - start) // width)
        print(f'before={max(levels[:split], default=0):.6f} after={max(levels[split:], default=0):.6f}')


main()
