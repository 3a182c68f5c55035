#!/usr/bin/python3
"""Cross-checks the area analysis of orvel-analyze against an independent 4-connected labelling.

Writes random 8-bit BMP slices (smoothed noise thresholds into blobs of many sizes, plus single
pixels), asks orvel-analyze for --2d of random rectangles and ellipses (corners anywhere from 0 to
the width and the height, edges of the slice included) with random level positions and inversion,
and compares the selected area, box area, object count and the 20 size classes with
scipy.ndimage.label.

usage: area_crosscheck.py PATH/TO/orvel-analyze
"""
import json
import math
import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np
from PIL import Image
from scipy import ndimage

FOUR_CONNECTED = np.array([[0, 1, 0], [1, 1, 1], [0, 1, 0]])


def random_slice(rng, width, height):
    noise = ndimage.gaussian_filter(rng.random((height, width)), sigma=rng.uniform(0.6, 3.0))
    grey = (noise - noise.min()) / max(noise.max() - noise.min(), 1e-9) * 255
    speckle = rng.random((height, width)) < 0.02
    grey[speckle] = rng.integers(0, 256, speckle.sum())
    return grey.astype(np.uint8)


def box_values(grey, x0, y0, x1, y1):
    """Grey values of the box's cells (maximum row and column excluded)."""
    return grey[min(y0, y1):max(y0, y1), min(x0, x1):max(x0, x1)]


def ellipse_inside(dy, dx):
    half_w, half_h = dx // 2, dy // 2
    if half_w == 0 or half_h == 0:
        return np.zeros((dy, dx), bool)
    ey = (half_h - np.arange(dy)).astype(np.float64)[:, None]
    ex = (half_w - np.arange(dx)).astype(np.float64)[None, :]
    return (ey * ey / float(half_h * half_h) + ex * ex / float(half_w * half_w)) <= 1.0


def expected_area(grey, points, ellipse, p1, p2, invert):
    low, high = min(p1, p2 // 2), max(p1, p2 // 2)
    values = box_values(grey, *points)
    selected = ((values >= low) & (values <= high)) != invert
    if ellipse:
        selected &= ellipse_inside(*selected.shape)
    labels, objects = ndimage.label(selected, structure=FOUR_CONNECTED)
    classes = [0] * 20
    for size in np.bincount(labels.ravel())[1:]:
        diameter = math.sqrt(int(size) * 4 / 3.1415)
        classes[int(math.log(diameter) / math.log(2))] += 1
    return {"selected": int(selected.sum()), "boxArea": selected.size, "objects": objects,
            "sizeClasses": classes}


def random_points(rng, width, height):
    """Corners from 0 to the extent; one in four on the far edge, where the selection ends."""
    def coordinate(extent):
        return extent if rng.random() < 0.25 else int(rng.integers(0, extent))
    return coordinate(width), coordinate(height), coordinate(width), coordinate(height)


def run_case(analyze, path, grey, rng):
    height, width = grey.shape
    points = random_points(rng, width, height)
    ellipse = bool(rng.random() < 0.4)
    p1, p2 = int(rng.integers(0, 256)), int(rng.integers(1, 511))
    invert = bool(rng.random() < 0.3)
    command = [analyze, str(path), "--ellipse" if ellipse else "--rectangle", ",".join(map(str, points)),
               "--2d", "--levels", f"{p1},{p2}", "--json"] + (["--invert"] if invert else [])
    run = subprocess.run(command, capture_output=True, text=True)
    if run.returncode != 0:
        return f"{' '.join(command)}: exit {run.returncode}: {run.stderr.strip()}", 0
    area = json.loads(run.stdout)["area"]
    expected = expected_area(grey, points, ellipse, p1, p2, invert)
    got = {key: area[key] for key in expected}
    if got != expected:
        return f"{' '.join(command)}:\n  got      {got}\n  expected {expected}", 0
    if f"Number of Objects: {expected['objects']}\r\n" not in area["text"]:
        return f"{' '.join(command)}: text does not match: {area['text']!r}", 0
    return None, expected["objects"]


def main():
    analyze = sys.argv[1]
    rng = np.random.default_rng(20240611)
    failures, objects_compared = [], 0
    with tempfile.TemporaryDirectory() as directory:
        for dataset in range(6):
            width, height = int(rng.integers(40, 300)), int(rng.integers(40, 300))
            grey = random_slice(rng, width, height)
            folder = Path(directory) / f"set{dataset}"
            folder.mkdir()
            path = folder / "cross0000.bmp"
            Image.fromarray(grey, "L").save(path)
            for _ in range(6):
                failure, objects = run_case(analyze, path, grey, rng)
                if failure:
                    failures.append(failure)
                objects_compared += objects
    for failure in failures:
        print(failure)
    print(f"{36 - len(failures)} of 36 cases agree; {objects_compared} objects compared")
    # Random levels can select nothing; the cases together must still exercise the labelling.
    return 1 if failures or objects_compared < 500 else 0


if __name__ == "__main__":
    sys.exit(main())
