#!/usr/bin/env python3
"""Writes a small DNG: an uncompressed 16-bit RGGB sensor image (a smooth
gradient) and, in IFD0, an embedded JPEG preview, as cameras and converters
store them.
Usage: make_dng.py PREVIEW.jpg|- RAW_WIDTH RAW_HEIGHT ORIENTATION OUT.dng [CLAIM]
       (a preview of "-" writes a DNG without one; CLAIM "raw=WxH" or
       "preview=WxH" makes the header claim that size for the sensor image
       or the preview while the data stays small: a hostile file)"""
import struct
import sys

preview_path, rw, rh, orientation, out = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
claim = sys.argv[6] if len(sys.argv) > 6 else ''
preview = b'' if preview_path == '-' else open(preview_path, 'rb').read()
claim_raw = None
if claim.startswith('raw='):
    claim_raw = [int(v) for v in claim[4:].split('x')]
if claim.startswith('preview='):
    cw, ch = [int(v) for v in claim[8:].split('x')]
    i = 2
    while i + 9 < len(preview):
        if preview[i + 1] in (0xC0, 0xC1, 0xC2):
            preview = preview[:i + 5] + struct.pack('>HH', ch, cw) + preview[i + 9:]
            break
        i += 2 + struct.unpack('>H', preview[i + 2:i + 4])[0]


def jpeg_size(data):
    i = 2
    while i + 9 < len(data):
        marker, length = data[i + 1], struct.unpack('>H', data[i + 2:i + 4])[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            h, w = struct.unpack('>HH', data[i + 5:i + 9])
            return w, h
        i += 2 + length
    raise SystemExit('no frame header in the preview')


# The sensor: red, green and blue ramps in a Bayer mosaic, 12-bit values.
# Large sensors (for benchmarks) repeat one pair of rows, which is quick.
raw = bytearray()
for y in range(rh if rw * rh <= 1 << 20 else 2):
    row = []
    for x in range(rw):
        r, g, b = 4095 * x // max(1, rw - 1), 4095 * y // max(1, rh - 1), 2048
        c = (r if x % 2 == 0 else g) if y % 2 == 0 else (g if x % 2 == 0 else b)
        row.append(c)
    raw += struct.pack('<%dH' % rw, *row)
if rw * rh > 1 << 20:
    raw = raw * (rh // 2) + raw[:len(raw) // 2] * (rh % 2)

SHORT, LONG, RATIONAL, SRATIONAL, BYTE, ASCII = 3, 4, 5, 10, 1, 2
SIZES = {BYTE: 1, ASCII: 1, SHORT: 2, LONG: 4, RATIONAL: 8, SRATIONAL: 8}


def pack(typ, values):
    if typ in (BYTE,):
        return bytes(values)
    if typ == ASCII:
        return values.encode() + b'\0'
    if typ == SHORT:
        return struct.pack('<%dH' % len(values), *values)
    if typ == LONG:
        return struct.pack('<%dI' % len(values), *values)
    if typ == RATIONAL:
        return b''.join(struct.pack('<II', n, d) for n, d in values)
    if typ == SRATIONAL:
        return b''.join(struct.pack('<ii', n, d) for n, d in values)


def ifd_bytes(entries, at, extra_at):
    """entries: list of (tag, type, values); returns (ifd, extra data)."""
    entries = sorted(entries)
    ifd = struct.pack('<H', len(entries))
    extra = b''
    for tag, typ, values in entries:
        data = pack(typ, values)
        count = len(data) // SIZES[typ]
        if len(data) <= 4:
            ifd += struct.pack('<HHI', tag, typ, count) + data.ljust(4, b'\0')
        else:
            ifd += struct.pack('<HHII', tag, typ, count, extra_at + len(extra))
            extra += data
            if len(extra) % 2:
                extra += b'\0'
    ifd += struct.pack('<I', 0)
    return ifd, extra


common = [(271, ASCII, 'Glimmerdeck'), (272, ASCII, 'Fixture'), (50706, BYTE, [1, 4, 0, 0]),
          (50708, ASCII, 'Glimmerdeck Fixture'), (274, SHORT, [orientation]),
          (50721, SRATIONAL, [(10000, 10000), (0, 10000), (0, 10000), (0, 10000), (10000, 10000), (0, 10000),
                              (0, 10000), (0, 10000), (10000, 10000)]),
          (50778, SHORT, [21]), (50728, RATIONAL, [(1, 1), (1, 1), (1, 1)])]

# Layout: header | IFD0 + its data | raw IFD + its data | preview | sensor data
header_size = 8
cw_raw, ch_raw = claim_raw or (rw, rh)
raw_fields = lambda raw_off: [(254, LONG, [0]), (256, LONG, [cw_raw]), (257, LONG, [ch_raw]), (258, SHORT, [16]),
                              (259, SHORT, [1]), (262, SHORT, [32803]), (273, LONG, [raw_off]), (277, SHORT, [1]),
                              (278, LONG, [ch_raw]), (279, LONG, [len(raw)]), (284, SHORT, [1]),
                              (33421, SHORT, [2, 2]), (33422, BYTE, [0, 1, 1, 2]), (50717, LONG, [4095])]
if preview:
    pw, ph = jpeg_size(preview)
    ifd0_fields = lambda sub, prev: common + [(254, LONG, [1]), (256, LONG, [pw]), (257, LONG, [ph]),
                                              (258, SHORT, [8, 8, 8]), (259, SHORT, [7]), (262, SHORT, [6]),
                                              (273, LONG, [prev]), (277, SHORT, [3]), (278, LONG, [ph]),
                                              (279, LONG, [len(preview)]), (284, SHORT, [1]), (330, LONG, [sub])]
else:
    ifd0_fields = None

# Two passes: sizes first, then the real offsets.
def build(sub_at, prev_at, raw_at):
    if ifd0_fields:
        ifd0, extra0 = ifd_bytes(ifd0_fields(sub_at, prev_at), header_size, header_size + 2 + 12 * len(ifd0_fields(0, 0)) + 4)
        first = ifd0 + extra0
        sub_start = header_size + len(first)
        ifdr, extrar = ifd_bytes(raw_fields(raw_at), sub_start, sub_start + 2 + 12 * len(raw_fields(0)) + 4)
        return first, ifdr + extrar
    fields = common + raw_fields(raw_at)
    ifd0, extra0 = ifd_bytes(fields, header_size, header_size + 2 + 12 * len(fields) + 4)
    return ifd0 + extra0, b''


first, second = build(0, 0, 0)
sub_at = header_size + len(first)
prev_at = sub_at + len(second)
raw_at = prev_at + len(preview)
first, second = build(sub_at, prev_at, raw_at)
with open(out, 'wb') as f:
    f.write(b'II*\0' + struct.pack('<I', header_size) + first + second + preview + raw)
