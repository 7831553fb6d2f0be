#!/bin/sh
# The command-line host on a generated terminal folder: drivers, list, import with the
# store and GeoJSON written, the point counts checked against the converted CSV files,
# the GeoJSON read by ogrinfo when gdal-bin is installed, and the failures it must report.
#   nivrahost_cli_test.sh SOURCE_DIR BUILD_DIR
set -eu
src="$1"; build="$2"
run="$src/cmake/wine-run.sh"
. "$src/cmake/wine-path.sh"
host="$src/scripts/nivrahost.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export NIVRA_BUILD_DIR="$build"
mkdir -p "$work/card"
sh "$run" "$build/tools/samplelogs.exe" "$(wine_path "$work/card")" --points 300 >/dev/null || fail "samplelogs"
# samplelogs writes a fields.txt in the publisher's layout; it is replaced by a hand-written one in
# the plainest layout the import reads (no quotes, only the columns it uses) that names one field.
printf 'Nr,Schlagname,size,Crop,Kunde\r\n1,North Field,9.12,Wheat,Hill Farm\r\n' > "$work/card/fields.txt"

out="$(sh "$host" --build "$build" drivers)" || fail "drivers"
echo "$out" | grep -q "NivraTesk.Descriptions" || fail "drivers does not show the description collection: $out"

out="$(sh "$host" --build "$build" list "$work/card")" || fail "list"
echo "$out" | grep -q "File Size" || fail "list has no File Size column: $out"
[ "$(echo "$out" | grep -c '\.log ')" = 4 ] || fail "list does not show the four logs: $out"

sh "$host" --build "$build" import "$work/card" --store "$work/store.json" --geojson "$work/points.geojson" > "$work/summary.txt" ||
  fail "import"
grep -q "North Field  (farm Hill Farm)" "$work/summary.txt" || fail "summary lacks the field and farm: $(cat "$work/summary.txt")"

python3 - "$work" <<'PY' || fail "store or GeoJSON do not match the converted CSV files"
import json, os, sys
work = sys.argv[1]
store = json.load(open(os.path.join(work, "store.json")))
ops = store["catalog"]["operations"]
assert len(ops) == 4, len(ops)
total = 0
def rows_of(path):
    # The converted CSV read on its own terms: an empty cell keeps the value of the row before.
    lines = [l for l in open(path, newline="").read().split("\r\n")[1:] if l]
    row = [0.0] * 13
    for line in lines:
        cells = line.split(",")
        for i, cell in enumerate(cells[:13]):
            if cell.strip():
                row[i] = float(cell)
        yield list(row)
keys = ["Biomass_Index", "N_Target", "N_Applied", "ApplFactor", "Nc", "Rate"]
for op in ops:
    rows = list(rows_of(os.path.join(work, "card", op["name"] + ".csv")))
    assert len(op["points"]) == len(rows), (op["name"], len(op["points"]), len(rows))
    for p, r in zip(op["points"], rows):
        lon, lat, alt, bi, n, nas, factor, nc = r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[12]
        want = [bi, n, nas, factor, nc, nas * 100 / nc if nc > 0 else 0.0]
        got = [p["values"][k]["value"] for k in keys]
        assert (p["x"], p["y"], p["measures"][3]["value"]) == (lon, lat, alt), (op["name"], p, r)
        assert all(abs(g - w) <= 1e-9 * max(1.0, abs(w)) for g, w in zip(got, want)), (op["name"], got, want)
    total += len(rows)
geo = json.load(open(os.path.join(work, "points.geojson")))
assert geo["type"] == "FeatureCollection" and len(geo["features"]) == total
first = geo["features"][0]["properties"]
assert set(["Biomass_Index", "N_Target", "N_Applied", "ApplFactor", "Nc", "Rate", "markers"]) <= set(first)
open(os.path.join(work, "total"), "w").write(str(total))
PY

if command -v ogrinfo >/dev/null 2>&1; then
  ogrinfo -ro -al -so "$work/points.geojson" | grep -q "Feature Count: $(cat "$work/total")" ||
    fail "ogrinfo reads another feature count: $(ogrinfo -ro -al -so "$work/points.geojson" | head -20)"
fi

expect_status() {
  want="$1"; shift
  set +e
  sh "$host" --build "$build" "$@" >"$work/out.txt" 2>&1
  got=$?
  set -e
  [ "$got" = "$want" ] || fail "'$*' exits $got, not $want: $(cat "$work/out.txt")"
  grep -q "nivrahost" "$work/out.txt" || fail "'$*' gives no message"
}
expect_status 2 import "$work/no-such-folder" --store "$work/s.json"
expect_status 2 import "$work/card"
expect_status 2 import "$work/card" Missing.log --store "$work/s.json"
expect_status 2 frobnicate
expect_status 2 list
echo "nivrahost command line: all checks passed"
