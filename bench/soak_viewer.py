#!/usr/bin/python3
"""Soak of the viewer: a long stack played in the real window at "Fast" for minutes on end.

Opens a dataset in orvel on a virtual display, where playback starts by itself at the speed
slider's left end ("Fast": orvel gets a settings directory of its own, so nothing moves it), and
reports the slices shown per second and the resident memory of the orvel process at the start
and at the end, which must not grow. Exits 1 when it grows, when orvel dies or playback stops
moving, or when orvel does not end with status 0 on "Exit" afterwards.

usage: bench/soak_viewer.py BIN_DIR [--minutes M] [--slices N] [--size WxH] [--dataset SLICE_FILE]
  BIN_DIR holds orvel and orvel-phantom (build/bin). The script starts itself again through
  tests/viewer/atspi/run (Xvfb on a free display, a D-Bus session, the accessibility bus). Without
  --dataset a phantom of N slices (default 2000) of WxH pixels (default 512x512) is made in a
  temporary folder: 512 x 512 is the size of a reconstruction binned 2 x 2 or 4 x 4, common for a
  first look at a scan, and keeps the 0.5 GiB of BMP slices in the page cache on a desktop, so
  the soak measures the viewer rather than the disk.

Counting the slices shown. Each playback step moves the "Slice" selector by one (position p shows
slice count - 1 - p). The script reads the position through AT-SPI every 0.1 s (no subscription
to change events, which would add a D-Bus message per step to the load under measurement) and
adds the distance travelled along the back-and-forth path: the difference of the two slices while
the direction holds, the way to the end and back when it has turned. Playback rests 500 ms on
the first and on the last slice, so readings less than 500 ms apart see every turn on its end
slice and the count is exact; a longer gap near an end (a stalled machine) could hide a turn, and
the number of such gaps is reported. The rate is given over the whole run and without those
rests.

Resident memory: VmRSS from /proc/PID/status once a second. The first 30 s after playback starts
(a tenth of a shorter run) are a warm-up left out of the figures: the read-ahead worker, the
window's first paints and the accessibility bridge settle then. "start" is the mean over the
following minute, "end" over the last minute (a fifth of a shorter run each); "largest" is VmHWM,
the peak over the whole life of the process. The trend is a least-squares line through every
reading after the warm-up.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

from soak_common import mean, memory_grew, write_phantom

HERE = os.path.dirname(os.path.abspath(__file__))
RUNNER = os.path.join(HERE, "..", "tests", "viewer", "atspi", "run")
IN_SESSION = "ORVEL_SOAK_IN_SESSION"  # set when the runner has started the script again

READ_INTERVAL_S = 0.1  # between two readings of the slice selector
MEMORY_INTERVAL_S = 1.0
END_REST_S = 0.5  # playback's pause on the first and the last slice
STALL_S = 10.0  # no step for this long: playback has stopped
WARM_UP_S, WINDOW_S = 30.0, 60.0  # for runs of 10 minutes and more; shorter runs scale them
GROWTH_ALLOWED = 1.02  # the end's mean may exceed the start's by this factor (allocator noise)


class PlaybackPath:
    """The steps playback took, from readings of the slice it shows (see the module's text)."""

    def __init__(self, slice_count, first_slice):
        self.slice_count = slice_count
        self.last = first_slice
        self.direction = 0  # +1 up the stack, -1 down, 0 before the first move
        self.steps = 0
        self.turns = 0
        self.unsure_gaps = 0

    def add(self, shown, gap_s):
        moved = shown - self.last
        if moved == 0:
            return
        if self.direction == 0 or moved * self.direction > 0:
            steps = abs(moved)
            end = self.slice_count - 1 if moved > 0 else 0
            # Near an end, a gap longer than the rest there could hide a turn at that end and
            # a way back.
            if gap_s >= END_REST_S and abs(end - shown) <= steps:
                self.unsure_gaps += 1
            self.direction = 1 if moved > 0 else -1
        else:
            end = self.slice_count - 1 if self.direction > 0 else 0
            steps = abs(end - self.last) + abs(end - shown)
            self.direction = -self.direction
            self.turns += 1
        self.steps += steps
        self.last = shown


def memory_kib(pid):
    """VmRSS and VmHWM of the process, KiB."""
    with open(f"/proc/{pid}/status", encoding="ascii") as status:
        fields = dict(line.split(":", 1) for line in status)
    return int(fields["VmRSS"].split()[0]), int(fields["VmHWM"].split()[0])


def processor_seconds(pid):
    """User and system time the process has used, seconds."""
    with open(f"/proc/{pid}/stat", encoding="ascii") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def trend_kib_per_minute(samples):
    """Slope of the least-squares line through (seconds, KiB) samples, KiB per minute."""
    if len(samples) < 2:
        return 0.0
    mean_t, mean_kib = mean([t for t, _ in samples]), mean([kib for _, kib in samples])
    spread = sum((t - mean_t) ** 2 for t, _ in samples)
    return 60 * sum((t - mean_t) * (kib - mean_kib) for t, kib in samples) / spread


def play(viewer, seconds):
    """Watches playback for that many seconds; returns the path taken, the memory samples (seconds
    since the start, KiB) and the processor seconds orvel used meanwhile."""
    import orvel_atspi  # only inside the runner's session, where pyatspi has a bus to talk to
    slider = viewer.slider("Slice")
    slice_count = int(slider.queryValue().maximumValue) + 1  # positions 0 ... count - 1
    print(f"{slice_count} slices in the viewer's selector")

    def position():
        try:
            return orvel_atspi.Viewer.value(slider)
        except Exception:  # the bus's own errors when the window has gone: say why it went
            if viewer.process.poll() is not None:
                raise AssertionError(f"orvel ended with status {viewer.process.returncode} during playback")
            raise

    first = position()
    orvel_atspi.wait_until(lambda: position() != first, "playback to move the slice selector")
    pid = viewer.process.pid
    path = PlaybackPath(slice_count, slice_count - 1 - position())
    samples, cpu_start = [], processor_seconds(pid)
    started = last_read = last_step = last_memory = time.monotonic()
    while last_read - started < seconds:
        time.sleep(READ_INTERVAL_S)
        if viewer.process.poll() is not None:
            raise AssertionError(f"orvel ended with status {viewer.process.returncode} during playback")
        shown = slice_count - 1 - position()
        now = time.monotonic()
        steps_before = path.steps
        path.add(shown, now - last_read)
        last_read = now
        if path.steps != steps_before:
            last_step = now
        elif now - last_step > STALL_S:
            raise AssertionError(f"playback stopped on slice {shown}")
        if now - last_memory >= MEMORY_INTERVAL_S:
            samples.append((now - started, memory_kib(pid)[0]))
            last_memory = now
    return path, samples, processor_seconds(pid) - cpu_start, last_read - started


def report(path, samples, peak_kib, cpu_s, elapsed_s, seconds):
    """Prints the figures; returns whether memory grew."""
    warm_up, window = min(WARM_UP_S, seconds / 10), min(WINDOW_S, seconds / 5)
    start = [kib for t, kib in samples if warm_up <= t < warm_up + window]
    end = [kib for t, kib in samples if t >= elapsed_s - window]
    settled = [(t, kib) for t, kib in samples if t >= warm_up]
    playing_s = elapsed_s - path.turns * END_REST_S
    print(f"{path.steps} slices shown in {elapsed_s:.1f} s: {path.steps / elapsed_s:.1f} slices/s,"
          f" {path.steps / playing_s:.1f} slices/s less the rests at the ends ({path.turns} of {END_REST_S} s)")
    if path.unsure_gaps:
        print(f"{path.unsure_gaps} readings came over {END_REST_S} s apart near an end: a turn there"
              " would have been missed")
    print(f"orvel used {cpu_s:.1f} processor seconds ({100 * cpu_s / elapsed_s:.0f} % of one core);"
          f" load average now {os.getloadavg()[0]:.2f}")
    print(f"memory after a warm-up of {warm_up:.0f} s: start = mean of {len(start)} readings,"
          f" end = mean of the last {len(end)}, trend {trend_kib_per_minute(settled):+.1f} KiB/min")
    return memory_grew("resident memory of orvel (VmRSS; largest: VmHWM)", mean(start), mean(end), peak_kib,
                       GROWTH_ALLOWED)


def soak(options, slice_file):
    import orvel_atspi
    viewer = orvel_atspi.Viewer(slice_file)
    try:
        seconds = options.minutes * 60
        path, samples, cpu_s, elapsed_s = play(viewer, seconds)
        peak_kib = memory_kib(viewer.process.pid)[1]
        grew = report(path, samples, peak_kib, cpu_s, elapsed_s, seconds)
        viewer.press(viewer.button("Exit"))
        try:
            status = viewer.wait_for_exit()
        except subprocess.TimeoutExpired:
            raise AssertionError("orvel did not end on Exit") from None
        if status != 0:
            print(f"orvel ended with status {status} on Exit", file=sys.stderr)
        return 1 if grew or status != 0 else 0
    except AssertionError as failure:
        print(failure, file=sys.stderr)
        return 1
    finally:
        viewer.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("bin_dir")
    parser.add_argument("--minutes", type=float, default=10.0)
    parser.add_argument("--slices", type=int, default=2000)
    parser.add_argument("--size", default="512x512")
    parser.add_argument("--dataset")
    options = parser.parse_args()
    if not os.environ.get(IN_SESSION):
        environment = dict(os.environ, ORVEL_BIN_DIR=os.path.abspath(options.bin_dir), **{IN_SESSION: "1"})
        return subprocess.run([RUNNER, os.path.abspath(__file__)] + sys.argv[1:], env=environment).returncode

    print(f"load average at the start {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores")
    if options.dataset:
        return soak(options, options.dataset)
    with tempfile.TemporaryDirectory(prefix="orvel-soak-") as folder:
        slice_file = write_phantom(options.bin_dir, folder, options.slices, options.size)
        print(f"phantom of {options.slices} slices of {options.size} pixels, BMP")
        return soak(options, slice_file)


if __name__ == "__main__":
    sys.exit(main())
