# A small anti-aliased rasteriser for the program's cursor and button pictures. Shapes are
# signed distance functions (negative inside); a picture is built from layers painted over
# each other. Plain Python, so that the pictures can be made again on any machine without
# an imaging library.
import math
import struct

SAMPLES = 4  # per axis, for anti-aliased edges


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, thickness):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - thickness / 2


def box(x0, y0, x1, y1, radius=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def sdf(x, y):
        dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
        return outside + min(max(dx, dy), 0.0) - radius

    return sdf


def capsule(ax, ay, bx, by, r):
    def sdf(x, y):
        px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
        return math.hypot(px - vx * t, py - vy * t) - r

    return sdf


def polygon(points):
    n = len(points)

    def sdf(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            vx, vy, px, py = bx - ax, by - ay, x - ax, y - ay
            t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
            d = min(d, math.hypot(px - vx * t, py - vy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -d if inside else d

    return sdf


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def grown(shape, amount):
    return lambda x, y: shape(x, y) - amount


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        # Straight (not premultiplied) RGBA, channels 0..255 as floats.
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * width for _ in range(height)]

    def paint(self, shape, rgb, opacity=1.0):
        step = 1.0 / SAMPLES
        for y in range(self.height):
            for x in range(self.width):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if shape(x + (sx + 0.5) * step, y + (sy + 0.5) * step) <= 0:
                            hits += 1
                if hits:
                    self._over(x, y, rgb, opacity * hits / (SAMPLES * SAMPLES))

    def outlined(self, shape, fill, outline=(0, 0, 0), width=1.0):
        self.paint(grown(shape, width), outline)
        self.paint(shape, fill)

    def _over(self, x, y, rgb, alpha):
        r, g, b, a = self.pixels[y][x]
        a0 = a / 255.0
        out = alpha + a0 * (1 - alpha)
        if out <= 0:
            return
        mix = [(c * alpha + c0 * a0 * (1 - alpha)) / out for c, c0 in zip(rgb, (r, g, b))]
        self.pixels[y][x] = (mix[0], mix[1], mix[2], out * 255.0)

    def rgba(self, x, y):
        r, g, b, a = self.pixels[y][x]
        return tuple(int(round(max(0.0, min(255.0, c)))) for c in (r, g, b, a))


# --- Windows picture formats -------------------------------------------------------------


def dib32(canvas):
    """A 32-bit icon DIB: header with doubled height, BGRA rows bottom-up, then the AND mask."""
    w, h = canvas.width, canvas.height
    mask_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(h)):
        row_mask = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = canvas.rgba(x, y)
            xor += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def icon_file(canvas, hotspot=None):
    """An ICO file (hotspot None) or a CUR file with one 32-bit image."""
    data = dib32(canvas)
    kind = 1 if hotspot is None else 2
    planes_or_x, bits_or_y = (1, 32) if hotspot is None else hotspot
    entry = struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 0, 0, planes_or_x,
                        bits_or_y, len(data), 6 + 16)
    return struct.pack("<HHH", 0, kind, 1) + entry + data


def chunk(tag, payload):
    data = tag + struct.pack("<I", len(payload)) + payload
    return data + (b"\0" if len(payload) % 2 else b"")


def ani_file(frames, display_rate, rates=None, sequence=None, title=None, size=32):
    """A RIFF/ACON animated cursor. frames: CUR file bytes; rates and sequence per step."""
    steps = len(sequence) if sequence is not None else len(frames)
    flags = 1 | (2 if sequence is not None else 0)  # frames are icons; sequence present
    body = b"ACON"
    if title:
        body += chunk(b"LIST", b"INFO" + chunk(b"INAM", title.encode("cp1252") + b"\0"))
    body += chunk(b"anih", struct.pack("<9I", 36, len(frames), steps, size, size, 32, 1,
                                       display_rate, flags))
    if rates is not None:
        assert len(rates) == steps
        body += chunk(b"rate", struct.pack("<%dI" % steps, *rates))
    if sequence is not None:
        body += chunk(b"seq ", struct.pack("<%dI" % steps, *sequence))
    body += chunk(b"LIST", b"fram" + b"".join(chunk(b"icon", f) for f in frames))
    return b"RIFF" + struct.pack("<I", len(body)) + body


def bmp24(canvas, key=(255, 0, 255), face=(235, 234, 225)):
    """A 24-bit BMP whose transparent parts are the key colour (magenta). Soft edges are mixed
    with the face colour the picture will stand on, so that no pink fringe remains."""
    w, h = canvas.width, canvas.height
    stride = (w * 3 + 3) & ~3
    rows = bytearray()
    for y in reversed(range(h)):
        row = bytearray()
        for x in range(w):
            r, g, b, a = canvas.rgba(x, y)
            if a < 64:
                r, g, b = key
            else:
                t = a / 255.0
                r, g, b = (int(round(c * t + f * (1 - t))) for c, f in zip((r, g, b), face))
            row += bytes((b, g, r))
        rows += row + bytes(stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(info) + len(rows), 0, 0, 14 + len(info)) + \
        info + bytes(rows)
