#!/usr/bin/python3
"""The three surface estimates of orvel-analyze --3d --surface mesh (per-voxel rule, marching cubes,
weighted local configurations) on shapes of known area: voxelised spheres of radius 10, 20 and
40 (voxel centres within r of the centre) and a box of 20 x 30 x 40 voxels. Prints a Markdown
table, each estimate also as a share of the true area.
usage: surface_estimates.py ORVEL_ANALYZE
"""
import json
import math
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image

ANALYZE = sys.argv[1]
MARGIN = 3  # empty voxels around the shape, so that the cleared border of the box touches nothing


def estimates(stack):
    padded = np.pad(stack, MARGIN)
    with tempfile.TemporaryDirectory() as directory:
        for z, plane in enumerate(padded):
            Image.fromarray((plane * 255).astype(np.uint8), mode="L").save(f"{directory}/s{z:04d}.bmp")
        height, width = padded.shape[1:]
        out = subprocess.run([ANALYZE, f"{directory}/s0000.bmp", "--rectangle", f"0,0,{width},{height}",
                              "--levels", "128,510", "--3d", "--surface", "mesh", "--json"],
                             check=True, capture_output=True, text=True).stdout
    model = json.loads(out)["model"]
    return model["surface"], model["marchingCubes"]["surface"], model["weighted"]["surface"]


def sphere(radius):
    z, y, x = np.mgrid[-radius:radius + 1, -radius:radius + 1, -radius:radius + 1]
    return (x * x + y * y + z * z <= radius * radius).astype(np.uint8)


shapes = [(f"sphere r = {r}", sphere(r), 4 * math.pi * r * r) for r in (10, 20, 40)]
shapes.append(("box 20 x 30 x 40", np.ones((40, 30, 20), np.uint8), 2 * (20 * 30 + 30 * 40 + 40 * 20)))

print("| shape | true area | per-voxel rule (S) | marching cubes | weighted |")
print("|---|---:|---:|---:|---:|")
for name, stack, true_area in shapes:
    cells = [f"{value:.0f} ({value / true_area:.3f})" for value in estimates(stack)]
    print(f"| {name} | {true_area:.0f} | {' | '.join(cells)} |")
