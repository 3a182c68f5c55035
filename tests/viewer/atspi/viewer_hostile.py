"""Hostile start-up seen by a screen reader: a one-slice dataset in a folder whose name is not UTF-8,
with a FIFO as the settings file. The window opens on it, and every control that one slice hides
(the slice selector, the limits, Speed, Start, Stop, Line, 3D, Cut) offers no action and does not
move: pressing or setting them changes nothing, and the program lives. Exit ends it with the FIFO
still a FIFO."""
import os
import stat
import subprocess
import sys
import tempfile

import pyatspi

from orvel_atspi import BIN_DIR, Viewer, wait_until, write_phantom

HIDDEN_SLIDERS = ("Slice", "Speed", "Bottom selection limit", "Top selection limit")
HIDDEN_BUTTONS = ("Start", "Stop", "Line", "3D", "Cut")


class FifoSettingsViewer(Viewer):
    """The viewer with a FIFO where its settings file belongs; nothing ever writes to it."""

    def __init__(self, dataset_file):
        self.config = tempfile.mkdtemp(prefix="orvel-atspi-config-")
        os.mkfifo(os.path.join(self.config, "orvel.ini"))
        environment = dict(os.environ, XDG_CONFIG_HOME=self.config)
        self.process = subprocess.Popen([os.path.join(BIN_DIR, "orvel"), dataset_file], env=environment)
        self.window = wait_until(self._find_window, "the viewer window on the accessibility bus")

    def named(self, name):
        found = pyatspi.findDescendant(self.window, lambda node: node.name == name)
        assert found is not None, "no control named %r" % name
        return found


def main():
    # The folder name holds byte 0xE9 (Latin-1 "é"), which is no UTF-8.
    folder = tempfile.mkdtemp(prefix="orvel-atspi-" + os.fsdecode(b"\xe9") + "-")
    dataset = write_phantom(folder, slices=1, size="64x64")
    viewer = FifoSettingsViewer(dataset)
    try:
        caption = viewer.caption()
        assert caption == "phantom0000.bmp", caption
        for name in HIDDEN_SLIDERS:
            slider = viewer.named(name)
            assert not viewer.is_showing(slider), name + " shows on one slice"
            before = viewer.value(slider)
            viewer.set_value(slider, before + 1)
            assert viewer.value(slider) == before, name + " moved"
        for name in HIDDEN_BUTTONS:
            actions = viewer.named(name).queryAction()
            assert actions.nActions == 0, name + " offers an action"
        # Anything a press would have started has had its turn by the time the window answers.
        wait_until(lambda: viewer.caption() == caption, "the window to answer")
        assert viewer.process.poll() is None
        assert viewer.results() == "", viewer.results()

        viewer.press(viewer.button("Exit"))
        assert viewer.wait_for_exit() == 0
        assert stat.S_ISFIFO(os.lstat(os.path.join(viewer.config, "orvel.ini")).st_mode)
    finally:
        viewer.close()
    print("viewer_hostile: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
