"""The first window on a screen with a window manager (openbox): a dataset of 2048 x 2048 slices
opens with the whole window, frame and caption included, inside the 1280 x 1024 screen, and a
dataset of 64 x 64 slices still reaches screen row 570 with its frame. Skipped (77) without
openbox or the X utilities."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

from orvel_atspi import Viewer, wait_until, write_phantom

SCREEN = (1280, 1024)


def outer_rectangle():
    """The viewer window's rectangle with the manager's frame: left, top, right, bottom."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    for line in tree.splitlines():
        match = re.search(r'^\s*(0x[0-9a-f]+) "[^"]*": \("orvel" "orvel"\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)', line)
        if not match:
            continue
        window, width, height, x, y = match.group(1), *map(int, match.groups()[1:])
        extents = subprocess.run(["xprop", "-id", window, "_NET_FRAME_EXTENTS"], capture_output=True, text=True).stdout
        frame = [int(value) for value in re.findall(r"\d+", extents.split("=")[-1])] if "=" in extents else []
        if len(frame) == 4 and width > 1:
            left, right, top, bottom = frame
            return (x - left, y - top, x + width + right, y + height + bottom)
    return None


def inside_screen(rectangle):
    return rectangle is not None and rectangle[0] >= 0 and rectangle[1] >= 0 and \
        rectangle[2] <= SCREEN[0] and rectangle[3] <= SCREEN[1]


def main():
    if not all(shutil.which(tool) for tool in ("openbox", "xwininfo", "xprop")):
        print("skipped: openbox, xwininfo or xprop is missing (see scripts/setup-packages.sh)")
        return 77
    manager = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        for size, check in (("2048x2048", inside_screen),
                            ("64x64", lambda rectangle: rectangle is not None and rectangle[3] >= 570)):
            dataset = write_phantom(tempfile.mkdtemp(prefix="orvel-atspi-data-"), slices=3, size=size)
            viewer = Viewer(dataset)
            try:
                wait_until(lambda: check(outer_rectangle()), "the %s window to be laid out" % size, timeout=10)
            finally:
                viewer.close()
    finally:
        manager.kill()
        manager.wait()
    print("viewer_screen: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
