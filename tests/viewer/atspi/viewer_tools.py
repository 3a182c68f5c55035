"""The selection tools seen by a screen reader: with playback stopped, "Line" shows in "Results"
what orvel-analyze --line prints for the points of the settings file, "Rectangle" with "2D" what
--rectangle --2d prints, and after the level sliders are set, what --levels gives."""
import os
import subprocess
import sys
import tempfile

from orvel_atspi import BIN_DIR, Viewer, wait_until, write_phantom

SLICES = 8
START, STOP = (20, 30), (100, 90)
SETTINGS = "[Startpoint]\nx=%d\ny=%d\n[Stoppoint]\nx=%d\ny=%d\n" % (START + STOP)


def analyze(dataset, slice_index, *options):
    """What orvel-analyze prints for the current slice, line ends as the results box shows them."""
    run = subprocess.run([os.path.join(BIN_DIR, "orvel-analyze"), dataset, "--slice", str(slice_index)]
                         + list(options), check=True, capture_output=True, text=True)
    return run.stdout.replace("\r", "").rstrip("\n")


def shown(viewer):
    return viewer.results().replace("\r", "").rstrip("\n")


def expect_results(viewer, expected, what):
    wait_until(lambda: shown(viewer) == expected, "%s in Results:\n%s\nshown:\n%s" % (what, expected, shown(viewer)))


def main():
    dataset = write_phantom(tempfile.mkdtemp(prefix="orvel-atspi-data-"), slices=SLICES, size="128x128")
    points = "%d,%d,%d,%d" % (START + STOP)
    viewer = Viewer(dataset, settings=SETTINGS)
    try:
        viewer.press(viewer.radio("Stop"))
        wait_until(lambda: viewer.is_checked(viewer.radio("Stop")), "Stop to be pressed")
        current = SLICES - 1 - viewer.value(viewer.slider("Slice"))

        viewer.press(viewer.radio("Line"))
        expect_results(viewer, analyze(dataset, current, "--line", points), "the line results")

        viewer.press(viewer.radio("Rectangle"))
        viewer.press(viewer.check_box("2D"))
        expect_results(viewer, analyze(dataset, current, "--rectangle", points, "--2d"), "the area results")

        # The level sliders take effect in every palette, but move only where they are enabled.
        viewer.press(viewer.radio("Binary"))
        wait_until(lambda: viewer.is_showing(viewer.slider("Lower level")), "the level sliders to show")
        viewer.set_value(viewer.slider("Lower level"), 90)
        viewer.set_value(viewer.slider("Upper level"), 300)
        expect_results(viewer, analyze(dataset, current, "--rectangle", points, "--2d", "--levels", "90,300"),
                       "the area results at the new levels")

        viewer.press(viewer.button("Exit"))
        assert viewer.wait_for_exit() == 0
    finally:
        viewer.close()
    print("viewer_tools: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
