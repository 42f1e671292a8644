#!/usr/bin/python3
"""Draws the city revision map (assets/pictures/VillesDeFrance.png).

France's outline and land borders come from DCW-GMT and its coasts from GSHHG,
both read through `gmt coast`; the towns come from towns.tsv, curated once from
GeoNames. Shapes are drawn four times oversized and reduced, so coasts and
symbols are smooth; names are drawn afterwards at the final size, where
FreeType hints them for the screen. Every drawing length is in 1x pixels times
--scale, so the @2x picture has the same layout as the 1x one.

Run:  tools/artwork/revision_map.py --out assets [--scale 1|2]
"""

import argparse
import csv
import math
import subprocess
import sys
import tempfile
from dataclasses import dataclass
from pathlib import Path

import numpy as np
from PIL import Image, ImageChops, ImageDraw, ImageFont
from scipy.spatial import cKDTree

HERE = Path(__file__).resolve().parent
TOWNS_TABLE = HERE / "towns.tsv"
CITIES_TABLE = HERE / "cities.tsv"  # the cities of the quiz; each must be on the map, named where it lies
FONT_DIR = Path("/usr/share/fonts/truetype/liberation2")  # Liberation 2, under the OFL

WIDTH, HEIGHT = 832, 860
SUPERSAMPLE = 4

SEA_GREY = (226, 226, 226)
FRANCE_YELLOW = (255, 219, 43)
LINE_DARK = (60, 50, 40)
TITLE_BLUE = (63, 72, 204)
INSET_GREEN = (0, 150, 60)
SYMBOL_RED = (220, 20, 20)
SYMBOL_OUTLINE = (40, 40, 40)
TEXT_BLACK = (0, 0, 0)

TITLE = "Villes de France"
TITLE_ORIGIN = (12, 10)  # left, top of the title's ink
TITLE_SIZE = 40

# Lambert conformal conic on the sphere, secant at 44°N and 49°N: the usual
# projection of French maps, so the country has the shape children know.
EARTH_RADIUS_KM = 6371.0
LCC_PARALLELS = (44.0, 49.0)
LCC_ORIGIN = (3.0, 46.5)

# Mainland: kilometres per 1x pixel, and where the projection origin lands.
MAINLAND_KM_PER_PX = 1.25
MAINLAND_ORIGIN_PX = (473.0, 434.0)

# Corsica does not fit beside the Riviera at the mainland's scale, so it sits
# in a corner inset at a smaller scale, behind a green line.
INSET_LEFT, INSET_TOP = 724, 722
CORSICA_CENTRE = (9.1, 42.15)
CORSICA_KM_PER_PX = 1.5
CORSICA_CENTRE_PX = (780.0, 793.0)
CORSICA_BOX = (8.3, 41.2, 9.8, 43.2)  # lon, lat bounds that select Corsica

GMT_REGION = "-R-6/10/41/51.5"
# A GSHHG coast vertex farther than this from the DCW outline is not French
# (Jersey, Sardinia, Spain); a DCW vertex farther than this from any GSHHG
# coast is a land border.
COAST_MATCH_KM = 3.0


@dataclass(frozen=True)
class FontSpec:
    file: str
    size: int


TOWN_FONT = FontSpec("LiberationSans-Regular.ttf", 11)
MAJOR_FONT = FontSpec("LiberationSans-Bold.ttf", 13)
CAPITAL_FONT = FontSpec("LiberationSans-Bold.ttf", 16)
TITLE_FONT = FontSpec("LiberationSerif-Bold.ttf", TITLE_SIZE)

SYMBOL_RADIUS = {"town": 3.0, "major": 3.5, "capital": 5.5}
LABEL_GAP = 2.0

# Compass positions in order of preference: right of the symbol first, as
# atlases do, then left, then the diagonals, then above and below.
POSITIONS = ("E", "W", "NE", "SE", "NW", "SW", "N", "S")


# ----------------------------------------------------------------- geometry

