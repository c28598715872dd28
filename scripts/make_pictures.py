#!/usr/bin/env python3
"""Draws the program's own pictures: the welcome picture of the spectrum
graph (data/SWelcome.bmp, a 24-bit Windows bitmap), the a*b* plane under the
quality-control page's graphics (data/LabFile.bmp) and the window icons
(ui/shell/icons/ltrakw-<size>.png). Only the standard library is used, so the
pictures can be rebuilt anywhere:  python3 scripts/make_pictures.py
"""
import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def wavelength_rgb(nm):
    """Approximate display colour of monochromatic light (380..730 nm)."""
    if nm < 440:
        r, g, b = (440 - nm) / 60, 0.0, 1.0
    elif nm < 490:
        r, g, b = 0.0, (nm - 440) / 50, 1.0
    elif nm < 510:
        r, g, b = 0.0, 1.0, (510 - nm) / 20
    elif nm < 580:
        r, g, b = (nm - 510) / 70, 1.0, 0.0
    elif nm < 645:
        r, g, b = 1.0, (645 - nm) / 65, 0.0
    else:
        r, g, b = 1.0, 0.0, 0.0
    # dimmer towards both ends of the visible range
    if nm < 420:
        fade = 0.3 + 0.7 * (nm - 380) / 40
    elif nm > 680:
        fade = 0.3 + 0.7 * (730 - nm) / 50
    else:
        fade = 1.0
    return tuple(max(0, min(255, int(round(255 * c * fade)))) for c in (r, g, b))


def smooth_step(x, edge, width):
    return 1 / (1 + math.exp(-(x - edge) / width))


# Remission of printed process inks on paper, idealised (share of 1).
def cyan(nm):
    return 0.06 + 0.74 * math.exp(-((nm - 480) / 45) ** 2)


def magenta(nm):
    return 0.08 + 0.55 * math.exp(-((nm - 420) / 30) ** 2) + 0.82 * smooth_step(nm, 605, 12)


def yellow(nm):
    return 0.05 + 0.84 * smooth_step(nm, 505, 10)


def paper(nm):
    return 0.78 + 0.12 * smooth_step(nm, 430, 12)


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[list(colour) for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if 0 <= x < self.width and 0 <= y < self.height and alpha > 0:
            p = self.pixels[y][x]
            for i in range(3):
                p[i] = int(round(p[i] * (1 - alpha) + colour[i] * alpha))

    def disc(self, cx, cy, radius, colour):
        for y in range(int(cy - radius - 1), int(cy + radius + 2)):
            for x in range(int(cx - radius - 1), int(cx + radius + 2)):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                self.blend(x, y, colour, max(0.0, min(1.0, radius + 0.5 - d)))

    def curve(self, points, colour, radius):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            steps = max(1, int(math.hypot(x1 - x0, y1 - y0) * 2))
            for s in range(steps + 1):
                t = s / steps
                self.disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, radius, colour)


def welcome_picture(width=360, height=240):
    canvas = Canvas(width, height, (250, 250, 246))
    left, right, top, bottom = 24, width - 16, 18, height - 46
    # the visible spectrum as a band under the plot
    for x in range(left, right):
        nm = 380 + (x - left) * 350 / (right - left)
        colour = wavelength_rgb(nm)
        for y in range(bottom + 10, bottom + 30):
            canvas.pixels[y][x] = list(colour)
    # light grid every 50 nm and every 20 %
    for k in range(8):
        x = left + k * 50 * (right - left) // 350
        for y in range(top, bottom):
            canvas.blend(x, y, (200, 200, 200), 0.8)
    for k in range(6):
        y = bottom - k * (bottom - top) * 20 // 100
        for x in range(left, right):
            canvas.blend(x, y, (200, 200, 200), 0.8)
    for y in range(top, bottom + 1):
        canvas.blend(left, y, (40, 40, 40), 1.0)
    for x in range(left, right):
        canvas.blend(x, bottom, (40, 40, 40), 1.0)

    def plot(function):
        points = []
        for x in range(left, right, 2):
            nm = 380 + (x - left) * 350 / (right - left)
            points.append((x, bottom - function(nm) * (bottom - top)))
        return points

    canvas.curve(plot(paper), (150, 150, 150), 1.6)
    canvas.curve(plot(cyan), (0, 160, 220), 2.0)
    canvas.curve(plot(magenta), (215, 0, 120), 2.0)
    canvas.curve(plot(yellow), (230, 190, 0), 2.0)
    return canvas


# The quality-control plane spans a* -100..+100 and b* -110..+110.
PLANE_HALF_A = 100.0
PLANE_HALF_B = 110.0
PLANE_LIGHTNESS = 60.0  # a mid lightness where most printable colours lie
D65_WHITE = (95.047, 100.0, 108.883)
XYZ_TO_LINEAR_SRGB = ((3.2404542, -1.5371385, -0.4985314),
                      (-0.9692660, 1.8760108, 0.0415560),
                      (0.0556434, -0.2040259, 1.0572252))
