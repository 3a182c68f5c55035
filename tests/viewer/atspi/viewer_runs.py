"""The 3D model and the cut seen by a screen reader: "3D" leaves orvel-analyze's text in the results
box; "Cut" opens the save dialog, whose controls go by their captions and names ("Save as BMP",
"JPEG quality", "Image"), and "Cancel" ends it with the viewer's line tool off. Both presses
answer at once, before the run or the dialog ends, as a screen reader waits for the answer. With
ORVEL_SCREENSHOT_DIR set, the screen is saved there with the finished 3D text and with the save
dialog showing a cut in Colour 1."""
import json
import os
import subprocess
import sys
import tempfile

import pyatspi

from orvel_atspi import BIN_DIR, Viewer, wait_until, write_phantom

SLICES = 30
START, STOP = (40, 60), (230, 200)


class SelectionViewer(Viewer):
    """The viewer started with the selection points of an earlier session in its settings file."""

    def __init__(self, dataset_file, start, stop):
        self.config = tempfile.mkdtemp(prefix="orvel-atspi-config-")
        with open(os.path.join(self.config, "orvel.ini"), "w", encoding="ascii") as settings:
            settings.write("[Startpoint]\nx=%d\ny=%d\n[Stoppoint]\nx=%d\ny=%d\n" % (start + stop))
        environment = dict(os.environ, XDG_CONFIG_HOME=self.config)
        self.process = subprocess.Popen([os.path.join(BIN_DIR, "orvel"), dataset_file], env=environment)
        self.window = wait_until(self._find_window, "the viewer window on the accessibility bus")

    def results(self):
        box = self.find("Results", pyatspi.ROLE_TEXT)
        return box.queryText().getText(0, -1)


def screenshot(name):
    directory = os.environ.get("ORVEL_SCREENSHOT_DIR")
    if directory:
        subprocess.run(["import", "-window", "root", os.path.join(directory, name)], check=True)


def analyze_text(dataset, *arguments):
    output = subprocess.run([os.path.join(BIN_DIR, "orvel-analyze"), dataset, *arguments, "--json"], check=True,
                            capture_output=True, text=True).stdout
    return json.loads(output)["model"]["text"].replace("\r", "").rstrip("\n")


def orvel_windows():
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == "orvel":
            return [window for window in application if window is not None]
    return []


def save_dialog():
    """The window holding "Save as BMP", once the cut has opened it."""
    for window in orvel_windows():
        window.clear_cache()
        found = pyatspi.findDescendant(window, lambda node: node.name == "Save as BMP")
        if found is not None:
            return window
    return None


def named(window, name, role=None):
    found = pyatspi.findDescendant(window, lambda node: node.name == name and role in (None, node.getRole()))
    assert found is not None, "the save dialog has no %r with role %s" % (name, role)
    return found


def main():
    dataset = write_phantom(tempfile.mkdtemp(prefix="orvel-atspi-data-"), slices=SLICES, size="256x256")
    viewer = SelectionViewer(dataset, START, STOP)
    try:
        viewer.press(viewer.radio("Stop"))
        viewer.press(viewer.radio("Binary"))
        viewer.press(viewer.radio("Rectangle"))
        wait_until(lambda: viewer.is_checked(viewer.radio("Rectangle")), "the rectangle tool")
        viewer.press(viewer.find("3D", pyatspi.ROLE_CHECK_BOX))
        points = "%d,%d,%d,%d" % (START + STOP)
        expected = analyze_text(dataset, "--rectangle", points, "--3d")
        wait_until(lambda: viewer.results() == expected, "the finished 3D text:\n" + expected)
        screenshot("viewer-3d.png")

        viewer.press(viewer.radio("Rectangle"))
        viewer.press(viewer.radio("Colour 1"))
        viewer.press(viewer.radio("Line"))
        wait_until(lambda: viewer.is_checked(viewer.radio("Line")), "the line tool")
        # The press answers at once, as a screen reader waits for it: the cut and its dialog follow.
        viewer.press(named(viewer.window, "Cut"))
        dialog = wait_until(save_dialog, "the save dialog")
        for caption in ("Save as BMP", "Save as JPG", "Cancel"):
            named(dialog, caption, pyatspi.ROLE_PUSH_BUTTON)
        named(dialog, "Image")
        quality = named(dialog, "JPEG quality", pyatspi.ROLE_SLIDER)
        assert int(quality.queryValue().currentValue) == 75
        quality.queryValue().currentValue = 40
        wait_until(lambda: pyatspi.findDescendant(dialog, lambda node: node.name == "40%") is not None,
                   "the quality label to read 40%")
        screenshot("save-dialog-cut.png")

        named(dialog, "Cancel", pyatspi.ROLE_PUSH_BUTTON).queryAction().doAction(0)
        wait_until(lambda: not viewer.is_checked(viewer.radio("Line")), "the line tool off after the cut")
        assert viewer.results() == "", viewer.results()
    finally:
        viewer.close()
    print("viewer_runs: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
