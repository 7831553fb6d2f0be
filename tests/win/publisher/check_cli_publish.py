#!/usr/bin/env python3
"""Publishes a farm plan through the command-line host (nivrahost.exe under Wine) and checks
what it wrote: the four text files line by line against the expected ones, the grids and
shape files through GDAL and OGR (readers.json), that a missing destination folder is made,
and that bad plans and a destination that is no folder end with a non-zero status and a
message naming the place.

usage: check_cli_publish.py WINE_RUN NIVRAHOST_EXE PLAN.json EXPECTED_DIR SCRATCH_DIR"""
import difflib
import json
import pathlib
import shutil
import subprocess
import sys

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import check_readers  # noqa: E402

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[3] / "cmake"))
from wine_path import wine_path  # noqa: E402

TEXT_FILES = ["crops.txt", "customers.txt", "fields.txt", "tasks.txt"]


def publish(wine_run, exe, plan, dest, *options):
    return subprocess.run(["sh", wine_run, exe, "publish", wine_path(plan), wine_path(dest), *options],
                          capture_output=True, text=True, errors="replace")


def compare_text_files(expected_dir, dest):
    errors = 0
    for name in TEXT_FILES:
        want = (expected_dir / name).read_bytes().decode("latin-1").splitlines(keepends=True)
        got_path = dest / name
        got = got_path.read_bytes().decode("latin-1").splitlines(keepends=True) if got_path.exists() else []
        if want != got:
            errors += 1
            print(f"{name} differs:")
            sys.stdout.writelines(difflib.unified_diff([repr(l) + "\n" for l in want], [repr(l) + "\n" for l in got],
                                                       "expected", "written"))
    return errors


def check_readers_of(expected_dir, dest):
    readers = json.loads((expected_dir / "readers.json").read_text())
    errors = 0
    for grid in readers.get("grids", []):
        errors += check_readers.check_grid(dest, grid)
    for shape in readers.get("shapes", []):
        errors += check_readers.check_shape(dest, shape)
    return errors


BAD_PLANS = [
    ('{"farms": [{"name": "F", "fields": [{"name": "A", "area": "big"}]}]}', "/farms/0/fields/0/area"),
    ('{"farms": [{"name": "F", "fields": [{"name": "A"}]}], "operations": [{"field": "B"}]}', "/operations/0/field"),
    ('{"farms": [{"name": "F", "fields": [{"name": "A", "cropZones": [{"name": "z"}]}]}]}', "/farms/0/fields/0/cropZones/0"),
    ('{"farms": [\n  {"name": "F",}\n]}', "line 2"),
]


def check_failures(wine_run, exe, scratch):
    errors = 0
    for i, (text, place) in enumerate(BAD_PLANS):
        plan = scratch / f"bad{i}.json"
        plan.write_text(text)
        result = publish(wine_run, exe, plan, scratch)
        if result.returncode == 0 or place not in result.stderr:
            errors += 1
            print(f"bad plan {i}: status {result.returncode}, message {result.stderr!r}, expected the place {place}")
    good = scratch / "good.json"
    good.write_text('{"farms": [{"name": "F"}]}')
    missing = scratch / "new" / "card"
    result = publish(wine_run, exe, good, missing)
    if result.returncode != 0 or not (missing / "fields.txt").is_file():
        errors += 1
        print(f"missing destination not made: status {result.returncode}, message {result.stderr!r}")
    a_file = scratch / "a-file"
    a_file.write_text("")
    result = publish(wine_run, exe, good, a_file)
    if result.returncode == 0 or "not a folder" not in result.stderr:
        errors += 1
        print(f"a file as destination: status {result.returncode}, message {result.stderr!r}")
    return errors


def main():
    wine_run, exe, plan, expected_dir, scratch = sys.argv[1:6]
    expected_dir = pathlib.Path(expected_dir)
    scratch = pathlib.Path(scratch)
    shutil.rmtree(scratch, ignore_errors=True)
    dest = scratch / "terminal"
    dest.mkdir(parents=True)

    result = publish(wine_run, exe, plan, dest, "--export-shapes")
    print(result.stdout, end="")
    if result.returncode != 0:
        print(f"publish ended with status {result.returncode}: {result.stderr}")
        return 1
    errors = 0
    for name in TEXT_FILES:
        if f"\\{name}" not in result.stdout:
            errors += 1
            print(f"{name} is not reported as written")
    errors += compare_text_files(expected_dir, dest)
    errors += check_readers_of(expected_dir, dest)
    errors += check_failures(wine_run, exe, scratch)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
