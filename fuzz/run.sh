#!/bin/sh
# Runs the fuzz targets one after the other, each from its corpus under the build folder
# (BUILD_DIR/fuzz/corpus-<target>, seeded on the first run from the fixture writers and from
# the target's committed inputs in tests/fuzz-regressions/<target>/), with its dictionary
# fuzz/dict/<target>.dict when there is one.
#
# Usage: run.sh BUILD_DIR SECONDS_PER_TARGET [RUNS_PER_TARGET]
#
# Without RUNS_PER_TARGET each target runs for SECONDS_PER_TARGET (the CI run). With it, each
# runs until it has executed RUNS_PER_TARGET inputs (libFuzzer's -runs), SECONDS_PER_TARGET
# being only a cap, so a campaign does the same work whatever the machine's speed; a target
# stopped by the cap is reported with the executions it reached.
# FUZZ_TARGETS="korvex_binary_fuzz csv_line_fuzz ..." runs only those targets, in that order
# (a campaign can so be run target by target); FUZZ_SEED fixes libFuzzer's random seed.
#
# One line per target goes to stdout and to BUILD_DIR/fuzz/summary.txt: executions, seconds,
# exec/s and the outcome. A target that fails (a crash, a leak, a timeout or a broken check)
# keeps its input beside its output; the other targets still run, and the script fails at
# the end.
set -e
build="${1:?usage: run.sh BUILD_DIR SECONDS_PER_TARGET [RUNS_PER_TARGET]}"
seconds="${2:-20}"
runs_wanted="${3:-}"
here="$(cd "$(dirname "$0")" && pwd)"
regressions="$here/../tests/fuzz-regressions"
summary="$build/fuzz/summary.txt"
all_targets="korvex_fuzz korvex_binary_fuzz korvex_legacy_fuzz csv_line_fuzz data_file_name_fuzz text_store_fuzz
registry_script_fuzz publish_plan_fuzz gdal_driver_fuzz"
targets="${FUZZ_TARGETS:-$all_targets}"
failed=""
: > "$summary"
if [ -n "$runs_wanted" ]; then
    echo "fuzz: campaign of $runs_wanted executions per target, at most $seconds s each" | tee -a "$summary"
else
    echo "fuzz: $seconds s per target" | tee -a "$summary"
fi

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

now() { date +%s.%N; }

# report TARGET OUTPUT STARTED ENDED OUTCOME: the executions from libFuzzer's final
# statistics, the seconds measured around the run.
report() {
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$2" | tail -n 1)
    line=$(awk -v t="$1" -v n="${executed:-0}" -v a="$3" -v b="$4" -v o="$5" 'BEGIN {
        s = b - a; if (s <= 0) s = 0.001
        printf "fuzz: %s: %d executions in %.0f s (%.0f exec/s): %s", t, n, s, n / s, o }')
    echo "$line"
    echo "$line" >> "$summary"
}

run_target() {
    target="$1"
    if [ ! -x "$build/fuzz/$target" ]; then
        # Only the GDAL driver's target is optional: it is built where GDAL's headers are.
        if [ "$target" = gdal_driver_fuzz ]; then
            echo "fuzz: $target is not built (no GDAL); skipped" | tee -a "$summary"
        else
            echo "fuzz: $target: FAILED (not built)" | tee -a "$summary"
            failed="$failed $target"
        fi
        return
    fi
    corpus="$build/fuzz/corpus-${target%_fuzz}"
    out="$build/fuzz/$target.out"
    mkdir -p "$corpus"
    seed_corpus "$target" "$corpus"
    dict=""
    if [ -f "$here/dict/${target%_fuzz}.dict" ]; then dict="-dict=$here/dict/${target%_fuzz}.dict"; fi
    limit=""
    if [ -n "$runs_wanted" ]; then limit="-runs=$runs_wanted"; fi
    seed=""
    if [ -n "${FUZZ_SEED:-}" ]; then seed="-seed=$FUZZ_SEED"; fi
    if [ -n "$runs_wanted" ]; then
        echo "fuzz: $target for $runs_wanted executions, at most ${seconds} s"
    else
        echo "fuzz: $target for ${seconds} s"
    fi
    # The fuzzer's status is kept (a pipe into tail would hide a crash); a crash's input is
    # written beside its output.
    status=0
    started=$(now)
    "$build/fuzz/$target" -max_total_time="$seconds" $limit $seed -max_len=4096 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz/$target-" $dict "$corpus" > "$out" 2>&1 || status=$?
    ended=$(now)
    if [ "$status" -ne 0 ]; then
        tail -n 30 "$out"
        report "$target" "$out" "$started" "$ended" "FAILED (status $status; output $out, input $build/fuzz/$target-*)"
        failed="$failed $target"
        return
    fi
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out" | tail -n 1)
    if [ -z "$runs_wanted" ]; then
        outcome="no failure"
    elif [ "${executed:-0}" -ge "$runs_wanted" ]; then
        outcome="no failure, all executions done"
    else
        outcome="no failure, stopped by the ${seconds} s cap before $runs_wanted executions"
    fi
    report "$target" "$out" "$started" "$ended" "$outcome"
}

for target in $targets; do
    run_target "$target"
    # The file-based export's scratch files are removed after it.
    if [ "$target" = korvex_fuzz ]; then rm -f /dev/shm/korvex-fuzz-* /tmp/korvex-fuzz-* 2>/dev/null || true; fi
done
if [ -n "$failed" ]; then
    echo "fuzz: FAILED:$failed; the figures: $summary" >&2
    exit 1
fi
echo "fuzz: every target ran without a failure; the figures: $summary"
