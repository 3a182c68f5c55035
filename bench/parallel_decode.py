#!/usr/bin/python3
"""Decoding slices on several threads, as users run orvel-analyze (wall-clock time, whole process):

- the 3D model over 200 JPEG slices of 1024 x 1024 with --threads 2 against --threads 1,
  alternated in the same run, median of three each;
- the same model scripted in Python: Pillow reads each slice, numpy thresholds it and counts the
  voxels and the faces between set and clear voxels (the volume must match orvel's);
- the peak memory (/usr/bin/time's maximum resident set) of --3d --threads 2 over 2,000 JPEG
  slices of 1024 x 1024;
- orvel-analyze SLICE --info on one 4096 x 4096 grey JPEG against djpeg -outfile /dev/null
  (libjpeg-turbo) on the same file: wall time and page faults, median of eleven;
- playback at "Fast" of 100 JPEG slices of 4096 x 4096 in the real window, with one and with two
  decoding workers (bench/playback_workers.sh; skipped without Xvfb).

usage: bench/parallel_decode.py BIN_DIR [--skip-memory]   (bench/bench_table.py calls rows())
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

LEVELS = "100,300"  # the window 100 .. 150
LOW, HIGH = 100, 150
MODEL_SLICES, MEMORY_SLICES, SIDE, BIG_SIDE = 200, 2000, 1024, 4096

PEER_SCRIPT = r"""
import sys, glob
import numpy as np
from PIL import Image
low, high = int(sys.argv[2]), int(sys.argv[3])
volume = faces = 0
previous = None
for path in sorted(glob.glob(sys.argv[1] + "/phantom[0-9][0-9][0-9][0-9].jpg")):
    grey = np.asarray(Image.open(path).convert("L"))
    mask = (grey >= low) & (grey <= high)
    volume += int(np.count_nonzero(mask))
    padded = np.pad(mask, 1)
    faces += int(np.count_nonzero(padded[1:, :] != padded[:-1, :]))
    faces += int(np.count_nonzero(padded[:, 1:] != padded[:, :-1]))
    faces += int(np.count_nonzero(mask if previous is None else mask != previous))
    previous = mask