def _lcc_constants():
    p1, p2 = (math.radians(v) for v in LCC_PARALLELS)
    p0 = math.radians(LCC_ORIGIN[1])
    n = math.log(math.cos(p1) / math.cos(p2)) / math.log(
        math.tan(math.pi / 4 + p2 / 2) / math.tan(math.pi / 4 + p1 / 2))
    f = math.cos(p1) * math.tan(math.pi / 4 + p1 / 2) ** n / n
    r0 = EARTH_RADIUS_KM * f / math.tan(math.pi / 4 + p0 / 2) ** n
    return n, f, r0


_N, _F, _R0 = _lcc_constants()


def project_km(lon, lat):
    """Lambert conformal conic, kilometres east and north of the origin."""
    lon = np.radians(np.asarray(lon, dtype=float))
    lat = np.radians(np.asarray(lat, dtype=float))
    r = EARTH_RADIUS_KM * _F / np.tan(np.pi / 4 + lat / 2) ** _N
    theta = _N * (lon - math.radians(LCC_ORIGIN[0]))
    return r * np.sin(theta), _R0 - r * np.cos(theta)


_CORSICA_KM = project_km(*CORSICA_CENTRE)


def in_corsica(lon, lat):
    lon0, lat0, lon1, lat1 = CORSICA_BOX
    return (lon0 <= lon <= lon1) and (lat0 <= lat <= lat1)


def to_px(lon, lat, corsica):
    """1x pixel coordinates of geographic points, mainland or inset frame."""
    x, y = project_km(lon, lat)
    if corsica:
        return (CORSICA_CENTRE_PX[0] + (x - _CORSICA_KM[0]) / CORSICA_KM_PER_PX,
                CORSICA_CENTRE_PX[1] - (y - _CORSICA_KM[1]) / CORSICA_KM_PER_PX)
    return (MAINLAND_ORIGIN_PX[0] + x / MAINLAND_KM_PER_PX,
            MAINLAND_ORIGIN_PX[1] - y / MAINLAND_KM_PER_PX)


# -------------------------------------------------------------------- data

def gmt_segments(*args):
    """Runs `gmt coast ... -M` and returns its segments as (header, N x 2 lon/lat)."""
    # Run in a scratch directory: gmt leaves a gmt.history file where it runs.
    with tempfile.TemporaryDirectory() as scratch:
        out = subprocess.run(["gmt", "coast", *args, "-M"], check=True, cwd=scratch,
                             capture_output=True, text=True).stdout
    segments, header, points = [], None, []
    for line in out.splitlines():
        if line.startswith(">"):
            if header is not None and points:
                segments.append((header, np.array(points)))
            header, points = line[1:].strip(), []
        elif line.strip():
            lon, lat = line.split()[:2]
            points.append((float(lon), float(lat)))
    if header is not None and points:
        segments.append((header, np.array(points)))
    return segments


def _densify_km(points_km, step_km=0.25):
    pieces = []
    for (x0, y0), (x1, y1) in zip(points_km[:-1], points_km[1:]):
        n = int(math.hypot(x1 - x0, y1 - y0) / step_km) + 1
        t = np.arange(n) / n
        pieces.append(np.c_[x0 + t * (x1 - x0), y0 + t * (y1 - y0)])
    pieces.append(points_km[-1:])
    return np.vstack(pieces)


def _runs(points, keep):
    """Splits a polyline into the runs of consecutive kept vertices."""
    runs, current = [], []
    for point, k in zip(points, keep):
        if k:
            current.append(point)
        elif current:
            runs.append(np.array(current))
            current = []
    if current:
        runs.append(np.array(current))
    return [r for r in runs if len(r) > 1]


