#!/usr/bin/env python3
"""Checks an import of a terminal folder against an independent reading of its files.

    check_import.py FOLDER STORE.json [--geojson POINTS.geojson] [--tz ZONE]
                    [--converted-csv auto|listed|new] [--report N]

FOLDER is the folder that was imported, STORE.json the store that `nivrahost import FOLDER
--store STORE.json` wrote (and POINTS.geojson its --geojson output, if any). Every log is
converted again by the reference converter (tests/differential/korvex_ref.py), the CSV
files are read the way the import reads them, and the result is compared with the store:
the operations and their names, fields and dates, every point's coordinates, time and
measures, its six values, its marker events, and the field tree built from fields.txt.
Nothing of the C++ code is used. Exit status: 0 when everything matches, 1 on any
difference (the first ones are printed), 2 for bad arguments.

What the import is expected to do, as read here:

- Files: every *.log and *.csv of the folder (the name's case does not matter) was ticked.
  A file whose extension is exactly ".log" is converted (both checks skipped) into the CSV
  file of the same name, which is then read; any other file is read as CSV text as it is. A
  CSV file beside a log of the same name is imported a second time only when it was in the
  folder before the import (--converted-csv listed; new: it was not; auto, the default: a
  second operation of that name in the store tells).
- Lines: CR LF reads as LF, Ctrl-Z ends the text, a line is read whole however long it is
  (never in 511-character pieces, which would invent points from the pieces of a long row);
  each line is split on ',' with the quoting rules of the line parser.
- Columns are found by their header names; a cell that is missing, empty or not a number
  keeps the value of the row before (0 before the first row); markers and calibration are
  integers, the others doubles. A row becomes a point when -90 < Lat < 90 and
  -180 <= Long <= 180; rate = Nas * 100 / Nc when Nc > 0, else 0. A marker or calibration
  value above 0 on a point gives that point its event and is then set to 0, so a marker on a
  row outside the limits shows on the next point.
- Field and date from the data file's name: after the first underscore of the file name,
  without the extension, the last "_"-part of six characters is the date (YYMMDD, years
  below 70 in 2000 and later), the rest with blanks for underscores the field name
  ("Unknown_Field" when empty). The time of every point is local midnight of that date in
  the time zone the host ran in (--tz, default $NIVRA_TEST_TZ or Europe/Berlin, the zone
  scripts/nivrahost.sh gives Wine). Only the file name is searched for the first
  underscore, never the folder: the import leaves that open and searches the name alone.
- fields.txt (columns 2 name, 3 size, 5 farm, first line a header): every farm and every
  field not yet in the store is created, a field under its farm with its size in area unit
  66; a size that cannot be read repeats the size of the line before (0 at first).
"""

import argparse
import datetime
import io
import json
import math
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "differential"))
import korvex_ref  # noqa: E402

sys.path.insert(0, os.path.join(HERE, "..", "..", "cmake"))
from wine_path import wine_path  # noqa: E402

VALUE_KEYS = ("Biomass_Index", "N_Target", "N_Applied", "ApplFactor", "Nc", "Rate")
VALUE_UNITS = ((0, 0), (36, 66), (36, 66), (31, 0), (31, 0), (36, 66))
MARKER_KINDS = (("Marker1", "Marker 1"), ("Marker2", "Marker 2"), ("Marker3", "Marker 3"),
                ("Marker4", "Marker 4"), ("Calibration", "Calibration"))
HEADER_NAMES = ("Long", "Lat", "Alt", "BI", "N", "Nas", "ApplFactor", "Marker 1", "Marker 2",
                "Marker 3", "Marker 4", "Calibration", "Nc")
FIELD_KIND, FARM_KIND, AREA_UNIT = 64, 128, 66


# ---------------------------------------------------------------------------------------
# Text lines and the line parser.

