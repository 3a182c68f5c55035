#!/usr/bin/python3
"""Runs every benchmark in bench/ and prints one Markdown table: each of our figures next to its
peer measured in the same run, with the ratio (ours / peer: below 1 we are faster or smaller).

Peers: libjpeg-turbo for JPEG decoding and encoding (djpeg for a whole-process read), OpenCV for
the 2D labelling, `cat` of the same files for the 3D model and the cut, --threads 1 and a Python
script with Pillow and numpy for the model over a JPEG stack decoded on two threads, --info for their peak memory, reading and decoding
alone for viewer playback, and orvel-analyze's code for the window's 3D and cut runs. Viewer benchmarks (viewer_*_bench, playback_*_bench) are run when they
have been built; a figure without a known peer is listed alone.

usage: bench/bench_table.py BIN_DIR     (scripts/bench builds everything and calls this)
"""
import json
import os
import platform
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import area_vs_opencv  # noqa: E402  (beside this file)
import parallel_decode  # noqa: E402

REPETITIONS = "3"  # Google Benchmark repetitions; the table takes their median
STACK_SLICES, STACK_SIDE = 200, 1024
TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


class Row:
    def __init__(self, what, files, ours, peer_name, peer, unit="ms"):
        self.what, self.files, self.ours, self.peer_name, self.peer, self.unit = what, files, ours, peer_name, peer, unit


def note(text):
    print(text, file=sys.stderr, flush=True)


def run_benchmark(executable, pattern, time_kind, env=None):
    """Median times in milliseconds and the entries themselves, by run name."""
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run([str(executable), f"--benchmark_filter={pattern}", f"--benchmark_repetitions={REPETITIONS}",
                        "--benchmark_report_aggregates_only=true", f"--benchmark_out={out.name}",
                        "--benchmark_out_format=json"],
                       check=True, stdout=subprocess.DEVNULL, env={**os.environ, **(env or {})})
        entries = json.load(open(out.name))["benchmarks"]
    medians = {}
    for entry in entries:
        if entry.get("aggregate_name") == "median":
            entry["ms"] = entry[time_kind] * TO_MS[entry["time_unit"]]
            # Without the clock suffixes: BM_Cut/real_time is BM_Cut here.
            name = "/".join(part for part in entry["run_name"].split("/")
                            if part not in ("real_time", "process_time", "manual_time"))
            medians[name] = entry
    return medians


def jpeg_rows(bin_dir):
    rows = []
    note("JPEG decoding against libjpeg-turbo ...")
    decode = run_benchmark(bin_dir / "jpeg_decode_bench", "^BM_(Orvel|Turbo)Decode/", "cpu_time")
    for size in (1024, 2048):
        for quality in (75, 95):
            args = f"/{size}/{quality}"
            ours, turbo = decode[f"BM_OrvelDecode{args}"], decode[f"BM_TurboDecode{args}"]
            files = f"CT-like 8-bit slice {size}×{size}, quality {quality}, {turbo['bytes'] / 1024:.0f} KiB stream, in memory"
            rows.append(Row("JPEG decode (CPU time)", files, ours["ms"], "libjpeg-turbo", turbo["ms"]))
    note("JPEG encoding against libjpeg-turbo ...")
    encode = run_benchmark(bin_dir / "jpeg_encode_bench", "^BM_(Orvel|Turbo)Encode(Colour)?/", "cpu_time")
    for kind, sizes in (("", (1024, 2048)), ("Colour", (1024,))):
        for size in sizes:
            for quality in (75, 95):
                args = f"/{size}/{quality}"
                ours, turbo = encode[f"BM_OrvelEncode{kind}{args}"], encode[f"BM_TurboEncode{kind}{args}"]
                picture = "tinted 24-bit, 4:4:4" if kind else "8-bit grey"
                files = f"CT-like slice {size}×{size}, {picture}, quality {quality}, to memory"
                rows.append(Row("JPEG encode (CPU time)", files, ours["ms"], "libjpeg-turbo", turbo["ms"]))
    return rows


def labelling_rows(bin_dir):
    note("2D labelling against OpenCV ...")
    r = area_vs_opencv.compare(str(bin_dir / "area_analysis_bench"))
    files = (f"one {r['side']}×{r['side']} mask, {100 * r['fill']:.0f} % fill, {r['objects']} objects "
             f"(OpenCV: {r['opencv_objects']}), 4-connected")
    return [
        Row("2D labelling", files, r["label_ms"], "OpenCV connectedComponentsWithStats, 1 thread", r["single_ms"]),
        Row("2D labelling", files, r["label_ms"], f"OpenCV connectedComponentsWithStats, {r['threads']} threads",
            r["opencv_ms"]),
        Row("2D area block (threshold, labelling, size classes, text)",
            f"the {r['side']}×{r['side']} 8-bit slice the mask is taken from, in memory", r["whole_ms"],
            "OpenCV connectedComponentsWithStats, 1 thread", r["single_ms"]),
    ]


def time_cat(paths, repeats=5):
    """Median milliseconds of `cat` over the files into /dev/null, after one run to warm the cache."""
    times = []
    for _ in range(repeats + 1):
        start = time.perf_counter()
        subprocess.run(["cat", *paths], check=True, stdout=subprocess.DEVNULL)
        times.append((time.perf_counter() - start) * 1e3)
    return statistics.median(times[1:])


def peak_memory(bin_dir, first_slice):
    """Peak resident MiB of --info, --3d and --cut, from bench/model3d_cut_memory.sh."""
    script = Path(__file__).resolve().parent / "model3d_cut_memory.sh"
    out = subprocess.run(["sh", str(script), str(bin_dir / "orvel-analyze"), first_slice],
                         check=True, capture_output=True, text=True).stdout
    kib = dict(part.split() for part in out.splitlines()[0].split(": ", 1)[1].split(", "))
    return {option: int(value) / 1024 for option, value in kib.items()}


