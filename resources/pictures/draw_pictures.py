#!/usr/bin/env python3
"""Draws the program's own pictures into this folder: the splash logo, the two arrows of
the file-data window and the folder of the main window's file-select button. Plain Python
(zlib and struct only); each pixel is the average of a grid of samples, so edges are smooth. Run it again after changing a picture:

    python3 resources/pictures/draw_pictures.py
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write_png(path, width, height, rows):
    """rows: a list of `height` bytearrays of width*4 RGBA bytes."""
    raw = b"".join(b"\x00" + bytes(r) for r in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def render(width, height, scene, grid=4):
    """scene(x, y) -> (r, g, b, a) with components 0..1 at a point in pixel units."""
    rows = []
    offsets = [(i + 0.5) / grid for i in range(grid)]
    n = grid * grid
    for py in range(height):
        row = bytearray()
        for px in range(width):
            r = g = b = a = 0.0
            for oy in offsets:
                for ox in offsets:
                    sr, sg, sb, sa = scene(px + ox, py + oy)
                    r += sr * sa
                    g += sg * sa
                    b += sb * sa
                    a += sa
            if a > 0:
                row += bytes((round(255 * r / a), round(255 * g / a), round(255 * b / a), round(255 * a / n)))
            else:
                row += b"\x00\x00\x00\x00"
        rows.append(row)
    return rows


def mix(c1, c2, t):
    t = max(0.0, min(1.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


def hexcolour(text):
    return tuple(int(text[i:i + 2], 16) / 255 for i in (0, 2, 4))


def segment_distance(x, y, x1, y1, x2, y2):
    dx, dy = x2 - x1, y2 - y1
    t = ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(x - (x1 + t * dx), y - (y1 + t * dy))


def inside_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


# ---- Splash logo: a lens with a six-blade iris on a night-blue panel; the right part is left
# plain for the program's name, version and notice, which the window writes over it.
LOGO_W, LOGO_H = 400, 240
CX, CY = 112, 120
NAVY, TEAL = hexcolour("0f1d3a"), hexcolour("0e4d5c")
AMBER = hexcolour("e8a33d")
RIM_LIGHT, RIM_DARK = hexcolour("c9d2dc"), hexcolour("4a5563")
GLASS_DEEP, GLASS_LIGHT = hexcolour("0b2f4f"), hexcolour("3f9fd0")
BLADE = hexcolour("1b2330")
OPENING = 34.0
BLADE_TIPS = [(CX + OPENING * math.cos(math.radians(60 * k + 15)),
               CY + OPENING * math.sin(math.radians(60 * k + 15))) for k in range(6)]


def logo(x, y):
    # Panel: diagonal gradient with a faint grid of scan lines.
    t = (x / LOGO_W) * 0.6 + (y / LOGO_H) * 0.4
    colour = mix(NAVY, TEAL, t)
    if int(y) % 6 == 0:
        colour = mix(colour, (1, 1, 1), 0.035)
    # Accent line under the name.
    if 214 <= x <= 384 and 150.0 <= y <= 152.0:
        return (*mix(AMBER, colour, max(0.0, (x - 340) / 44)), 1.0)
    d = math.hypot(x - CX, y - CY)
    if d <= 92:
        # Soft shadow ring around the lens.
        colour = mix(colour, (0, 0, 0), 0.35 * (1 - max(0.0, d - 84) / 8))
    if d <= 84:
        # Metal rim, lit from the upper left.
        angle = math.atan2(y - CY, x - CX)
        colour = mix(RIM_DARK, RIM_LIGHT, 0.5 - 0.5 * math.sin(angle + math.pi / 4))
    if d <= 76:
        colour = hexcolour("141a24")
    if d <= 72:
        # Knurled inner ring.
        angle = math.atan2(y - CY, x - CX)
        colour = hexcolour("222b38") if int((angle + math.pi) / (math.pi / 36)) % 2 else hexcolour("1a2230")
    if d <= 64:
        # Glass behind the iris.
        colour = mix(GLASS_LIGHT, GLASS_DEEP, d / 64)
        if inside_polygon(x, y, BLADE_TIPS):
            colour = mix(GLASS_LIGHT, GLASS_DEEP, 0.2 + d / 80)
        else:
            colour = BLADE
            # The edge of each blade runs from one tip of the opening out to the rim.
            for k in range(6):
                x1, y1 = BLADE_TIPS[k]
                x2, y2 = BLADE_TIPS[(k + 1) % 6]
                ex, ey = x1 + (x1 - x2) * 3, y1 + (y1 - y2) * 3
                if segment_distance(x, y, x1, y1, ex, ey) < 0.9:
                    colour = hexcolour("3a4658")
                    break
    # Highlight on the glass.
    hd = math.hypot((x - (CX - 18)) / 1.4, y - (CY - 22))
    if d <= 64 and hd < 9:
        colour = mix(colour, (1, 1, 1), 0.55 * (1 - hd / 9))
    return (*colour, 1.0)


# ---- Arrows of the file-data window: from the current value to the file's value.
ARROW_W, ARROW_H = 16, 12
ARROW = [(1, 4.5), (9, 4.5), (9, 1), (15, 6), (9, 11), (9, 7.5), (1, 7.5)]


def arrow(colour):
    def scene(x, y):
        return (*colour, 1.0) if inside_polygon(x, y, ARROW) else (0, 0, 0, 0)
    return scene


# ---- Folder of the file-select button: a yellow folder, its front flap lighter than the back
# with its tab, outlined in a darker brown.
FOLDER_W, FOLDER_H = 16, 16
FOLDER_BACK = [(1.5, 2.5), (6, 2.5), (7.5, 4), (14.5, 4), (14.5, 13.5), (1.5, 13.5)]
FOLDER_FRONT = [(1.5, 6.5), (14.5, 6.5), (14.5, 13.5), (1.5, 13.5)]
FOLDER_LINE = hexcolour("8a6410")


def near_outline(x, y, points, width):
    return any(segment_distance(x, y, *points[i], *points[(i + 1) % len(points)]) < width
               for i in range(len(points)))


def folder(x, y):
    for shape, fill in ((FOLDER_FRONT, mix(hexcolour("ffd966"), hexcolour("f0b429"), y / FOLDER_H)),
                        (FOLDER_BACK, hexcolour("d99a1e"))):
        if inside_polygon(x, y, shape) or near_outline(x, y, shape, 0.5):
            return (*(FOLDER_LINE if near_outline(x, y, shape, 0.5) else fill), 1.0)
    return (0, 0, 0, 0)


def main():
    pictures = [
        ("splash_logo.png", LOGO_W, LOGO_H, logo),
        ("arrow.png", ARROW_W, ARROW_H, arrow(hexcolour("5a5a5a"))),
        ("arrow_red.png", ARROW_W, ARROW_H, arrow(hexcolour("ff0000"))),
        ("folder.png", FOLDER_W, FOLDER_H, folder),
    ]
    for name, w, h, scene in pictures:
        write_png(os.path.join(HERE, name), w, h, render(w, h, scene))
        print("wrote", name, f"{w}x{h}")


if __name__ == "__main__":
    main()
