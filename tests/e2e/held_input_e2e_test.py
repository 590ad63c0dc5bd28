"""End-to-end cases of the input Vantrel holds while the desktop takes on a window: clicks wait in
the X server as keys do, and nothing Vantrel reads meanwhile can keep them waiting. Same desktop,
witness and checks as adversarial_e2e_test.py.

Run one case: VANTREL_E2E_WM=xfwm4 held_input_e2e_test.py ClickTest.test_clicks_as_the_window_appears
"""

import os
import shutil
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from adversarial_e2e_test import AdversarialCase  # noqa: E402
from lock_e2e_test import FREE_ID  # noqa: E402
from virtual_desktop import wait_until  # noqa: E402

# Where the test application's window stands when given this geometry, and a spot inside it
# whatever frame the window manager adds.
GEOMETRY = "360x240+300+200"
INSIDE = (480, 330)


class ClickTest(AdversarialCase, unittest.TestCase):

    def hammer_clicks(self, at):
        """Clicks at `at` as fast as xdotool can until the returned stop function is called."""
        stop = threading.Event()

        def hammer():
            while not stop.is_set():
                self.desktop.run(["xdotool", "mousemove", str(at[0]), str(at[1]), "click",
                                  "--repeat", "20", "--delay", "3", "1"], check=False)
        clicker = threading.Thread(target=hammer)
        clicker.start()

        def stopped():
            stop.set()
            clicker.join()
        return stopped

    def test_clicks_as_the_window_appears(self):
        stop = self.hammer_clicks(INSIDE)
        try:
            app = self.launch(geometry=GEOMETRY)
            (window,), shown = app.wait_for_windows(1)
            self.assert_locked(window, shown)
            time.sleep(0.3)
        finally:
            stop()

    def test_clicks_as_the_window_comes_back(self):
        _, window, _ = self.launch_locked(geometry=GEOMETRY)
        # Hidden from the lock window, then brought back under a stream of clicks, twice: from
        # minimised and from another desktop.
        self.desktop.key("ctrl+alt+q")
        wait_until(lambda: self.desktop.is_hidden(window), 3, "the application hides")
        stop = self.hammer_clicks(INSIDE)
        try:
            self.desktop.activate(window)
            wait_until(lambda: self.desktop.is_viewable(window), 3, "the window is back")
            self.assert_locked(window, time.monotonic())
            self.desktop.xdotool("set_desktop", 1)
            wait_until(lambda: not self.desktop.is_viewable(window), 3, "another desktop shows")
            self.desktop.xdotool("set_desktop", 0)
            wait_until(lambda: self.desktop.is_viewable(window), 3, "the window is back")
            self.assert_locked(window, time.monotonic())
            time.sleep(0.3)
        finally:
            stop()


class StuckReadTest(AdversarialCase, unittest.TestCase):

    def test_a_bundle_whose_info_plist_never_answers(self):
        # A running program in a bundle whose Info.plist is a pipe nobody writes to: reading it
        # would wait for ever.
        bundle = os.path.join(self.desktop.root, "Stuck.app", "Contents")
        os.makedirs(os.path.join(bundle, "MacOS"))
        program = os.path.join(bundle, "MacOS", "stuck")
        shutil.copy("/bin/sleep", program)
        os.mkfifo(os.path.join(bundle, "Info.plist"))
        self.desktop.spawn([program, "120"], "stuck")

        free = self.launch(FREE_ID, geometry=GEOMETRY)
        (window,), _ = free.wait_for_windows(1)
        wait_until(lambda: self.desktop.input_focus() == window, 3,
                   "the new window has the keyboard")
        typed = time.monotonic()
        self.desktop.type_text("free", delay=1)
        wait_until(lambda: self.typed_keys(self.free_key_log) == "free", 1,
                   "the new window gets its keys at once")
        self.assertLess(time.monotonic() - typed, 1)
        # And Vantrel still does its job.
        _, locked_window, _ = self.launch_locked(geometry="360x240+700+300")
        self.attack_keys()


if __name__ == "__main__":
    unittest.main()