def stack_rows(bin_dir, work):
    note(f"writing {STACK_SLICES} phantom slices of {STACK_SIDE}×{STACK_SIDE} ...")
    stack = Path(work) / "stack"
    subprocess.run([str(bin_dir / "orvel-phantom"), str(stack), "--slices", str(STACK_SLICES),
                    "--size", f"{STACK_SIDE}x{STACK_SIDE}"], check=True)
    slices = sorted(str(p) for p in stack.glob("phantom[0-9][0-9][0-9][0-9].bmp"))
    mib = sum(os.path.getsize(p) for p in slices) / 2**20
    files = f"{len(slices)} phantom slices {STACK_SIDE}×{STACK_SIDE}, 8-bit BMP, {mib:.0f} MiB, in the page cache"
    note("3D model and cut against cat ...")
    ours = run_benchmark(bin_dir / "model3d_cut_bench", "^BM_(Model3D|Model3DSweep10|Model3DMeshSurfaces|Cut)/",
                         "real_time",
                         env={"ORVEL_STACK_DIR": str(stack)})
    cat_ms = time_cat(slices)
    note("peak memory ...")
    memory = peak_memory(bin_dir, slices[0])
    return [
        Row("3D model of the whole slice (--3d)", files, ours["BM_Model3D"]["ms"], "`cat` of the same files", cat_ms),
        Row("threshold sweep of 21 models (--3d --sweep 10)", files, ours["BM_Model3DSweep10"]["ms"],
            "one model (--3d)", ours["BM_Model3D"]["ms"]),
        Row("marching-cubes and weighted surfaces (--3d --surface mesh)", files,
            ours["BM_Model3DMeshSurfaces"]["ms"], "one model (--3d)", ours["BM_Model3D"]["ms"]),
        Row("cut along the diagonal (--cut, BMP written)", files, ours["BM_Cut"]["ms"], "`cat` of the same files",
            cat_ms),
        Row("peak memory of --3d", files, memory["--3d"], "--info on the same dataset", memory["--info"], "MiB"),
        Row("peak memory of --cut", files, memory["--cut"], "--info on the same dataset", memory["--info"], "MiB"),
    ]


def viewer_rows(bin_dir):
    """Playback steps against reading and decoding the same slices; other viewer figures alone."""
    executables = sorted(list(bin_dir.glob("viewer_*_bench")) + list(bin_dir.glob("playback_*_bench")))
    if not executables:
        note("no viewer benchmarks built (viewer_*_bench, playback_*_bench): playback rows skipped")
        return []
    rows = []
    for executable in executables:
        note(f"{executable.name} ...")
        figures = run_benchmark(executable, ".", "real_time")
        # BM_ReadAndDecode/F reads the slices that BM_PlaybackStep/F/... plays (F: the format's index).
        reads = {name.split("/")[1]: entry for name, entry in figures.items() if name.startswith("BM_ReadAndDecode/")}
        for name, entry in figures.items():
            if name.startswith("BM_ReadAndDecode/"):
                continue
            label = entry.get("label", "")
            what = f"{executable.name}: {name.split('/')[0][3:]}" + (f" ({label})" if label else "")
            peer = reads.get(name.split("/")[1]) if name.startswith("BM_PlaybackStep/") else None
            files = "slices of the benchmark's own phantom dataset"
            # BM_WindowX is the window's run of what BM_AnalyzeX does in orvel-analyze's code.
            if name.startswith("BM_Analyze"):
                continue
            if name.startswith("BM_Window") and "BM_Analyze" + name[len("BM_Window"):] in figures:
                files = "200 phantom slices 1024×1024, 8-bit BMP, in the page cache; window 1200×1000, offscreen"
                rows.append(Row(what, files, entry["ms"], "orvel-analyze, same work, in process",
                                figures["BM_Analyze" + name[len("BM_Window"):]]["ms"]))
            elif peer:
                files = f"{peer.get('label', '')} phantom slices 1024×1024, read in turn".strip()
                rows.append(Row(what, files, entry["ms"], "reading and decoding only", peer["ms"]))
            else:
                rows.append(Row(what, files, entry["ms"], "", None))
    return rows


def figure(value, unit):
    if value is None:
        return "—"
    return (f"{value:.3g} {unit}" if value < 100 else f"{value:.0f} {unit}").rstrip()


def machine():
    model = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")), "?")
    memory = next(int(line.split()[1]) for line in open("/proc/meminfo") if line.startswith("MemTotal")) / 2**20
    system = platform.freedesktop_os_release().get("PRETTY_NAME", platform.system())
    load = ", ".join(f"{x:.2f}" for x in os.getloadavg())
    return f"{model}, {os.cpu_count()} logical cores, {memory:.0f} GiB, {system}; load average {load} at the start"


def main():
    bin_dir = Path(sys.argv[1]).resolve()
    started = machine()
    rows = jpeg_rows(bin_dir) + labelling_rows(bin_dir)
    with tempfile.TemporaryDirectory() as work:
        rows += stack_rows(bin_dir, work)
    rows += parallel_decode.rows(bin_dir, Row)
    rows += viewer_rows(bin_dir)
    print(f"Machine: {started}.\n")
    print("| benchmark | files and sizes | Orvel | peer | peer's figure | Orvel / peer |")
    print("|---|---|---:|---|---:|---:|")
    for r in rows:
        ratio = f"{r.ours / r.peer:.2f}" if r.peer else "—"
        print(f"| {r.what} | {r.files} | {figure(r.ours, r.unit)} | {r.peer_name or '—'} | "
              f"{figure(r.peer, r.unit)} | {ratio} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
