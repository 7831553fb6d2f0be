#!/usr/bin/python3
"""The KorvexLog plugin as users meet it: loaded by GDAL from GDAL_DRIVER_PATH, listed by
`ogrinfo --formats`, opened by ogrinfo, converted by ogr2ogr to GeoPackage and GeoJSON (read
back), and read by GeoPandas. Every feature is compared with the CSV that the korvex tool
writes for the same log with the same checks, field by field, null by null. The logs: the
sample folder, a folder drawn from a fresh random seed (printed; NIVRA_GDAL_TEST_SEED=N
repeats it) and truncated copies of both.

    plugin_tools_test.py BUILD_DIR SOURCE_DIR
"""

import math
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

build, source = (os.path.abspath(a) for a in sys.argv[1:3])
os.environ["GDAL_DRIVER_PATH"] = os.path.join(build, "gdal", "plugins")
from osgeo import gdal, ogr  # noqa: E402  (after GDAL_DRIVER_PATH)

gdal.UseExceptions()
gdal.PushErrorHandler("CPLQuietErrorHandler")  # the warnings of logs cut short are checked through ogrinfo
FIELDS = ["BI", "N", "Nas", "ApplFactor", "Marker1", "Marker2", "Marker3", "Marker4", "Calibration", "Nc"]
OPTIONS = [[], ["CHECK_POSITION=YES"], ["CHECK_READING=YES"], ["CHECK_POSITION=YES", "CHECK_READING=YES"]]
failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message, flush=True)


def run(args):
    return subprocess.run(args, capture_output=True, text=True)


def converter_rows(log, options, work):
    """The korvex tool's CSV of the log: rows of 13 cells, None for an empty cell."""
    csv = os.path.join(work, "expected.csv")
    flags = ["--check-position"] * ("CHECK_POSITION=YES" in options) + ["--check-reading"] * ("CHECK_READING=YES" in options)
    result = run([os.path.join(build, "tools", "korvex"), "convert", log, "-o", csv] + flags)
    with open(csv, "rb") as f:
        lines = f.read().decode("ascii").split("\r\n")
    assert lines[-1] == "", log
    rows = []
    for line in lines[1:-1]:
        if line:
            rows.append([float(c) if c.strip() else None for c in line.split(",")])
    return rows, result.returncode == 0


def same(a, b, exact):
    return a == b if exact else abs(a - b) <= 1e-9 * max(1.0, abs(a))


def compare(what, features, rows, exact=True):
    """features: (x, y, z, {field: value or None}) in order."""
    features = list(features)
    if len(features) != len(rows):
        return fail("%s: %d features, the converter wrote %d rows" % (what, len(features), len(rows)))
    for i, ((x, y, z, values), row) in enumerate(zip(features, rows)):
        cells = [x, y, z] + [values[f] for f in FIELDS]
        for name, got, want in zip(["Long", "Lat", "Alt"] + FIELDS, cells, row):
            if (got is None) != (want is None) or (got is not None and not same(got, want, exact)):
                return fail("%s: row %d %s is %r, the converter wrote %r" % (what, i + 1, name, got, want))


def ogr_features(path, options=()):
    ds = gdal.OpenEx(path, gdal.OF_VECTOR, open_options=list(options))
    layer = ds.GetLayer(0)
    for f in layer:
        g = f.GetGeometryRef()
        values = {name: (None if f.IsFieldNull(name) else f.GetField(name)) for name in FIELDS}
        yield g.GetX(), g.GetY(), g.GetZ(), values


def check_log(log, work):
    name = os.path.basename(log)
    for options in OPTIONS:
        what = "%s %s" % (name, " ".join(options) or "(defaults)")
        rows, converted = converter_rows(log, options, work)
        oo = sum((["-oo", o] for o in options), [])
        info = run(["ogrinfo", "-ro", "-so", "-al"] + oo + [log])
        if "using driver `KorvexLog' successful" not in info.stdout:
            fail("%s: ogrinfo does not open it with KorvexLog:\n%s%s" % (what, info.stdout, info.stderr))
            continue
        count = re.search(r"^Feature Count: (\d+)$", info.stdout, re.M)
        if not count or int(count.group(1)) != len(rows):
            fail("%s: ogrinfo counts %s, the converter wrote %d rows" % (what, count and count.group(1), len(rows)))
        if not converted and not re.search(re.escape(log) + r": the log ends inside a record at byte \d+", info.stderr):
            fail("%s: the log is cut short, ogrinfo gives no warning with its name and offset:\n%s" % (what, info.stderr))
        compare(what + " (OGR)", ogr_features(log, options), rows)
        for driver, ext, exact in (("GPKG", "gpkg", True), ("GeoJSON", "geojson", False)):
            out = os.path.join(work, "out." + ext)
            if os.path.exists(out):
                os.remove(out)
            result = run(["ogr2ogr", "-f", driver, out, log] + oo)
            if result.returncode != 0:
                fail("%s: ogr2ogr -f %s failed:\n%s" % (what, driver, result.stderr))
                continue
            compare("%s (%s read back)" % (what, driver), ogr_features(out), rows, exact)


