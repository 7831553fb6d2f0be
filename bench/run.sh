#!/bin/sh
# Conversion benchmarks. First Google Benchmark: the conversion alone in memory and from file to
# file, for a 100 MB binary log and a 100 MB older log (written once into KORVEX_BENCH_DIR).
# Then, for each of the two logs, the whole `korvex convert` side by side with the copy floor
# (`cp` of the same input plus writing an output of the CSV's size with `head -c`), in turns,
# so that both see the same machine: wall, user and system times, rows/s, MB/s, the ratio to
# the floor and the peak resident memory against the input size.
# Usage: run.sh BUILD_DIR [ROUNDS]
set -e
build="${1:?usage: run.sh BUILD_DIR [ROUNDS]}"
rounds="${2:-7}"
export KORVEX_BENCH_DIR="${KORVEX_BENCH_DIR:-$build/bench-data}"
mkdir -p "$KORVEX_BENCH_DIR"
"$build/bench/korvex_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
python3 - "$build/tools/korvex" "$KORVEX_BENCH_DIR" "$rounds" <<'EOF'
import os, re, subprocess, sys, time

korvex, folder, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
MB = 1048576.0


def run(argv):
    """Runs one command to its end and answers its output."""
    done = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if done.returncode != 0:
        sys.exit("failed: %s\n%s" % (" ".join(argv), done.stderr.decode(errors="replace")))
    return done.stdout.decode(errors="replace")


def timed(argv):
    """Runs one command with its output dropped; answers wall, user and system seconds and the
    peak RSS in bytes of that one child (os.wait4 gives them per child)."""
    start = time.perf_counter()
    pid = os.fork()
    if pid == 0:
        try:
            fd = os.open(os.devnull, os.O_WRONLY)
            os.dup2(fd, 1)
            os.execvp(argv[0], argv)
        finally:
            os._exit(127)
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    if status != 0:
        sys.exit("failed (%d): %s" % (status, " ".join(argv)))
    return {"wall": wall, "user": usage.ru_utime, "sys": usage.ru_stime, "rss": usage.ru_maxrss * 1024}


def median(values):
    values = sorted(values)
    return values[len(values) // 2]


def cpu_model():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return "unknown CPU"


print("\nmachine: %d cores, %s; load average at start %.2f %.2f %.2f" % ((os.cpu_count() or 0, cpu_model()) + os.getloadavg()))
for name in ("binary", "legacy"):
    log = os.path.join(folder, "bench-%s.log" % name)
    csv = os.path.join(folder, "convert-%s.csv" % name)
    copy_log = os.path.join(folder, "copy.log")
    copy_csv = os.path.join(folder, "copy.csv")
    said = run([korvex, "convert", log, "-o", csv])
    rows = int(re.search(r"(\d+) rows", said).group(1))
    input_size, output_size = os.path.getsize(log), os.path.getsize(csv)
    convert = [korvex, "convert", log, "-o", csv]
    floor = ["sh", "-c", "cp \"$1\" \"$2\" && head -c %d /dev/zero > \"$3\"" % output_size, "floor", log, copy_log, copy_csv]
    results = {"convert": [], "floor": []}
    for _ in range(rounds):  # in turns, so that a busy moment of the machine hits both
        results["convert"].append(timed(convert))
        results["floor"].append(timed(floor))
    for path in (copy_log, copy_csv):
        os.remove(path)
    c, f = results["convert"], results["floor"]
    best_c, best_f = min(r["wall"] for r in c), min(r["wall"] for r in f)
    ratios = [a["wall"] / b["wall"] for a, b in zip(c, f)]
    cpu = min(r["user"] + r["sys"] for r in c)
    rss = max(r["rss"] for r in c)
    print("%s log: %.1f MB in, %.1f MB CSV out, %d rows" % (name, input_size / MB, output_size / MB, rows))
    print("  korvex convert: best %.3f s wall (median %.3f), user %.3f s + sys %.3f s (best round); %.1f M rows/s, %.0f MB/s in"
          % (best_c, median(r["wall"] for r in c), min(r["user"] for r in c), min(r["sys"] for r in c),
             rows / best_c / 1e6, input_size / MB / best_c))
    print("  copy floor:     best %.3f s wall (median %.3f), user %.3f s + sys %.3f s"
          % (best_f, median(r["wall"] for r in f), min(r["user"] for r in f), min(r["sys"] for r in f)))
    print("  ratio to the floor: %.2f (best against best), %.2f (median of the %d rounds' ratios); CPU of the conversion %.3f s"
          % (best_c / best_f, median(ratios), rounds, cpu))
    print("  peak RSS %.1f MB = input + %.1f MB" % (rss / MB, (rss - input_size) / MB))
print("load average at the end %.2f %.2f %.2f" % os.getloadavg())
EOF

# The GDAL driver: its read path, and ogr2ogr to GeoPackage against korvex convert of the same
# binary log. GDAL's own GeoPackage-to-GeoPackage copy of the result shows what the writing costs.
log="$KORVEX_BENCH_DIR/bench-binary.log"
csv="$KORVEX_BENCH_DIR/convert-binary.csv"
best() { # best of three wall-clock seconds of a command
    b=""
    for i in 1 2 3; do
        s=$(date +%s.%N); sh -c "$1" >/dev/null; e=$(date +%s.%N)
        t=$(echo "$e - $s" | bc -l)
        if [ -z "$b" ] || [ "$(echo "$t < $b" | bc -l)" = 1 ]; then b=$t; fi
    done
    echo "$b"
}
plugins="$build/gdal/plugins"
if [ -x "$build/bench/gdal_driver_bench" ] && [ -f "$plugins/gdal_KorvexLog.so" ]; then
    convert=$(best "'$build/tools/korvex' convert '$log' -o '$csv'")
    "$build/bench/gdal_driver_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
    gpkg="$KORVEX_BENCH_DIR/ogr2ogr-out.gpkg"
    copy_gpkg="$KORVEX_BENCH_DIR/ogr2ogr-copy.gpkg"
    ogr="GDAL_DRIVER_PATH='$plugins' ogr2ogr -f GPKG"
    to_gpkg=$(best "rm -f '$gpkg' && $ogr '$gpkg' '$log'")
    no_index=$(best "rm -f '$gpkg' && $ogr -lco SPATIAL_INDEX=NO '$gpkg' '$log'")
    rm -f "$gpkg" && sh -c "$ogr '$gpkg' '$log'"
    gpkg_copy=$(best "rm -f '$copy_gpkg' && ogr2ogr -f GPKG '$copy_gpkg' '$gpkg'")
    rm -f "$gpkg" "$copy_gpkg"
    printf 'ogr2ogr -f GPKG of the same log: %.3f s, %.1f x korvex convert (%.3f s)\n' \
        "$to_gpkg" "$(echo "$to_gpkg / $convert" | bc -l)" "$convert"
    printf '  with -lco SPATIAL_INDEX=NO: %.3f s, %.1f x; GDAL copying the GeoPackage to another: %.3f s\n' \
        "$no_index" "$(echo "$no_index / $convert" | bc -l)" "$gpkg_copy"
fi
