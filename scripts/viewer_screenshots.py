"""Screenshots of the viewer on a dataset, driven through AT-SPI as a user of a screen reader
would: Original while playing, Colour 1, Binary, and Greyscale inverted with the levels moved.
Run it through tests/viewer/atspi/run (scripts/screenshots does), which gives it a virtual display.

    viewer_screenshots.py FIRST_SLICE OUTPUT_DIRECTORY"""
import os
import subprocess
import sys
import time

import pyatspi

from orvel_atspi import Viewer, wait_until


def screenshot(viewer, path):
    """The window's rectangle of the virtual screen, as ImageMagick's import grabs it."""
    x, y, width, height = viewer.window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage", path],
                   check=True)
    print("wrote", path)


def main(first_slice, output):
    os.makedirs(output, exist_ok=True)
    viewer = Viewer(first_slice)
    try:
        slice_slider = viewer.slider("Slice")
        start = viewer.value(slice_slider)
        wait_until(lambda: abs(viewer.value(slice_slider) - start) >= 30, "playback to move a good way")
        screenshot(viewer, os.path.join(output, "viewer-original-playing.png"))

        viewer.press(viewer.radio("Stop"))
        wait_until(lambda: viewer.is_checked(viewer.radio("Stop")), "Stop")
        count = slice_slider.queryValue().maximumValue + 1
        viewer.set_value(slice_slider, int(count) // 2)
        for name, file in (("Colour 1", "viewer-colour1.png"), ("Binary", "viewer-binary.png")):
            viewer.press(viewer.radio(name))
            wait_until(lambda: viewer.is_checked(viewer.radio(name)), name)
            time.sleep(0.3)  # let the window repaint before the grab
            screenshot(viewer, os.path.join(output, file))

        viewer.press(viewer.radio("Greyscale"))
        viewer.press(viewer.find("Invert", pyatspi.ROLE_CHECK_BOX))
        wait_until(lambda: viewer.is_checked(viewer.find("Invert", pyatspi.ROLE_CHECK_BOX)), "Invert")
        viewer.set_value(viewer.slider("Lower level"), 160)
        viewer.set_value(viewer.slider("Upper level"), 440)
        time.sleep(0.3)
        screenshot(viewer, os.path.join(output, "viewer-greyscale-inverted-levels.png"))
        viewer.press(viewer.button("Exit"))
        viewer.wait_for_exit()
    finally:
        viewer.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
