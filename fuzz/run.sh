#!/bin/sh
# Runs the korvex fuzz target for a bounded time, starting from a seed corpus of both formats.
# Usage: run.sh BUILD_DIR SECONDS
set -e
build="${1:?usage: run.sh BUILD_DIR SECONDS}"
seconds="${2:-60}"
corpus="$build/fuzz/corpus"
mkdir -p "$corpus"
if [ -z "$(ls -A "$corpus")" ]; then
    "$build/fuzz/korvex_fuzz_seeds" "$corpus"
fi
"$build/fuzz/korvex_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
    "$corpus" 2>&1 | tail -n 12
rm -f /dev/shm/korvex-fuzz-* /tmp/korvex-fuzz-* 2>/dev/null || true
echo "fuzz: ${seconds} s without a crash"
