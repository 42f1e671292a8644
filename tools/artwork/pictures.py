#!/usr/bin/python3
"""Draws Varnelle's small pictures and icons: the eleven reward bitmaps, the
no-entry sign, the winner's cup, the application icon (from the outline of
mainland France in DCW-GMT) and the error window's wrench icon.

Every picture is a function of a scale factor s: s = 1 gives the bitmaps the
windows are laid out for, s = 2 the versions for high-density screens. Shapes
are drawn at SUPER times the target resolution and box-averaged down, so the
result is antialiased and, being plain arithmetic, identical on every run.

Usage: pictures.py --out assets [--no-2x]
"""

import argparse
import math
import os
import struct
import subprocess
import sys
import tempfile

try:
    import numpy as np
    from PIL import Image, ImageDraw
except ImportError:
    # A Python of one's own (pyenv, venv) may shadow Debian's, which carries
    # python3-numpy and python3-pil.
    if os.path.exists("/usr/bin/python3") and os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

SUPER = 8

# ---------------------------------------------------------------------------
# Files


def write_bmp(path, img):
    """Uncompressed 24-bit BMP, bottom row first, 96 dots per inch."""
    img = img.convert("RGB")
    w, h = img.size
    stride = (w * 3 + 3) & ~3
    a = np.asarray(img, dtype=np.uint8)[::-1, :, ::-1]  # bottom-up, BGR
    rows = np.zeros((h, stride), dtype=np.uint8)
    rows[:, : w * 3] = a.reshape(h, w * 3)
    pixels = rows.tobytes()
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    _write(path, header + info + pixels)


def write_png(path, img):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path, format="PNG", optimize=False, compress_level=9)


def _write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


# The standard 16-colour Windows palette, in the order icons index it.
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, SILVER, GREY, RED, BLUE, WHITE = 0, 7, 8, 9, 12, 15
TRANSPARENT = -1


