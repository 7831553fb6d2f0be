#!/bin/sh
# The main job, end to end: a sample terminal folder is generated, its logs are converted with
# the korvex tool, the folder is imported through the driver (NivraTesk.dll, korvex.dll) into the
# reference host with the command-line host under Wine, the sample farm plan is published to a
# terminal folder through the driver's publisher, and GDAL opens what came out: the GeoJSON of
# the imported points, the offset map grids and the rate-zone shape files. The logs are then
# opened through the project's GDAL/OGR driver (ogrinfo, ogr2ogr to GeoPackage), and map.png
# shows the imported points coloured by the N applied over the published offset maps. It
# ends with a report of what was imported and published and where every output is.
#
# Usage: demo.sh [NATIVE_BUILD [WIN64_BUILD [OUT]]]
#   NATIVE_BUILD  build of the native preset (korvex, samplelogs); default build/native
#   WIN64_BUILD   build of the win64 preset (nivrahost.exe, refhost.dll, NivraTesk.dll,
#                 korvex.dll); default build/win64
#   OUT           output folder, emptied first; default build/demo
set -e
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

fail() {
    echo >&2
    echo "demo: FAILED: $*" >&2
    exit 1
}
section() {
    echo
    echo "== $*"
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Step timings, kept for the report: "name|milliseconds" lines.
timings=""
step_start() { step_name="$1"; step_t0=$(now_ms); }
step_end() { timings="$timings$step_name|$(($(now_ms) - step_t0))
"; }

native="${1:-build/native}"
win64="${2:-build/win64}"
out="${3:-build/demo}"
[ -d "$native" ] || fail "no native build in $native (run: make demo, or cmake --preset native && cmake --build --preset native)"
[ -d "$win64" ] || fail "no win64 build in $win64 (run: make demo, or cmake --preset win64 && cmake --build --preset win64)"
native="$(cd "$native" && pwd)"
win64="$(cd "$win64" && pwd)"
for tool in "$native/tools/samplelogs" "$native/tools/korvex"; do
    [ -x "$tool" ] || fail "$tool is missing: build the native preset first"
done
for f in tools/nivrahost/nivrahost.exe refhost/refhost.dll driver/NivraTesk.dll driver/korvex.dll; do
    [ -f "$win64/$f" ] || fail "$win64/$f is missing: build the win64 preset first"
done
for tool in ogrinfo gdalinfo; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing: install gdal-bin (make setup does)"
done
command -v wine64 >/dev/null 2>&1 || [ -x /usr/lib/wine/wine64 ] || fail "wine64 is missing (make setup installs it)"

# The output folder is emptied only when it is new, empty, or an earlier demo's.
mkdir -p "$out"
out="$(cd "$out" && pwd)"
if [ -n "$(ls -A "$out")" ] && [ ! -f "$out/.nivra-demo" ]; then
    fail "$out holds files of something else; name an empty or new output folder"
fi
rm -rf "$out"
mkdir -p "$out"
: > "$out/.nivra-demo"
terminal="$out/terminal"
csvdir="$out/csv"
published="$out/published"
plan="$out/farm-plan.json"
store="$out/store.json"
geojson="$out/points.geojson"
mkdir -p "$terminal" "$csvdir" "$published"
host() { sh "$here/scripts/nivrahost.sh" --build "$win64" "$@"; }
t_all=$(now_ms)

section "1. Sample terminal folder: $terminal"
echo "   four fields driven in serpentine passes, two in each log format, fields.txt beside them;"
echo "   the farm plan for the same fields goes to $plan"
step_start "sample terminal folder"
"$native/tools/samplelogs" "$terminal" --plan "$plan" > "$out/samplelogs.txt" || fail "samplelogs could not write the sample folder"
step_end
sed "s|$out/||; s/^/   /" "$out/samplelogs.txt"
logs=$(ls "$terminal"/*.log 2>/dev/null | wc -l)
[ "$logs" -eq 4 ] && [ -f "$terminal/fields.txt" ] || fail "the sample folder lacks its logs or fields.txt"

section "2. Converting every log with korvex (native tool) into $csvdir"
step_start "korvex conversion (native)"
"$native/tools/korvex" convert "$terminal"/*.log -o "$csvdir" > "$out/korvex.txt" || fail "korvex could not convert the sample logs"
step_end
sed "s|$out/||g; s/^/   /" "$out/korvex.txt"
rows=0
for csv in "$csvdir"/*.csv; do rows=$((rows + $(wc -l < "$csv") - 1)); done
echo "   $rows rows in all; the first rows of one log:"
head -n 4 "$csvdir/Log_North_Field_260412.csv" | tr -d '\r' | sed 's/^/     /'

section "3. Importing $terminal through the driver (nivrahost under Wine)"
echo "   the driver converts each log through korvex.dll, reads fields.txt for farms and areas,"
echo "   and builds one operation per log in the reference host"
import_step="import through the driver (Wine)"
if [ ! -f "$win64/wineprefix/system.reg" ]; then
    echo "   (first run in this build: the build's Wine prefix is created and the DLLs registered first)"
    import_step="$import_step, new Wine prefix"
fi
step_start "$import_step"
# The Windows program writes CR LF line ends; the summary is kept with plain ones.
host import "$terminal" --store "$store" --geojson "$geojson" --quiet > "$out/import.raw" 2>&1 ||
    { tr -d '\r' < "$out/import.raw" | sed 's/^/   /' >&2; fail "the import through the driver failed"; }
step_end
tr -d '\r' < "$out/import.raw" > "$out/import.txt"; rm -f "$out/import.raw"
sed 's/^/   /' "$out/import.txt"
[ -s "$store" ] || fail "the import wrote no store $store"
[ -s "$geojson" ] || fail "the import wrote no GeoJSON $geojson"
ops=$(grep -c '^Log_' "$out/import.txt" || true)
[ "$ops" -eq 4 ] || fail "the import summary shows $ops operations, not 4"
for csv in "$csvdir"/*.csv; do
    cmp -s "$csv" "$terminal/$(basename "$csv")" ||
        fail "korvex.dll under the driver and the native korvex wrote different CSV files for $(basename "$csv")"
done
echo "   korvex.dll (under the driver) and the native korvex wrote byte-identical CSV files"

section "4. Publishing the farm plan to the terminal folder $published"
echo "   fields, farms, crops and one task per field; each task's prescription as an offset map"
echo "   (Surfer DSAA grid, 30 m cells) and, with --export-shapes, as a shape file of rate zones"
step_start "publish through the driver (Wine)"
host publish "$plan" "$published" --export-shapes > "$out/publish.raw" 2>&1 ||
    { tr -d '\r' < "$out/publish.raw" | sed 's/^/   /' >&2; fail "publishing the farm plan failed"; }
step_end
tr -d '\r' < "$out/publish.raw" > "$out/publish.txt"; rm -f "$out/publish.raw"
echo "   the publisher wrote $(grep -c '^wrote ' "$out/publish.txt") files:"
sed -n 's|^wrote .*\\||p' "$out/publish.txt" | paste -d' ' - - - - | sed 's/^/     /'
for f in fields.txt customers.txt crops.txt tasks.txt; do
    [ -s "$published/$f" ] || fail "the publisher wrote no $f"
done
grids=$(ls "$published"/*_OffsetMap.grd 2>/dev/null | wc -l)
[ "$grids" -eq 4 ] || fail "the publisher wrote $grids offset maps, not 4"

section "5. Opening the outputs with GDAL/OGR"
step_start "GDAL/OGR checks"
echo "-- ogrinfo -ro -so -al points.geojson"
ogrinfo -ro -so -al "$geojson" > "$out/ogrinfo.txt" 2>&1 || { cat "$out/ogrinfo.txt" >&2; fail "ogrinfo cannot open $geojson"; }
grep -E 'Geometry:|Feature Count|Extent|^[A-Za-z_]+: (Real|Integer|String)' "$out/ogrinfo.txt" | sed 's/^/   /'
features=$(sed -n 's/^Feature Count: //p' "$out/ogrinfo.txt")
[ "$features" = "$rows" ] || fail "ogrinfo counts $features points in $geojson, the CSV files hold $rows rows"
grid_report=""
shape_report=""
for grd in "$published"/*_OffsetMap.grd; do
    name=$(basename "$grd")
    gdalinfo -mm "$grd" > "$out/gdalinfo.txt" 2>&1 || { cat "$out/gdalinfo.txt" >&2; fail "gdalinfo cannot open $grd"; }
    grep -q '^Driver: GSAG/' "$out/gdalinfo.txt" || fail "gdalinfo does not read $name as a Surfer ASCII grid"
    size=$(sed -n 's/^Size is \([0-9]*\), \([0-9]*\)$/\1 x \2/p' "$out/gdalinfo.txt")
    pixel=$(sed -n 's/^Pixel Size = (\([0-9.]*\),.*/\1/p' "$out/gdalinfo.txt")
    minmax=$(sed -n 's/.*Computed Min\/Max=\([-0-9.]*\),\([-0-9.]*\).*/\1 .. \2/p' "$out/gdalinfo.txt")
    header=$(sed -n 2p "$grd" | tr -d '\r')
    [ "$(echo "$header" | tr ' ' 'x' | sed 's/x/ x /')" = "$size" ] || fail "gdalinfo reads $name as $size cells, its header says $header"
    [ -n "$minmax" ] || fail "gdalinfo finds no rates in $name"
    grid_report="$grid_report$(printf '   %-28s %-8s cells of %s m, N rate %s kg/ha, %s bytes' \
        "$name" "$size" "${pixel%%.*}" "$minmax" "$(wc -c < "$grd")")
"
done
echo "-- gdalinfo -mm on each offset map"
printf '%s' "$grid_report"
for shp in "$published"/*.shp; do
    ogrinfo -ro -so -al "$shp" > "$out/ogrinfo-shp.txt" 2>&1 || { cat "$out/ogrinfo-shp.txt" >&2; fail "ogrinfo cannot open $shp"; }
    zones=$(sed -n 's/^Feature Count: //p' "$out/ogrinfo-shp.txt")
    [ "${zones:-0}" -gt 0 ] || fail "ogrinfo finds no rate zones in $shp"
    shape_report="$shape_report$(printf '   %-28s %s rate zones' "$(basename "$shp")" "$zones")
"
done
printf '%s' "$shape_report"
step_end
rm -f "$out/ogrinfo.txt" "$out/ogrinfo-shp.txt"

echo
echo "-- gdalinfo -mm $published/North_Field_OffsetMap.grd"
gdalinfo -mm "$published/North_Field_OffsetMap.grd" | sed 's/^/   /'
rm -f "$out/gdalinfo.txt" "$published"/*.aux.xml

section "6. The terminal's logs through the GDAL/OGR driver, and the map"
echo "   GDAL loads the KorvexLog plugin from $native/gdal/plugins; every log opens as a point layer"
step_start "GDAL driver and map"
plugins="$native/gdal/plugins"
[ -f "$plugins/gdal_KorvexLog.so" ] || fail "$plugins/gdal_KorvexLog.so is missing: build the native preset with libgdal-dev installed"
gpkg="$out/logs.gpkg"
for log in "$terminal"/*.log; do
    stem=$(basename "$log" .log)
    GDAL_DRIVER_PATH="$plugins" ogrinfo -ro -so -al "$log" > "$out/ogrinfo.txt" 2>&1 ||
        { cat "$out/ogrinfo.txt" >&2; fail "ogrinfo cannot open $log through the driver"; }
    grep -q "using driver \`KorvexLog' successful" "$out/ogrinfo.txt" || fail "ogrinfo did not open $log with KorvexLog"
    count=$(sed -n 's/^Feature Count: //p' "$out/ogrinfo.txt")
    expected=$(($(wc -l < "$csvdir/$stem.csv") - 1))
    [ "$count" = "$expected" ] || fail "the driver reads $count points from $log, korvex wrote $expected rows"
    printf '   %-32s %5d points, %s\n' "$stem.log" "$count" "$(sed -n 's/^  LOG_FORMAT=//p' "$out/ogrinfo.txt") format"
    update=""; [ -f "$gpkg" ] && update="-update"
    GDAL_DRIVER_PATH="$plugins" ogr2ogr $update -f GPKG "$gpkg" "$log" 2> "$out/ogr2ogr.txt" ||
        { cat "$out/ogr2ogr.txt" >&2; fail "ogr2ogr could not write $log into $gpkg"; }
done
rm -f "$out/ogrinfo.txt" "$out/ogr2ogr.txt"
echo "   ogr2ogr wrote every log as a layer of $gpkg"
python=/usr/bin/python3; [ -x "$python" ] || python=python3
"$python" "$here/scripts/demo_map.py" "$geojson" "$published" "$terminal/fields.txt" "$out/map.png" > "$out/map.txt" 2>&1 ||
    { cat "$out/map.txt" >&2; fail "the map could not be drawn (python3-matplotlib and python3-gdal: make setup installs them)"; }
sed 's/^/   /' "$out/map.txt"; rm -f "$out/map.txt"
step_end

section "Report"
echo "Imported: $ops operations, $features points, from $terminal"
sed -n 's/^\(Log_[^ ]*\)$/\1/p; s/^ *field *\(.*\)$/\1/p; s/^ *points *\([0-9]*\)$/\1/p' "$out/import.txt" |
    paste - - - | awk -F'\t' '{ printf "   %-26s %-32s %5d points\n", $1, $2, $3 }'
echo "   value ranges per operation: $out/import.txt"
echo
echo "Published to $published:"
for f in fields.txt customers.txt crops.txt tasks.txt; do
    printf '   %-28s %5d bytes\n' "$f" "$(wc -c < "$published/$f")"
done
echo "   -- fields.txt"
tr -d '\r' < "$published/fields.txt" | sed 's/^/      /'
echo "   -- tasks.txt (header and the task lines; the file always holds 99 lines)"
tr -d '\r' < "$published/tasks.txt" | grep -v '^;' | sed 's/^/      /'
echo "   -- offset maps (Surfer DSAA grids, read by gdalinfo)"
printf '%s' "$grid_report" | sed 's/^   /      /'
echo "   -- rate-zone shape files (.shp, .shx, .dbf, read by ogrinfo)"
printf '%s' "$shape_report" | sed 's/^   /      /'
if cmp -s "$terminal/fields.txt" "$published/fields.txt"; then
    echo "   fields.txt is byte-identical to the sample folder's: the import read what the publisher writes"
else
    echo "   fields.txt differs from the sample folder's (diff $terminal/fields.txt $published/fields.txt)"
fi
echo
echo "Outputs:"
echo "   sample terminal folder   $terminal (logs, fields.txt; the driver's CSV files beside the logs)"
echo "   native korvex CSV files  $csvdir"
echo "   farm plan                $plan"
echo "   host store (JSON)        $store"
echo "   imported points          $geojson  (GeoJSON, WGS 84 lon/lat)"
echo "   published terminal data  $published  (grids and shapes in UTM 32N metres, EPSG:32632)"
echo "   import summary           $out/import.txt"
echo "   the logs as GeoPackage   $gpkg  (one layer per log, through the KorvexLog driver)"
echo "   map of the import        $out/map.png  (N applied over the prescribed rates)"
echo
echo "Time:"
printf '%s' "$timings" | awk -F'|' '{ printf "   %-50s %6.1f s\n", $1, $2 / 1000 }'
awk -v ms=$(($(now_ms) - t_all)) 'BEGIN { printf "   %-50s %6.1f s\n", "whole demo", ms / 1000 }'
echo
echo "demo: all steps passed"
