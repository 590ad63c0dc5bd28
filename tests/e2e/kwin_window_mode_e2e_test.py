"""End-to-end tests of the lock's window mode on KDE Plasma's compositor: KWin tells where windows
are, so the prompt stands over the locked window and follows it, other windows of it get plain
covers, and full-screen lock mode covers every output. The locked application's own pixels never
show there (KWin's marks make it transparent), so what these cases look at is where the lock's
surfaces are: every pixel of a locked window's place is the lock's, and the bare desktop (black)
shows elsewhere.

Run one case: kwin_window_mode_e2e_test.py KWinWindowModeTest.test_the_prompt_follows_a_move
The programs come from the environment kwin_e2e_test.py names."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kwin_e2e_test  # noqa: E402
from lock_e2e_test import TEST_APP  # noqa: E402
from virtual_desktop import Rect, wait_until  # noqa: E402

DESKTOP = (0, 0, 0)  # KWin's bare desktop here; nothing of the lock is black
SECOND_OUTPUT_X = 1280


LOCKED_APP_ID = kwin_e2e_test.LOCKED_APP_ID


class KWinWindowModeTest(kwin_e2e_test.KWinLockTest):
    # The cases of the class it builds on run from their own file.
    test_keys_go_to_the_prompt_and_the_password_unlocks = None
    test_the_window_switcher_never_shows_it_while_locked = None
    test_the_overview_and_present_windows_never_show_it_while_locked = None
    test_quitting_vantrel_takes_the_marks_off = None

    def launch_locked(self):
        self.control = os.path.join(self.desktop.root, "control")
        os.mkfifo(self.control)
        os.chmod(self.control, 0o666)
        self.desktop.spawn([TEST_APP, "--key-log", self.key_log, "--control", self.control],
                           "app")
        wait_until(lambda: self.desktop.view(LOCKED_APP_ID), 10, "the application's window appears")
        return time.monotonic()

    def send(self, command):
        with open(self.control, "w") as control:
            control.write(command + "\n")

    def place(self, x, y, width, height, index=0):
        """What a user's drag does: KWin moves and resizes the window."""
        self.desktop.run_script(f"""
            matching("{LOCKED_APP_ID}").slice({index}, {index + 1}).forEach(function (c) {{
                c.frameGeometry = {{x: {x}, y: {y}, width: {width}, height: {height}}};
            }});""")

    def window_rects(self):
        return [view.rect for view in self.desktop.views_of(LOCKED_APP_ID)
                if not view.in_scratchpad]

    def uncovered(self, rect):
        """How many pixels of rect (in workspace coordinates) show the bare desktop."""
        return self.desktop.screenshot().count(DESKTOP, rect)

    def assert_windows_covered(self, what):
        wait_until(lambda: self.window_rects() and all(self.uncovered(rect) == 0
                                                       for rect in self.window_rects()),
                   5, f"{what}: every window of the locked application is under the lock "
                      f"({self.window_rects()})")

    def assert_desktop_shows(self, rect, what):
        wait_until(lambda: self.uncovered(rect) == rect.width * rect.height, 5,
                   f"{what}: the desktop at {rect} is not covered")

    def test_the_prompt_stands_over_the_window_and_follows_a_move_and_a_resize(self):
        self.start_vantrel()
        self.launch_locked()
        self.assert_windows_covered("at launch")
        # Window mode: the rest of the screen, and the other output, stay the user's.
        self.assert_desktop_shows(Rect(0, 0, 200, 150), "at launch")
        self.assert_desktop_shows(Rect(SECOND_OUTPUT_X, 0, 1280, 800), "at launch")

        self.place(40, 40, 360, 240)
        self.assert_windows_covered("moved to the top left")
        self.assert_desktop_shows(Rect(900, 600, 300, 150), "moved to the top left")

        self.place(40, 40, 900, 650)
        self.assert_windows_covered("made larger than the prompt")

        self.place(SECOND_OUTPUT_X + 300, 200, 400, 300)
        self.assert_windows_covered("moved to the second output")
        self.assert_desktop_shows(Rect(0, 0, 1280, 800), "moved to the second output")

    def test_a_second_window_gets_a_cover_of_its_own(self):
        self.start_vantrel()
        self.launch_locked()
        self.assert_windows_covered("at launch")
        self.send("open-window")
        wait_until(lambda: len(self.window_rects()) == 2, 10, "the second window appears")
        self.place(SECOND_OUTPUT_X + 600, 400, 300, 200, index=1)
        self.assert_windows_covered("with a second window")
        self.assert_desktop_shows(Rect(SECOND_OUTPUT_X, 0, 300, 300), "with a second window")

    def test_full_screen_mode_covers_every_output(self):
        self.defaults("write", "isEnableFullscreenLockMode", "-bool", "true")
        self.start_vantrel()
        self.launch_locked()
        wait_until(lambda: self.desktop.screenshot().count(DESKTOP) == 0, 5,
                   "both outputs are covered whole")


if __name__ == "__main__":
    unittest.main()
