#!/bin/sh
# Import benchmark: rows per second of a CSV imported through the driver into the reference
# host under wine64, and the share of that time spent inside the reference host.
#   bench/import/run.sh [BUILD_DIR [ROWS [--no-replay] [--modules]]]
# Defaults: build/win64 and 1000000 rows. Registers refhost.dll and NivraTesk.dll in the
# build's Wine prefix first.
set -e
here="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$here/build/win64}" && pwd)"
rows="${2:-1000000}"
[ $# -ge 2 ] && shift 2 || set --
export NIVRA_BUILD_DIR="$build"
run="$here/cmake/wine-run.sh"
. "$here/cmake/wine-path.sh"
sh "$run" regsvr32 /s "$(wine_path "$build/refhost/refhost.dll")"
sh "$run" regsvr32 /s "$(wine_path "$build/driver/NivraTesk.dll")"
exec sh "$run" "$build/bench/import/import_bench.exe" "$rows" "$@"
