#!/usr/bin/python3
"""Draws the demo's map: every imported point coloured by the N it applied, over the
published offset maps (the prescribed N rate, reprojected from UTM to longitude/latitude),
with the field names, their farm and area, a legend, a scale bar and a north arrow.

    demo_map.py POINTS.geojson PUBLISHED_FOLDER FIELDS.txt MAP.png

POINTS is the import's GeoJSON (WGS 84), PUBLISHED_FOLDER holds the publisher's
*_OffsetMap.grd grids (metres of UTM zone 32N, EPSG:32632), FIELDS is the terminal folder's
fields.txt (farm and area per field).
"""

import csv
import datetime
import glob
import json
import math
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.patheffects as effects  # noqa: E402
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from matplotlib.lines import Line2D  # noqa: E402
from matplotlib.patches import Patch, Rectangle  # noqa: E402
from osgeo import gdal  # noqa: E402

gdal.UseExceptions()
GRID_SRS = "EPSG:32632"
COLOURS = "YlGn"  # more N, deeper green


def read_points(path):
    with open(path) as f:
        features = json.load(f)["features"]
    points = []
    for feature in features:
        lon, lat = feature["geometry"]["coordinates"][:2]
        p = feature["properties"]
        points.append((lon, lat, p.get("N_Applied"), p.get("field") or "Unknown_Field", p.get("date")))
    return points


def read_fields(path):
    """Field name -> (farm, area in ha, crop), from the terminal's fields.txt."""
    fields = {}
    with open(path, newline="", encoding="latin-1") as f:
        rows = list(csv.reader(f))
    for row in rows[1:]:
        if len(row) >= 5:
            try:
                area = float(row[2])
            except ValueError:
                area = None
            fields[row[1]] = (row[4], area, row[3])
    return fields


def read_grid(path):
    """The grid reprojected to lon/lat: (values with NaN outside the field, extent)."""
    warped = "/vsimem/" + os.path.basename(path) + ".tif"
    gdal.Warp(warped, path, srcSRS=GRID_SRS, dstSRS="EPSG:4326", resampleAlg="near", dstNodata=float("nan"),
              outputType=gdal.GDT_Float32)
    ds = gdal.Open(warped)
    values = ds.GetRasterBand(1).ReadAsArray().astype(float)
    values[~np.isfinite(values) | (np.abs(values) > 1e30)] = np.nan
    x0, dx, _, y0, _, dy = ds.GetGeoTransform()
    extent = (x0, x0 + dx * ds.RasterXSize, y0 + dy * ds.RasterYSize, y0)
    ds = None
    gdal.Unlink(warped)
    return values, extent


def nice_length(metres):
    """The largest of 1, 2, 5 x 10^k that is at most `metres`."""
    k = 10 ** math.floor(math.log10(metres))
    return max(step * k for step in (1, 2, 5) if step * k <= metres)


def draw_scale_bar(ax, metres_per_degree_lon):
    x0, x1 = ax.get_xlim()
    y0, y1 = ax.get_ylim()
    length = nice_length((x1 - x0) * metres_per_degree_lon * 0.45)
    width = length / metres_per_degree_lon
    left, bottom, height = x0 + (x1 - x0) * 0.05, y0 + (y1 - y0) * 0.04, (y1 - y0) * 0.015
    for i in range(4):
        ax.add_patch(Rectangle((left + i * width / 4, bottom), width / 4, height,
                               facecolor="black" if i % 2 == 0 else "white", edgecolor="black", linewidth=0.8,
                               zorder=6))
    halo = [effects.withStroke(linewidth=3, foreground="white")]
    for fraction, text in ((0, "0"), (1, "%g m" % length)):
        ax.text(left + fraction * width, bottom + height * 1.6, text, ha="center", va="bottom", fontsize=8,
                zorder=6, path_effects=halo)


def draw_north_arrow(ax):
    ax.annotate("N", xy=(0.93, 0.95), xytext=(0.93, 0.84), xycoords="axes fraction", ha="center", va="center",
                fontsize=11, fontweight="bold", arrowprops=dict(facecolor="black", width=3, headwidth=9), zorder=6)


