#!/usr/bin/env python3
"""Writes the two ICC profiles the colour fixtures are tagged with, from the
published primaries alone (no profile file is copied):
  display-p3.icc  Display P3: P3 primaries, D65 white, the sRGB curve
  adobe-rgb.icc   Adobe RGB (1998) primaries, D65 white, gamma 563/256
Both are ICC v2 matrix/curve profiles; colorants are adapted to the D50
connection space with the Bradford transform, as ICC requires."""
import struct
import sys


def mat_mul(a, b):
    return [[sum(a[i][k] * b[k][j] for k in range(3)) for j in range(3)] for i in range(3)]


def mat_vec(a, v):
    return [sum(a[i][k] * v[k] for k in range(3)) for i in range(3)]


def inverse(m):
    a, b, c = m[0]
    d, e, f = m[1]
    g, h, i = m[2]
    det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g)
    return [[(e * i - f * h) / det, (c * h - b * i) / det, (b * f - c * e) / det],
            [(f * g - d * i) / det, (a * i - c * g) / det, (c * d - a * f) / det],
            [(d * h - e * g) / det, (b * g - a * h) / det, (a * e - b * d) / det]]


def xy_to_xyz(x, y):
    return [x / y, 1.0, (1 - x - y) / y]


def rgb_to_xyz(prim, white):
    cols = [xy_to_xyz(*p) for p in prim]
    m = [[cols[j][i] for j in range(3)] for i in range(3)]
    s = mat_vec(inverse(m), xy_to_xyz(*white))
    return [[m[i][j] * s[j] for j in range(3)] for i in range(3)]


BRADFORD = [[0.8951, 0.2664, -0.1614], [-0.7502, 1.7135, 0.0367], [0.0389, -0.0685, 1.0296]]
D50 = [0.9642, 1.0, 0.8249]


def adapt_to_d50(white_xyz):
    src = mat_vec(BRADFORD, white_xyz)
    dst = mat_vec(BRADFORD, D50)
    scale = [[dst[0] / src[0], 0, 0], [0, dst[1] / src[1], 0], [0, 0, dst[2] / src[2]]]
    return mat_mul(inverse(BRADFORD), mat_mul(scale, BRADFORD))


def s15(v):
    return struct.pack('>i', int(round(v * 65536)))


def xyz_tag(v):
    return b'XYZ ' + b'\0' * 4 + b''.join(s15(c) for c in v)


def text_tag(t):
    return b'text' + b'\0' * 4 + t.encode('ascii') + b'\0'


def desc_tag(t):
    a = t.encode('ascii') + b'\0'
    return (b'desc' + b'\0' * 4 + struct.pack('>I', len(a)) + a + b'\0' * 4 + b'\0' * 4 + b'\0' * 3 +
            b'\0' * 67)


def curve_tag(curve):
    if curve == 'srgb':  # parametric type 3, the sRGB curve
        params = [2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045]
        return b'para' + b'\0' * 4 + struct.pack('>HH', 3, 0) + b''.join(s15(p) for p in params)
    return b'curv' + b'\0' * 4 + struct.pack('>I', 1) + struct.pack('>H', int(round(curve * 256)))


def profile(name, prim, white, curve):
    m = rgb_to_xyz(prim, white)
    a = adapt_to_d50(xy_to_xyz(*white))
    m50 = mat_mul(a, m)
    tags = [
        (b'desc', desc_tag(name)),
        (b'cprt', text_tag('No copyright, use freely')),
        (b'wtpt', xyz_tag(D50)),
        (b'rXYZ', xyz_tag([m50[i][0] for i in range(3)])),
        (b'gXYZ', xyz_tag([m50[i][1] for i in range(3)])),
        (b'bXYZ', xyz_tag([m50[i][2] for i in range(3)])),
        (b'rTRC', curve_tag(curve)),
    ]
    body = b''
    table = b''
    offset = 128 + 4 + 12 * (len(tags) + 2)
    trc = None
    for sig, data in tags:
        while len(data) % 4:
            data += b'\0'
        table += sig + struct.pack('>II', offset + len(body), len(data))
        if sig == b'rTRC':
            trc = (offset + len(body), len(data))
        body += data
    for sig in (b'gTRC', b'bTRC'):  # the three curves share one block
        table += sig + struct.pack('>II', *trc)
    table = struct.pack('>I', len(tags) + 2) + table
    size = 128 + len(table) + len(body)
    header = (struct.pack('>I', size) + b'lcms' + bytes([2, 0x40, 0, 0]) + b'mntr' + b'RGB ' + b'XYZ ' +
              struct.pack('>6H', 2024, 1, 1, 0, 0, 0) + b'acsp' + b'APPL' + b'\0' * 4 + b'\0' * 4 +
              b'\0' * 4 + b'\0' * 8 + struct.pack('>I', 0) + b''.join(s15(c) for c in D50) + b'\0' * 4 +
              b'\0' * 16 + b'\0' * 28)
    assert len(header) == 128, len(header)
    return header + table + body


P3 = [(0.680, 0.320), (0.265, 0.690), (0.150, 0.060)]
ADOBE = [(0.640, 0.330), (0.210, 0.710), (0.150, 0.060)]
D65 = (0.3127, 0.3290)
out = sys.argv[1] if len(sys.argv) > 1 else '.'
open(out + '/display-p3.icc', 'wb').write(profile('Display P3 (fixture)', P3, D65, 'srgb'))
open(out + '/adobe-rgb.icc', 'wb').write(profile('Adobe RGB 1998 compatible (fixture)', ADOBE, D65, 563 / 256))
