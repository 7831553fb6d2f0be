#!/bin/sh
# The import's acceptance: a terminal folder that no test has seen (drawn from a fresh seed),
# imported through the command-line host and checked point by point against an independent
# reading of its logs; then imported once more, now with the converted CSV files beside the
# logs, so every log's data arrives twice.
#   import_acceptance_test.sh SOURCE_DIR BUILD_DIR [SEED]
# The seed may also come from NIVRA_ACCEPTANCE_SEED; it is printed so a failure can be rerun.
set -eu
src="$1"; build="$2"
seed="${3:-${NIVRA_ACCEPTANCE_SEED:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
rerun="NIVRA_ACCEPTANCE_SEED=$seed ctest -R import_acceptance_test --output-on-failure"
fail() { echo "FAIL (seed $seed): $*" >&2; echo "rerun with: $rerun" >&2; exit 1; }

echo "seed $seed"
python3 "$src/tests/acceptance/make_terminal_folder.py" "$work/card" --seed "$seed" || fail "folder generator"

# First the logs alone (their CSV files are made by the import), then again with them.
for round in first:new second:listed; do
  name="${round%%:*}"
  echo "== $name import"
  sh "$src/scripts/nivrahost.sh" --build "$build" import "$work/card" \
    --store "$work/$name.json" --geojson "$work/$name.geojson" --quiet >"$work/$name.txt" ||
    { cat "$work/$name.txt"; fail "$name import"; }
  python3 "$src/tests/acceptance/check_import.py" "$work/card" "$work/$name.json" \
    --geojson "$work/$name.geojson" --converted-csv "${round#*:}" ||
    fail "$name import differs from the independent reading"
done
echo "import acceptance passed (seed $seed)"
