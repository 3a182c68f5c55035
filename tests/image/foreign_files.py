#!/usr/bin/python3
"""TIFF files other than the scanner's and PNG files, written by tifffile and Pillow, read by
orvel-analyze: the exported 8-bit slice equals numpy's mapping of the same samples (deep samples
through the reported window, which must be numpy's 0.5/99.5 percentiles or the --window given);
--2d and --3d with --window equal numpy's thresholded mask; damaged files end with the format's
message and status 1.

usage: foreign_files.py PATH/TO/orvel-analyze [SEED_FOLDER]
With SEED_FOLDER, only writes the table's files there (the fuzz targets' seeds) and exits.
"""
import json
import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np
import tifffile
from PIL import Image

RNG = np.random.default_rng(20)
GREY8 = RNG.integers(0, 256, (37, 45), dtype=np.uint8)
DEEP16 = RNG.normal(2000, 600, (37, 45)).clip(0, 65535).astype(np.uint16)
FLOAT = RNG.normal(0.3, 0.2, (37, 45)).astype(np.float32)
RGB = RNG.integers(0, 256, (37, 45, 3), dtype=np.uint8)
COLOURS = RNG.integers(0, 256, (256, 3), dtype=np.uint8)


def tiff(**options):
    return lambda path, array: tifffile.imwrite(path, array, **options)


def pillow(mode=None, **options):
    return lambda path, array: Image.fromarray(array, mode).save(path, **options)


def palette_png(path, indices):
    image = Image.fromarray(indices, "P")
    image.putpalette(COLOURS.ravel().tolist())
    image.save(path)


def two_pages(path, array):
    tifffile.imwrite(path, np.stack([array, array[::-1]]), photometric="minisblack")


# name, extension, samples, writer, pixels per metre the file says (None: not checked)
CASES = [
    ("grey8 strips", "tif", GREY8, tiff(rowsperstrip=5, resolution=(100, 100), resolutionunit="INCH"), 3937),
    ("grey8 packbits", "tiff", GREY8, pillow(compression="packbits"), None),
    ("grey16 lzw", "tif", DEEP16, pillow(compression="tiff_lzw"), None),
    ("grey16 deflate tiles big-endian", "TIF", DEEP16, tiff(tile=(16, 16), compression="zlib", byteorder=">"), None),
    ("grey16 first of two pages", "tif", DEEP16, two_pages, 0),
    ("float lzw", "tif", FLOAT, pillow(compression="tiff_lzw"), None),
    ("float deflate tiles big-endian", "tif", FLOAT, tiff(tile=(32, 16), compression="zlib", byteorder=">"), None),
    ("palette8", "tif", GREY8, tiff(photometric="palette", colormap=COLOURS.T.astype(np.uint16) * 257), None),
    ("rgb deflate", "tif", RGB, tiff(photometric="rgb", compression="zlib", resolution=(40, 40), resolutionunit="CENTIMETER"), 4000),
    ("png grey8", "png", GREY8, pillow(dpi=(254, 254)), 10000),
    ("png grey16", "PNG", DEEP16, pillow("I;16"), 0),
    ("png palette", "png", GREY8, palette_png, None),
    ("png rgb", "png", RGB, pillow(), None),
]


def run(analyze, *arguments):
    return subprocess.run([analyze, *map(str, arguments)], capture_output=True, text=True)


def mapped(samples, low, high):
    """The 8-bit value of every sample through the window low..high."""
    v = samples.astype(np.float64)
    inside = np.trunc((v - low) * 255 / (high - low) + 0.5)
    return np.where(v <= low, 0, np.where(v >= high, 255, inside)).astype(np.uint8)


