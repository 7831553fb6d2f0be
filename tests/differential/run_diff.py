#!/usr/bin/env python3
"""Differential test of the conversion library: generates the cases, converts each with the
reference converter and with the library (through the batch program, in one process), and
compares the results and the output bytes. Prints every mismatch and "N passed, M failed";
the exit status is non-zero when any case differs."""

import argparse
import os
import shutil
import subprocess
import sys

sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_cases  # noqa: E402
import korvex_ref  # noqa: E402

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake"))
from wine_path import wine_path  # noqa: E402


class Job:
    def __init__(self, case, flags, index):
        self.case = case
        self.flags = flags
        tag = "%s_%d" % (case.name, index)
        self.ref_output = case.output_path or os.path.join(WORK["ref"], tag + ".csv")
        self.lib_output = case.output_path or os.path.join(WORK["lib"], tag + ".csv")
        self.ref_result = None
        self.lib_result = None

    def describe(self):
        return "%s flags=%d,%d" % (self.case.name, self.flags[0], self.flags[1])


WORK = {}


def prepare_work_folder(root):
    if os.path.isdir(root):
        shutil.rmtree(root)
    for sub in ("logs", "ref", "lib"):
        WORK[sub] = os.path.join(root, sub)
        os.makedirs(WORK[sub])


def run_reference(jobs):
    for job in jobs:
        job.ref_result = korvex_ref.convert(job.case.input_path, job.ref_output, *job.flags)


def run_library(jobs, batch, runner, to_windows, root):
    convert_path = wine_path if to_windows else (lambda p: p)
    job_list = os.path.join(root, "jobs.txt")
    # Wine reads the paths in the ANSI code page 1252; Linux file names are UTF-8.
    encoding = "cp1252" if to_windows else "utf-8"
    with open(job_list, "w", encoding=encoding, newline="\n") as f:
        for job in jobs:
            f.write("%s\t%s\t%d\t%d\n" % (convert_path(job.case.input_path),
                                          convert_path(job.lib_output), *job.flags))
    command = ([runner] if runner else []) + [batch, convert_path(job_list)]
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    results = {}
    for line in done.stdout.split("\n"):
        fields = line.split()
        if len(fields) == 2:
            results[int(fields[0])] = int(fields[1])
    if done.returncode != 0 or len(results) != len(jobs):
        sys.stderr.write(done.stderr)
        sys.exit("batch program failed (status %d, %d of %d results)"
                 % (done.returncode, len(results), len(jobs)))
    for number, job in enumerate(jobs):
        job.lib_result = results[number]


def read_output(path):
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def first_difference(expected, actual):
    want, got = expected.split(b"\r\n"), actual.split(b"\r\n")
    for line, (a, b) in enumerate(zip(want, got), start=1):
        if a != b:
            return "line %d: expected %r, got %r" % (line, a, b)
    return "expected %d line ends, got %d (last lines %r / %r)" % (
        len(want) - 1, len(got) - 1, want[-1:], got[-1:])


def compare(job):
    """None when the library matched the reference, otherwise what differed."""
    if job.ref_result != job.lib_result:
        return "result: expected %d, got %d" % (job.ref_result, job.lib_result)
    expected, actual = read_output(job.ref_output), read_output(job.lib_output)
    if (expected is None) != (actual is None):
        return "output file: expected %s, got %s" % (
            "none" if expected is None else "a file", "none" if actual is None else "a file")
    if job.case.compare_bytes and expected != actual:
        return first_difference(expected, actual)
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--batch", required=True, help="the batch conversion program")
    parser.add_argument("--work", required=True, help="scratch folder, emptied first")
    parser.add_argument("--runner", help="program that runs the batch program (Wine)")
    parser.add_argument("--windows-paths", action="store_true",
                        help="hand the batch program Wine's Z: paths")
    parser.add_argument("--seed", type=int, default=20261210)
    args = parser.parse_args()

    root = os.path.abspath(args.work)
    prepare_work_folder(root)
    cases = gen_cases.generate(WORK["logs"], seed=args.seed)
    jobs = [Job(case, flags, i) for case in cases for i, flags in enumerate(case.flags)]

    run_reference(jobs)
    run_library(jobs, args.batch, args.runner, args.windows_paths, root)

    failed = 0
    for job in jobs:
        difference = compare(job)
        if difference:
            failed += 1
            print("MISMATCH %s: %s\n    input %s" % (job.describe(), difference,
                                                      job.case.input_path))
    print("%d passed, %d failed (%d logs)" % (len(jobs) - failed, failed, len(cases)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
