#!/bin/sh
# Usage: cli_test.sh KORVEX SAMPLELOGS
korvex="$1"; samplelogs="$2"
dir=$(mktemp -d); trap 'rm -rf "$dir"' EXIT
failures=0; passed=0
check() { # check NAME CONDITION...
    name="$1"; shift
    if "$@"; then passed=$((passed + 1)); else echo "FAILED: $name"; failures=$((failures + 1)); fi
}
"$samplelogs" "$dir" --points 300 >/dev/null
binary="$dir/Log_North_Field_260412.log"; legacy="$dir/Log_Mill_Meadow_260418.log"

"$korvex" convert "$binary" "$legacy" > "$dir/out.txt" 2> "$dir/err.txt"
check "convert exits 0" test $? -eq 0
check "csv beside the binary log" test -s "$dir/Log_North_Field_260412.csv"
check "csv beside the older log" test -s "$dir/Log_Mill_Meadow_260418.csv"
check "one line per converted log" test "$(wc -l < "$dir/out.txt")" -eq 2
check "rows reported" grep -q "binary log, 300 rows" "$dir/out.txt"

mkdir "$dir/csv"
printf 'RNSLOGFILE V1.00' > "$dir/cut.log"; head -c 600 "$binary" >> "$dir/cut.log"
"$korvex" convert "$binary" "$dir/missing.log" "$dir/cut.log" -o "$dir/csv" > /dev/null 2> "$dir/err.txt"
check "exit non-zero when a log fails" test $? -eq 1
check "one stderr line per failed log" test "$(wc -l < "$dir/err.txt")" -eq 2
check "stderr names the missing file" grep -q "missing.log" "$dir/err.txt"
check "stderr gives the rows written so far" grep -q "rows written to" "$dir/err.txt"
check "the good log still converted into OUT" test -s "$dir/csv/Log_North_Field_260412.csv"

"$korvex" convert "$binary" --check-position --check-reading -o "$dir/checked.csv" > /dev/null
check "checks keep the rows with reading and position" test "$(grep -c . "$dir/checked.csv")" -gt 1

"$korvex" info "$binary" > "$dir/info.txt"
check "info tells the binary format" grep -q "format:    binary log" "$dir/info.txt"
check "info counts position records" grep -q "0x0000 *300" "$dir/info.txt"
check "info gives the area" grep -q "area:" "$dir/info.txt"
"$korvex" info "$legacy" > "$dir/info2.txt"
check "info tells the older format" grep -q "older log" "$dir/info2.txt"
"$korvex" frobnicate 2>/dev/null
check "unknown command exits 2" test $? -eq 2
"$korvex" convert 2>/dev/null
check "convert without logs exits 2" test $? -eq 2

echo "korvex tool: $passed passed, $failures failed"
test "$failures" -eq 0