def degree_ticks(ax):
    ax.xaxis.set_major_formatter(matplotlib.ticker.FuncFormatter(
        lambda v, _: "%.3f°%s" % (abs(v), "E" if v >= 0 else "W")))
    ax.yaxis.set_major_formatter(matplotlib.ticker.FuncFormatter(
        lambda v, _: "%.3f°%s" % (abs(v), "N" if v >= 0 else "S")))
    ax.xaxis.set_major_locator(matplotlib.ticker.MaxNLocator(2))
    ax.yaxis.set_major_locator(matplotlib.ticker.MaxNLocator(4))
    ax.tick_params(labelsize=7)


def frame(ax, xs, ys, metres_per_degree_lon, pad=0.12):
    """Limits around xs, ys with a margin, in the true shape of the ground."""
    span_x = max(xs.max() - xs.min(), 1e-6)
    span_y = max(ys.max() - ys.min(), 1e-6)
    ax.set_xlim(xs.min() - span_x * pad, xs.max() + span_x * pad)
    ax.set_ylim(ys.min() - span_y * (pad + 0.12), ys.max() + span_y * pad)
    ax.set_aspect(111320.0 / metres_per_degree_lon)
    ax.set_facecolor("#f7f7f2")


def date_range(points):
    dates = sorted({p[4] for p in points if p[4]})
    if not dates:
        return ""
    first, last = (datetime.date.fromisoformat(d) for d in (dates[0], dates[-1]))
    if first == last:
        return first.strftime("%d %B %Y").lstrip("0")
    if first.year == last.year and first.month == last.month:
        return "%d-%d %s" % (first.day, last.day, last.strftime("%B %Y"))
    return "%s - %s" % (first.strftime("%d %b %Y").lstrip("0"), last.strftime("%d %b %Y").lstrip("0"))


def field_caption(name, fields, dates):
    farm, area, crop = fields.get(name, ("", None, ""))
    parts = [p for p in (farm, crop, "%g ha" % area if area else "", dates) if p]
    return ", ".join(parts)


