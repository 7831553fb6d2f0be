#!/bin/sh
# Usage: exe_test.sh WINE_RUN KORVEX_EXE SAMPLELOGS_EXE
# Converts generated logs with korvex.exe under Wine, through Windows paths, and checks that the
# CSV files are those the checks expect: CR LF line ends, the header, one row per point.
run="$1"; korvex="$2"; samplelogs="$3"
dir=$(mktemp -d); trap 'rm -rf "$dir"' EXIT
. "$(dirname "$run")/wine-path.sh"
windir="$(wine_path "$dir")"
failures=0; passed=0
check() { name="$1"; shift; if "$@"; then passed=$((passed + 1)); else echo "FAILED: $name"; failures=$((failures + 1)); fi; }

"$run" "$samplelogs" "$windir" --points 200 > /dev/null
check "sample logs written" test -f "$dir/Log_North_Field_260412.log"
"$run" "$korvex" convert "$windir\\Log_North_Field_260412.log" "$windir\\Log_Mill_Meadow_260418.log" > "$dir/out.txt"
check "convert exits 0" test $? -eq 0
csv="$dir/Log_North_Field_260412.csv"
check "header line with CR LF" test "$(head -n 1 "$csv" | od -An -c | tr -d ' \n' | tail -c 4)" = '\r\n'
check "one row per point" test "$(wc -l < "$csv")" -eq 201
check "older log converted" test "$(wc -l < "$dir/Log_Mill_Meadow_260418.csv")" -eq 201
"$run" "$korvex" convert "$windir\\missing.log" > /dev/null 2> "$dir/err.txt"
check "a missing log fails with exit 1" test $? -eq 1
check "stderr names the missing log" grep -q "missing.log" "$dir/err.txt"
echo "korvex.exe: $passed passed, $failures failed"
test "$failures" -eq 0
