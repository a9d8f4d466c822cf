#!/usr/bin/env python3
"""Draws the three power-state icons of the camera settings dialog and
writes them as .ico files, each with a 32x32 16-colour, a 48x48 256-colour
and a 16x16 16-colour image. Run once; the .ico files are kept in ui/icons.
Usage: make_power_icons.py OUTPUT_DIR"""
import struct
import sys

# The 16 colours of the standard VGA palette (index: (r, g, b)).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, DARK_GREEN, GREY, SILVER, RED, GREEN, YELLOW, WHITE = 0, 2, 8, 7, 9, 10, 11, 15
CLEAR = None


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[CLEAR] * size for _ in range(size)]

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the unit-square rectangle [x0, x1) x [y0, y1), given in
        fractions of the icon size."""
        s = self.size
        for y in range(round(y0 * s), round(y1 * s)):
            for x in range(round(x0 * s), round(x1 * s)):
                if 0 <= x < s and 0 <= y < s:
                    self.px[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        s = self.size
        l, t, r, b = round(x0 * s), round(y0 * s), round(x1 * s) - 1, round(y1 * s) - 1
        for x in range(l, r + 1):
            self.px[t][x] = self.px[b][x] = colour
        for y in range(t, b + 1):
            self.px[y][l] = self.px[y][r] = colour


def battery(size, level, fill):
    c = Canvas(size)
    c.rect(0.06, 0.28, 0.86, 0.72, WHITE)
    c.rect(0.12, 0.34, 0.12 + 0.68 * level, 0.66, fill)
    c.frame(0.06, 0.28, 0.86, 0.72, BLACK)
    c.rect(0.86, 0.40, 0.95, 0.60, BLACK)
    return c


def charger(size):
    c = Canvas(size)
    c.rect(0.20, 0.08, 0.30, 0.30, GREY)    # prongs
    c.rect(0.50, 0.08, 0.60, 0.30, GREY)
    c.rect(0.10, 0.30, 0.70, 0.62, SILVER)  # plug body
    c.frame(0.10, 0.30, 0.70, 0.62, BLACK)
    c.rect(0.34, 0.62, 0.46, 0.92, BLACK)   # cable
    c.rect(0.46, 0.80, 0.92, 0.92, BLACK)
    c.rect(0.74, 0.34, 0.84, 0.50, YELLOW)  # the lightning flash
    c.rect(0.66, 0.48, 0.78, 0.58, YELLOW)
    c.rect(0.70, 0.56, 0.80, 0.72, YELLOW)
    return c


def dib(canvas, bits):
    s = canvas.size
    colours = 1 << bits
    header = struct.pack('<IiiHHIIiiII', 40, s, 2 * s, 1, bits, 0, 0, 0, 0, colours, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0)
                       for (r, g, b) in (VGA + [(0, 0, 0)] * (colours - 16)))
    xor_stride = ((s * bits + 31) // 32) * 4
    and_stride = ((s + 31) // 32) * 4
    xor, mask = b'', b''
    for y in reversed(range(s)):  # bottom-up rows
        row = [canvas.px[y][x] for x in range(s)]
        if bits == 4:
            line = bytes(((row[x] or 0) << 4) | (row[x + 1] or 0) for x in range(0, s, 2))
        else:
            line = bytes((p or 0) for p in row)
        xor += line.ljust(xor_stride, b'\0')
        m = 0
        line = b''
        for x in range(s):
            m = (m << 1) | (1 if row[x] is CLEAR else 0)
            if x % 8 == 7:
                line += bytes([m])
                m = 0
        mask += line.ljust(and_stride, b'\0')
    return header + palette + xor + mask


def icon(draw):
    images = [(32, 4), (48, 8), (16, 4)]
    blobs = [dib(draw(size), bits) for size, bits in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bits), blob in zip(images, blobs):
        colours = 16 if bits == 4 else 0
        out += struct.pack('<BBBBHHII', size, size, colours, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


def main():
    target = sys.argv[1]
    icons = {
        'ac_charger.ico': charger,
        'battery_normal.ico': lambda s: battery(s, 1.0, GREEN),
        'battery_low.ico': lambda s: battery(s, 0.25, RED),
    }
    for name, draw in icons.items():
        with open(f'{target}/{name}', 'wb') as f:
            f.write(icon(draw))


main()
