#!/bin/sh
# Conversion benchmarks: Google Benchmark over a 100 MB binary log and a 100 MB older log,
# then a whole `korvex convert` of the binary log against `cp` of the same input plus writing
# an output of the same size as the CSV.
# Usage: run.sh BUILD_DIR
set -e
build="${1:?usage: run.sh BUILD_DIR}"
export KORVEX_BENCH_DIR="${KORVEX_BENCH_DIR:-$build/bench-data}"
mkdir -p "$KORVEX_BENCH_DIR"
"$build/bench/korvex_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
log="$KORVEX_BENCH_DIR/bench-binary.log"
csv="$KORVEX_BENCH_DIR/convert-out.csv"
"$build/tools/korvex" convert "$log" -o "$csv" >/dev/null
size=$(stat -c %s "$csv")
best() { # best of three wall-clock seconds of a command
    b=""
    for i in 1 2 3; do
        s=$(date +%s.%N); sh -c "$1" >/dev/null; e=$(date +%s.%N)
        t=$(echo "$e - $s" | bc -l)
        if [ -z "$b" ] || [ "$(echo "$t < $b" | bc -l)" = 1 ]; then b=$t; fi
    done
    echo "$b"
}
convert=$(best "'$build/tools/korvex' convert '$log' -o '$csv'")
copy=$(best "cp '$log' '$KORVEX_BENCH_DIR/copy.log' && head -c $size /dev/zero > '$KORVEX_BENCH_DIR/copy.csv'")
rm -f "$KORVEX_BENCH_DIR/copy.log" "$KORVEX_BENCH_DIR/copy.csv"
printf 'korvex convert of %s MB: %.3f s; cp of the input plus writing %s MB: %.3f s; ratio %.2f\n' \
    "$(($(stat -c %s "$log") / 1048576))" "$convert" "$((size / 1048576))" "$copy" "$(echo "$convert / $copy" | bc -l)"

# The GDAL driver: its read path, and ogr2ogr to GeoPackage against korvex convert of the same
# log. GDAL's own GeoPackage-to-GeoPackage copy of the result shows what the writing costs.
plugins="$build/gdal/plugins"
if [ -x "$build/bench/gdal_driver_bench" ] && [ -f "$plugins/gdal_KorvexLog.so" ]; then
    "$build/bench/gdal_driver_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
    gpkg="$KORVEX_BENCH_DIR/ogr2ogr-out.gpkg"
    copy_gpkg="$KORVEX_BENCH_DIR/ogr2ogr-copy.gpkg"
    ogr="GDAL_DRIVER_PATH='$plugins' ogr2ogr -f GPKG"
    to_gpkg=$(best "rm -f '$gpkg' && $ogr '$gpkg' '$log'")
    no_index=$(best "rm -f '$gpkg' && $ogr -lco SPATIAL_INDEX=NO '$gpkg' '$log'")
    rm -f "$gpkg" && sh -c "$ogr '$gpkg' '$log'"
    gpkg_copy=$(best "rm -f '$copy_gpkg' && ogr2ogr -f GPKG '$copy_gpkg' '$gpkg'")
    rm -f "$gpkg" "$copy_gpkg"
    printf 'ogr2ogr -f GPKG of the same log: %.3f s, %.1f x korvex convert (%.3f s)\n' \
        "$to_gpkg" "$(echo "$to_gpkg / $convert" | bc -l)" "$convert"
    printf '  with -lco SPATIAL_INDEX=NO: %.3f s, %.1f x; GDAL copying the GeoPackage to another: %.3f s\n' \
        "$no_index" "$(echo "$no_index / $convert" | bc -l)" "$gpkg_copy"
fi
