#!/bin/sh
# Runs the command-line host (nivrahost.exe) under wine64 in a build's private Wine prefix,
# registering the reference host (refhost.dll) and the driver (NivraTesk.dll) there first
# when they are new or were rebuilt. Linux paths in the arguments are handed on as Z:\ paths.
#
#   scripts/nivrahost.sh [--build DIR] drivers
#   scripts/nivrahost.sh [--build DIR] list FOLDER
#   scripts/nivrahost.sh [--build DIR] import FOLDER [FILE...] --store STORE.json [--geojson OUT.geojson]
#   scripts/nivrahost.sh [--build DIR] publish PLAN.json DEST [--export-shapes] [--keep-text-data]
#
# DIR defaults to build/win64 (NIVRA_BUILD_DIR is used when set).
set -e
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${NIVRA_BUILD_DIR:-$here/build/win64}"
if [ "$1" = "--build" ]; then
  [ $# -ge 2 ] || { echo "nivrahost.sh: --build needs a folder" >&2; exit 2; }
  build="$2"; shift 2
fi
build="$(cd "$build" 2>/dev/null && pwd)" || { echo "nivrahost.sh: no build folder $build" >&2; exit 2; }
exe="$build/tools/nivrahost/nivrahost.exe"
refhost="$build/refhost/refhost.dll"
driver="$build/driver/NivraTesk.dll"
for f in "$exe" "$refhost" "$driver" "$build/driver/korvex.dll"; do
  [ -f "$f" ] || { echo "nivrahost.sh: $f is missing; build that preset first" >&2; exit 2; }
done

run="$here/cmake/wine-run.sh"
export NIVRA_BUILD_DIR="$build"

. "$here/cmake/wine-path.sh"

# Register the two DLLs in the prefix when either is newer than the last registration.
stamp="$build/wineprefix/.nivrahost-registered"
current="$(stat -c %Y "$refhost" "$driver" | tr '\n' ' ')"
if [ ! -f "$stamp" ] || [ "$(cat "$stamp")" != "$current" ]; then
  sh "$run" regsvr32 /s "$(wine_path "$refhost")"
  sh "$run" regsvr32 /s "$(wine_path "$driver")"
  mkdir -p "$(dirname "$stamp")"
  echo "$current" > "$stamp"
fi

# Arguments that hold a "/" are Linux paths: they are handed on as Z:\ paths. Plain names
# (the FILE names of import, relative folders) stay as they are; Wine resolves a relative
# path against the current folder, which it sees on Z: as well.
[ $# -ge 1 ] || exec sh "$run" "$exe"
count=$#
i=0
while [ $i -lt $count ]; do
  arg="$1"; shift
  case "$arg" in
    */*) set -- "$@" "$(wine_path "$arg")" ;;
    *) set -- "$@" "$arg" ;;
  esac
  i=$((i + 1))
done
exec sh "$run" "$exe" "$@"
