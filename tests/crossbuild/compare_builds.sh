#!/bin/sh
# The shipped i686 build against the x86_64 build on the same inputs: each build's samplelogs.exe
# writes the sample terminal folder and farm plan, a CSV of rate pairs that an x87 at 64 bits
# rounds twice joins them, and each build's driver, under Wine through the command-line host,
# imports the folder (converting every log through its korvex.dll) and publishes the plan.
# Every file the two builds wrote must be byte-identical: logs, CSV files, the host's store,
# the GeoJSON, the summary, the terminal's text files, the grids and the shape files.
#
#   compare_builds.sh WIN64_BUILD WIN32_BUILD [WORK]
set -eu
here="$(cd "$(dirname "$0")/../.." && pwd)"
[ $# -ge 2 ] || { echo "usage: compare_builds.sh WIN64_BUILD WIN32_BUILD [WORK]" >&2; exit 2; }
win64="$(cd "$1" && pwd)"; win32="$(cd "$2" && pwd)"
work="${3:-$(mktemp -d)}"
[ $# -ge 3 ] || trap 'rm -rf "$work"' EXIT
mkdir -p "$work"; work="$(cd "$work" && pwd)"
fail() { echo "FAIL: $*" >&2; exit 1; }

# Both builds work in the same folders, so that every path they record is the same.
card="$work/card"; published="$work/published"
run_build() {
  name="$1"; build="$2"
  rm -rf "$card" "$published" "$work/$name"
  mkdir -p "$card"
  NIVRA_BUILD_DIR="$build" sh "$here/cmake/wine-run.sh" "$build/tools/samplelogs.exe" \
    "Z:$(echo "$card" | tr '/' '\\')" --points 600 --plan "Z:$(echo "$work/plan.json" | tr '/' '\\')" >/dev/null ||
    fail "$name: samplelogs"
  {
    echo "Long,Lat,Alt,BI,N,Nas,ApplFactor,Marker 1,Marker 2,Marker 3,Marker 4,Calibration,Nc"
    for pair in 197:20.1 167:22.2 57:26.4 114:26.4 228:26.4 125:28.4 250:28.4 265:29.3 120:4.20; do
      echo "7.4890000,51.4902000,121,2.50,120,${pair%%:*},3,,,,,,${pair#*:}"
    done
  } | sed 's/$/\r/' > "$card/Log_Rate_Pairs_260420.csv"
  host() { sh "$here/scripts/nivrahost.sh" --build "$build" "$@"; }
  host import "$card" --store "$work/store.json" --geojson "$work/points.geojson" --quiet > "$work/import.txt" 2>&1 ||
    { cat "$work/import.txt" >&2; fail "$name: import"; }
  host publish "$work/plan.json" "$published" --export-shapes > "$work/publish.txt" 2>&1 ||
    { cat "$work/publish.txt" >&2; fail "$name: publish"; }
  mkdir -p "$work/$name"
  mv "$card" "$published" "$work/plan.json" "$work/store.json" "$work/points.geojson" "$work/import.txt" \
     "$work/publish.txt" "$work/$name/"
}

run_build win64 "$win64"
run_build win32 "$win32"
files=$(cd "$work/win64" && find . -type f | wc -l)
[ "$(ls "$work/win64/card"/*.csv | wc -l)" -ge 5 ] || fail "the import converted no logs"
[ -n "$(ls "$work/win64/published"/*_OffsetMap.grd 2>/dev/null)" ] || fail "the publish wrote no offset map"
diff -r "$work/win64" "$work/win32" > "$work/differences.txt" ||
  { head -n 40 "$work/differences.txt" >&2; fail "the i686 and x86_64 builds wrote different files"; }
echo "the i686 and x86_64 builds wrote the same $files files, byte for byte"
