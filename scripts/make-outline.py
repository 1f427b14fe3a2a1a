#!/usr/bin/env python3
"""Converts the Natural Earth 1:110m countries shapefile that Debian's
python3-geopandas package ships (geopandas/datasets/naturalearth_lowres) into
data/world-outline.txt, the scope's outline of coasts and borders.

Usage: scripts/make-outline.py SHAPEFILE.shp > data/world-outline.txt
Get the shapefile with `apt-get download python3-geopandas` and
`dpkg-deb -x python3-geopandas_*.deb x`; nothing is installed.
"""
import struct
import sys

HEADER = """\
# Coasts and borders for the scope: every ring of the Natural Earth 1:110m
# admin-0 countries polygons, as Debian's python3-geopandas 0.12.2 ships them
# (geopandas/datasets/naturalearth_lowres/naturalearth_lowres.shp), converted
# by scripts/make-outline.py.
# Natural Earth data is in the public domain (naturalearthdata.com: "All
# versions of Natural Earth raster + vector map data found on this website are
# in the public domain").
# Format: one ring a line, its points as "latitude,longitude" in hundredths of
# a degree, separated by blanks; the last point joins the first. Lines that
# start with "#" are comments.
"""


def rings(path):
    data = open(path, "rb").read()
    offset = 100
    while offset + 8 <= len(data):
        _, words = struct.unpack(">ii", data[offset:offset + 8])
        content = data[offset + 8:offset + 8 + words * 2]
        offset += 8 + words * 2
        shape_type = struct.unpack("<i", content[:4])[0]
        if shape_type != 5:  # polygon; null shapes carry nothing
            continue
        parts_count, points_count = struct.unpack("<ii", content[36:44])
        parts = list(struct.unpack(f"<{parts_count}i", content[44:44 + 4 * parts_count]))
        start = 44 + 4 * parts_count
        points = [struct.unpack("<dd", content[start + 16 * i:start + 16 * i + 16]) for i in range(points_count)]
        for i, first in enumerate(parts):
            last = parts[i + 1] if i + 1 < len(parts) else points_count
            ring = points[first:last]
            if len(ring) > 1 and ring[0] == ring[-1]:
                ring = ring[:-1]
            yield ring


def main():
    out = [HEADER]
    for ring in rings(sys.argv[1]):
        cells = []
        for lon, lat in ring:
            cell = f"{round(lat * 100)},{round(lon * 100)}"
            if not cells or cells[-1] != cell:
                cells.append(cell)
        if len(cells) >= 2:
            out.append(" ".join(cells) + "\n")
    sys.stdout.write("".join(out))


if __name__ == "__main__":
    main()
