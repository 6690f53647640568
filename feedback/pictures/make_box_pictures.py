#!/usr/bin/env python3
# Draws the message box's own picture, the speech bubble beside its buttons, and writes it to
# feedback/messagebox/ as a 24-bit bitmap whose transparent parts are magenta, as designed.
# (The button glyphs are the widget set's.) Run it again after changing the drawing; the file
# it writes is committed.
import os

from raster import Canvas, bmp24, box, circle, polygon, union

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "messagebox")
FACE = (212, 208, 200)  # the button-face colour the pictures stand on


def bubble():
    c = Canvas(24, 24)
    shape = union(box(1.5, 2.5, 22.5, 17, 4), polygon([(5, 15), (5.5, 22.5), (12, 15)]))
    c.outlined(shape, (255, 255, 225), (90, 90, 90))
    for x in (7, 12, 17):
        c.paint(circle(x, 10, 1.6), (70, 100, 170))
    return c


def write(name, canvas):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(bmp24(canvas, face=FACE))


def main():
    os.makedirs(OUT, exist_ok=True)
    write("bubble.bmp", bubble())


if __name__ == "__main__":
    main()