def ico_image(index):
    """One 4-bit icon image: BITMAPINFOHEADER (height doubled for the mask),
    palette, XOR bitmap and AND mask, both bottom row first."""
    n = index.shape[0]
    xor_stride = ((n * 4 + 31) // 32) * 4
    and_stride = ((n + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        row = [max(int(v), 0) for v in index[y]]
        packed = bytes((row[x] << 4) | row[x + 1] for x in range(0, n, 2))
        xor += packed + bytes(xor_stride - len(packed))
        bits = 0
        for x in range(n):
            bits = (bits << 1) | (1 if index[y, x] == TRANSPARENT else 0)
        packed = bits.to_bytes((n + 7) // 8, "big")
        mask += packed + bytes(and_stride - len(packed))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE16)
    info = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    return info + palette + bytes(xor) + bytes(mask)


def write_ico(path, images):
    images = sorted(images, key=lambda a: -a.shape[0])
    blobs = [ico_image(a) for a in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for a, blob in zip(images, blobs):
        n = a.shape[0]
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    _write(path, out + b"".join(blobs))


def index_to_rgba(index):
    out = np.zeros(index.shape + (4,), dtype=np.uint8)
    for i, c in enumerate(PALETTE16):
        out[index == i] = c + (255,)
    return Image.fromarray(out, "RGBA")


# ---------------------------------------------------------------------------
# Drawing helpers


class Canvas:
    """A picture of w x h units drawn at scale s, supersampled.

    Coordinates are in the units of the 1x bitmap (floats, pixel corners at
    integers); masks are float arrays of coverage in 0..1 at the supersampled
    resolution."""

    def __init__(self, w, h, s, ground=(255, 255, 255)):
        self.w, self.h, self.s = w, h, s
        # The same fine grid whatever the scale: fewer samples per pixel at 2x.
        super_ = max(2, SUPER // s)
        self.k = super_
        self.f = s * super_
        self.W, self.H = w * self.f, h * self.f
        self.rgb = np.zeros((self.H, self.W, 3), dtype=np.float64)
        self.rgb[:] = ground
        ys = (np.arange(self.H) + 0.5) / self.f
        xs = (np.arange(self.W) + 0.5) / self.f
        self.x, self.y = np.meshgrid(xs, ys)

    # masks -----------------------------------------------------------------
    def poly_mask(self, pts):
        m = Image.new("L", (self.W, self.H), 0)
        ImageDraw.Draw(m).polygon([(px * self.f, py * self.f) for px, py in pts], fill=255)
        return np.asarray(m, dtype=np.float64) / 255.0

    def ellipse_mask(self, cx, cy, rx, ry, angle=0.0):
        c, s = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        dx, dy = self.x - cx, self.y - cy
        u = (dx * c + dy * s) / rx
        v = (-dx * s + dy * c) / ry
        return (u * u + v * v <= 1.0).astype(np.float64)

    def tube_mask(self, pts, radii):
        """Union of discs along a polyline, radius interpolated per point."""
        m = np.zeros((self.H, self.W), dtype=bool)
        for (x0, y0), (x1, y1), r0, r1 in zip(pts, pts[1:], radii, radii[1:]):
            dx, dy = x1 - x0, y1 - y0
            ll = dx * dx + dy * dy or 1e-12
            t = np.clip(((self.x - x0) * dx + (self.y - y0) * dy) / ll, 0.0, 1.0)
            d2 = (self.x - x0 - t * dx) ** 2 + (self.y - y0 - t * dy) ** 2
            r = r0 + (r1 - r0) * t
            m |= d2 <= r * r
        return m.astype(np.float64)

    def line_mask(self, pts, width):
        return self.tube_mask(pts, [width / 2.0] * len(pts))

    # painting ----------------------------------------------------------------
    def paint(self, mask, colour):
        """colour: an (r, g, b) triple or an H x W x 3 array."""
        m = mask[..., None]
        self.rgb = self.rgb * (1.0 - m) + np.asarray(colour, dtype=np.float64) * m

    def image(self):
        """Box-average down to the target size."""
        k = self.k
        a = self.rgb.reshape(self.h * self.s, k, self.w * self.s, k, 3).mean(axis=(1, 3))
        return Image.fromarray(np.clip(np.rint(a), 0, 255).astype(np.uint8), "RGB")


def bezier(p0, p1, p2, p3, n=40):
    out = []
    for i in range(n + 1):
        t = i / n
        a, b, c, d = (1 - t) ** 3, 3 * (1 - t) ** 2 * t, 3 * (1 - t) * t * t, t ** 3
        out.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
                    a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))
    return out


def mix(c0, c1, t):
    """Per-pixel blend of two colours, t an array in 0..1."""
    t = np.clip(t, 0.0, 1.0)[..., None]
    return np.asarray(c0, dtype=np.float64) * (1 - t) + np.asarray(c1, dtype=np.float64) * t


def ramp(t, stops):
    """Colour ramp through (position, colour) stops, t an array."""
    t = np.clip(t, stops[0][0], stops[-1][0])
    out = np.zeros(t.shape + (3,))
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        sel = (t >= t0) & (t <= t1)
        u = (t[sel] - t0) / (t1 - t0)
        out[sel] = np.asarray(c0) * (1 - u)[:, None] + np.asarray(c1) * u[:, None]
    return out


def hash_noise(x, y, seed):
    """Deterministic per-pixel noise in 0..1 from integer coordinates."""
    v = (np.asarray(x, dtype=np.int64) * 73856093) ^ (np.asarray(y, dtype=np.int64) * 19349663) ^ (seed * 83492791)
    v = (v ^ (v >> 13)) * 1274126177
    return ((v ^ (v >> 16)) & 0xFFFF) / 65535.0


# ---------------------------------------------------------------------------
# Flags. Each band edge falls on a whole pixel so the bands stay crisp; the
# bands share out the part of the bitmap that its frame shows.


def flag_bands(w, h, s, colours, vertical, visible):
    img = np.zeros((h * s, w * s, 3), dtype=np.uint8)
    n = len(colours)
    weights = [c[1] for c in colours]
    total = sum(weights)
    span = visible * s
    edge, acc = [0], 0
    for wgt in weights:
        acc += wgt
        edge.append(round(span * acc / total))
    edge[-1] = (w if vertical else h) * s  # the last band runs on under the frame
    for i in range(n):
        if vertical:
            img[:, edge[i]:edge[i + 1]] = colours[i][0]
        else:
            img[edge[i]:edge[i + 1], :] = colours[i][0]
    return Image.fromarray(img, "RGB")


def drapeau_allemand(s):
    # Black, red, gold in equal thirds of the 37 rows the frame shows.
    return flag_bands(60, 39, s, [((0, 0, 0), 1), ((221, 0, 0), 1), ((255, 206, 0), 1)], False, 37)


def drapeau_belge(s):
    return flag_bands(60, 44, s, [((0, 0, 0), 1), ((253, 218, 36), 1), ((239, 51, 64), 1)], True, 60)


def drapeau_espagnol(s):
    return flag_bands(60, 39, s, [((173, 21, 25), 1), ((250, 189, 0), 2), ((173, 21, 25), 1)], False, 39)


def drapeau_italien(s):
    return flag_bands(60, 38, s, [((0, 146, 70), 1), ((244, 245, 240), 1), ((206, 43, 55), 1)], True, 60)


def drapeau_luxembourg(s):
    return flag_bands(60, 35, s, [((237, 41, 57), 1), ((255, 255, 255), 1), ((0, 163, 224), 1)], False, 35)


def drapeau_suisse(s):
    # Arms 6/32 of the side wide, the cross 20/32 across, on the square.
    n = 60 * s
    img = np.zeros((n, n, 3), dtype=np.uint8)
    img[:] = (218, 41, 28)
    arm = round(n * 6 / 32 / 2) * 2
    span = round(n * 20 / 32 / 2) * 2
    a0, a1 = (n - arm) // 2, (n + arm) // 2
    b0, b1 = (n - span) // 2, (n + span) // 2
    img[a0:a1, b0:b1] = 255
    img[b0:b1, a0:a1] = 255
    return Image.fromarray(img, "RGB")


def drapeau_anglais(s):
    """The Union flag, laid out on its own 60 x 30 grid: the red saltire sits
    against the centre line of each white diagonal, on the lower side in the
    hoist and the upper side in the fly, so the two halves are counterchanged."""
    blue, red, white = (1, 33, 105), (200, 16, 46), (255, 255, 255)
    c = Canvas(60, 29, s, blue)
    u = c.x * 60.0 / 60.0
    v = c.y * 30.0 / 29.0
    r5 = math.sqrt(5.0)
    d1 = (2 * v - u) / r5          # across the diagonal from the top-left corner
    d2 = (2 * v + u - 60) / r5     # across the diagonal from the bottom-left corner
    c.paint(((np.abs(d1) <= 3) | (np.abs(d2) <= 3)).astype(float), white)
    hoist = u < 30
    red1 = np.where(hoist, (d1 >= 0) & (d1 <= 2), (d1 <= 0) & (d1 >= -2))
    red2 = np.where(hoist, (d2 >= 0) & (d2 <= 2), (d2 <= 0) & (d2 >= -2))
    c.paint((red1 | red2).astype(float), red)
    c.paint(((np.abs(u - 30) <= 5) | (np.abs(v - 15) <= 5)).astype(float), white)
    c.paint(((np.abs(u - 30) <= 3) | (np.abs(v - 15) <= 3)).astype(float), red)
    return c.image()


# ---------------------------------------------------------------------------
# The sea rewards


def voilier(s):
    """Three-masted ship on a calm sea at night-blue dusk. The frame hides the
    last 3 columns, so the drawing keeps within the first 55."""
    c = Canvas(58, 85, s)
    sea_top = 63.0
    c.rgb[:] = ramp(c.y / sea_top, [(0.0, (176, 206, 238)), (1.0, (226, 238, 250))])
    # Moon: a crescent, a pale disc with a sky-coloured disc biting into it.
    moon = c.ellipse_mask(13, 13, 6.5, 6.5) * (1 - c.ellipse_mask(16.2, 11.0, 5.6, 5.6))
    c.paint(moon, (250, 250, 228))
    for sx, sy in [(30, 5), (44, 9), (6, 28), (49, 22)]:
        c.paint(c.ellipse_mask(sx, sy, 0.6, 0.6), (245, 248, 255))
    # Sea with soft light ripples.
    sea = (c.y >= sea_top).astype(float)
    c.paint(sea, ramp((c.y - sea_top) / (85 - sea_top), [(0.0, (78, 128, 190)), (1.0, (22, 52, 112))]))
    for i, (rx, ry, rl) in enumerate([(4, 70, 9), (30, 68, 12), (16, 75, 10), (40, 77, 9), (6, 81, 8), (28, 83, 12), (46, 72, 6)]):
        c.paint(c.line_mask([(rx, ry), (rx + rl, ry)], 0.9), (140, 180, 225))
    # Reflection of the hull and sails.
    refl = c.poly_mask([(9, 64), (49, 64), (45, 71), (13, 71)])
    c.paint(refl * 0.45, (18, 38, 90))

    masts = [(13.0, 22.0, 5.0), (27.0, 12.0, 6.3), (40.5, 17.0, 5.5)]  # x, top, sail half-width
    # Rigging first, behind the sails.
    rig = (44, 62, 104)
    for (x0, t0, _), (x1, t1, _) in zip(masts, masts[1:]):
        c.paint(c.line_mask([(x0, t0 + 1), (x1, t1 + 1)], 0.35), rig)
    c.paint(c.line_mask([(40.5, 18), (53, 52)], 0.35), rig)
    c.paint(c.line_mask([(13, 23), (5, 53)], 0.35), rig)
    for x, top, _ in masts:
        c.paint(c.line_mask([(x, top), (x, 57)], 0.9), (40, 52, 90))
    # Square sails, three on each mast, bellied a little at the foot.
    sail_lo, sail_hi = (236, 243, 253), (196, 214, 240)
    for x, top, hw in masts:
        heights = [top + 2, top + 2 + (55 - top) * 0.36, top + 2 + (55 - top) * 0.66, 54.0]
        for k in range(3):
            y0, y1 = heights[k] + 0.5, heights[k + 1] - 0.6
            wtop = hw * (0.74 + 0.12 * k)
            wbot = hw * (0.86 + 0.12 * k)
            pts = [(x - wtop, y0), (x + wtop, y0)]
            pts += [(x + wbot, y1)]
            pts += [(x + wbot * math.cos(a), y1 + 1.4 * math.sin(a)) for a in np.linspace(0.2, math.pi - 0.2, 12)]
            pts += [(x - wbot, y1)]
            m = c.poly_mask(pts)
            c.paint(m, mix(sail_lo, sail_hi, (c.x - (x - wbot)) / (2 * wbot)))
            c.paint(c.line_mask([(x - wtop, y0), (x + wtop, y0)], 0.6), (70, 88, 130))
    # Jibs from the foremast to the bowsprit.
    c.paint(c.poly_mask([(47.6, 24), (53.5, 52.5), (47.6, 51.5)]), (220, 232, 250))
    # Pennants.
    for x, top, _ in masts:
        c.paint(c.poly_mask([(x, top - 0.2), (x + 5, top + 0.9), (x, top + 2)]), (40, 90, 200))
    # Hull: raised stern on the left, bow on the right, bowsprit beyond it.
    c.paint(c.line_mask([(47, 57), (54, 52.5)], 0.9), (30, 44, 86))
    hull = [(5.5, 53.5), (10, 55.5), (28, 57), (44, 56.5), (51.5, 54.5),
            (48.5, 60), (44, 63.5), (14, 63.5), (8.5, 60.5)]
    c.paint(c.poly_mask(hull), ramp((c.y - 54) / 10, [(0.0, (38, 62, 128)), (1.0, (14, 26, 70))]))
    c.paint(c.line_mask([(8, 58.2), (28, 59.2), (47.8, 58.2)], 1.0), (160, 192, 235))
    for gx in range(14, 46, 5):
        c.paint(c.ellipse_mask(gx, 60.9, 0.6, 0.55), (10, 20, 52))
    # Calm water line in front of the hull.
    c.paint(c.line_mask([(11, 63.6), (46, 63.6)], 0.8), (150, 190, 232))
    return c.image()


def coquille(s):
    """Scallop shell seen from above, hinge at the bottom, on white."""
    c = Canvas(60, 60, s)
    hx, hy = 30.0, 50.0
    dx, dy = c.x - hx, c.y - hy
    rho = np.hypot(dx, dy)
    theta = np.arctan2(dx, -dy)
    tmax = math.radians(60)
    nrib = 11
    u = (theta + tmax) / (2 * tmax) * nrib
    frac = u - np.floor(u)
    rim = 32.5 + 2.0 * np.sin(math.pi * frac)
    fan = ((np.abs(theta) <= tmax) & (rho <= rim)).astype(float)
    # Ears at the hinge, behind the fan.
    ear_col = (244, 150, 80)
    outline = (178, 78, 70)
    for side in (-1, 1):
        ear = [(hx, hy - 6), (hx + side * 10, hy - 5), (hx + side * 6.5, hy + 3), (hx, hy + 4)]
        m = c.poly_mask(ear)
        grown = c.poly_mask([(hx, hy - 6.8), (hx + side * 10.9, hy - 5.7), (hx + side * 7.1, hy + 3.8), (hx, hy + 4.8)])
        c.paint(grown, outline)
        c.paint(m, ear_col)
        for k in (0.35, 0.7):
            c.paint(c.line_mask([(hx + side * 10 * k, hy - 5.5), (hx + side * 6.5 * k, hy + 3.5)], 0.45), (255, 235, 215))
    # Outline: the fan grown by about a pixel.
    rho_o = rho - 0.9
    fan_o = ((np.abs(theta) <= tmax + math.radians(1.6)) & (rho_o <= rim)).astype(float)
    c.paint(fan_o, outline)
    # Colour: orange at the hinge to pink at the rim, ribs alternating shade.
    t = rho / 34.0
    base = ramp(t, [(0.0, (250, 170, 70)), (0.45, (248, 146, 92)), (1.0, (238, 104, 150))])
    odd = (np.floor(u).astype(int) % 2 == 1)
    base = np.where(odd[..., None], base * 0.93 + np.asarray((255, 220, 220)) * 0.07, base)
    # Each rib rounded: lighter along its middle.
    shade = np.cos(math.pi * (frac - 0.5)) ** 2
    base = base * (0.9 + 0.1 * shade[..., None])
    c.paint(fan, base)
    # White grooves between the ribs, widening towards the rim.
    groove_px = np.minimum(frac, 1 - frac) * (2 * tmax / nrib) * rho
    grooves = fan * (groove_px <= 0.35 + 0.014 * rho) * (rho > 5)
    c.paint(grooves, (255, 252, 250))
    # Growth lines across the ribs.
    for r in (13.0, 21.0, 28.5):
        c.paint(fan * (np.abs(rho - r) <= 0.3) * (1 - grooves), (214, 92, 110))
    return c.image()


def dauphin(s):
    """A dolphin leaping from turquoise water, nose up to the left. The frame
    hides the last 5 columns."""
    c = Canvas(80, 39, s)
    surface = 28.0
    c.rgb[:] = ramp(c.y / surface, [(0.0, (196, 230, 248)), (1.0, (232, 246, 252))])
    # Sun-lit cloud, far away.
    c.paint(c.ellipse_mask(62, 8, 7, 2.2) + c.ellipse_mask(58, 6.8, 4, 2.2) > 0, (250, 252, 255))
    # Body along a curve from the tail, still in the water, to the head.
    path = bezier((58, 37), (55, 20), (42, 9.5), (24, 11.5), 48)
    prof = [(0.0, 2.2), (0.25, 4.6), (0.5, 5.4), (0.78, 4.8), (0.93, 3.6), (1.0, 2.6)]
    tt = np.linspace(0, 1, len(path))
    radii = np.interp(tt, [p[0] for p in prof], [p[1] for p in prof])
    back_col, belly_col = (66, 104, 150), (214, 226, 236)
    body = c.tube_mask(path, radii)
    beak = c.tube_mask([(24, 11.5), (19, 13.6), (15.5, 15.2)], [2.6, 1.5, 1.0])
    # Dorsal fin on the outer side of the arch, swept back towards the tail.
    fin = c.poly_mask([(43.5, 12.5), (50.5, 4.0), (50.6, 8.5), (52.5, 15.5)])
    flipper = c.poly_mask([(32.5, 14.0), (30.5, 21.5), (36.5, 15.5)])
    c.paint(fin, back_col)
    c.paint(flipper, (56, 90, 134))
    c.paint(np.maximum(body, beak), back_col)
    # Pale belly: the side of the body towards the inside of the arch.
    belly_path = [(px - 2.6 * 0.55, py + 2.6) for px, py in path[18:]]
    belly = c.tube_mask(belly_path, list(radii[18:] * 0.62))
    belly_b = c.tube_mask([(22, 14.0), (17, 15.4), (15.5, 15.9)], [1.4, 0.9, 0.6])
    c.paint(np.maximum(belly, belly_b) * np.maximum(body, beak), belly_col)
    # Highlight along the back.
    hl = c.tube_mask([(px + 0.8, py - 2.6) for px, py in path[14:40]], [0.7] * 26) * body
    c.paint(hl, (120, 160, 205))
    # Eye and smile.
    c.paint(c.ellipse_mask(24.8, 10.6, 1.05, 1.05), (20, 28, 44))
    c.paint(c.ellipse_mask(24.5, 10.2, 0.35, 0.35), (255, 255, 255))
    c.paint(c.line_mask([(16.5, 15.0), (20, 14.4), (22.6, 13.4)], 0.45), (40, 60, 90))
    # Water over the lower body, with crests and a splash round the dolphin.
    water = (c.y >= surface + 0.6 * np.sin(c.x * 0.55)).astype(float)
    c.paint(water, ramp((c.y - surface) / (39 - surface), [(0.0, (64, 206, 206)), (1.0, (0, 140, 160))]))
    for wx, wy, wl in [(3, 31, 9), (18, 34, 10), (36, 31.5, 8), (66, 32, 9), (8, 37, 8), (44, 36.5, 10), (70, 37, 6)]:
        c.paint(c.line_mask([(wx, wy), (wx + wl * 0.5, wy - 0.8), (wx + wl, wy)], 0.7), (170, 240, 238))
    splash = (c.ellipse_mask(58, 28.3, 8.5, 1.6) + c.ellipse_mask(52.2, 27.2, 2.2, 1.6)
              + c.ellipse_mask(64.5, 27.0, 2.0, 1.5)) > 0
    c.paint(splash.astype(float), (236, 252, 252))
    for dx_, dy_, r in [(49.5, 24, 0.8), (66.5, 23.5, 0.8), (47.5, 21, 0.6), (68.5, 20.5, 0.6), (63, 24.6, 0.6)]:
        c.paint(c.ellipse_mask(dx_, dy_, r, r), (236, 252, 252))
    return c.image()


def phoque(s):
    """A grey seal lying on the sand, head raised at the left. The frame shows
    only the top-left 44 x 21 pixels, so the head and shoulders lie there."""
    c = Canvas(60, 30, s)
    sand_top = 11.5
    c.rgb[:] = ramp(c.y / 8, [(0.0, (204, 228, 242)), (1.0, (226, 240, 248))])
    sea = ((c.y >= 7.5) & (c.y < sand_top)).astype(float)
    c.paint(sea, (150, 198, 222))
    c.paint(c.line_mask([(0, 10.2), (60, 10.2)], 0.5), (235, 246, 250))
    sand = (c.y >= sand_top - 0.4 * np.sin(c.x * 0.3)).astype(float)
    grain = hash_noise(np.floor(c.x * 2), np.floor(c.y * 2), 7)
    sand_col = ramp((c.y - sand_top) / 18, [(0.0, (240, 228, 196)), (1.0, (230, 212, 172))])
    sand_col = sand_col - 10 * (grain[..., None] > 0.93)
    c.paint(sand, sand_col)
    # Shadow on the sand.
    c.paint(c.ellipse_mask(31, 21.4, 25, 2.0) * 0.5, (196, 178, 140))
    body_path = [(11, 9.5), (16, 12.5), (24, 14.8), (34, 15.6), (44, 16.6), (51, 17.8), (55, 18.6)]
    body_r = [4.3, 4.8, 5.6, 5.4, 4.2, 2.8, 1.8]
    body = c.tube_mask(body_path, body_r)
    head = c.ellipse_mask(8.6, 8.2, 5.0, 4.4, -12)
    snout = c.ellipse_mask(4.0, 10.0, 3.2, 2.3, -8)
    tail = np.maximum(c.poly_mask([(53, 18), (59.5, 14.2), (58.5, 17.6)]), c.poly_mask([(53, 18.6), (59.5, 21.2), (58, 18.8)]))
    seal = np.maximum.reduce([body, head, snout, tail])
    top_col, low_col = (104, 110, 118), (186, 190, 192)
    # Darker on the back, paler underneath.
    c.paint(seal, mix(top_col, low_col, (c.y - 5) / 15))
    spots = seal * (hash_noise(np.floor(c.x * 0.9), np.floor(c.y * 0.9), 3) > 0.86) * (c.y < 16) * (c.x > 14)
    c.paint(spots * 0.7, (80, 84, 92))
    c.paint(snout, (160, 164, 168))
    # Fore flipper lying on the sand.
    c.paint(c.ellipse_mask(19.5, 19.4, 3.2, 1.2, 12), (90, 96, 104))
    # Eye, nose and whiskers.
    c.paint(c.ellipse_mask(7.6, 6.9, 1.25, 1.35), (18, 18, 22))
    c.paint(c.ellipse_mask(7.2, 6.4, 0.4, 0.4), (255, 255, 255))
    c.paint(c.ellipse_mask(1.6, 9.4, 0.9, 0.75), (24, 24, 28))
    c.paint(c.line_mask([(2.5, 11.3), (4.2, 11.6)], 0.4), (60, 60, 66))
    for wy in (10.8, 11.8):
        c.paint(c.line_mask([(4.8, wy), (8.5, wy + 0.8)], 0.3) * 0.8, (250, 250, 250))
    return c.image()


# ---------------------------------------------------------------------------
# The error window's sign and the winner's cup


def sens_interdit(s):
    """No-entry sign: the whole sign within the frame's 117 x 109 pixels, the
    columns and rows it cuts off left white."""
    c = Canvas(120, 113, s)
    cx, cy = 58.5, 54.5
    c.paint(c.ellipse_mask(cx, cy, 52.0, 52.0), (96, 96, 100))
    c.paint(c.ellipse_mask(cx, cy, 51.2, 51.2), (255, 255, 255))
    c.paint(c.ellipse_mask(cx, cy, 48.6, 48.6), (214, 24, 32))
    c.paint(c.poly_mask([(cx - 35, cy - 9.5), (cx + 35, cy - 9.5), (cx + 35, cy + 9.5), (cx - 35, cy + 9.5)]), (255, 255, 255))
    return c.image()


GOLD_STOPS = [(-1.0, (122, 76, 10)), (-0.55, (236, 186, 60)), (-0.3, (255, 246, 176)),
              (0.05, (240, 196, 64)), (0.6, (198, 140, 28)), (1.0, (120, 74, 8))]


def coupe(s):
    """Golden cup between laurels on violet-blue. Rows 200 to 216 carry the
    program's label over columns 8 to 208, so the foot ends above them."""
    c = Canvas(225, 225, s)
    cx = 110.0
    # Ground: a glow behind the cup, darkening outwards and to the bottom.
    r = np.hypot((c.x - cx) / 1.0, (c.y - 92) / 1.1) / 130.0
    ground = ramp(r, [(0.0, (104, 94, 196)), (0.5, (54, 42, 132)), (1.0, (30, 20, 84))])
    bottom = np.clip((c.y - 150) / 60, 0, 1)[..., None]
    ground = ground * (1 - bottom) + np.asarray((14, 8, 42)) * bottom
    c.rgb[:] = ground

    def gold(hw_at, x0=cx):
        t = (c.x - x0) / np.maximum(hw_at, 1e-6)
        return ramp(t, GOLD_STOPS)

    # Laurel branches, behind the cup.
    for side in (-1, 1):
        stem = bezier((cx + side * 12, 190), (cx + side * 88, 180), (cx + side * 102, 100), (cx + side * 62, 34), 60)
        c.paint(c.line_mask(stem, 2.6), (150, 104, 20))
        for i in range(4, 58, 5):
            (x0, y0), (x1, y1) = stem[i], stem[i + 1]
            ang = math.degrees(math.atan2(y1 - y0, x1 - x0))
            size = 1.0 - 0.35 * i / 60
            for k, off in ((0, 40), (1, -40)):
                a = ang + off
                ll = 10.0 * size
                lx = x0 + math.cos(math.radians(a)) * ll * 0.85
                ly = y0 + math.sin(math.radians(a)) * ll * 0.85
                leaf = c.ellipse_mask(lx, ly, ll, 3.6 * size, a)
                shade = (232, 182, 52) if k == 0 else (200, 148, 34)
                c.paint(c.ellipse_mask(lx, ly, ll + 0.9, 3.6 * size + 0.9, a), (112, 70, 10))
                c.paint(leaf, shade)
                c.paint(c.line_mask([(x0, y0), (lx + math.cos(math.radians(a)) * ll * 0.7,
                                                ly + math.sin(math.radians(a)) * ll * 0.7)], 0.7), (150, 100, 18))
        c.paint(c.ellipse_mask(stem[-1][0], stem[-1][1], 5.5, 3.2, side * -60), (236, 190, 62))

    # Handles: thick gold loops on each side of the bowl.
    for side in (-1, 1):
        loop = bezier((cx + side * 36, 52), (cx + side * 80, 46), (cx + side * 76, 104), (cx + side * 22, 112), 50)
        c.paint(c.line_mask(loop, 10.5), (112, 70, 10))
        c.paint(c.line_mask(loop, 8.0), (216, 162, 40))
        c.paint(c.line_mask([(px - side * 0.3, py - 1.8) for px, py in loop], 2.6), (255, 238, 160))

    # Bowl, stem and foot as one profile: half-width by height.
    prof = [(42, 46), (60, 44), (82, 38), (100, 29), (114, 17), (124, 8), (130, 6.5), (140, 6.5),
            (150, 8), (160, 18), (166, 30)]
    ys = np.array([p[0] for p in prof], dtype=float)
    hws = np.array([p[1] for p in prof], dtype=float)
    hw = np.interp(c.y, ys, hws)
    body = ((c.y >= ys[0]) & (c.y <= ys[-1]) & (np.abs(c.x - cx) <= hw)).astype(float)
    outline_w = 1.2
    body_o = ((c.y >= ys[0] - outline_w) & (c.y <= ys[-1] + outline_w) & (np.abs(c.x - cx) <= hw + outline_w)).astype(float)
    c.paint(body_o, (96, 58, 6))
    c.paint(body, gold(hw))
    # Knot on the stem.
    knot = c.ellipse_mask(cx, 135, 11, 5)
    c.paint(c.ellipse_mask(cx, 135, 12.2, 6.2), (96, 58, 6))
    c.paint(knot, gold(11.0))
    # Plinth in two steps.
    for (y0, y1, h) in [(166, 173, 40), (173, 190, 46)]:
        m = c.poly_mask([(cx - h, y0), (cx + h, y0), (cx + h, y1), (cx - h, y1)])
        c.paint(c.poly_mask([(cx - h - 1.2, y0 - 1.2), (cx + h + 1.2, y0 - 1.2), (cx + h + 1.2, y1 + 1.2), (cx - h - 1.2, y1 + 1.2)]), (96, 58, 6))
        c.paint(m, gold(float(h)))
    # A plate on the plinth.
    c.paint(c.poly_mask([(cx - 24, 177), (cx + 24, 177), (cx + 24, 186), (cx - 24, 186)]), (150, 98, 18))
    c.paint(c.poly_mask([(cx - 22, 178.5), (cx + 22, 178.5), (cx + 22, 184.5), (cx - 22, 184.5)]), (246, 214, 110))
    # Rim seen from slightly above: the dark inside, then the lip.
    c.paint(c.ellipse_mask(cx, 43, 47.5, 8.2), (96, 58, 6))
    c.paint(c.ellipse_mask(cx, 43, 46, 7), (255, 226, 120))
    c.paint(c.ellipse_mask(cx, 43.6, 42, 5.4), ramp((c.x - cx) / 42, [(-1, (96, 56, 6)), (0, (150, 96, 16)), (1, (84, 48, 4))]))
    # A star embossed on the bowl.
    pts = []
    for k in range(10):
        a = math.radians(-90 + 36 * k)
        rr = 11.0 if k % 2 == 0 else 4.6
        pts.append((cx + rr * math.cos(a), 78 + rr * math.sin(a)))
    c.paint(c.poly_mask([(x, y + 1.0) for x, y in pts]), (150, 96, 14))
    c.paint(c.poly_mask(pts), (255, 240, 150))
    # Sparkles.
    for sx, sy, sz in [(62, 30, 7), (160, 62, 6), (78, 120, 4.5), (172, 26, 4)]:
        c.paint(c.poly_mask([(sx, sy - sz), (sx + sz * 0.22, sy - sz * 0.22), (sx + sz, sy), (sx + sz * 0.22, sy + sz * 0.22),
                             (sx, sy + sz), (sx - sz * 0.22, sy + sz * 0.22), (sx - sz, sy), (sx - sz * 0.22, sy - sz * 0.22)]),
                (255, 250, 214))
    return c.image()


# ---------------------------------------------------------------------------
# Icons


def france_outline():
    """Mainland France from DCW-GMT, as (x, y) with y down, in a plane where
    one unit east equals one unit north at 46.5 degrees of latitude."""
    # In a scratch directory, so gmt leaves no gmt.history behind.
    with tempfile.TemporaryDirectory() as scratch:
        text = subprocess.run(["gmt", "coast", "-EFR", "-M"], check=True, capture_output=True, text=True,
                              cwd=scratch).stdout
    segments, cur = [], None
    for line in text.splitlines():
        if line.startswith(">"):
            cur = []
            segments.append(cur)
        elif line.strip() and cur is not None:
            lon, lat = map(float, line.split()[:2])
            cur.append((lon, lat))
    mainland = max(segments, key=len)
    k = math.cos(math.radians(46.5))
    return [(lon * k, -lat) for lon, lat in mainland]


def france_coverage(outline, n, margin, super_=16):
    """Coverage of the outline fitted into an n x n square whose last `margin`
    columns and rows stay free for the grey edge."""
    xs = [p[0] for p in outline]
    ys = [p[1] for p in outline]
    x0, x1, y0, y1 = min(xs), max(xs), min(ys), max(ys)
    room = n - margin
    scale = room / max(x1 - x0, y1 - y0)
    ox = (room - (x1 - x0) * scale) / 2
    oy = (room - (y1 - y0) * scale) / 2
    f = super_
    m = Image.new("L", (n * f, n * f), 0)
    pts = [((x - x0) * scale * f + ox * f, (y - y0) * scale * f + oy * f) for x, y in outline]
    ImageDraw.Draw(m).polygon(pts, fill=255)
    hi = np.asarray(m, dtype=np.float64) / 255.0
    return hi, f


def france_icon_pixels(outline, n):
    """The icon drawn pixel by pixel in the 16-colour palette."""
    hi, f = france_coverage(outline, n, 1)
    cov = hi.reshape(n, f, n, f).mean(axis=(1, 3))
    inside = cov >= 0.5
    cols = np.where(inside.any(axis=0))[0]
    xa, xb = cols[0], cols[-1] + 1
    third = (xb - xa) / 3.0
    idx = np.full((n, n), TRANSPARENT, dtype=np.int64)
    xx = np.arange(n)[None, :].repeat(n, axis=0)
    band = np.clip(((xx + 0.5 - xa) / third).astype(int), 0, 2)
    colour = np.array([BLUE, WHITE, RED])[band]
    idx[inside] = colour[inside]
    # Grey edge: where the shape, moved one pixel right and/or down, leaves it.
    shadow = np.zeros_like(inside)
    shadow[1:, 1:] |= inside[:-1, :-1]
    shadow[:, 1:] |= inside[:, :-1]
    shadow[1:, :] |= inside[:-1, :]
    idx[shadow & ~inside] = GREY
    # Silver along the top of the white band, so the white reads on a light title bar.
    for x in range(n):
        rows = np.where(inside[:, x])[0]
        if len(rows) and band[0, x] == 1:
            idx[rows[0], x] = SILVER
    return idx


def france_icon_rgba(outline, n):
    """The same design, antialiased, for the larger desktop icon sizes."""
    hi, f = france_coverage(outline, n, max(1, round(n / 32)), super_=8)
    N = n * f
    inside = hi >= 0.5
    cols = np.where(inside.any(axis=0))[0]
    xa, xb = cols[0], cols[-1] + 1
    # Band edges on whole pixels of the icon, so no blended column runs down it.
    e1 = round((xa + (xb - xa) / 3.0) / f) * f
    e2 = round((xa + 2 * (xb - xa) / 3.0) / f) * f
    xs = np.arange(N)
    band = np.where(xs < e1, 0, np.where(xs < e2, 1, 2))
    band = np.broadcast_to(band[None, :], (N, N))
    d = max(1, round(n / 32)) * f
    shadow = np.zeros_like(inside)
    shadow[d:, d:] = inside[:-d, :-d]
    rgba = np.zeros((N, N, 4), dtype=np.float64)
    rgba[shadow] = (128, 128, 128, 255)
    cols_rgb = np.array([(0, 0, 255), (255, 255, 255), (255, 0, 0)], dtype=np.float64)
    rgba[inside, :3] = cols_rgb[band[inside]]
    rgba[inside, 3] = 255
    t = max(1, round(n / 32)) * f
    top = inside.copy()
    top[t:, :] &= ~inside[:-t, :]
    top[:t, :] = inside[:t, :]
    rgba[top & (band == 1), :3] = (192, 192, 192)
    a = rgba[..., 3:4] / 255.0
    pre = np.concatenate([rgba[..., :3] * a, a], axis=2)
    small = pre.reshape(n, f, n, f, 4).mean(axis=(1, 3))
    alpha = small[..., 3:4]
    colour = np.where(alpha > 0, small[..., :3] / np.maximum(alpha, 1e-9), 0)
    out = np.concatenate([colour, alpha * 255], axis=2)
    return Image.fromarray(np.clip(np.rint(out), 0, 255).astype(np.uint8), "RGBA")


def _pixel_art(rows):
    key = {".": TRANSPARENT, "K": BLACK, "S": SILVER, "G": GREY}
    return np.array([[key[ch] for ch in row] for row in rows], dtype=np.int64)


# At 16 pixels a scaled-down outline leaves no body inside the jaws, so the
# small wrench is drawn pixel by pixel: one open end towards the top right.
WRENCH_16 = _pixel_art([
    "..........KKK...",
    "..........KSK...",
    "..........KSK...",
    "..........KSK...",
    ".........KSSKKKK",
    "........KSSSSSSK",
    ".......KSSSSGGGK",
    "......KSSSGKKKK.",
    ".....KSSGK......",
    "....KSSGK.......",
    "...KSSGK........",
    "..KSSGK.........",
    ".KSSGK..........",
    ".KSGK...........",
    ".KKK............",
    "................",
])


def wrench_pixels(n):
    """A double open-end wrench across the icon from bottom-left to top-right:
    black outline, silver body with a grey shaded side."""
    f = 16
    u = (np.arange(n * f) + 0.5) / f * 32.0 / n
    x, y = np.meshgrid(u, u)
    ax, ay = 1 / math.sqrt(2), -1 / math.sqrt(2)   # along the wrench, towards the top right

    def seg_dist(x0, y0, x1, y1):
        dx, dy = x1 - x0, y1 - y0
        t = np.clip(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0, 1)
        return np.hypot(x - x0 - t * dx, y - y0 - t * dy)

    def head(cx, cy, r, slot, direction):
        disc = np.hypot(x - cx, y - cy) <= r
        along = ((x - cx) * ax + (y - cy) * ay) * direction
        across = -(x - cx) * ay + (y - cy) * ax
        jaw = (along >= -slot * 0.35) & (np.abs(across) <= slot / 2)
        return disc & ~jaw

    if n < 32:
        return WRENCH_16.copy()
    shape = seg_dist(9, 23, 21, 11) <= 2.9
    shape |= head(22.8, 9.2, 7.6, 5.6, 1)
    shape |= head(7.4, 24.6, 5.9, 4.2, -1)
    cov = shape.reshape(n, f, n, f).mean(axis=(1, 3))
    inside = cov >= 0.5
    idx = np.full((n, n), TRANSPARENT, dtype=np.int64)
    pad = np.pad(inside, 1)
    edge = inside & ~(pad[:-2, 1:-1] & pad[2:, 1:-1] & pad[1:-1, :-2] & pad[1:-1, 2:])
    idx[inside] = SILVER
    # Shade the lower-right side of the body: interior pixels with outline to their right or below.
    pe = np.pad(edge, 1)
    shade = inside & ~edge & (pe[2:, 1:-1] | pe[1:-1, 2:]) & ~(pe[:-2, 1:-1] | pe[1:-1, :-2])
    idx[shade] = GREY
    idx[edge] = BLACK
    return idx


# ---------------------------------------------------------------------------

REWARDS = [
    ("DrapeauAllemand", drapeau_allemand, (60, 39)),
    ("DrapeauBelge", drapeau_belge, (60, 44)),
    ("DrapeauESpagnol", drapeau_espagnol, (60, 39)),
    ("DrapeauAnglais", drapeau_anglais, (60, 29)),
    ("DrapeauItalien", drapeau_italien, (60, 38)),
    ("DrapeauLuxembourg", drapeau_luxembourg, (60, 35)),
    ("DrapeauSuisse", drapeau_suisse, (60, 60)),
    ("Voilier", voilier, (58, 85)),
    ("Coquille", coquille, (60, 60)),
    ("Dauphin", dauphin, (80, 39)),
    ("Phoque", phoque, (60, 30)),
]
PICTURES = [
    ("SensInterdit", sens_interdit, (120, 113)),
    ("Coupe", coupe, (225, 225)),
]


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", required=True, help="the assets directory")
    ap.add_argument("--no-2x", action="store_true", help="skip the double-size PNGs")
    ap.add_argument("--only", help="draw only the named picture (for trying out)")
    args = ap.parse_args()
    out = args.out

    for folder, table in (("rewards", REWARDS), ("pictures", PICTURES)):
        for name, draw, size in table:
            if args.only and args.only != name:
                continue
            img = draw(1)
            assert img.size == size, (name, img.size)
            write_bmp(os.path.join(out, folder, name + ".bmp"), img)
            if not args.no_2x:
                big = draw(2)
                assert big.size == (2 * size[0], 2 * size[1])
                write_png(os.path.join(out, folder, name + "@2x.png"), big)
    if args.only:
        return

    outline = france_outline()
    small = {n: france_icon_pixels(outline, n) for n in (16, 32)}
    write_ico(os.path.join(out, "icons", "varnelle.ico"), [small[32], small[16]])
    for n in (16, 32, 48, 64, 128, 256):
        img = index_to_rgba(small[n]) if n in small else france_icon_rgba(outline, n)
        write_png(os.path.join(out, "icons", "varnelle-%d.png" % n), img)
    write_ico(os.path.join(out, "icons", "erreur.ico"), [wrench_pixels(32), wrench_pixels(16)])


if __name__ == "__main__":
    main()
