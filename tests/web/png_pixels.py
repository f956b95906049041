"""Reads 8-bit PNG files (grey, grey+alpha, RGB, RGBA; not interlaced) into
RGBA pixels with the standard library only: the source frames and Chromium's
screenshots are all of that kind."""

import struct
import zlib

_CHANNELS = {0: 1, 2: 3, 4: 2, 6: 4}


class Image:
    def __init__(self, width, height, rgba):
        self.width = width
        self.height = height
        self.rgba = rgba  # bytes, four per pixel, rows from the top

    def pixel(self, x, y):
        at = 4 * (y * self.width + x)
        return tuple(self.rgba[at:at + 4])


def read_png(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    at = 8
    header = None
    compressed = bytearray()
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        at += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            compressed += body
        elif kind == b"IEND":
            break
    if header is None:
        raise ValueError("the PNG file has no header")
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or colour_type not in _CHANNELS or interlace:
        raise ValueError(f"unsupported PNG: depth {depth}, colour type {colour_type}, interlace {interlace}")
    channels = _CHANNELS[colour_type]
    rows = _unfilter(zlib.decompress(bytes(compressed)), width * channels, height, channels)
    return Image(width, height, _to_rgba(rows, colour_type))


def _unfilter(raw, stride, height, step):
    out = bytearray(stride * height)
    previous = bytearray(stride)
    at = 0
    for y in range(height):
        kind = raw[at]
        row = bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            left = row[i - step] if i >= step else 0
            up = previous[i]
            if kind == 1:
                row[i] = (row[i] + left) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + up) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + ((left + up) >> 1)) & 0xFF
            elif kind == 4:
                up_left = previous[i - step] if i >= step else 0
                row[i] = (row[i] + _paeth(left, up, up_left)) & 0xFF
            elif kind != 0:
                raise ValueError(f"unknown PNG filter {kind}")
        out[y * stride:(y + 1) * stride] = row
        previous = row
    return out


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _to_rgba(rows, colour_type):
    if colour_type == 6:
        return bytes(rows)
    out = bytearray()
    if colour_type == 2:
        for i in range(0, len(rows), 3):
            out += rows[i:i + 3] + b"\xff"
    elif colour_type == 0:
        for value in rows:
            out += bytes((value, value, value, 255))
    else:
        for i in range(0, len(rows), 2):
            out += bytes((rows[i], rows[i], rows[i], rows[i + 1]))
    return bytes(out)