def load_france():
    """France's polygons (for the fill) and its lines: GSHHG coasts, DCW land borders."""
    polygons = [pts for _, pts in gmt_segments("-EFR", GMT_REGION)]
    outline_km = [np.c_[project_km(p[:, 0], p[:, 1])] for p in polygons]
    dcw_tree = cKDTree(np.vstack([_densify_km(p) for p in outline_km]))

    shores = [pts for header, pts in gmt_segments("-W", "-Dh", GMT_REGION)
              if "Level 1" in header and len(pts) > 1]
    shores_km = [np.c_[project_km(p[:, 0], p[:, 1])] for p in shores]
    coast_tree = cKDTree(np.vstack([_densify_km(p) for p in shores_km]))

    lines = []
    for pts, km in zip(shores, shores_km):
        near, _ = dcw_tree.query(km)
        lines += _runs(pts, near <= COAST_MATCH_KM)
    for pts, km in zip(polygons, outline_km):
        near, _ = coast_tree.query(km)
        border = near > COAST_MATCH_KM
        # Keep one vertex of overlap on each side so borders meet the coast.
        border = border | np.r_[border[1:], False] | np.r_[False, border[:-1]]
        lines += _runs(pts, border)
    return polygons, lines


@dataclass
class Town:
    name: str
    lon: float
    lat: float
    kind: str
    place: str

    @property
    def corsica(self):
        return in_corsica(self.lon, self.lat)


def read_table(path):
    """The rows of a tab-separated table with a header line and # comments."""
    rows = [line for line in path.read_text(encoding="utf-8").splitlines()
            if line and not line.startswith("#")]
    return list(csv.DictReader(rows, delimiter="\t"))


QUIZ_CITIES = tuple(row["name"] for row in read_table(CITIES_TABLE))


def read_towns(path=TOWNS_TABLE):
    towns = [Town(r["name"], float(r["lon"]), float(r["lat"]), r["kind"], r["place"])
             for r in read_table(path)]
    for t in towns:
        if t.kind not in SYMBOL_RADIUS:
            raise ValueError(f"{t.name}: unknown kind {t.kind!r}")
    return towns


# ------------------------------------------------------------------ drawing

def font(style, scale):
    return ImageFont.truetype(str(FONT_DIR / style.file), style.size * scale)


def draw_shapes(polygons, lines, towns, scale):
    """Land, coasts, the inset line and the town symbols, smoothed by
    oversampling; also the land and sea alone, which names are haloed with."""
    k = scale * SUPERSAMPLE
    size = (WIDTH * k, HEIGHT * k)

    def pts(lonlat):
        corsica = in_corsica(*lonlat.mean(axis=0))
        x, y = to_px(lonlat[:, 0], lonlat[:, 1], corsica)
        return list(zip((x * k).tolist(), (y * k).tolist()))

    # Even-odd fill, so that a polygon lying inside another (Llívia, Spain's
    # enclave) makes a hole.
    land = Image.new("1", size, 0)
    for polygon in polygons:
        one = Image.new("1", size, 0)
        ImageDraw.Draw(one).polygon(pts(polygon), fill=1)
        land = ImageChops.logical_xor(land, one)

    image = Image.new("RGB", size, SEA_GREY)
    image.paste(FRANCE_YELLOW, mask=land)
    fills = image.resize((WIDTH * scale, HEIGHT * scale), Image.LANCZOS)
    draw = ImageDraw.Draw(image)
    line_width = max(1, round(0.9 * k))
    for line in lines:
        draw.line(pts(line), fill=LINE_DARK, width=line_width, joint="curve")

    green = max(1, round(1.2 * k))
    draw.line([(INSET_LEFT * k, HEIGHT * k), (INSET_LEFT * k, INSET_TOP * k),
               (WIDTH * k, INSET_TOP * k)], fill=INSET_GREEN, width=green)

    outline = max(1, round(1.0 * k))
    for t in towns:
        x, y = (v * k for v in to_px(t.lon, t.lat, t.corsica))
        r = SYMBOL_RADIUS[t.kind] * k
        box = (x - r, y - r, x + r, y + r)
        if t.kind == "capital":
            draw.ellipse(box, fill=SYMBOL_RED, outline=TEXT_BLACK, width=outline)
            c = 1.8 * k
            draw.ellipse((x - c, y - c, x + c, y + c), fill=TEXT_BLACK)
        elif t.kind == "major":
            draw.rectangle(box, fill=SYMBOL_RED, outline=SYMBOL_OUTLINE, width=outline)
        else:
            draw.ellipse(box, fill=(255, 255, 255), outline=SYMBOL_OUTLINE, width=outline)
    return image.resize((WIDTH * scale, HEIGHT * scale), Image.LANCZOS), fills


