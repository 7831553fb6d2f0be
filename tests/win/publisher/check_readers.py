#!/usr/bin/env python3
"""Reads every offset map and shape file that the publisher tests kept, with tools that know
nothing of this project: GDAL's grid reader must report the expected size, corner, cell size
and range, OGR must find the expected polygons, and since GDAL silently shifts a row whose
value count is off, every row's values are counted here as well."""
import json
import math
import pathlib
import re
import subprocess
import sys

BLANK = 1.70141e38


def fail(folder, message):
    print(f"{folder.name}: {message}")
    return 1


def rows_of(grid_text):
    """The value rows after the five header lines: rows end in an empty line."""
    lines = grid_text.split("\r\n")
    if grid_text.count("\n") != grid_text.count("\r\n"):
        raise ValueError("a line feed without carriage return")
    body = "\n".join(lines[5:])
    return [row.split() for row in re.split(r"\n\s*\n", body) if row.strip()]


def check_grid(folder, expect):
    path = folder / expect["file"]
    text = path.read_bytes().decode("ascii")
    header = text.split("\r\n")[:5]
    nx, ny = (int(v) for v in header[1].split())
    errors = 0
    if [nx, ny] != expect["size"]:
        errors += fail(folder, f"header size {nx} {ny}")
    rows = rows_of(text)
    if len(rows) != ny:
        errors += fail(folder, f"{len(rows)} rows, header says {ny}")
    for i, row in enumerate(rows):
        if len(row) != nx:
            errors += fail(folder, f"row {i + 1} holds {len(row)} values, not {nx}")

    info = json.loads(subprocess.run(["gdalinfo", "-json", "-mm", str(path)], check=True,
                                     capture_output=True, text=True).stdout)
    if info["driverShortName"] != "GSAG":
        errors += fail(folder, f"read as {info['driverShortName']}")
    if info["size"] != expect["size"]:
        errors += fail(folder, f"GDAL size {info['size']}")
    transform = info["geoTransform"]
    corner = [transform[0], transform[3]]
    pixel = [transform[1], transform[5]]
    if any(not math.isclose(a, b, abs_tol=1e-6) for a, b in zip(corner + pixel, expect["origin"] + expect["pixel"])):
        errors += fail(folder, f"GDAL corner {corner}, cell {pixel}")
    band = info["bands"][0]
    if expect["min"] is None:
        if "computedMin" in band:
            errors += fail(folder, f"GDAL found rated cells: {band['computedMin']}")
    elif not (math.isclose(band.get("computedMin", math.nan), expect["min"])
              and math.isclose(band.get("computedMax", math.nan), expect["max"])):
        errors += fail(folder, f"GDAL range {band.get('computedMin')} {band.get('computedMax')}")
    if not math.isclose(band.get("noDataValue", 0), BLANK, rel_tol=1e-5):
        errors += fail(folder, f"GDAL blank value {band.get('noDataValue')}")
    return errors


def check_shape(folder, expect):
    path = folder / expect["file"]
    out = subprocess.run(["ogrinfo", "-ro", "-al", "-so", str(path)], check=True,
                         capture_output=True, text=True).stdout
    errors = 0
    if "Geometry: Polygon" not in out:
        errors += fail(folder, "OGR finds no polygon layer:\n" + out)
    count = re.search(r"Feature Count: (\d+)", out)
    if not count or int(count.group(1)) != expect["features"]:
        errors += fail(folder, "OGR feature count:\n" + out)
    return errors


def main():
    root = pathlib.Path(sys.argv[1])
    expectations = sorted(root.glob("*/expect.json"))
    if not expectations:
        print(f"nothing to read in {root}")
        return 1
    errors = 0
    for expect_path in expectations:
        folder = expect_path.parent
        expect = json.loads(expect_path.read_text())
        errors += check_grid(folder, expect["grid"])
        if "shape" in expect:
            errors += check_shape(folder, expect["shape"])
        print(f"{folder.name}: read")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
