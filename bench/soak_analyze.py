#!/usr/bin/python3
"""Soak of orvel-analyze: the same --3d run many times in a row over one dataset.

Reports the calls per second and the peak resident memory of the first and of the last calls,
which must not grow, and checks that every call succeeds with the same result and leaves nothing
behind in the dataset's folder. Exits 1 when one of these fails.

usage: bench/soak_analyze.py BIN_DIR [--calls N] [--slices S] [--size WxH] [--dataset SLICE_FILE]
  BIN_DIR holds orvel-analyze and orvel-phantom (build/bin); without --dataset a phantom dataset of
  S slices (default 64) of WxH pixels (default 256x256) is made in a temporary folder.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

from soak_common import mean, memory_grew, write_phantom

SAMPLE = 10  # calls averaged at the start and at the end
GROWTH_ALLOWED = 1.05  # the end's peak may exceed the start's by this factor (page-cache noise)


def peak_kib_of(command):
    """Runs command; returns its exit status, standard output and error, and its peak resident
    memory in KiB."""
    with subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE) as process:
        pid = process.pid
        out = process.stdout.read()
        err = process.stderr.read()
        _, wait_status, usage = os.wait4(pid, 0)
        process.returncode = os.waitstatus_to_exitcode(wait_status)
    return process.returncode, out, err, usage.ru_maxrss


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("bin_dir")
    parser.add_argument("--calls", type=int, default=1000)
    parser.add_argument("--slices", type=int, default=64)
    parser.add_argument("--size", default="256x256")
    parser.add_argument("--dataset")
    options = parser.parse_args()
    analyze = os.path.join(options.bin_dir, "orvel-analyze")

    with tempfile.TemporaryDirectory(prefix="orvel-soak-") as folder:
        slice_file = options.dataset
        if not slice_file:
            slice_file = write_phantom(options.bin_dir, folder, options.slices, options.size)
        dataset_folder = os.path.dirname(os.path.abspath(slice_file))
        files_before = sorted(os.listdir(dataset_folder))
        width, height = (int(v) for v in options.size.split("x"))
        command = [analyze, slice_file, "--rectangle", f"0,0,{width - 1},{height - 1}", "--3d"]

        peaks, first_output, failures = [], None, 0
        started = time.monotonic()
        for call in range(options.calls):
            status, out, err, peak = peak_kib_of(command)
            peaks.append(peak)
            if first_output is None:
                first_output = out
            if status != 0 or out != first_output:
                failures += 1
                print(f"call {call}: status {status}, {err.decode(errors='replace').strip()}", file=sys.stderr)
        elapsed = time.monotonic() - started
        leftovers = sorted(set(os.listdir(dataset_folder)) - set(files_before))

    print(f"{options.calls} calls of: {' '.join(command[1:])}")
    print(f"{elapsed:.1f} s, {options.calls / elapsed:.1f} calls/s")
    grew = memory_grew("peak resident memory per call", mean(peaks[:SAMPLE]), mean(peaks[-SAMPLE:]), max(peaks),
                       GROWTH_ALLOWED)
    if failures:
        print(f"{failures} calls failed or gave another result", file=sys.stderr)
    if leftovers:
        print(f"left behind in the dataset folder: {leftovers}", file=sys.stderr)
    return 1 if grew or failures or leftovers else 0


if __name__ == "__main__":
    sys.exit(main())
