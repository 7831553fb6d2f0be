#!/bin/sh
# Usage: plan_test.sh SAMPLELOGS KORVEX PYTHON3
set -e
samplelogs="$1"; korvex="$2"; python="$3"
dir=$(mktemp -d); trap 'rm -rf "$dir"' EXIT
"$samplelogs" "$dir" --plan "$dir/plan.json" > /dev/null
"$korvex" convert "$dir"/*.log > /dev/null
"$python" - "$dir" <<'PY'
import glob, json, math, os, sys
d = sys.argv[1]

def utm32(lat, lon):
    # WGS 84 to UTM zone 32N, the forward series (an implementation apart from the generator's inverse).
    a, f, k0 = 6378137.0, 1 / 298.257223563, 0.9996
    e2 = f * (2 - f); ep2 = e2 / (1 - e2)
    phi, lam = math.radians(lat), math.radians(lon - 9.0)
    n = a / math.sqrt(1 - e2 * math.sin(phi) ** 2)
    t, c = math.tan(phi) ** 2, ep2 * math.cos(phi) ** 2
    A = lam * math.cos(phi)
    m = a * ((1 - e2 / 4 - 3 * e2**2 / 64 - 5 * e2**3 / 256) * phi - (3 * e2 / 8 + 3 * e2**2 / 32 + 45 * e2**3 / 1024) * math.sin(2 * phi)
             + (15 * e2**2 / 256 + 45 * e2**3 / 1024) * math.sin(4 * phi) - (35 * e2**3 / 3072) * math.sin(6 * phi))
    east = 500000 + k0 * n * (A + (1 - t + c) * A**3 / 6 + (5 - 18 * t + t * t + 72 * c - 58 * ep2) * A**5 / 120)
    north = k0 * (m + n * math.tan(phi) * (A * A / 2 + (5 - t + 9 * c + 4 * c * c) * A**4 / 24
                                          + (61 - 58 * t + t * t + 600 * c - 330 * ep2) * A**6 / 720))
    return east, north

fields = {}
lines = open(os.path.join(d, "fields.txt"), newline="").read().split("\r\n")
assert lines[0].startswith('"Nr.","Schlagname","size"') and lines[-1] == "", lines[:1]
for line in lines[1:-1]:
    cells = [c.strip('"') for c in line.split(",")]
    assert len(cells) == 10 and cells[9] == "", line
    fields[cells[1]] = {"area": float(cells[2]), "crop": cells[3], "farm": cells[4]}

plan = json.load(open(os.path.join(d, "plan.json")))
rx = {p["id"]: p for p in plan["prescriptions"]}
plan_fields = {}
for farm in plan["farms"]:
    for field in farm["fields"]:
        plan_fields[field["name"]] = (farm["name"], field["area"], field["cropZones"][0]["crop"])
ops = {op["field"]: rx[op["prescription"]] for op in plan["operations"]}

def rect(zone):
    xs = [p[0] for p in zone["polygon"]]; ys = [p[1] for p in zone["polygon"]]
    assert len(xs) == 4 and len(set(xs)) == 2 and len(set(ys)) == 2, zone
    return min(xs), min(ys), max(xs), max(ys)

logs = sorted(glob.glob(os.path.join(d, "Log_*.csv")))
assert len(logs) == 4, logs
for csv in logs:
    name = os.path.basename(csv)[4:-11].replace("_", " ")
    assert name in fields, (name, sorted(fields))
    assert plan_fields[name] == (fields[name]["farm"], fields[name]["area"], fields[name]["crop"]), (name, plan_fields[name], fields[name])
    zones = [rect(z) for z in ops[name]["zones"]]
    zone_area = sum((x1 - x0) * (y1 - y0) for x0, y0, x1, y1 in zones) / 10000
    assert abs(zone_area - fields[name]["area"]) < 0.006, (name, zone_area, fields[name]["area"])
    rates = {z["rates"]["N"] for z in ops[name]["zones"]}
    assert len(rates) >= 3 and all(30 <= r <= 120 for r in rates), (name, rates)
    rows = [l.split(",") for l in open(csv, newline="").read().split("\r\n")[1:] if l]
    for row in rows:
        e, n = utm32(float(row[1]), float(row[0]))
        # Inside a zone, and not within half a metre of the field's edge.
        assert any(x0 <= e <= x1 and y0 <= n <= y1 for x0, y0, x1, y1 in zones), (name, row[:2], e, n)
        assert min(z[0] for z in zones) + 0.5 < e < max(z[2] for z in zones) - 0.5, (name, e)
        assert min(z[1] for z in zones) + 0.5 < n < max(z[3] for z in zones) - 0.5, (name, n)
        # On a pass: passes 24 m apart from 12 m in, a point every 2.8 m from 1.4 m in.
        off_e = (e - min(z[0] for z in zones) - 12) % 24
        off_n = (n - min(z[1] for z in zones) - 1.4) % 2.8
        assert min(off_e, 24 - off_e) < 0.05 and min(off_n, 2.8 - off_n) < 0.05, (name, e, n)
    bi = [float(r[3]) for r in rows]
    steps = [abs(b - a) for a, b in zip(bi, bi[1:])]
    # Smooth along the track: no jump beyond the older format's 0.2 step but at pass ends.
    assert sorted(steps)[int(len(steps) * 0.98)] <= 0.2 + 1e-9, (name, sorted(steps)[-10:])
print("samplelogs folder and plan: %d fields agree" % len(logs))
PY
