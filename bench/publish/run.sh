#!/bin/sh
# Publish benchmark: time of one Publish through the driver into the reference host's catalog
# under wine64, for catalogs of 1,000 to 10,000 fields (five crop zones and one operation each).
#   bench/publish/run.sh [BUILD_DIR] [FIELDS...]     (defaults: build/win64, 1000 2000 5000 10000)
# Registers refhost.dll and NivraTesk.dll in the build's Wine prefix first.
set -e
here="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$here/build/win64}" && pwd)"
[ $# -gt 0 ] && shift
export NIVRA_BUILD_DIR="$build"
run="$here/cmake/wine-run.sh"
. "$here/cmake/wine-path.sh"
sh "$run" regsvr32 /s "$(wine_path "$build/refhost/refhost.dll")"
sh "$run" regsvr32 /s "$(wine_path "$build/driver/NivraTesk.dll")"
exec sh "$run" "$build/bench/publish/publish_bench.exe" "$@"