def main():
    points_path, published, fields_path, out = sys.argv[1:5]
    points = read_points(points_path)
    fields = read_fields(fields_path) if os.path.exists(fields_path) else {}
    grids = [read_grid(g) for g in sorted(glob.glob(os.path.join(published, "*_OffsetMap.grd")))]
    if not points:
        sys.exit("demo_map: no points in " + points_path)

    lons = np.array([p[0] for p in points])
    lats = np.array([p[1] for p in points])
    applied = np.array([np.nan if p[2] is None else p[2] for p in points], dtype=float)
    known = np.isfinite(applied)
    names = sorted({p[3] for p in points})
    rates = [applied[known]] + [v[np.isfinite(v)] for v, _ in grids]
    vmin = math.floor(min(r.min() for r in rates if r.size) / 5) * 5
    vmax = math.ceil(max(r.max() for r in rates if r.size) / 5) * 5
    # Pale yellow (little N) to deep green (much N); the palest end is left out, it would
    # vanish against the paper.
    cmap = matplotlib.colors.LinearSegmentedColormap.from_list(
        "n_rate", plt.get_cmap(COLOURS)(np.linspace(0.18, 1.0, 256)))
    metres_per_degree_lon = 111320.0 * math.cos(math.radians(float(np.mean(lats))))

    columns = 3
    rows = math.ceil((len(names) + 2) / columns)
    fig = plt.figure(figsize=(15, 5.6 * rows), dpi=110)
    grid_spec = fig.add_gridspec(rows, columns, hspace=0.28, wspace=0.22)
    halo = [effects.withStroke(linewidth=3, foreground="white")]

    def draw_rates(ax, mask, size):
        for values, extent in grids:
            ax.imshow(values, extent=extent, origin="upper", cmap=cmap, vmin=vmin, vmax=vmax, alpha=0.6,
                      interpolation="nearest", zorder=1)
        ax.scatter(lons[mask & ~known], lats[mask & ~known], s=size, c="#888888", edgecolors="none", zorder=3)
        return ax.scatter(lons[mask & known], lats[mask & known], s=size, c=applied[mask & known], cmap=cmap,
                          vmin=vmin, vmax=vmax, edgecolors="none", zorder=4)

    # The farm at a glance: where each field lies.
    overview = fig.add_subplot(grid_spec[0, 0])
    everything = np.ones(len(points), dtype=bool)
    dots = draw_rates(overview, everything, 1.5)
    frame(overview, lons, lats, metres_per_degree_lon, pad=0.1)
    for name in names:
        mine = np.array([p[3] == name for p in points])
        overview.text(lons[mine].mean(), lats[mine].max(), name, ha="center", va="bottom", fontsize=9,
                      fontweight="bold", zorder=7, path_effects=halo)
    overview.set_title("The farm: %d fields" % len(names), fontsize=12, fontweight="bold")
    draw_scale_bar(overview, metres_per_degree_lon)
    draw_north_arrow(overview)
    degree_ticks(overview)

    # One panel per field, all on the same colour scale.
    for i, name in enumerate(names):
        ax = fig.add_subplot(grid_spec[(i + 1) // columns, (i + 1) % columns])
        mine = np.array([p[3] == name for p in points])
        draw_rates(ax, mine, 9)
        frame(ax, lons[mine], lats[mine], metres_per_degree_lon)
        dates = date_range([p for p in points if p[3] == name])
        n = applied[mine & known]
        summary = "N applied %.0f kg/ha on average (%.0f to %.0f)" % (n.mean(), n.min(), n.max()) if n.size else ""
        ax.set_title("%s\n%s" % (field_caption(name, fields, dates), summary), fontsize=9)
        ax.annotate(name, xy=(0.5, 1.0), xycoords="axes fraction", xytext=(0, 30), textcoords="offset points",
                    ha="center", va="bottom", fontsize=12, fontweight="bold")
        draw_scale_bar(ax, metres_per_degree_lon)
        draw_north_arrow(ax)
        degree_ticks(ax)

    # The legend and the colour scale in the last free cell.
    key = fig.add_subplot(grid_spec[rows - 1, columns - 1] if (len(names) + 1) % columns != 0 or rows == 1
                          else grid_spec[rows - 1, 0])
    key.axis("off")
    legend = [
        Line2D([], [], marker="o", linestyle="", markersize=7, markerfacecolor=cmap(0.75), markeredgecolor="none",
               label="N applied: one dot per logged second"),
        Patch(facecolor=cmap(0.75), alpha=0.6, label="N prescribed: offset map, 30 m cells"),
    ]
    if (~known).any():
        legend.append(Line2D([], [], marker="o", linestyle="", markersize=6, markerfacecolor="#888888",
                             markeredgecolor="none", label="no N applied logged"))
    key.legend(handles=legend, loc="upper center", fontsize=10, frameon=False, title="How to read the map",
               title_fontproperties={"weight": "bold", "size": 11})
    bar_axes = key.inset_axes([0.08, 0.5, 0.84, 0.08])
    colorbar = fig.colorbar(dots, cax=bar_axes, orientation="horizontal")
    colorbar.set_label("N rate, kg N per hectare\n(the same colours for applied and prescribed)", fontsize=9)
    colorbar.ax.tick_params(labelsize=8)

    farms = sorted({fields[n][0] for n in names if n in fields and fields[n][0]})
    fig.suptitle("Nitrogen applied, %s%s" % (date_range(points), ": " + " and ".join(farms) if farms else ""),
                 fontsize=16, fontweight="bold")
    fig.savefig(out, bbox_inches="tight")
    print("demo_map: wrote %s (%d points, %d fields, %d offset maps, N %g-%g kg/ha)"
          % (out, len(points), len(names), len(grids), vmin, vmax))


main()