def check_case(analyze, folder, case):
    name, extension, samples, writer, pels = case
    path = folder / f"case0000.{extension}"
    writer(path, samples)
    out = folder / "out.bmp"
    result = run(analyze, path, "--info", "--json", "--export", out)
    if result.returncode != 0:
        return f"{name}: exit {result.returncode}: {result.stderr.strip()}"
    info = json.loads(result.stdout)
    got = np.asarray(Image.open(out).convert("RGB") if samples.ndim == 3 else Image.open(out))
    expected = samples
    if samples.dtype != np.uint8:
        low, high = np.percentile(samples.astype(np.float64), [0.5, 99.5])
        window = info["window"]
        if not np.allclose([window["low"], window["high"]], [low, high], rtol=1e-12, atol=0):
            return f"{name}: window {window}, numpy {low}..{high}"
        expected = mapped(samples, window["low"], window["high"])
    if got.shape != expected.shape or (got != expected).any():
        return f"{name}: {int((got != expected).sum()) if got.shape == expected.shape else got.shape} pixels differ"
    if pels is not None and info["slice"]["xPelsPerMeter"] != pels:
        return f"{name}: {info['slice']['xPelsPerMeter']} pixels per metre, not {pels}"
    return None


def check_window_analyses(analyze, folder):
    """--window with --2d on slice 1 and --3d over the stack, against numpy's mask."""
    stack = [DEEP16, DEEP16[::-1], DEEP16[:, ::-1]]
    for i, samples in enumerate(stack):
        Image.fromarray(samples).save(folder / f"deep{i:04d}.tif", compression="tiff_lzw")
    low, high, p1, p2 = 1500.5, 2600, 90, 400
    grey = [mapped(s, low, high) for s in stack]
    masks = [(g >= min(p1, p2 // 2)) & (g <= max(p1, p2 // 2)) for g in grey]
    box = "3,2,40,30"
    common = ["--window", f"{low},{high}", "--rectangle", box, "--levels", f"{p1},{p2}", "--json"]
    area = json.loads(run(analyze, folder / "deep0000.tif", "--slice", 1, "--2d", *common).stdout)["area"]
    model = json.loads(run(analyze, folder / "deep0000.tif", "--3d", *common).stdout)["model"]
    selected = [int(m[2:30, 3:40].sum()) for m in masks]
    if area["selected"] != selected[1] or model["volume"] != sum(selected):
        return f"--window: area {area['selected']}, volume {model['volume']}; numpy {selected[1]}, {sum(selected)}"
    return None


def check_damaged(analyze, folder):
    failures = []
    for name, extension, samples, writer, _ in CASES[2:4] + CASES[10:11]:
        whole = folder / f"whole.{extension}"
        writer(whole, samples)
        data = whole.read_bytes()
        corrupted = bytearray(data)
        corrupted[len(data) // 2:len(data) // 2 + 64] = bytes(64)
        message = "Invalid png file" if extension.lower() == "png" else "Invalid tiff file"
        for damage, content in (("truncated", data[:len(data) // 2]), ("corrupted", bytes(corrupted))):
            path = folder / f"damaged0000.{extension}"
            path.write_bytes(content)
            result = run(analyze, path, "--info")
            if result.returncode != 1 or message not in result.stderr:
                failures.append(f"{damage} {name}: exit {result.returncode}, {result.stderr.strip()!r}")
    return failures


def main():
    analyze = sys.argv[1]
    if len(sys.argv) > 2:
        for index, (name, extension, samples, writer, _) in enumerate(CASES):
            writer(Path(sys.argv[2]) / f"{index:02d}-{name.replace(' ', '-')}.{extension.lower()}", samples)
        return 0
    failures = []
    with tempfile.TemporaryDirectory() as directory:
        for index, case in enumerate(CASES):
            folder = Path(directory) / str(index)
            folder.mkdir()
            failures.append(check_case(analyze, folder, case))
        failures.append(check_window_analyses(analyze, Path(directory)))
        failures += check_damaged(analyze, Path(directory))
    failures = [f for f in failures if f]
    print("\n".join(failures) or f"{len(CASES)} layouts, the window analyses and the damaged files agree")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
