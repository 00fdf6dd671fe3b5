#!/usr/bin/python3
"""Draws a map of a converted network: roads coloured by road classification, one-way links
marked with an arrow in their direction of travel, urban paths and connecting links in their
own colour.

Reads the converter's own output (ITN_network in any format GDAL reads: MIF, SHP, TAB, GML)
through GDAL's Python bindings and draws it with matplotlib; both are Debian packages
(python3-gdal, python3-matplotlib). The picture in docs/ is made from the bundled sample:

    scripts/run-sample.sh
    tools/plot_sample_network.py out docs/sample-network.png
"""
import argparse
import math
import os
import sys

import matplotlib

matplotlib.use("Agg")  # files only, no display needed
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib.collections import LineCollection  # noqa: E402
from matplotlib.lines import Line2D  # noqa: E402
from osgeo import ogr  # noqa: E402

ogr.UseExceptions()

# Road classification (the descriptiveTerm column) -> colour, line width, drawing order.
ROAD_STYLES = [
    ("Motorway", "#1f4e9c", 3.2),
    ("A Road", "#2e8b3e", 2.6),
    ("B Road", "#d98c00", 2.2),
    ("Minor Road", "#a0522d", 1.6),
    ("Local Street", "#808080", 1.2),
    ("Private Road - Publicly Accessible", "#b7a27a", 1.1),
    ("Private Road - Restricted Access", "#c9b99a", 1.0),
    ("Alley", "#5a5a5a", 0.9),
    ("Pedestrianised Street", "#8e44ad", 1.4),
    ("Ferry Connection", "#17a2b8", 1.6),
]
OTHER_ROAD = ("other", "#000000", 1.0)
URBAN_COLOUR = "#e6194b"
URBAN_CLASS = 15  # the class number of urban path and connecting links in Attribute4
URBAN_TERMS = ("Path", "Footbridge", "Steps", "Track", "Connecting Link")


def network_file(path):
    """The ITN_network file in a folder, or the path itself when it names a file."""
    if os.path.isfile(path):
        return path
    for ext in (".tab", ".mif", ".shp", ".gml"):
        candidate = os.path.join(path, "ITN_network" + ext)
        if os.path.isfile(candidate):
            return candidate
    sys.exit(f"plot_sample_network: no ITN_network.tab/.mif/.shp/.gml in {path}")


def is_urban(feature, term, has_attribute4):
    if has_attribute4 and feature["Attribute4"] is not None:
        return feature["Attribute4"] % 32 == URBAN_CLASS
    return term.split(" - ")[0] in URBAN_TERMS


def lines_of(geometry):
    """The vertex lists of a (multi)line geometry."""
    if geometry is None:
        return []
    if geometry.GetGeometryCount() == 0:
        return [geometry.GetPoints() or []]
    return [geometry.GetGeometryRef(i).GetPoints() or [] for i in range(geometry.GetGeometryCount())]