def text_pieces(data):
    """The lines of a text file: CR LF reads as LF (a lone CR stays), Ctrl-Z ends the data, a
    line is read whole. Each line is answered as (text up to its first NUL, number of the
    line, False: never a piece of a longer line)."""
    data = data.split(b"\x1a", 1)[0].replace(b"\r\n", b"\n").decode("latin-1")
    lines = data.split("\n")
    if not lines[-1]:
        lines.pop()
    return [(line.split("\0", 1)[0], number, False) for number, line in enumerate(lines, 1)]


def split_fields(line, sep=","):
    """The field texts of one line: quotes removed, a doubled quote inside quotes kept once,
    separators and line ends inside quotes are text, blanks at the start of a field dropped."""
    n = len(line)
    data = ["\0"] * (n + 2)
    starts = {}
    in_quotes = escaped = False
    j, count, at_start, prev = 0, 0, True, "\0"
    p = 0
    while p < n:
        c = line[p]
        if c == '"':
            if p + 1 < n and line[p + 1] == '"':
                if in_quotes:
                    p += 1
                    escaped = True
                else:
                    in_quotes = True
            else:
                escaped = False
                in_quotes = not in_quotes
        append = False
        if in_quotes:
            append = not (c == '"' and not escaped)
        elif c in "\n\r":
            data[j] = "\0"
            break
        elif c == sep:
            if prev == sep:
                starts[count] = j
            data[j] = "\0"
            j += 1
            count += 1
            at_start = True
        else:
            append = not (c == '"' and not escaped)
        if append:
            if at_start:
                blanks = len(line[p:]) - len(line[p:].lstrip(" "))
                starts[count] = j + blanks
                at_start = False
            data[j] = c
            j += 1
        prev = c
        p += 1
    count += 1
    text = "".join(data)
    fields = []
    for i in range(count):
        if i in starts and starts[i] < len(text):
            fields.append(text[starts[i]:text.index("\0", starts[i])])
        else:
            fields.append("")
    return fields


_DOUBLE = re.compile(r"[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?")
_LONG = re.compile(r"[+-]?\d+")
_SPACE = " \t\n\v\f\r"


def scan_double(fields, position, old):
    """A "%lf" scan of field `position` (1-based): the value, or `old` when nothing converts."""
    if not 1 <= position <= len(fields):
        return old
    m = _DOUBLE.match(fields[position - 1].lstrip(_SPACE))
    return float(m.group(0)) if m else old


def scan_long(fields, position, old):
    if not 1 <= position <= len(fields):
        return old
    m = _LONG.match(fields[position - 1].lstrip(_SPACE))
    if not m:
        return old
    v = int(m.group(0))
    return v if -2 ** 31 <= v < 2 ** 31 else old


def leading_int(text):
    m = re.match(r"[ \t\n\v\f\r]*([+-]?\d+)", text)
    return int(m.group(1)) if m else 0


# ---------------------------------------------------------------------------------------
# The import of one data file, as read here.

class Point:
    __slots__ = ("lon", "lat", "alt", "values", "events", "line")


def column_map(header):
    columns = [0] * len(HEADER_NAMES)
    for i, text in enumerate(split_fields(header), 1):
        if text in HEADER_NAMES:
            columns[HEADER_NAMES.index(text)] = i
    return columns


def read_points(csv_bytes):
    """The points of one data file, or None when it has no first line (no operation)."""
    pieces = text_pieces(csv_bytes)
    if not pieces:
        return None
    col = column_map(pieces[0][0])
    lon = lat = alt = bi = n = nas = factor = nc = 0.0
    marks = [0] * 5
    points = []
    for line, line_no, split in pieces[1:]:
        f = split_fields(line)
        lon, lat, alt = scan_double(f, col[0], lon), scan_double(f, col[1], lat), scan_double(f, col[2], alt)
        bi, n, nas = scan_double(f, col[3], bi), scan_double(f, col[4], n), scan_double(f, col[5], nas)
        factor = scan_double(f, col[6], factor)
        marks = [scan_long(f, col[7 + k], marks[k]) for k in range(5)]
        nc = scan_double(f, col[12], nc)
        rate = nas * 100 / nc if nc > 0 else 0.0
        if -90 < lat < 90 and -180 <= lon <= 180:
            p = Point()
            p.lon, p.lat, p.alt, p.line = lon, lat, alt, (line_no, line, split)
            p.values = (bi, n, nas, factor, nc, rate)
            p.events = [MARKER_KINDS[k] for k in range(5) if marks[k] > 0]
            marks = [0 if m > 0 else m for m in marks]
            points.append(p)
    return points


