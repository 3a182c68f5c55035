#!/usr/bin/python3
"""The progress line of orvel-analyze --3d and --cut: drawn on standard error when that is a
terminal and the run lasts over a second, blanked before results and messages, and never
written when standard error is not a terminal.

Every opening of chosen slices is held up by strace, so that the runs last over a second on
any machine. usage: progress_test.py BIN_DIR
"""
import os
import pty
import re
import subprocess
import sys
import tempfile
from pathlib import Path

SKIP = 77
SLICES = 12
DRAWING = re.compile(rb"\rlayer (\d+) of 12, [0-9.]+ slices/s, [0-9hmins ]+ left *")
ENV = {**os.environ, "ASAN_OPTIONS": os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0"}  # no leak check under ptrace


def held_up(paths, seconds=1.2):
    """strace's prefix that delays every opening of the given paths."""
    command = ["strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=openat",
               "-e", f"inject=openat:delay_enter={int(seconds * 1e6)}"]
    for path in paths:
        command += ["-P", str(path)]
    return command


def run(command, terminal):
    """Runs command with standard error on a pseudo-terminal or a pipe; standard output is a pipe."""
    if not terminal:
        done = subprocess.run(command, capture_output=True, env=ENV, timeout=60)
        return done.returncode, done.stdout, done.stderr
    master, slave = pty.openpty()
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=slave, env=ENV)
    os.close(slave)
    seen = b""
    while True:
        try:
            chunk = os.read(master, 4096)
        except OSError:  # the terminal's last writer has gone
            break
        if not chunk:
            break
        seen += chunk
    os.close(master)
    out = process.stdout.read()
    process.wait(timeout=60)
    return process.returncode, out, seen.replace(b"\r\n", b"\n")  # the terminal's own line ends


class Failures:
    def __init__(self):
        self.count = 0

    def check(self, condition, what, detail=b""):
        if not condition:
            self.count += 1
            print(f"FAIL: {what}\n  {detail!r}")


def check_drawn_and_blanked(failures, name, err):
    drawings = DRAWING.findall(err)
    failures.check(drawings, f"{name}: the progress line is drawn", err)
    failures.check(drawings and drawings[-1] == b"12", f"{name}: the last layer is drawn", err)
    failures.check(re.fullmatch(rb"(\rlayer [^\r\n]*)+\r +\r", err) is not None,
                   f"{name}: nothing but drawings, and the line is blanked at the end", err)


def main():
    bin_dir = Path(sys.argv[1])
    analyze = str(bin_dir / "orvel-analyze")
    if subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null", "true"], capture_output=True).returncode != 0:
        print("strace cannot trace here: skipped")
        return SKIP
    failures = Failures()
    with tempfile.TemporaryDirectory() as work:
        stack = Path(work) / "stack"
        subprocess.run([str(bin_dir / "orvel-phantom"), str(stack), "--slices", str(SLICES), "--size", "64x64"],
                       check=True, env=ENV)
        first, slow = str(stack / "phantom0000.bmp"), held_up([stack / "phantom0006.bmp"])
        model = [analyze, first, "--rectangle", "0,0,63,63", "--3d"]
        cut = [analyze, first, "--line", "0,0,63,63", "--cut", str(Path(work) / "cut.bmp"), "--json"]
        _, model_text, _ = run(model, terminal=False)

        status, out, err = run(slow + model, terminal=True)
        failures.check(status == 0 and out == model_text, "3D on a terminal: same results", out)
        check_drawn_and_blanked(failures, "3D on a terminal", err)

        status, out, err = run(slow + cut, terminal=True)
        failures.check(status == 0 and b'"cut":{' in out, "cut on a terminal: the cut is written", out)
        check_drawn_and_blanked(failures, "cut on a terminal", err)

        for name, command in (("3D", model), ("cut", cut)):
            status, out, err = run(slow + command, terminal=False)
            failures.check(status == 0 and err == b"", f"{name} without a terminal: nothing on standard error", err)
        status, out, err = run(model, terminal=True)
        failures.check(status == 0 and err == b"", "3D under a second on a terminal: nothing drawn", err)

        # A slice that fails after the line was drawn: its message starts at the left edge.
        (stack / "phantom0009.bmp").write_bytes(b"XX" + bytes(100))
        status, out, err = run(held_up([stack / "phantom0006.bmp", stack / "phantom0009.bmp"]) + model, terminal=True)
        failures.check(status == 1 and out == b"", "failing slice: status 1, no results", out)
        lines = err.split(b"\n")
        message = next((line for line in lines if b"Invalid bitmap file" in line), b"")
        before = message[:message.find(b"orvel-analyze: Invalid bitmap file")]
        failures.check(DRAWING.search(before) and re.fullmatch(rb".*\r +\r", before, re.S),
                       "failing slice: the drawn line is blanked before the reader's message", err)
        failures.check(lines[-2] == b"orvel-analyze: cannot read slice " + str(stack / "phantom0009.bmp").encode(),
                       "failing slice: the run's own message on a line of its own at the end", err)
    return 1 if failures.count else 0


if __name__ == "__main__":
    sys.exit(main())
