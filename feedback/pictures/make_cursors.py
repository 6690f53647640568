#!/usr/bin/env python3
# Draws the program's six cursors and writes them to feedback/cursors/: three plain cursors
# (.cur) and three animated cursors (RIFF/ACON .ani whose frames are .cur images). Run it
# again after changing a drawing; the files it writes are committed.
import os

from raster import (Canvas, ani_file, box, capsule, circle, grown, icon_file, polygon, ring,
                    union)

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "cursors")
WHITE, BLACK = (255, 255, 255), (0, 0, 0)


def hand():
    c = Canvas(32, 32)
    shape = union(box(9, 1, 14, 18, 2.5), box(14, 9, 18.5, 20, 2), box(18.5, 10, 23, 21, 2),
                  box(23, 12, 27, 22, 2), box(9, 14, 27, 28, 4), capsule(4, 16, 10, 23, 2.5))
    c.outlined(shape, WHITE)
    for x in (14, 18.5, 23):
        c.paint(capsule(x, 12.5, x, 16, 0.45), BLACK)
    return icon_file(c, (11, 1))


def magnifier():
    c = Canvas(32, 32)
    lens, handle = ring(12, 12, 8, 2.5), capsule(18.5, 18.5, 27, 27, 2.4)
    c.paint(grown(union(lens, handle, circle(12, 12, 8)), 1.0), WHITE)
    c.paint(circle(12, 12, 7), (190, 220, 255), 0.8)
    c.paint(capsule(8, 9, 10, 7, 0.9), WHITE)
    c.paint(lens, BLACK)
    c.paint(handle, (40, 40, 40))
    return icon_file(c, (12, 12))


def move():
    c = Canvas(32, 32)
    shape = union(box(6, 14.5, 26, 17.5), box(14.5, 6, 17.5, 26),
                  polygon([(16, 1), (21.5, 7.5), (10.5, 7.5)]),
                  polygon([(16, 31), (10.5, 24.5), (21.5, 24.5)]),
                  polygon([(1, 16), (7.5, 10.5), (7.5, 21.5)]),
                  polygon([(31, 16), (24.5, 21.5), (24.5, 10.5)]))
    c.outlined(shape, BLACK, WHITE)
    return icon_file(c, (16, 16))


def wait_frame(k):
    c = Canvas(32, 32)
    import math
    for i in range(8):
        angle = math.pi * 2 * i / 8 - math.pi / 2
        x, y = 16 + 10 * math.cos(angle), 16 + 10 * math.sin(angle)
        age = (k - i) % 8  # 0: the leading dot
        shade = min(255, 40 + age * 30)
        c.outlined(circle(x, y, 2.7), (shade // 3, shade // 2 + 20, 200 - age * 10), BLACK, 0.8)
    return icon_file(c, (16, 16))


def print_frame(k):
    c = Canvas(32, 32)
    c.outlined(box(9, 4, 23, 13), WHITE)
    c.outlined(box(4, 12, 28, 24, 2), (190, 190, 190))
    c.paint(box(8, 19.5, 24, 20.7), BLACK)
    c.paint(circle(24.5, 15.5, 1.4), (40, 200, 40) if k % 2 == 0 else (20, 90, 20))
    if k:
        c.outlined(box(9, 20, 23, 20 + 3 * k), WHITE)
        for line in range(1, k + 1):
            c.paint(box(11, 20 + 3 * line - 1.5, 21, 20 + 3 * line - 0.9), (90, 90, 90))
    return icon_file(c, (16, 16))


GLYPHS = {"P": ["111", "101", "111", "100", "100"],
          "D": ["110", "101", "101", "101", "110"],
          "F": ["111", "100", "110", "100", "100"]}


def pdf_frame(k):
    c = Canvas(32, 32)
    c.outlined(polygon([(7, 2), (20, 2), (26, 8), (26, 30), (7, 30)]), WHITE)
    c.outlined(polygon([(20, 2), (20, 8), (26, 8)]), (210, 210, 210))
    for line in (11, 26):
        c.paint(box(10, line, 23, line + 1), (150, 150, 150))
    red = (160 + 30 * k, 20 + 10 * k, 20 + 10 * k)
    c.outlined(box(4, 15, 23, 23, 1), red, (90, 0, 0))
    for n, letter in enumerate("PDF"):
        for row, bits in enumerate(GLYPHS[letter]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    x, y = 7 + n * 5 + col, 16.5 + row
                    c.paint(box(x, y, x + 1, y + 1), WHITE)
    return icon_file(c, (16, 16))


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    write("X_HAND.cur", hand())
    write("X_MAGNIFY.cur", magnifier())
    write("X_MOVE.cur", move())
    # Waiting: eight frames in order, each with its own rate.
    write("CRCURSOR_WAIT.ani",
          ani_file([wait_frame(k) for k in range(8)], 6, rates=[5] * 8, title="Warten"))
    # Printing: a sheet coming out, held a little at the end (sequence and rates).
    write("CRCURSOR_PRINT.ani",
          ani_file([print_frame(k) for k in range(4)], 8, rates=[10, 10, 10, 10, 30],
                   sequence=[0, 1, 2, 3, 3], title="Drucken"))
    # PDF: a pulsing band (sequence, the header's display rate for every step).
    write("CRCURSOR_PDF.ani",
          ani_file([pdf_frame(k) for k in range(4)], 9, sequence=[0, 1, 2, 3, 2, 1], title="PDF"))


if __name__ == "__main__":
    main()