MUTED_SHARE = 0.55  # how far a colour outside sRGB is drawn towards grey


def lab_to_linear_srgb(lightness, a, b):
    fy = (lightness + 16) / 116
    fx = fy + a / 500
    fz = fy - b / 200

    def finv(t):
        return t ** 3 if t > 6 / 29 else 3 * (6 / 29) ** 2 * (t - 4 / 29)

    xyz = [white * finv(f) / 100 for white, f in zip(D65_WHITE, (fx, fy, fz))]
    return [sum(m * c for m, c in zip(row, xyz)) for row in XYZ_TO_LINEAR_SRGB]


def srgb_encode(linear):
    linear = max(0.0, min(1.0, linear))
    if linear <= 0.0031308:
        return 12.92 * linear
    return 1.055 * linear ** (1 / 2.4) - 0.055


def lab_plane_picture(width=256, height=282):
    """The a*b* plane at one lightness in sRGB; colours a screen cannot show
    are clipped and drawn muted towards grey, so the gamut's edge shows."""
    canvas = Canvas(width, height, (0, 0, 0))
    grey = srgb_encode(lab_to_linear_srgb(PLANE_LIGHTNESS, 0, 0)[1])
    for y in range(height):
        b = PLANE_HALF_B - (y + 0.5) * 2 * PLANE_HALF_B / height
        for x in range(width):
            a = -PLANE_HALF_A + (x + 0.5) * 2 * PLANE_HALF_A / width
            linear = lab_to_linear_srgb(PLANE_LIGHTNESS, a, b)
            inside = all(-0.001 <= c <= 1.001 for c in linear)
            rgb = [srgb_encode(c) for c in linear]
            if not inside:
                rgb = [c + (grey - c) * MUTED_SHARE for c in rgb]
                rgb = [c + (1 - c) * 0.25 for c in rgb]
            canvas.pixels[y][x] = [int(round(255 * c)) for c in rgb]
    return canvas


def write_bmp(canvas, path):
    row_size = (canvas.width * 3 + 3) // 4 * 4
    image = bytearray()
    for y in range(canvas.height - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for r, g, b in canvas.pixels[y]:
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        image += row
    offset = 14 + 40
    header = struct.pack('<2sIHHI', b'BM', offset + len(image), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.width, canvas.height, 1, 24, 0, len(image),
                       2835, 2835, 0, 0)
    with open(path, 'wb') as out:
        out.write(header + info + image)


def icon(size):
    """A round instrument aperture: the spectrum as a ring around a measured curve."""
    canvas = Canvas(size, size, (0, 0, 0))
    alpha = [[0.0] * size for _ in range(size)]
    centre = size / 2
    outer, inner = size / 2 - 0.5, size / 2 - max(2.0, size / 7)
    for y in range(size):
        for x in range(size):
            dx, dy = x + 0.5 - centre, y + 0.5 - centre
            d = math.hypot(dx, dy)
            if d <= outer + 0.5:
                a = max(0.0, min(1.0, outer + 0.5 - d))
                if d >= inner:
                    angle = (math.atan2(dy, dx) + math.pi) / (2 * math.pi)
                    colour = wavelength_rgb(380 + 350 * angle)
                else:
                    colour = (255, 255, 255)
                canvas.pixels[y][x] = list(colour)
                alpha[y][x] = a
    # a remission curve across the white face
    span = inner * 1.5
    points = []
    for k in range(21):
        t = k / 20
        nm = 380 + 350 * t
        points.append((centre - span / 2 + span * t, centre + span * 0.35 - magenta(nm) * span * 0.6))
    canvas.curve(points, (0, 140, 0), max(0.6, size / 28))
    return canvas, alpha


def write_png(canvas, alpha, path):
    raw = bytearray()
    for y in range(canvas.height):
        raw.append(0)
        for x in range(canvas.width):
            r, g, b = canvas.pixels[y][x]
            raw += bytes((r, g, b, int(round(alpha[y][x] * 255))))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', canvas.width, canvas.height, 8, 6, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(bytes(raw), 9))
    png += chunk(b'IEND', b'')
    with open(path, 'wb') as out:
        out.write(png)


def main():
    write_bmp(welcome_picture(), os.path.join(ROOT, 'data', 'SWelcome.bmp'))
    write_bmp(lab_plane_picture(), os.path.join(ROOT, 'data', 'LabFile.bmp'))
    for size in (16, 32, 48, 64):
        canvas, alpha = icon(size)
        write_png(canvas, alpha, os.path.join(ROOT, 'ui', 'shell', 'icons', 'ltrakw-%d.png' % size))


if __name__ == '__main__':
    main()
