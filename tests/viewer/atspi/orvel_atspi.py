"""Driving the Orvel viewer through AT-SPI, as assistive technology does: start the program on a
dataset, find its controls by accessible name and role, press them, read and set values.
Used by the scripts that tests/viewer/atspi/run runs."""
import os
import subprocess
import tempfile
import time

import pyatspi

BIN_DIR = os.environ.get("ORVEL_BIN_DIR", "build/bin")


def wait_until(predicate, what, timeout=20.0):
    """The predicate's first true value, polled until the timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


def write_phantom(directory, slices=12, size="128x128", image_format="bmp"):
    """A generated dataset; returns the path of its first slice."""
    subprocess.run([os.path.join(BIN_DIR, "orvel-phantom"), directory, "--slices", str(slices),
                    "--size", size, "--format", image_format], check=True, stdout=subprocess.DEVNULL)
    return os.path.join(directory, "phantom0000." + image_format)


class Viewer:
    """The orvel program on one dataset file, with a settings directory of its own."""

    def __init__(self, dataset_file, settings=""):
        self.config = tempfile.mkdtemp(prefix="orvel-atspi-config-")
        if settings:
            with open(os.path.join(self.config, "orvel.ini"), "w", encoding="ascii") as file:
                file.write(settings)
        environment = dict(os.environ, XDG_CONFIG_HOME=self.config)
        self.process = subprocess.Popen([os.path.join(BIN_DIR, "orvel"), dataset_file], env=environment)
        self.window = wait_until(self._find_window, "the viewer window on the accessibility bus")

    def _find_window(self):
        if self.process.poll() is not None:
            raise AssertionError("orvel ended with status %d" % self.process.returncode)
        desktop = pyatspi.Registry.getDesktop(0)
        for application in desktop:
            if application is None or application.name != "orvel":
                continue
            for window in application:
                if window is not None and window.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME):
                    return window
        return None

    def caption(self):
        self.window.clear_cache()
        return self.window.name

    def find(self, name, role):
        """The control with this accessible name and role (names such as "Results" are shared)."""
        def matches(node):
            node.clear_cache()
            return node.name == name and node.getRole() == role
        found = pyatspi.findDescendant(self.window, matches)
        if found is None:
            raise AssertionError("no control named %r with role %s" % (name, role))
        return found

    def button(self, name):
        return self.find(name, pyatspi.ROLE_PUSH_BUTTON)

    def radio(self, name):
        return self.find(name, pyatspi.ROLE_RADIO_BUTTON)

    def slider(self, name):
        return self.find(name, pyatspi.ROLE_SLIDER)

    def check_box(self, name):
        return self.find(name, pyatspi.ROLE_CHECK_BOX)

    def results(self):
        """The text of the results box ("Results" also names its group box)."""
        text = self.find("Results", pyatspi.ROLE_TEXT).queryText()
        return text.getText(0, text.characterCount)

    @staticmethod
    def press(control):
        """The control's first action: press, or toggle for radio buttons and check boxes."""
        control.queryAction().doAction(0)

    @staticmethod
    def is_checked(control):
        control.clear_cache()
        return control.getState().contains(pyatspi.STATE_CHECKED)

    @staticmethod
    def is_showing(control):
        control.clear_cache()
        return control.getState().contains(pyatspi.STATE_SHOWING)

    @staticmethod
    def value(slider):
        return int(slider.queryValue().currentValue)

    @staticmethod
    def set_value(slider, value):
        slider.queryValue().currentValue = value

    def wait_for_exit(self, timeout=20.0):
        return self.process.wait(timeout)

    def settings_text(self):
        path = os.path.join(self.config, "orvel.ini")
        if not os.path.exists(path):
            return ""
        with open(path, encoding="ascii") as settings:
            return settings.read()

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
