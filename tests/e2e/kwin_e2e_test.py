"""End-to-end tests of the lock on KDE Plasma's compositor: the real Vantrel on a private headless
KWin with two outputs (kwin_desktop.py), our test application as the locked application, KWin's
fake input for the user's keys and its screenshots for what the screen shows. The test
application paints its window #d03030, a colour nothing else on these screens has, so a screenshot
tells at once whether any of it shows, KWin's Overview and window switcher included.

Run one case: kwin_e2e_test.py KWinLockTest.test_keys_go_to_the_prompt_and_the_password_unlocks
The programs come from VANTREL_PROGRAM, VANTREL_DEFAULTS_TOOL, VANTREL_E2E_APP,
VANTREL_E2E_SET_PASSWORD and VANTREL_E2E_KWIN_INPUT (CTest sets them); kwin_wayland from PATH."""

import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from kwin_desktop import KWinDesktop  # noqa: E402
from lock_e2e_test import (DEFAULTS_TOOL, LOCK_DEADLINE, PASSWORD, SCREENSHOTS,  # noqa: E402
                           SET_PASSWORD, TEST_APP, VANTREL, VantrelSession)
from virtual_desktop import holds_throughout, wait_until, write_desktop_entry  # noqa: E402
from wayland_desktop import colour  # noqa: E402

# On Wayland the test application's app_id is its program's name: its entry is the locked one.
LOCKED_APP_ID = "vantrel-e2e-app"
APP_COLOUR = colour("d03030")
VANTREL_APP_ID = "com.corvane.vantrel"
ATTACK_TEXT = "leak"
# What a window's marks look like to KWin's own scripts.
MARKS = ("skipSwitcher", "skipTaskbar", "skipPager")