# ---------------------------------------------------------------- placement

@dataclass
class Label:
    town: Town
    text_font: ImageFont.FreeTypeFont
    origin: tuple  # left baseline, 1x pixels
    box: tuple  # ink extent plus underline, 1x pixels: x0, y0, x1, y1
    underline: bool


def _overlaps(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def _distance(box, x, y):
    dx = max(box[0] - x, 0, x - box[2])
    dy = max(box[1] - y, 0, y - box[3])
    return math.hypot(dx, dy)


def _inside(box, frame):
    return (box[0] >= frame[0] and box[1] >= frame[1]
            and box[2] <= frame[2] and box[3] <= frame[3])


def label_extent(text, f, underline):
    """Label extent around its left baseline: ink left/right, and a vertical
    extent fixed per font, so that all names of a size share one baseline rule."""
    x0, _, x1, _ = f.getbbox(text, anchor="ls")
    top = f.getbbox("ÉÎÂHdl", anchor="ls")[1]
    bottom = f.getbbox("gjpqy", anchor="ls")[3]
    if underline:
        bottom = max(bottom, 3)
    return x0, top, x1, bottom


def candidate_origins(x, y, r, extent):
    """Left-baseline origins of the label for each compass position."""
    x0, top, x1, bottom = extent
    w = x1 - x0
    gap = r + LABEL_GAP
    mid = y - (top + bottom) / 2  # baseline that centres the label on the symbol
    diag = r * 0.71 + LABEL_GAP + 1
    spots = {
        "E": (x + gap, mid),
        "W": (x - gap - w, mid),
        "NE": (x + diag, y - diag - bottom),
        "SE": (x + diag, y + diag - top),
        "NW": (x - diag - w, y - diag - bottom),
        "SW": (x - diag - w, y + diag - top),
        "N": (x - w / 2, y - gap - bottom),
        "S": (x - w / 2, y + gap - top),
    }
    return {p: (ox - x0, oy) for p, (ox, oy) in spots.items()}


class Placer:
    """Greedy label placement: each name takes the most preferred free spot
    around its symbol, avoiding names, symbols, the title, the inset line and
    (as a cost) the coast lines it would cross."""

    def __init__(self, towns, base_1x, title_box):
        self.towns = towns
        self.title_box = title_box
        self.symbols = []
        for t in towns:
            x, y = to_px(t.lon, t.lat, t.corsica)
            r = SYMBOL_RADIUS[t.kind] + 1
            self.symbols.append((t, (x - r, y - r, x + r, y + r)))
        grey = np.asarray(base_1x.convert("L"), dtype=np.int32)
        # Pixels darker than both fills: coast, border and inset lines.
        self.line_px = np.cumsum(np.cumsum(grey < 150, axis=0), axis=1)
        self.placed = []

    def _line_cost(self, box):
        x0, y0 = max(0, int(box[0])), max(0, int(box[1]))
        x1, y1 = min(WIDTH, int(math.ceil(box[2]))), min(HEIGHT, int(math.ceil(box[3])))
        if x1 <= x0 or y1 <= y0:
            return 0
        s = self.line_px
        total = s[y1 - 1, x1 - 1]
        if x0 > 0:
            total -= s[y1 - 1, x0 - 1]
        if y0 > 0:
            total -= s[y0 - 1, x1 - 1]
        if x0 > 0 and y0 > 0:
            total += s[y0 - 1, x0 - 1]
        return int(total)

    def _ambiguity_cost(self, town, x, y, box):
        """A name nearer to another town's symbol than to its own reads as
        that town's name."""
        own = _distance(box, x, y)
        for other, (sx0, sy0, sx1, sy1) in self.symbols:
            if other is not town and _distance(box, (sx0 + sx1) / 2, (sy0 + sy1) / 2) < max(own + 3, 9):
                return 25
        return 0

    def frame_for(self, town):
        if town.corsica:
            return (INSET_LEFT + 3, INSET_TOP + 3, WIDTH - 2, HEIGHT - 2)
        return (2, 2, WIDTH - 2, HEIGHT - 2)

    def free(self, town, box):
        if not _inside(box, self.frame_for(town)):
            return False
        if not town.corsica and box[2] > INSET_LEFT - 3 and box[3] > INSET_TOP - 3:
            return False
        if _overlaps(box, self.title_box):
            return False
        pad = (box[0] - 1, box[1] - 1, box[2] + 1, box[3] + 1)
        if any(_overlaps(pad, l.box) for l in self.placed):
            return False
        return not any(_overlaps(box, s) for _, s in self.symbols)

    def place(self, town, text_font, underline):
        x, y = to_px(town.lon, town.lat, town.corsica)
        extent = label_extent(town.name, text_font, underline)
        spots = candidate_origins(x, y, SYMBOL_RADIUS[town.kind], extent)
        if town.place == "auto":
            choices = [(rank, spots[p]) for rank, p in enumerate(POSITIONS)]
            # Then the side positions slid up or down, for crowded places.
            choices += [(len(POSITIONS) + i, (spots[p][0], spots[p][1] + dy))
                        for i, (p, dy) in enumerate((p, dy) for dy in (-4, 4, -7, 7)
                                                    for p in ("E", "W"))]
        elif town.place in spots:
            choices = [(0, spots[town.place])]
        else:
            dx, dy = (float(v) for v in town.place.split(","))
            choices = [(0, (x + dx, y + dy))]
        best = None
        for rank, (ox, oy) in choices:
            ox, oy = round(ox), round(oy)
            box = (ox + extent[0], oy + extent[1], ox + extent[2], oy + extent[3])
            if not self.free(town, box):
                continue
            cost = rank * 3 + self._line_cost(box) + self._ambiguity_cost(town, x, y, box)
            if best is None or cost < best[0]:
                best = (cost, Label(town, text_font, (ox, oy), box, underline))
        if best is None:
            return None
        self.placed.append(best[1])
        return best[1]


def title_box(title_font):
    x0, y0, x1, y1 = title_font.getbbox(TITLE, anchor="ls")
    ox, oy = TITLE_ORIGIN[0] - x0, TITLE_ORIGIN[1] - y0
    return (ox, oy), (ox + x0 - 2, oy + y0 - 2, ox + x1 + 2, oy + y1 + 2)


def placement_order(towns):
    """The capital, then the regional capitals, then the quiz cities, then the
    rest in table order (by importance), so the names that matter most get
    the best spots."""
    rank = {"capital": 0, "major": 1}
    return sorted(towns, key=lambda t: (rank.get(t.kind, 3 if t.name not in QUIZ_CITIES else 2)))


def font_for(kind, scale):
    return font({"capital": CAPITAL_FONT, "major": MAJOR_FONT}.get(kind, TOWN_FONT), scale)


def layout(towns, base_1x):
    title_origin, tbox = title_box(font(TITLE_FONT, 1))
    placer = Placer(towns, base_1x, tbox)
    labels, missing = [], []
    for town in placement_order(towns):
        label = placer.place(town, font_for(town.kind, 1), town.kind == "capital")
        if label is None:
            missing.append(town.name)
        else:
            labels.append(label)
    return title_origin, tbox, labels, missing


# ----------------------------------------------------------------- checking

def check(towns, labels, missing, tbox, scale):
    """Reasons why the picture must not be written; empty if it is sound."""
    problems = []
    names = {t.name for t in towns}
    for city in QUIZ_CITIES:
        if city not in names:
            problems.append(f"quiz city {city} is not in {TOWNS_TABLE.name}")
    problems += [f"no room for the name of {m}" for m in missing]
    symbols = []
    for t in towns:
        x, y = to_px(t.lon, t.lat, t.corsica)
        r = SYMBOL_RADIUS[t.kind]
        symbols.append((t.name, (x - r, y - r, x + r, y + r)))
    # Boxes at the drawn scale, measured with the fonts of that scale.
    boxes = []
    for l in labels:
        f = font_for(l.town.kind, scale)
        x0, top, x1, bottom = label_extent(l.town.name, f, l.underline)
        ox, oy = l.origin[0] * scale, l.origin[1] * scale
        boxes.append((l.town.name, tuple(v / scale for v in
                                         (ox + x0, oy + top, ox + x1, oy + bottom))))
    for i, (name, box) in enumerate(boxes):
        if not _inside(box, (0, 0, WIDTH, HEIGHT)):
            problems.append(f"name of {name} leaves the picture")
        if _overlaps(box, tbox):
            problems.append(f"name of {name} covers the title")
        for other, obox in boxes[i + 1:]:
            if _overlaps(box, obox):
                problems.append(f"names of {name} and {other} overlap")
        for other, sbox in symbols:
            if _overlaps(box, sbox):
                problems.append(f"name of {name} covers the symbol of {other}")
    return problems


def check_inset(polygons):
    """The mainland must keep clear of Corsica's inset, or the inset hides part of it."""
    for p in polygons:
        if in_corsica(*p.mean(axis=0)):
            continue
        x, y = to_px(p[:, 0], p[:, 1], False)
        if ((x > INSET_LEFT - 2) & (y > INSET_TOP - 2)).any():
            return ["the mainland runs into Corsica's inset"]
    return []


def draw_labels(image, fills, title_origin, labels, scale):
    # A thin halo of the bare land or sea under each name hides the coast
    # and border lines that would cross its letters.
    halo = Image.new("L", image.size, 0)
    halo_draw = ImageDraw.Draw(halo)
    for l in labels:
        halo_draw.text((l.origin[0] * scale, l.origin[1] * scale), l.town.name,
                       font=font_for(l.town.kind, scale), fill=255, anchor="ls",
                       stroke_width=scale, stroke_fill=255)
    image.paste(fills, mask=halo)
    draw = ImageDraw.Draw(image)
    title_font = font(TITLE_FONT, scale)
    draw.text((title_origin[0] * scale, title_origin[1] * scale), TITLE,
              font=title_font, fill=TITLE_BLUE, anchor="ls")
    for l in labels:
        f = font_for(l.town.kind, scale)
        ox, oy = l.origin[0] * scale, l.origin[1] * scale
        draw.text((ox, oy), l.town.name, font=f, fill=TEXT_BLACK, anchor="ls")
        if l.underline:
            x0, _, x1, _ = f.getbbox(l.town.name, anchor="ls")
            y = oy + 2 * scale
            draw.rectangle((ox + x0, y, ox + x1 - 1, y + scale - 1), fill=TEXT_BLACK)


def render(scale):
    towns = read_towns()
    polygons, lines = load_france()
    base_1x, fills_1x = draw_shapes(polygons, lines, towns, 1)
    title_origin, tbox, labels, missing = layout(towns, base_1x)
    problems = check(towns, labels, missing, tbox, scale)
    problems += check_inset(polygons)
    base, fills = ((base_1x, fills_1x) if scale == 1
                   else draw_shapes(polygons, lines, towns, scale))
    draw_labels(base, fills, title_origin, labels, scale)
    return base, problems


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, type=Path, help="the assets directory")
    parser.add_argument("--scale", type=int, choices=(1, 2), action="append",
                        help="draw only this scale (2: for high-density screens); "
                             "both by default")
    parser.add_argument("--force", action="store_true",
                        help="write the picture even if the checks fail (to look at it)")
    args = parser.parse_args(argv)
    status = 0
    for scale in args.scale or (1, 2):
        image, problems = render(scale)
        for p in problems:
            print(f"revision_map: {p}", file=sys.stderr)
        suffix = "" if scale == 1 else f"@{scale}x"
        target = args.out / "pictures" / f"VillesDeFrance{suffix}.png"
        if problems and not args.force:
            print(f"revision_map: {target} not written", file=sys.stderr)
            status = 1
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        image.convert("RGB").save(target, format="PNG", optimize=True)
        print(f"revision_map: wrote {target}")
    return status


if __name__ == "__main__":
    sys.exit(main())
