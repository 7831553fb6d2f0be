#!/bin/sh
# Runs each fuzz target for a bounded time, starting from a seed corpus of both formats:
# korvex_fuzz (the conversion's export) and, when it was built, gdal_driver_fuzz (the GDAL
# driver's open and read path).
# Usage: run.sh BUILD_DIR SECONDS
set -e
build="${1:?usage: run.sh BUILD_DIR SECONDS}"
seconds="${2:-60}"

run_target() {
    target="$1"
    corpus="$2"
    mkdir -p "$corpus"
    if [ -z "$(ls -A "$corpus")" ]; then
        "$build/fuzz/korvex_fuzz_seeds" "$corpus"
    fi
    echo "fuzz: $target for ${seconds} s"
    # The fuzzer's status is kept (a pipe into tail would hide a crash).
    status=0
    "$build/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
        "$corpus" > "$build/fuzz/$target.out" 2>&1 || status=$?
    tail -n 12 "$build/fuzz/$target.out"
    if [ "$status" -ne 0 ]; then
        echo "fuzz: $target FAILED (status $status); its output: $build/fuzz/$target.out" >&2
        exit 1
    fi
}

run_target korvex_fuzz "$build/fuzz/corpus"
rm -f /dev/shm/korvex-fuzz-* /tmp/korvex-fuzz-* 2>/dev/null || true
if [ -x "$build/fuzz/gdal_driver_fuzz" ]; then
    run_target gdal_driver_fuzz "$build/fuzz/corpus-gdal"
fi
echo "fuzz: ${seconds} s per target without a crash"
