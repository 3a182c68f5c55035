"""The viewer seen by a screen reader: it opens a generated dataset and plays it, Stop and
Colour 1 respond, setting "Slice" shows that slice, and Exit keeps the line points."""
import re
import sys
import tempfile

from orvel_atspi import Viewer, wait_until, write_phantom

SLICES = 12


def main():
    dataset = write_phantom(tempfile.mkdtemp(prefix="orvel-atspi-data-"), slices=SLICES, size="128x128")
    viewer = Viewer(dataset.replace("phantom0000", "phantom0005"))  # any member opens the series
    try:
        # Playing: the caption is the title without extension and "Slice" moves by itself.
        wait_until(lambda: re.fullmatch(r"phantom\d{4}", viewer.caption()), "the caption of a playing slice")
        slice_slider = viewer.slider("Slice")
        first = viewer.value(slice_slider)
        wait_until(lambda: viewer.value(slice_slider) != first, "playback to move the slice selector")

        viewer.press(viewer.radio("Stop"))
        wait_until(lambda: viewer.is_checked(viewer.radio("Stop")), "Stop to be pressed")
        wait_until(lambda: not viewer.is_checked(viewer.radio("Start")), "Start to be released")
        stopped_at = viewer.value(slice_slider)
        viewer.press(viewer.radio("Colour 1"))
        wait_until(lambda: viewer.is_checked(viewer.radio("Colour 1")), "Colour 1 to be checked")
        wait_until(lambda: viewer.is_showing(viewer.slider("Lower level")), "the level sliders to show")
        assert viewer.value(slice_slider) == stopped_at, "the slice moved after Stop"

        # Slider position p names slice count - 1 - p: the top of the selector is the last slice.
        # (A value equal to the position changes nothing, so the user's value differs from it.)
        chosen = 4 if stopped_at != 4 else 5
        viewer.set_value(slice_slider, chosen)
        wait_until(lambda: viewer.caption() == "phantom%04d.bmp" % (SLICES - 1 - chosen), "the chosen slice's caption")

        viewer.press(viewer.button("Exit"))
        assert viewer.wait_for_exit() == 0
        settings = viewer.settings_text()
        for line in ("[Startpoint]", "x=5", "y=64", "[Stoppoint]", "x=123", "y=66"):
            assert line in settings.splitlines(), "settings file lacks %r:\n%s" % (line, settings)
    finally:
        viewer.close()
    print("viewer_playback: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
