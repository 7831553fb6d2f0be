#!/bin/sh
# The main job: generates a terminal folder of sample logs in both formats and converts every
# log to the log CSV with the korvex tool, then says what was converted and where.
# Usage: demo.sh BUILD_DIR
set -e
build="${1:?usage: demo.sh BUILD_DIR}"
out="$(cd "$build" && pwd)/demo"
terminal="$out/terminal"
rm -rf "$out"
mkdir -p "$terminal"

echo "== Sample terminal folder: $terminal"
"$build/tools/samplelogs" "$terminal"

echo
echo "== Converting every log with korvex (both row checks skipped, as the host's driver does)"
"$build/tools/korvex" convert "$terminal"/*.log

echo
echo "== What the logs hold"
for log in "$terminal"/*.log; do
    echo "-- $(basename "$log")"
    "$build/tools/korvex" info "$log" | sed 's/^/   /'
done

echo
echo "== First rows of each CSV"
for csv in "$terminal"/*.csv; do
    echo "-- $csv"
    head -n 3 "$csv" | tr -d '\r' | sed 's/^/   /'
done
echo
echo "Done: logs and CSV files are in $terminal"