def check_geopandas(log, work):
    import geopandas
    # Fiona opens only the drivers it lists, unless told to allow others (as the README says).
    frame = geopandas.read_file(log, allow_unsupported_drivers=True)
    rows, _ = converter_rows(log, [], work)

    def value(v):
        return None if v is None or (isinstance(v, float) and math.isnan(v)) else float(v)

    features = ((g.x, g.y, g.z, {f: value(r[f]) for f in FIELDS}) for g, (_, r) in zip(frame.geometry, frame.iterrows()))
    compare(os.path.basename(log) + " (GeoPandas)", features, rows)


def main():
    work = tempfile.mkdtemp(prefix="nivra-gdal-")
    try:
        formats = run(["ogrinfo", "--formats"]).stdout
        if not re.search(r"KorvexLog -vector- \(ro", formats):
            fail("ogrinfo --formats does not list KorvexLog read-only:\n" + formats)
        sample, drawn, cut = (os.path.join(work, d) for d in ("sample", "drawn", "cut"))
        for d in (sample, cut):
            os.makedirs(d)
        subprocess.run([os.path.join(build, "tools", "samplelogs"), sample, "--points", "300"], check=True,
                       stdout=subprocess.DEVNULL)
        seed = int(os.environ.get("NIVRA_GDAL_TEST_SEED", random.SystemRandom().randrange(1 << 31)))
        print("drawn folder seed: %d (NIVRA_GDAL_TEST_SEED=%d repeats it)" % (seed, seed), flush=True)
        subprocess.run([sys.executable, os.path.join(source, "tests", "acceptance", "make_terminal_folder.py"),
                        drawn, "--seed", str(seed)], check=True, stdout=subprocess.DEVNULL)
        logs = sorted(os.path.join(d, f) for d in (sample, drawn) for f in os.listdir(d) if f.endswith(".log"))
        rng = random.Random(seed)
        for log in logs[:4]:
            with open(log, "rb") as f:
                data = f.read()
            for k in range(2):
                name = os.path.basename(log)[:-4] + "_cut%d.log" % k
                with open(os.path.join(cut, name), "wb") as f:
                    f.write(data[:rng.randrange(600, len(data))])
        logs += sorted(os.path.join(cut, f) for f in os.listdir(cut))
        for log in logs:
            check_log(log, work)
        check_geopandas(logs[0], work)
        check_geopandas(next(log for log in logs if "cut" not in log and open(log, "rb").read(3) != b"RNS"), work)

        # Files that are not logs are not claimed.
        notlogs = {"text.log": b"2026-04-12 10:00:01 terminal started\n" * 40, "empty.log": b"",
                   "points.csv": open(os.path.join(work, "expected.csv"), "rb").read()}
        for name, data in notlogs.items():
            path = os.path.join(work, name)
            with open(path, "wb") as f:
                f.write(data)
            try:
                ds = gdal.OpenEx(path, gdal.OF_VECTOR, allowed_drivers=["KorvexLog"])
            except RuntimeError:
                ds = None
            if ds is not None:
                fail("KorvexLog claims %s" % name)
        info = run(["ogrinfo", "-ro", "-so", os.path.join(work, "text.log")])
        if info.returncode == 0:
            fail("ogrinfo opens a text file named .log:\n" + info.stdout)
        create = run(["ogr2ogr", "-f", "KorvexLog", os.path.join(work, "new.log"), logs[0]])
        if create.returncode == 0 or "does not support data source creation" not in create.stderr:
            fail("ogr2ogr -f KorvexLog is not refused:\n" + create.stderr)
        print("checked %d logs with ogrinfo, ogr2ogr (GPKG, GeoJSON) and %d option sets; GeoPandas on 2"
              % (len(logs), len(OPTIONS)))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print("%d failures" % len(failures))
        sys.exit(1)


main()
