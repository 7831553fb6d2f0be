#!/bin/sh
# Runs every fuzz target for a bounded time each, from its corpus under the build folder
# (BUILD_DIR/fuzz/corpus-<target>, seeded on the first run from the fixture writers and from
# the target's committed inputs in tests/fuzz-regressions/<target>/), with its dictionary
# fuzz/dict/<target>.dict when there is one. Prints each target's executions and speed and
# fails as soon as a target fails (a crash, a leak, a timeout or a broken check).
# Usage: run.sh BUILD_DIR SECONDS_PER_TARGET
set -e
build="${1:?usage: run.sh BUILD_DIR SECONDS_PER_TARGET}"
seconds="${2:-20}"
here="$(cd "$(dirname "$0")" && pwd)"
regressions="$here/../tests/fuzz-regressions"
summary="$build/fuzz/summary.txt"
: > "$summary"

# seed_corpus TARGET CORPUS: fills an empty corpus with the target's seeds.
seed_corpus() {
    if [ -n "$(ls -A "$2")" ]; then return; fi
    case "$1" in
        korvex_fuzz|gdal_driver_fuzz) "$build/fuzz/korvex_fuzz_seeds" "$2" ;;
        korvex_binary_fuzz) "$build/fuzz/korvex_fuzz_seeds" "$2" binary ;;
        korvex_legacy_fuzz) "$build/fuzz/korvex_fuzz_seeds" "$2" legacy ;;
    esac
    entry="${1%_fuzz}"
    if [ -d "$regressions/$entry" ]; then cp "$regressions/$entry"/* "$2"/ 2>/dev/null || true; fi
    # libFuzzer wants at least one input; an empty one is as good as any.
    if [ -z "$(ls -A "$2")" ]; then : > "$2/empty"; fi
}

# The executions and speed from libFuzzer's final statistics and last status line.
report() {
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$2" | tail -n 1)
    speed=$(grep -o 'exec/s: [0-9]*' "$2" | tail -n 1 | sed 's/exec\/s: //')
    line="fuzz: $1: ${runs:-?} executions in ${seconds} s (${speed:-?} exec/s)"
    echo "$line"
    echo "$line" >> "$summary"
}

run_target() {
    target="$1"
    corpus="$build/fuzz/corpus-${target%_fuzz}"
    out="$build/fuzz/$target.out"
    mkdir -p "$corpus"
    seed_corpus "$target" "$corpus"
    dict=""
    if [ -f "$here/dict/${target%_fuzz}.dict" ]; then dict="-dict=$here/dict/${target%_fuzz}.dict"; fi
    echo "fuzz: $target for ${seconds} s"
    # The fuzzer's status is kept (a pipe into tail would hide a crash); a crash's input is
    # written beside its output.
    status=0
    "$build/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz/$target-" $dict "$corpus" > "$out" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 30 "$out"
        echo "fuzz: $target FAILED (status $status); its output: $out; the input: $build/fuzz/$target-*" >&2
        exit 1
    fi
    report "$target" "$out"
}

# The file-based export first; its scratch files are removed after it.
run_target korvex_fuzz
rm -f /dev/shm/korvex-fuzz-* /tmp/korvex-fuzz-* 2>/dev/null || true
for target in korvex_binary_fuzz korvex_legacy_fuzz csv_line_fuzz data_file_name_fuzz text_store_fuzz \
              registry_script_fuzz publish_plan_fuzz; do
    run_target "$target"
done
if [ -x "$build/fuzz/gdal_driver_fuzz" ]; then
    run_target gdal_driver_fuzz
fi
echo "fuzz: ${seconds} s per target without a failure; the figures: $summary"