faces += int(np.count_nonzero(previous))
print(volume, faces)
"""


def note(text):
    print(text, file=sys.stderr, flush=True)


def phantom(bin_dir, folder, slices, side):
    subprocess.run([str(bin_dir / "orvel-phantom"), str(folder), "--slices", str(slices), "--size", f"{side}x{side}",
                    "--format", "jpg"], check=True, stdout=subprocess.DEVNULL)
    return str(Path(folder) / "phantom0000.jpg")


def wall_ms(command):
    started = time.perf_counter()
    result = subprocess.run(command, check=True, capture_output=True, text=True)
    return (time.perf_counter() - started) * 1e3, result.stdout


def model_command(bin_dir, first, threads, side=SIDE):
    return [str(bin_dir / "orvel-analyze"), first, "--rectangle", f"0,0,{side},{side}", "--levels", LEVELS, "--3d",
            "--json", "--threads", str(threads)]


def model_figures(bin_dir, work):
    note(f"3D model over {MODEL_SLICES} JPEG slices of {SIDE}x{SIDE}: --threads 1 and 2, Python ...")
    folder = Path(work) / "model"
    first = phantom(bin_dir, folder, MODEL_SLICES, SIDE)
    times = {1: [], 2: [], "python": []}
    peer = [sys.executable, "-c", PEER_SCRIPT, str(folder), str(LOW), str(HIGH)]
    for _ in range(3):
        for threads in (1, 2):
            ms, out = wall_ms(model_command(bin_dir, first, threads))
            times[threads].append(ms)
        ms, peer_out = wall_ms(peer)
        times["python"].append(ms)
    volume = int(out.split('"volume":')[1].split(",")[0])
    peer_volume = int(peer_out.split()[0])
    if volume != peer_volume:
        note(f"the Python model's volume {peer_volume} differs from orvel's {volume}")
    mib = sum(p.stat().st_size for p in folder.glob("phantom[0-9]*.jpg")) / 2**20
    files = f"{MODEL_SLICES} phantom slices {SIDE}×{SIDE}, 8-bit JPEG q90, {mib:.0f} MiB, in the page cache"
    return files, {key: statistics.median(value) for key, value in times.items()}, volume == peer_volume


def peak_memory_mib(bin_dir, work):
    note(f"peak memory of --3d --threads 2 over {MEMORY_SLICES} JPEG slices of {SIDE}x{SIDE} ...")
    first = phantom(bin_dir, Path(work) / "memory", MEMORY_SLICES, SIDE)
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + model_command(bin_dir, first, 2), check=True,
                            capture_output=True, text=True)
    return int(result.stderr.strip().splitlines()[-1]) / 1024


def whole_process(command):
    """Median wall time (ms) and minor page faults of eleven runs."""
    times, faults = [], []
    for _ in range(11):
        result = subprocess.run(["/usr/bin/time", "-f", "%e %R"] + command, check=True, capture_output=True, text=True)
        seconds, minor = result.stderr.strip().splitlines()[-1].split()
        times.append(float(seconds) * 1e3)
        faults.append(int(minor))
    return statistics.median(times), statistics.median(faults)


def decode_figures(bin_dir, work):
    note(f"one {BIG_SIDE}x{BIG_SIDE} JPEG: orvel-analyze --info against djpeg ...")
    first = phantom(bin_dir, Path(work) / "big", 1, BIG_SIDE)
    ours = whole_process([str(bin_dir / "orvel-analyze"), first, "--info"])
    peer = whole_process(["djpeg", "-outfile", "/dev/null", first])
    return f"one phantom slice {BIG_SIDE}×{BIG_SIDE}, 8-bit JPEG q90, " \
           f"{os.path.getsize(first) / 2**20:.1f} MiB, in the page cache", ours, peer


def playback_rates(bin_dir):
    """Slices shown per second (less the rests at the ends) with one and with two workers."""
    if not shutil.which("Xvfb") or not (bin_dir / "orvel").exists():
        note("no Xvfb or no orvel: playback with one and two workers skipped")
        return None
    note("playback of 100 JPEG slices of 4096x4096 at Fast, one and two workers (two minutes) ...")
    script = Path(__file__).resolve().parent / "playback_workers.sh"
    out = subprocess.run([str(script), str(bin_dir), "60"], check=True, capture_output=True, text=True).stdout
    rates = [float(rate) for rate in re.findall(r"([0-9.]+) slices/s less the rests", out)]
    return rates if len(rates) == 2 else None


def rows(bin_dir, row_type, skip_memory=False):
    """The benchmark's rows for bench_table.py, made with its Row type."""
    with tempfile.TemporaryDirectory(prefix="orvel-parallel-") as work:
        files, times, same = model_figures(bin_dir, work)
        result = [row_type("3D model (--3d), --threads 2", files, times[2], "--threads 1", times[1]),
                  row_type("3D model (--3d), --threads 2", files, times[2],
                           "Python, Pillow and numpy" + ("" if same else " (volume differs!)"), times["python"])]
        decode_files, ours, peer = decode_figures(bin_dir, work)
        result += [row_type("one JPEG read, whole process (--info)", decode_files, ours[0],
                            "djpeg -outfile /dev/null", peer[0]),
                   row_type("page faults of that read", decode_files, ours[1], "djpeg", peer[1], "")]
        if not skip_memory:
            memory = peak_memory_mib(bin_dir, work)
            result.append(row_type("peak memory of --3d --threads 2", f"{MEMORY_SLICES} phantom slices {SIDE}×{SIDE}, "
                                   "8-bit JPEG q90", memory, "", None, "MiB"))
    rates = playback_rates(bin_dir)
    if rates:
        result.append(row_type("playback at Fast, 2 workers, slices/s (higher is better)",
                               "100 phantom slices 4096×4096, 8-bit JPEG q90; real window under Xvfb",
                               rates[1], "1 worker", rates[0], "/s"))
    return result


if __name__ == "__main__":
    from bench_table import Row, figure
    for row in rows(Path(sys.argv[1]).resolve(), Row, "--skip-memory" in sys.argv):
        ratio = f"{row.ours / row.peer:.2f}" if row.peer else "—"
        print(f"| {row.what} | {row.files} | {figure(row.ours, row.unit)} | {row.peer_name} |"
              f" {figure(row.peer, row.unit)} | {ratio} |")
