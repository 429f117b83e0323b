#!/usr/bin/env python3
"""Draws the program's icon (strandix.ico) and its splash picture (splash.bmp).

Both show what the program finds: a grid of letters in which one word stands on a diagonal,
its letters picked out in colour, the way a results page shows a find. Only the standard
library is used, so the files can be made again anywhere:

    python3 res/make_art.py            # writes res/strandix.ico and res/splash.bmp
"""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The program's palette (RGB).
WHITE = (255, 255, 255)
PAPER = (250, 250, 247)
INK = (64, 64, 72)
FAINT = (150, 150, 158)
FRAME = (120, 120, 128)
RED = (200, 40, 40)
BLUE = (30, 90, 190)
GREEN = (40, 140, 60)
ORANGE = (225, 120, 0)

# A 5 x 7 pixel font: each glyph is seven rows of five bits, the leftmost pixel the highest bit.
FONT = {
    "A": (0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11),
    "B": (0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E),
    "C": (0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E),
    "D": (0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E),
    "E": (0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F),
    "F": (0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10),
    "G": (0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F),
    "H": (0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11),
    "I": (0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E),
    "J": (0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C),
    "K": (0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11),
    "L": (0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F),
    "M": (0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11),
    "N": (0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11),
    "O": (0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E),
    "P": (0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10),
    "Q": (0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D),
    "R": (0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11),
    "S": (0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E),
    "T": (0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04),
    "U": (0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E),
    "V": (0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04),
    "W": (0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A),
    "X": (0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11),
    "Y": (0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04),
    "Z": (0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F),
    "!": (0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04),
}

# Filler letters for the grids: a fixed text, so the pictures never change between runs.
FILLER = (
    "INTHEBEGINNINGWASTHEWORDANDTHELETTERSSTOODINROWSWAITINGTOBEREADACROSSANDDOWN"
    "EVERYSKIPAWIDTHEVERYWIDTHAPICTUREOFLETTERSSTANDINGINLINEONEAFTERANOTHER"
)


class Canvas:
    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.pixels = [[colour + (255,) for _ in range(width)] for _ in range(height)]

    def put(self, x, y, colour, alpha=255):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour + (alpha,)

    def rect(self, x, y, w, h, colour, alpha=255):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.put(xx, yy, colour, alpha)

    def frame(self, x, y, w, h, colour):
        for xx in range(x, x + w):
            self.put(xx, y, colour)
            self.put(xx, y + h - 1, colour)
        for yy in range(y, y + h):
            self.put(x, yy, colour)
            self.put(x + w - 1, yy, colour)

    def glyph(self, ch, x, y, scale, colour):
        for row, bits in enumerate(FONT[ch]):
            for col in range(5):
                if bits & (0x10 >> col):
                    self.rect(x + col * scale, y + row * scale, scale, scale, colour)

    def text(self, s, x, y, scale, colour, gap=1):
        for ch in s:
            if ch != " ":
                self.glyph(ch, x, y, scale, colour)
            x += (5 + gap) * scale


def letter_grid(canvas, left, top, columns, rows, cell, scale, word, colours):
    """A grid of filler letters with `word` on the main diagonal, one colour per letter."""
    glyph_w, glyph_h = 5 * scale, 7 * scale
    index = 0
    for r in range(rows):
        for c in range(columns):
            x, y = left + c * cell, top + r * cell
            on_diagonal = r == c and r < len(word)
            ch = word[r] if on_diagonal else FILLER[index % len(FILLER)]
            index += 1
            gx = x + (cell - glyph_w) // 2
            gy = y + (cell - glyph_h) // 2
            if on_diagonal:
                canvas.rect(x + 1, y + 1, cell - 2, cell - 2, colours[r % len(colours)])
                canvas.glyph(ch, gx, gy, scale, WHITE)
            else:
                canvas.glyph(ch, gx, gy, scale, FAINT)


def splash_picture():
    """432 x 158: a letter grid on the left, the program's name on the right."""
    c = Canvas(432, 158, WHITE)
    word = "STRANDIX"
    letter_grid(c, 4, 7, 8, 8, 18, 2, word, [RED, BLUE, GREEN, ORANGE])
    # The name, large, with a rule under it in the diagonal's colours.
    c.text("STRANDIX!", 184, 46, 4, INK)
    x = 184
    for colour in [RED, BLUE, GREEN, ORANGE]:
        c.rect(x, 84, 52, 5, colour)
        x += 54
    c.text("LETTER SEQUENCES", 198, 102, 2, FAINT)
    return c


def icon_picture(size):
    """A white tile with a grid of letters and a coloured diagonal."""
    c = Canvas(size, size, (0, 0, 0))
    for row in c.pixels:
        for i in range(len(row)):
            row[i] = (0, 0, 0, 0)
    c.rect(0, 0, size, size, PAPER)
    c.frame(0, 0, size, size, FRAME)
    colours = [RED, BLUE, GREEN, ORANGE]
    if size < 24:
        # Too small for letters: coloured squares on the diagonal, grey dots elsewhere.
        n, cell = 3, (size - 2) // 3
        for r in range(n):
            for col in range(n):
                x, y = 1 + col * cell, 1 + r * cell
                if r == col:
                    c.rect(x + 1, y + 1, cell - 1, cell - 1, colours[r])
                else:
                    c.rect(x + cell // 2 - 1, y + cell // 2 - 1, 2, 2, FAINT)
        return c
    n = 4 if size < 128 else 5
    cell = (size - 2) // n
    scale = max(1, (cell - 2) // 8)
    margin = (size - n * cell) // 2
    letter_grid(c, margin, margin, n, n, cell, scale, "FIND", colours)
    return c


def write_bmp24(canvas, path):
    row_bytes = (canvas.width * 3 + 3) & ~3
    body = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray()
        for r, g, b, _ in canvas.pixels[y]:
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        body += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 14 + 40)
    info = struct.pack(
        "<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(body), 2835, 2835, 0, 0
    )
    with open(path, "wb") as f:
        f.write(header + info + body)


def png_bytes(canvas):
    raw = bytearray()
    for row in canvas.pixels:
        raw += b"\0"
        for px in row:
            raw += bytes(px)

    def chunk(kind, data):
        return (
            struct.pack(">I", len(data))
            + kind
            + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
        )

    ihdr = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", ihdr)
        + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        + chunk(b"IEND", b"")
    )


def icon_dib(canvas):
    """A 32-bit icon image: header with doubled height, bottom-up BGRA, then the AND mask."""
    size = canvas.width
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for r, g, b, a in canvas.pixels[y]:
            xor += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(canvas.pixels[y]):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return info + xor + mask


def write_ico(path, sizes):
    images = []
    for size in sizes:
        canvas = icon_picture(size)
        images.append((size, png_bytes(canvas) if size >= 256 else icon_dib(canvas)))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(header + entries + b"".join(data for _, data in images))


def main():
    write_bmp24(splash_picture(), os.path.join(HERE, "splash.bmp"))
    write_ico(os.path.join(HERE, "strandix.ico"), [16, 24, 32, 48, 256])
    # A PNG of the splash picture and the big icon, for looking at them without Windows.
    preview = os.environ.get("STRANDIX_ART_PREVIEW")
    if preview:
        with open(os.path.join(preview, "splash.png"), "wb") as f:
            f.write(png_bytes(splash_picture()))
        for size in (32, 48, 256):
            with open(os.path.join(preview, "icon%d.png" % size), "wb") as f:
                f.write(png_bytes(icon_picture(size)))


if __name__ == "__main__":
    main()