class KWinLockTest(VantrelSession, unittest.TestCase):
    def setUp(self):
        for program in (VANTREL, DEFAULTS_TOOL, SET_PASSWORD, TEST_APP,
                        os.environ.get("VANTREL_E2E_KWIN_INPUT")):
            self.assertTrue(program and os.access(program, os.X_OK), f"not a program: {program!r}")
        self.assertIsNotNone(shutil.which("kwin_wayland"), "kwin_wayland is not installed")
        self.vantrel = None
        # Off but for the installed package's check: then only its entry lets Vantrel in.
        self.desktop = KWinDesktop(
            permission_checks=os.environ.get("VANTREL_E2E_KWIN_PERMISSION_CHECKS") == "1").start()
        self.addCleanup(self.desktop.stop)
        self.key_log = os.path.join(self.desktop.root, "keys.txt")
        write_desktop_entry(self.desktop, LOCKED_APP_ID, "Locked Test App", TEST_APP)
        self.defaults("write", "savedIds", "-array", LOCKED_APP_ID)
        self.desktop.run([SET_PASSWORD, PASSWORD])

    def after_case(self):
        self.assertIsNone(self.vantrel.poll(), "Vantrel ended during the case")

    def on_failure(self):
        if isinstance(sys.exc_info()[1], unittest.SkipTest):
            return  # a case that cannot run here leaves nothing to look at
        try:
            for path in self.desktop.save_screenshots(SCREENSHOTS, self.id().split(".", 1)[-1]):
                print(f"\nscreenshot of the failure: {path}", file=sys.stderr)
            print(f"views: {self.desktop.views()}", file=sys.stderr)
        except (RuntimeError, ValueError, OSError) as error:
            print(f"KWin does not answer: {error}", file=sys.stderr)
        for name in ("vantrel", "kwin"):
            print(f"--- {name} log ---\n{self.desktop.log(name)}", file=sys.stderr)

    # -- programs -------------------------------------------------------------------------------

    def start_vantrel(self):
        """Starts Vantrel and waits for its own window, shown for want of a tray; closes it."""
        self.vantrel = self.desktop.spawn([VANTREL], "vantrel")
        wait_until(lambda: self.vantrel.poll() is not None or self.desktop.view(VANTREL_APP_ID),
                   15, "Vantrel's window shows")
        self.assertIsNone(self.vantrel.poll(),
                          f"Vantrel ended at start-up:\n{self.desktop.log('vantrel')}")
        self.desktop.close(VANTREL_APP_ID)
        wait_until(lambda: not self.desktop.view(VANTREL_APP_ID), 5, "Vantrel's window closes")

    def launch_locked(self):
        self.desktop.spawn([TEST_APP, "--key-log", self.key_log], "app")
        wait_until(lambda: self.desktop.view(LOCKED_APP_ID), 10, "the application's window appears",
                   interval=0.005)
        return time.monotonic()

    def typed_keys(self):
        try:
            with open(self.key_log, newline="") as log:
                return log.read()
        except FileNotFoundError:
            return ""

    # -- what the screen shows ------------------------------------------------------------------

    def app_pixels(self):
        return self.desktop.screenshot().count(APP_COLOUR, tolerance=8)

    def window_marks(self):
        """For each window of the locked application: its opacity and marks, as KWin has them."""
        return [(view.get("opacity"), tuple(view.get(mark) for mark in MARKS))
                for view in self.desktop.windows() if view.get("app_id") == LOCKED_APP_ID]

    def assert_locked(self, launched):
        wait_until(lambda: self.app_pixels() == 0, LOCK_DEADLINE + 1.0,
                   "the locked application is out of sight")
        self.assertTrue(holds_throughout(lambda: self.app_pixels() == 0, 1.0),
                        "the locked application showed again")
        self.assertLess(time.monotonic() - launched, 10)

    # -- cases ----------------------------------------------------------------------------------

    def test_keys_go_to_the_prompt_and_the_password_unlocks(self):
        self.start_vantrel()
        self.assert_locked(self.launch_locked())
        self.desktop.type_text(ATTACK_TEXT)
        self.desktop.key("Return")
        # Activated by KWin, as a click on its tile in the Overview does, it still gets nothing.
        self.desktop.focus(LOCKED_APP_ID)
        self.desktop.type_text(ATTACK_TEXT)
        self.assertTrue(holds_throughout(lambda: self.typed_keys() == "", 1.0),
                        f"keys reached the locked application: {self.typed_keys()!r}")
        self.assertEqual(self.app_pixels(), 0)

        # A wrong password stays in the field: what the user types goes after it.
        self.desktop.key_combo("ctrl", key="a")
        self.desktop.key("BackSpace")
        self.desktop.focus(LOCKED_APP_ID)
        self.assert_locked(time.monotonic())
        self.desktop.type_text(PASSWORD)
        self.desktop.key("Return")
        wait_until(lambda: self.app_pixels() > 0, 5, "the unlocked application shows")
        self.assertEqual(self.typed_keys(), "", "the password reached the application")
        self.desktop.focus(LOCKED_APP_ID)
        self.desktop.type_text("ok")
        wait_until(lambda: self.typed_keys() == "ok", 5,
                   f"keys reach the unlocked application; it has {self.typed_keys()!r}")

    def assert_marked(self):
        wait_until(lambda: self.window_marks() and all(
            opacity == 0 and all(marks) for opacity, marks in self.window_marks()), 5,
            f"KWin's views are told to leave the window out: {self.window_marks()}")

    def assert_shown_in(self, views):
        for name, view in views:
            view(True)
            try:
                self.assertTrue(holds_throughout(lambda: self.app_pixels() == 0, 1.0),
                                f"{name} shows the locked application")
            finally:
                view(False)

    def unlock_and_assert_unmarked(self):
        self.desktop.type_text(PASSWORD)
        self.desktop.key("Return")
        wait_until(lambda: self.app_pixels() > 0, 5, "the unlocked application shows")
        wait_until(lambda: all(opacity == 1 and not any(marks)
                               for opacity, marks in self.window_marks()), 5,
                   f"the window's marks are taken off: {self.window_marks()}")

    def test_the_window_switcher_never_shows_it_while_locked(self):
        self.start_vantrel()
        self.assert_locked(self.launch_locked())
        self.assert_marked()
        self.assert_shown_in([("the window switcher", self.desktop.window_switcher)])
        self.unlock_and_assert_unmarked()

    def test_the_overview_and_present_windows_never_show_it_while_locked(self):
        # Both need OpenGL, which KWin 6 has only with a render node.
        missing = [effect for effect in ("overview", "windowview")
                   if not self.desktop.effect_supported(effect)]
        if missing:
            self.skipTest(f"KWin cannot run {', '.join(missing)} here: it paints with "
                          f"{self.desktop.compositing_type()}")
        self.start_vantrel()
        self.assert_locked(self.launch_locked())
        self.assert_marked()
        self.assert_shown_in([("the Overview", self.desktop.overview),
                              ("Present Windows", self.desktop.present_windows)])
        # Unlocked, it is back in the Overview.
        self.unlock_and_assert_unmarked()
        self.desktop.overview(True)
        try:
            wait_until(lambda: self.app_pixels() > 0, 3, "the Overview shows the unlocked window")
        finally:
            self.desktop.overview(False)

    def test_quitting_vantrel_takes_the_marks_off(self):
        self.start_vantrel()
        self.assert_locked(self.launch_locked())
        wait_until(lambda: self.window_marks() and self.window_marks()[0][0] == 0, 5,
                   "the window is marked")
        self.vantrel.terminate()
        self.assertEqual(self.vantrel.wait(10), 0, self.desktop.log("vantrel"))  # SIGTERM quits cleanly
        wait_until(lambda: all(opacity == 1 and not any(marks)
                               for opacity, marks in self.window_marks()), 5,
                   f"the window's marks are taken off: {self.window_marks()}")
        self.desktop.focus(LOCKED_APP_ID)
        wait_until(lambda: self.app_pixels() > 0, 5, "the application shows again")
        self.vantrel = self.desktop.spawn(["true"], "stand-in")  # after_case's check
        self.vantrel.wait(5)
        self.vantrel = _Ended()


class _Ended:
    """Vantrel quit on purpose in the case."""

    @staticmethod
    def poll():
        return None


if __name__ == "__main__":
    unittest.main(verbosity=2)
