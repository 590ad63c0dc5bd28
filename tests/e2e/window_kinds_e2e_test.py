"""End-to-end cases of what counts as a locked application's window: a window of a locked
application shown by the process of a free one, and programs without a normal window. Same
desktop, witness and checks as adversarial_e2e_test.py.

Run one case: VANTREL_E2E_WM=xfwm4 window_kinds_e2e_test.py WindowKindTest.test_dialog_only
"""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from adversarial_e2e_test import AdversarialCase  # noqa: E402
from lock_e2e_test import COVER_TITLE, FREE_ID, LOCKED_ID  # noqa: E402
from virtual_desktop import wait_until  # noqa: E402


class SharedProcessTest(AdversarialCase, unittest.TestCase):

    def test_locked_application_shown_by_the_process_of_a_free_one(self):
        # One process, as an office suite: first a free application's window, then, on command,
        # a window of the locked one.
        suite = self.launch(FREE_ID, geometry="360x240+40+40")
        (free_window,), _ = suite.wait_for_windows(1)
        self.click_to_focus(free_window)
        self.desktop.type_text("one")
        # The click that focused it may reach it a moment after the keys: either order is the
        # user's click and keys.
        wait_until(lambda: "one" in self.typed_keys(self.free_key_log), 3,
                   "the free application gets its keys")

        suite.send(f"open-window-of {LOCKED_ID} {self.key_log}")
        (_, locked_window), shown = suite.wait_for_windows(2)
        self.attack_keys()
        self.assert_locked(locked_window, shown)

        # The free application's window stays free: no cover, and it takes clicks and keys.
        self.desktop.move(locked_window, 800, 400)
        wait_until(lambda: self.covering_lock(locked_window), 3, "the lock follows its window")
        self.assertFalse(
            [title for _, title, rect in self.lock_covers()
             if title == COVER_TITLE and rect.intersects(self.desktop.frame(free_window))],
            "a cover lies over the free application")
        self.click_to_focus(free_window)
        self.desktop.type_text("two")
        wait_until(lambda: "two" in self.typed_keys(self.free_key_log), 3,
                   "the free application still gets its keys")


class WindowKindTest(AdversarialCase, unittest.TestCase):
    """Programs that show no normal window are locked all the same once recognised."""

    def launch_kind(self, kind):
        app = self.launch(geometry="360x240+200+150", kind=kind)
        (window,), shown = app.wait_for_windows(1)
        self.attack_keys()
        self.assert_locked(window, shown)
        self.desktop.click(*self.desktop.geometry(window).center)
        self.attack_keys()
        time.sleep(0.2)

    def test_dialog_only(self):
        self.launch_kind("dialog")

    def test_utility_only(self):
        self.launch_kind("utility")

    def test_unmanaged_only(self):
        self.launch_kind("unmanaged")


if __name__ == "__main__":
    unittest.main()
