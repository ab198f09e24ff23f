#!/usr/bin/env python3
"""Draws icons/camera.png, the picture of the about window: a camera body seen from the front,
with a ringed lens and a small status lamp. Run from this folder: python3 camera.py
(standard library only; the shapes are sampled 4x4 per pixel for smooth edges)."""
import struct
import zlib

SIZE = 48
SAMPLES = 4

BODY = (58, 74, 96)
BODY_EDGE = (32, 42, 58)
TOP = (88, 108, 136)
RING = (200, 206, 214)
LENS = (22, 30, 44)
GLASS = (46, 110, 170)
SHINE = (235, 244, 255)
LAMP = (232, 72, 56)


def rounded_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def colour_at(x, y):
    """The colour of the point (x, y) in pixel units, or None where the picture is clear."""
    lens_x, lens_y = 24.0, 27.0
    if circle(x, y, lens_x - 3.5, lens_y - 3.5, 2.2):
        if circle(x, y, lens_x, lens_y, 7.0):
            return SHINE
    if circle(x, y, lens_x, lens_y, 7.0):
        return GLASS if circle(x, y, lens_x + 1.5, lens_y + 1.5, 5.0) else LENS
    if circle(x, y, lens_x, lens_y, 10.0):
        return RING
    if circle(x, y, lens_x, lens_y, 11.0):
        return BODY_EDGE
    if circle(x, y, 39.0, 17.0, 2.0):
        return LAMP
    if rounded_rect(x, y, 4, 12, 44, 41, 5):
        inner = rounded_rect(x, y, 5.2, 13.2, 42.8, 39.8, 4)
        return BODY if inner else BODY_EDGE
    if rounded_rect(x, y, 15, 7, 33, 14, 2):
        inner = rounded_rect(x, y, 16.2, 8.2, 31.8, 14, 1.5)
        return TOP if inner else BODY_EDGE
    return None


def render():
    rows = []
    for py in range(SIZE):
        row = bytearray([0])  # filter: none
        for px in range(SIZE):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
                    if c:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        a += 1
            if a:
                row += bytes((r // a, g // a, b // a, 255 * a // (SAMPLES * SAMPLES)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return b"".join(rows)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main():
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(render(), 9)) + chunk(b"IEND", b"")
    with open("camera.png", "wb") as out:
        out.write(png)


if __name__ == "__main__":
    main()
