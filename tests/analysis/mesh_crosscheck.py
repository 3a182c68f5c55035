#!/usr/bin/python3
"""orvel-analyze --3d --surface mesh against scikit-image's marching cubes and a numpy count of
the 2 x 2 x 2 configurations weighted as Lindblad (2005) publishes, on stacks written as BMP
slices: random voxels, blobs, spheres, and a box sampled at every second slice.

The model is the thresholded selection over the range, surrounded by unset voxels; with slices
numbered in steps of s, a voxel is 1 x 1 x s pixels.
usage: mesh_crosscheck.py ORVEL_ANALYZE
"""
import itertools
import json
import math
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image
from skimage import measure

ANALYZE = sys.argv[1]


def write_stack(directory, stack, step):
    """stack[z, y, x] of 0/1 as 8-bit slices holding 0 and 255, numbered 0, step, 2 step, ..."""
    for z, plane in enumerate(stack):
        Image.fromarray((plane * 255).astype(np.uint8), mode="L").save(f"{directory}/s{z * step:04d}.bmp")


def analyse(stack, step):
    with tempfile.TemporaryDirectory() as directory:
        write_stack(directory, stack, step)
        height, width = stack.shape[1:]
        out = subprocess.run([ANALYZE, f"{directory}/s0000.bmp", "--rectangle", f"0,0,{width},{height}",
                              "--levels", "128,510", "--3d", "--surface", "mesh", "--json"],
                             check=True, capture_output=True, text=True).stdout
    return json.loads(out)["model"]


def skimage_area(stack, step):
    padded = np.pad(stack, 1).astype(np.float64)
    verts, faces, _, _ = measure.marching_cubes(padded, 0.5, spacing=(step, 1, 1))
    return measure.mesh_surface_area(verts, faces)


A1, A2, A8, A11 = 0.6380, 0.6690, 0.9270, 1.573132
A5, A9 = 1.1897 - A1, 1.6942 - 2 * A1


def lindblad_weight(code):
    corners = [i for i in range(8) if code >> i & 1]
    if len(corners) > 4:
        corners = [i for i in range(8) if not code >> i & 1]
    pairs = list(itertools.combinations(corners, 2))
    edges = [p for p in pairs if bin(p[0] ^ p[1]).count("1") == 1]
    degree = max([sum(c in e for e in edges) for c in corners] or [0])
    n = len(corners)
    if n == 0:
        return 0.0
    if n == 1:
        return A1
    if n == 2:
        return {1: A2, 2: 2 * A1, 3: 2 * A1}[bin(corners[0] ^ corners[1]).count("1")]
    if n == 3:
        return {2: A5, 1: A1 + A2, 0: 3 * A1}[len(edges)]
    return {4: A8, 3: A9 if degree == 3 else A11, 2: 2 * A2 if degree == 1 else A1 + A5, 0: 4 * A1}[len(edges)]


def lindblad_area(stack):
    v = np.pad(stack, 1).astype(np.int64)
    codes = (v[:-1, :-1, :-1] | v[:-1, :-1, 1:] << 1 | v[:-1, 1:, :-1] << 2 | v[:-1, 1:, 1:] << 3 |
             v[1:, :-1, :-1] << 4 | v[1:, :-1, 1:] << 5 | v[1:, 1:, :-1] << 6 | v[1:, 1:, 1:] << 7)
    counts = np.bincount(codes.ravel(), minlength=256)
    return sum(counts[c] * lindblad_weight(c) for c in range(256))


def sphere(radius):
    n = radius + 3
    z, y, x = np.mgrid[-n:n + 1, -n:n + 1, -n:n + 1]
    return (x * x + y * y + z * z <= radius * radius).astype(np.uint8)


def blobs(rng, shape):
    noise = rng.random(shape)
    smooth = sum(np.roll(noise, shift, axis) for axis in range(3) for shift in (-1, 0, 1))
    return (smooth > 4.5).astype(np.uint8)


failures = []


def check(name, stack, step=1):
    model = analyse(stack, step)
    reference = skimage_area(stack, step)
    ours = model["marchingCubes"]["surface"]
    if abs(ours - reference) > 0.001 * reference:
        failures.append(f"{name}: marching cubes {ours} against scikit-image {reference}")
    if step == 1:
        weighted = lindblad_area(stack)
        if abs(model["weighted"]["surface"] - weighted) > 1e-6 * weighted:
            failures.append(f"{name}: weighted {model['weighted']['surface']} against {weighted}")
    volume = int(stack.sum()) * step
    if model["volume"] != volume:
        failures.append(f"{name}: volume {model['volume']} against {volume}")
    print(f"{name}: marching cubes {ours:.3f}, scikit-image {reference:.3f}, weighted "
          f"{model['weighted']['surface']:.3f}")


rng = np.random.default_rng(20240611)
for trial in range(4):
    shape = (int(rng.integers(2, 9)), int(rng.integers(2, 40)), int(rng.integers(2, 140)))
    check(f"random {shape}", (rng.random(shape) < 0.5).astype(np.uint8))
check("blobs", blobs(rng, (12, 50, 70)))
check("blobs, every second slice", blobs(rng, (10, 40, 66)), step=2)
for radius in (10, 20):
    check(f"sphere r={radius}", sphere(radius))
check("random, every third slice", (rng.random((6, 20, 30)) < 0.4).astype(np.uint8), step=3)

for failure in failures:
    print("FAIL", failure)
sys.exit(1 if failures else 0)