def parse_data_name(data_path):
    """Field name and date text from the data path (only its file name is searched)."""
    name_start = max(data_path.rfind("\\"), data_path.rfind("/")) + 1
    first = data_path.find("_", name_start)
    if first <= 0:
        return "", ""

    def split_last(rest):
        k = rest.rfind("_")
        return (rest, "") if k < 0 else (rest[k + 1:], rest[:k])

    rest = data_path[first + 1:][:-4]
    date, rest = split_last(rest)
    if len(date) != 6:
        date, rest = split_last(rest)
    return rest.replace("_", " "), date


def date_value(date_text, zone):
    yy = leading_int(date_text[0:2])
    mm = leading_int(date_text[2:4])
    dd = leading_int(date_text[4:])
    year = 2000 + yy if yy < 70 else 1900 + yy
    months = year * 12 + (mm - 1)
    first = datetime.date(months // 12, months % 12 + 1, 1)
    day = first + datetime.timedelta(days=dd - 1)
    midnight = datetime.datetime(day.year, day.month, day.day, tzinfo=zone)
    return midnight.timestamp()


def standard_offset_hours(zone):
    year = datetime.date.today().year
    for month in (1, 7):
        moment = datetime.datetime(year, month, 15, 12, tzinfo=zone)
        if not moment.dst():
            return moment.utcoffset().total_seconds() / 3600
    return datetime.datetime(year, 1, 15, tzinfo=zone).utcoffset().total_seconds() / 3600


def convert_log(data):
    """The reference conversion of a log (both checks skipped): the CSV bytes it leaves,
    complete or cut short where the conversion failed, and whether it failed."""
    out = io.BytesIO()
    converter = korvex_ref.convert_binary if korvex_ref.is_binary_log(data) else korvex_ref.convert_legacy
    try:
        converter(data, out, True, True)
        return out.getvalue(), False
    except korvex_ref.ConversionError:
        return out.getvalue(), True


# ---------------------------------------------------------------------------------------
# The field tree from fields.txt.

class FieldTree:
    def __init__(self):
        self.nodes = {}   # key -> (name, kind, parent key, area value or None)
        self.order = []

    def add(self, key, name, kind, parent, area):
        self.nodes[key] = (name, kind, parent, area)
        self.order.append(key)

    def read_fields_file(self, data):
        pieces = text_pieces(data)
        area = 0.0
        for line, _, _ in pieces[1:]:
            f = split_fields(line)
            name = f[1] if len(f) >= 2 else ""
            area = scan_double(f, 3, area)
            farm = f[4] if len(f) >= 5 else ""
            if farm not in self.nodes:
                self.add(farm, farm, FARM_KIND, "", None)
            if name not in self.nodes:
                self.add(name, name, FIELD_KIND, farm, area)

    def ensure_field(self, name):
        name = name or "Unknown_Field"
        if name not in self.nodes:
            self.add(name, name, FIELD_KIND, "", None)
        return name


# ---------------------------------------------------------------------------------------
# Comparison.

class Report:
    def __init__(self, limit):
        self.limit, self.count = limit, 0

    def diff(self, where, text):
        self.count += 1
        if self.count <= self.limit:
            print("DIFF %s: %s" % (where, text))
        elif self.count == self.limit + 1:
            print("... further differences not shown")


def same(a, b):
    return a == b or (isinstance(a, float) and isinstance(b, float) and math.isnan(a) and math.isnan(b))


def check_point(report, where, want, got, time):
    line_no, line, split = want.line
    shown = line.rstrip("\n")
    shown = shown if len(shown) <= 120 else shown[:60] + "..." + shown[-50:]
    context = "%s (CSV line %d%s: %r)" % (where, line_no, ", a piece of a line longer than 511 characters"
                                          if split else "", shown)
    checks = [("x", want.lon, got.get("x")), ("y", want.lat, got.get("y")), ("time", time, got.get("time")),
              ("arg4", 1, got.get("arg4")), ("arg5", -1, got.get("arg5")), ("arg6", 0.0, got.get("arg6"))]
    measures = got.get("measures") or []
    want_measures = ((277, 0.0), (33, 0.0), (33, 0.0), (33, want.alt))
    if len(measures) != 4:
        report.diff(context, "%d measures, expected 4" % len(measures))
    else:
        for k, (code, value) in enumerate(want_measures):
            m = measures[k] or {}
            checks.append(("measure %d code" % (k + 1), code, m.get("code")))
            checks.append(("measure %d value" % (k + 1), value, m.get("value")))
    values = got.get("values") or {}
    for key, (code, per), value in zip(VALUE_KEYS, VALUE_UNITS, want.values):
        v = values.get(key)
        if not isinstance(v, dict):
            report.diff(context, "value %s missing" % key)
            continue
        checks.append((key, value, v.get("value")))
        checks.append((key + " unit", (code, per), (v.get("code"), v.get("perCode"))))
    checks.append(("events", [list(e) for e in want.events], got.get("events")))
    checks.append(("ended", True, got.get("ended")))
    differs = False
    for what, w, g in checks:
        if not same(w, g):
            differs = True
            hint = ""
            if what == "time" and isinstance(g, (int, float)) and abs(g - w) == 3600:
                hint = " (one hour: the host's daylight saving rule for that year differs from --tz)"
            report.diff(context, "%s is %r, expected %r%s" % (what, g, w, hint))
    return differs


def check_operation(report, op, want, zone, tz_hours):
    name = op.get("name")
    where = "operation %s" % name
    field = want["field"]
    for what, w, g in (("field node", field, op.get("node")), ("data name", name, op.get("dataName")),
                       ("kind", "Application", op.get("kind")), ("arg2", 1, op.get("arg2")),
                       ("time zone hours set", [tz_hours], (op.get("extent") or {}).get("timeZoneHours")),
                       ("extent slot 12 calls", [0], (op.get("extent") or {}).get("slot12")),
                       ("machines", [("machine", "VirtualMachine", 0, "", -1)],
                        [(m.get("kind"), m.get("key"), m.get("arg2"), m.get("text3"), m.get("arg4"))
                         for m in op.get("machines", [])]),
                       ("products", [("product", "Unknown_Product")],
                        [(p.get("kind"), p.get("key")) for p in op.get("products", [])]),
                       ("containers", [("load", "Unknown_Product", 1.0, False)],
                        [(c.get("kind"), (c.get("product") or {}).get("key"), c.get("amount"), c.get("hasContainer"))
                         for c in op.get("containers", [])]),
                       ("marker kinds", [list(k) for k in MARKER_KINDS],
                        [[k.get("key"), k.get("name")] if isinstance(k, dict) else k
                         for k in op.get("markerKinds", [])]),
                       ("rejected points", 0, op.get("rejectedPoints", 0))):
        if not same(w, g):
            report.diff(where, "%s is %r, expected %r" % (what, g, w))
    props = op.get("properties")
    field_prop = None
    for entry in props if isinstance(props, list) else (props or {}).values():
        if isinstance(entry, dict) and entry.get("key") == "Field":
            field_prop = entry.get("value")
    if props is not None and field_prop != field:
        report.diff(where, "property Field is %r, expected %r" % (field_prop, field))
    points = op.get("points") or []
    expected = want["points"]
    if len(points) != len(expected):
        report.diff(where, "%d points, expected %d" % (len(points), len(expected)))
    time = date_value(want["date"], zone)
    for k, (w, g) in enumerate(zip(expected, points)):
        if check_point(report, "%s point %d" % (where, k + 1), w, g, time) and len(points) != len(expected):
            report.diff(where, "the points after point %d are not compared: one is missing or extra" % (k + 1))
            break


def expected_files(folder, windows_folder):
    """Per file in the order of the import's two passes: (file name, data path as the driver
    holds it, the CSV bytes it reads, whether the conversion failed, whether it is a log)."""
    names = sorted(os.listdir(folder))
    logs = [n for n in names if n.lower().endswith(".log") and os.path.isfile(os.path.join(folder, n))]
    csvs = [n for n in names if n.lower().endswith(".csv") and os.path.isfile(os.path.join(folder, n))]
    result = []
    for name in logs:
        with open(os.path.join(folder, name), "rb") as f:
            data = f.read()
        if name.endswith(".log"):
            csv, failed = convert_log(data)
            result.append((name, windows_folder + name[:-4] + ".csv", csv, failed, True))
        else:
            result.append((name, windows_folder + name, data, False, False))
    for name in csvs:
        with open(os.path.join(folder, name), "rb") as f:
            data = f.read()
        result.append((name, windows_folder + name, data, False, False))
    return result


def check(args):
    from zoneinfo import ZoneInfo
    zone = ZoneInfo(args.tz)
    tz_hours = standard_offset_hours(zone)
    report = Report(args.report)
    folder = os.path.abspath(args.folder)
    windows_folder = wine_path(folder).rstrip("\\") + "\\"
    with open(args.store, encoding="utf-8") as f:
        store = json.load(f)
    catalog = store.get("catalog", {})
    operations = catalog.get("operations", [])
    by_name = {}
    for op in operations:
        by_name.setdefault(op.get("name"), []).append(op)

    fields_path = os.path.join(folder, "fields.txt")
    fields_data = None
    if os.path.isfile(fields_path):
        with open(fields_path, "rb") as f:
            fields_data = f.read()
    tree = FieldTree()
    files = expected_files(folder, windows_folder)
    log_stems = {n[:-4].lower() for n, _, _, _, converted in files if converted}
    matched, total_points = set(), 0
    for name, data_path, csv, failed, converted in files:
        stem = name.rsplit(".", 1)[0]
        if converted:
            on_disk = os.path.join(folder, stem + ".csv")
            if not os.path.isfile(on_disk):
                report.diff(name, "no converted CSV beside the log")
            else:
                with open(on_disk, "rb") as f:
                    written = f.read()
                if written != csv:
                    a, b = written.split(b"\r\n"), csv.split(b"\r\n")
                    k = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
                    report.diff(name, "converted CSV differs from the reference at line %d: %r, expected %r"
                                % (k + 1, a[k] if k < len(a) else b"<end>", b[k] if k < len(b) else b"<end>"))
        elif name.lower().endswith(".csv") and stem.lower() in log_stems:
            # Imported as well only when it was listed before the import converted its log.
            listed = args.converted_csv == "listed" or (args.converted_csv == "auto" and len(by_name.get(stem, [])) > 1)
            if not listed:
                continue
        if fields_data is not None:
            tree.read_fields_file(fields_data)
        points = read_points(csv)
        if points is None:
            continue  # no first line: no operation (an operation of its name is left over below)
        field_name, date = parse_data_name(data_path)
        field = tree.ensure_field(field_name)
        want = {"field": field, "date": date, "points": points}
        ops = [op for op in by_name.get(stem, []) if id(op) not in matched]
        if not ops:
            report.diff(name, "no operation %r in the store" % stem)
            continue
        matched.add(id(ops[0]))
        note = " (conversion ended with an error; its partial CSV was read)" if failed else ""
        print("%-40s %-22s %s  %6d points%s" % (name, field, date or "------", len(points), note))
        check_operation(report, ops[0], want, zone, tz_hours)
        total_points += len(points)
    for op in operations:
        if id(op) not in matched:
            report.diff("operation %s" % op.get("name"), "in the store, but no file of the folder makes it")

    check_fields(report, tree, catalog.get("fields", []))
    products = [p for p in catalog.get("products", []) if isinstance(p, dict) and p.get("key") == "Unknown_Product"]
    if operations and len(products) != 1:
        report.diff("products", "%d products Unknown_Product, expected 1" % len(products))
    if args.geojson:
        check_geojson(report, args.geojson, operations)
    print("%d operations, %d points, %d field-tree nodes checked" % (len(matched), total_points, len(tree.order)))
    if report.count:
        print("FAILED: %d differences between the import and the independent reading" % report.count)
        return 1
    print("import matches the independent reading")
    return 0


def check_fields(report, tree, nodes):
    got = {}
    for node in nodes:
        key = node.get("key")
        if key in got:
            report.diff("field tree", "node %r twice" % key)
        got[key] = node
    for key in tree.order:
        name, kind, parent, area = tree.nodes[key]
        node = got.pop(key, None)
        where = "field tree node %r" % key
        if node is None:
            report.diff(where, "missing")
            continue
        created = node.get("created") or {}
        checks = [("name", name, node.get("name")), ("kind", kind, node.get("kind")),
                  ("parent key passed", parent, created.get("parentKey")), ("text 5", "", created.get("text5"))]
        if area is not None:
            a = node.get("area") or {}
            checks += [("area", area, a.get("value")), ("area unit", AREA_UNIT, a.get("code"))]
        for what, w, g in checks:
            if not same(w, g):
                report.diff(where, "%s is %r, expected %r" % (what, g, w))
    for key in got:
        report.diff("field tree node %r" % key, "in the store, but neither fields.txt nor a file name makes it")


def check_geojson(report, path, operations):
    with open(path, encoding="utf-8") as f:
        features = json.load(f).get("features", [])
    points = [(op.get("name"), p) for op in operations for p in op.get("points", [])]
    if len(features) != len(points):
        report.diff("GeoJSON", "%d features, the store has %d points" % (len(features), len(points)))
        return
    for k, (feature, (name, p)) in enumerate(zip(features, points)):
        props = feature.get("properties", {})
        coords = feature.get("geometry", {}).get("coordinates", [])
        want = [p["x"], p["y"], p["measures"][3]["value"]]
        markers = ",".join(e[0] for e in p.get("events", []))
        if coords != want or props.get("operation") != name or (props.get("markers") or "") != markers \
                or any(props.get(key) != p["values"][key]["value"] for key in VALUE_KEYS):
            report.diff("GeoJSON feature %d" % (k + 1), "does not match point of operation %s: %r" % (name, feature))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("store")
    parser.add_argument("--geojson")
    parser.add_argument("--tz", default=os.environ.get("NIVRA_TEST_TZ", "Europe/Berlin"))
    parser.add_argument("--converted-csv", choices=("auto", "listed", "new"), default="auto",
                        help="a CSV file beside a log: 'listed' when it was in the folder before the import "
                        "(then it is imported too), 'new' when the import's conversion made it, 'auto' "
                        "(default) to go by the operations in the store")
    parser.add_argument("--report", type=int, default=25, help="differences to print (default 25)")
    args = parser.parse_args()
    if not os.path.isdir(args.folder) or not os.path.isfile(args.store):
        parser.error("FOLDER must be a folder and STORE a file")
    return check(args)


if __name__ == "__main__":
    sys.exit(main())
