#!/usr/bin/python3
"""Area analysis of a 1024 x 1024 box at 30 % fill against OpenCV's connectedComponentsWithStats.

Writes one slice of blobs (smoothed noise thresholded at its 70th percentile: thousands of
objects of many sizes), runs area_analysis_bench on it and times OpenCV on the same mask with
4-connectivity, both with its default threads and with one thread, in the same run.

usage: bench/area_vs_opencv.py [PATH/TO/area_analysis_bench]   (default build/bin/area_analysis_bench)
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import cv2
import numpy as np
from PIL import Image
from scipy import ndimage


def blob_slice(side=1024, fill=0.3, sigma=1.5, seed=1):
    noise = ndimage.gaussian_filter(np.random.default_rng(seed).random((side, side)), sigma)
    return (noise > np.quantile(noise, 1 - fill)).astype(np.uint8) * 200  # 200 passes [128, 255]


def time_opencv(mask, threads, repeats=60):
    cv2.setNumThreads(threads)
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        count, _, _, _ = cv2.connectedComponentsWithStats(mask, connectivity=4)
        times.append(time.perf_counter() - start)
    return statistics.median(times) * 1e3, count - 1


def time_orvel(bench, slice_path):
    run = subprocess.run([bench, "--benchmark_format=json", "--benchmark_repetitions=5",
                          "--benchmark_report_aggregates_only=true"],
                         env={**os.environ, "ORVEL_AREA_BENCH_SLICE": str(slice_path)},
                         capture_output=True, text=True, check=True)
    results = {}
    for entry in json.loads(run.stdout)["benchmarks"]:
        if entry.get("aggregate_name") == "median":
            results[entry["run_name"]] = entry
    return results


def compare(bench):
    """Times both on the same mask; figures in milliseconds, with the object counts."""
    grey = blob_slice()
    mask = (grey > 0).astype(np.uint8) * 255
    with tempfile.TemporaryDirectory() as directory:
        path = Path(directory) / "blobs0000.bmp"
        Image.fromarray(grey, "L").save(path)
        orvel = time_orvel(bench, path)
    default_threads = cv2.getNumThreads()
    opencv_ms, opencv_objects = time_opencv(mask, default_threads)
    single_ms, _ = time_opencv(mask, 1)
    cv2.setNumThreads(default_threads)
    label = orvel["BM_LabelMask"]
    return {"side": mask.shape[0], "fill": mask.mean() / 255, "objects": int(round(label["objects"])),
            "opencv_objects": opencv_objects, "threads": default_threads, "label_ms": label["real_time"],
            "whole_ms": orvel["BM_MeasureArea"]["real_time"], "opencv_ms": opencv_ms, "single_ms": single_ms}


def main():
    root = Path(__file__).resolve().parent.parent
    bench = sys.argv[1] if len(sys.argv) > 1 else str(root / "build/bin/area_analysis_bench")
    r = compare(bench)
    label_ms, whole_ms, opencv_ms, single_ms = r["label_ms"], r["whole_ms"], r["opencv_ms"], r["single_ms"]
    print(f"mask 1024 x 1024, fill {r['fill']:.3f}, objects: orvel {r['objects']}, OpenCV {r['opencv_objects']}")
    print(f"OpenCV connectedComponentsWithStats, 4-conn, {r['threads']} threads: {opencv_ms:7.2f} ms")
    print(f"OpenCV connectedComponentsWithStats, 4-conn, 1 thread:   {single_ms:7.2f} ms")
    print(f"orvel labelling of the mask (runs, areas, classes):      {label_ms:7.2f} ms"
          f"  ratio {label_ms / opencv_ms:.2f} (1 thread: {label_ms / single_ms:.2f})")
    print(f"orvel whole area block from the slice:                   {whole_ms:7.2f} ms"
          f"  ratio {whole_ms / opencv_ms:.2f} (1 thread: {whole_ms / single_ms:.2f})")
    if r["objects"] != r["opencv_objects"]:
        print("object counts differ")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