def arrow_at_middle(points, reverse):
    """Position and direction of a one-way arrow halfway along a line."""
    if reverse:
        points = points[::-1]
    lengths = [math.dist(a[:2], b[:2]) for a, b in zip(points, points[1:])]
    half = sum(lengths) / 2
    for (a, b), length in zip(zip(points, points[1:]), lengths):
        if length > 0 and half <= length:
            t = half / length
            x, y = a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])
            return x, y, (b[0] - a[0]) / length, (b[1] - a[1]) / length
        half -= length
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("network", help="output folder of a run, or its ITN_network file")
    parser.add_argument("picture", help="PNG file to write")
    parser.add_argument("--title", default="itn2brinlow: the bundled sample network")
    args = parser.parse_args()

    source = network_file(args.network)
    dataset = ogr.Open(source)
    layer = dataset.GetLayer(0)
    fields = [layer.GetLayerDefn().GetFieldDefn(i).GetName() for i in range(layer.GetLayerDefn().GetFieldCount())]
    term_field = "descriptiveTerm" if "descriptiveTerm" in fields else "descriTerm"
    has_attribute4 = "Attribute4" in fields

    styles = {name: (colour, width) for name, colour, width in ROAD_STYLES}
    roads = {name: [] for name, _, _ in ROAD_STYLES + [OTHER_ROAD]}
    urban = []
    arrows = []
    for feature in layer:
        term = feature[term_field] or ""
        segments = [p for p in lines_of(feature.GetGeometryRef()) if len(p) >= 2]
        if is_urban(feature, term, has_attribute4):
            urban.extend(segments)
            continue
        roads[term if term in styles else "other"].extend(segments)
        oneway = feature["Oneway"] if "Oneway" in fields else 0
        if oneway in (1, 2):
            for points in segments:
                arrow = arrow_at_middle(points, reverse=(oneway == 2))
                if arrow:
                    arrows.append(arrow)

    # The whole network above; below, the part the urban paths join, close up.
    figure = plt.figure(figsize=(12, 8.4), dpi=110)
    grid = figure.add_gridspec(2, 2, height_ratios=[1, 1.6], width_ratios=[3, 1.25])
    overview = figure.add_subplot(grid[0, :])
    close_up = figure.add_subplot(grid[1, 0])
    legend_axes = figure.add_subplot(grid[1, 1])
    legend_axes.axis("off")

    for axes, arrow_length, arrow_width in ((overview, 110.0, 0.003), (close_up, 70.0, 0.006)):
        for name, colour, width in reversed(ROAD_STYLES + [OTHER_ROAD]):
            if roads[name]:
                axes.add_collection(LineCollection([[p[:2] for p in s] for s in roads[name]], colors=colour,
                                                   linewidths=width, capstyle="round", zorder=2))
        if urban:
            axes.add_collection(LineCollection([[p[:2] for p in s] for s in urban], colors=URBAN_COLOUR,
                                               linewidths=1.8, linestyles=(0, (3, 1.5)), zorder=3))
        if arrows:
            xs, ys, us, vs = zip(*arrows)
            axes.quiver(xs, ys, [u * arrow_length for u in us], [v * arrow_length for v in vs], color="black",
                        angles="xy", scale_units="xy", scale=1, width=arrow_width, headwidth=4, headlength=4,
                        headaxislength=3.5, pivot="middle", zorder=4)
        axes.set_aspect("equal")
        axes.ticklabel_format(style="plain", useOffset=False)
        axes.grid(color="#e6e6e6", linewidth=0.5, zorder=0)
        axes.tick_params(labelsize=8)
    overview.autoscale_view()
    overview.set_title(args.title)
    overview.set_ylabel("northing (m)", fontsize=8)
    if urban:
        xs = [p[0] for s in urban for p in s]
        ys = [p[1] for s in urban for p in s]
        margin = 250
        box = (min(xs) - margin, max(xs) + margin, min(ys) - margin, max(ys) + margin)
        close_up.set_xlim(box[0], box[1])
        close_up.set_ylim(box[2], box[3])
        overview.add_patch(plt.Rectangle((box[0], box[2]), box[1] - box[0], box[3] - box[2], fill=False,
                                         edgecolor="black", linestyle=":", linewidth=1, zorder=5))
        close_up.set_title("close up: where the urban paths join the roads (dotted box above)", fontsize=9)
    else:
        close_up.autoscale_view()
    close_up.set_xlabel("easting (m, British National Grid)", fontsize=8)
    close_up.set_ylabel("northing (m)", fontsize=8)

    legend = []
    for name, colour, width in ROAD_STYLES + [OTHER_ROAD]:
        if roads[name]:
            legend.append(Line2D([], [], color=colour, linewidth=max(width, 1.5),
                                 label=f"{name} ({len(roads[name])})"))
    if urban:
        legend.append(Line2D([], [], color=URBAN_COLOUR, linewidth=1.8, linestyle=(0, (3, 1.5)),
                             label=f"urban path or\nconnecting link ({len(urban)})"))
    if arrows:
        legend.append(Line2D([], [], color="black", marker=">", linestyle="none", markersize=6,
                             label=f"one-way link, arrow in\ndirection of travel ({len(arrows)})"))
    legend_axes.legend(handles=legend, loc="upper left", fontsize=8, frameon=False,
                       title="road classification (records)", title_fontsize=8)
    figure.tight_layout()
    figure.savefig(args.picture)
    print(f"{args.picture}: {layer.GetFeatureCount()} records of {source}")


if __name__ == "__main__":
    main()
