"""End-to-end tests of the lock on Wayland: the real Vantrel on a private headless sway with two
outputs (wayland_desktop.py), foot as the application, wtype for the user's keys and grim for what
the screen shows. The locked foot paints its background magenta and the free one cyan, so a
screenshot tells at once whether any of either shows; each one's terminal writes every key it
gets to a key log. Every failure leaves a screenshot of each output in $VANTREL_E2E_SCREENSHOTS
and prints Vantrel's and sway's logs.

Run one case: wayland_e2e_test.py LockTest.test_keys_go_to_the_prompt_not_the_application
The programs come from VANTREL_PROGRAM, VANTREL_DEFAULTS_TOOL and VANTREL_E2E_SET_PASSWORD (CTest
sets them); sway, foot, grim, wtype and swaymsg from PATH."""

import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lock_e2e_test import (DEFAULTS_TOOL, LOCK_DEADLINE, PASSWORD, SCREENSHOTS,  # noqa: E402
                           SET_PASSWORD, VANTREL, VantrelSession)
from virtual_desktop import (Rect, comes_true, holds_throughout, wait_until,  # noqa: E402
                             write_desktop_entry)
from wayland_desktop import WaylandDesktop, colour, criteria  # noqa: E402

TOOLS = ("sway", "swaymsg", "foot", "grim", "wtype", "setpriv")
# foot's own entry, from the foot package: the application on the locked list.
LOCKED_APP_ID = "foot"
LOCKED_ENTRY = "/usr/share/applications/foot.desktop"
# A second foot under an entry of its own, not on the list.
FREE_APP_ID = "vantrel-free"
LOCKED_BACKGROUND = "ff00ff"
FREE_BACKGROUND = "00ffff"
# The lock is shaded around this colour, darker at the foot; nothing else on these screens comes
# near it (sway's bare output is #3f3f3f).
LOCK_COLOUR = colour("141925")
LOCK_SHADING = 32
VANTREL_APP_ID = "com.corvane.vantrel"
# Along every edge of every output the lock shows nothing but its own colours; the prompt's card
# is in the middle of the first output.
EDGE = 40
ATTACK_TEXT = "leak"
# Its é is typed with a dead key.
ACCENTED_PASSWORD = "café au lait"
# How much of a shown foot must be its background: the rest is its cursor.
SHOWN_FRACTION = 0.95


class WaylandSession(VantrelSession):
    """Vantrel, its settings and two foot terminals on a private sway. Mixed into a
    unittest.TestCase."""

    def setUp(self):
        for program in (VANTREL, DEFAULTS_TOOL, SET_PASSWORD):
            self.assertTrue(program and os.access(program, os.X_OK), f"not a program: {program!r}")
        for tool in TOOLS:
            self.assertIsNotNone(shutil.which(tool), f"{tool} is not installed")
        self.assertTrue(os.path.isfile(LOCKED_ENTRY), f"no {LOCKED_ENTRY}: is foot installed?")
        self.vantrel = None
        self.desktop = WaylandDesktop().start()
        self.addCleanup(self.desktop.stop)
        self.key_logs = {app_id: os.path.join(self.desktop.root, f"{app_id}.keys")
                         for app_id in (LOCKED_APP_ID, FREE_APP_ID)}
        write_desktop_entry(self.desktop, FREE_APP_ID, "Free Terminal",
                            f"foot --app-id={FREE_APP_ID}", StartupWMClass=FREE_APP_ID)
        self.defaults("write", "savedIds", "-array", LOCKED_APP_ID)
        self.desktop.run([SET_PASSWORD, PASSWORD])

    def after_case(self):
        self.assertIsNone(self.vantrel.poll(), "Vantrel ended during the case")

    def on_failure(self):
        # sway may be the fault itself: what it can no longer show is left out.
        try:
            for path in self.desktop.save_screenshots(SCREENSHOTS, self.id().split(".", 1)[-1]):
                print(f"\nscreenshot of the failure: {path}", file=sys.stderr)
            print(f"views: {self.desktop.views()}", file=sys.stderr)
        except (RuntimeError, ValueError) as error:
            print(f"sway does not answer: {error}", file=sys.stderr)
        for name in ("vantrel", "sway"):
            print(f"--- {name} log ---\n{self.desktop.log(name)}", file=sys.stderr)

    # -- programs -------------------------------------------------------------------------------

    def start_vantrel(self):
        """Starts Vantrel and waits for its own window, which it shows without a tray host, as a
        sign that it is up; closes that window, as a user would, so it takes no room or keys."""
        self.vantrel = self.desktop.spawn([VANTREL], "vantrel")
        wait_until(lambda: self.vantrel.poll() is not None or self.desktop.view(VANTREL_APP_ID),
                   15, "Vantrel's window shows")
        self.assertIsNone(self.vantrel.poll(),
                          f"Vantrel ended at start-up:\n{self.desktop.log('vantrel')}")
        self.desktop.close(VANTREL_APP_ID)
        wait_until(lambda: not self.desktop.view(VANTREL_APP_ID), 5, "Vantrel's window closes")
        self.assertIsNone(self.vantrel.poll(), "closing its window ended Vantrel")

    def start_locked(self):
        """Vantrel, and the locked foot under its lock."""
        self.start_vantrel()
        self.assert_locked(self.launch_foot())

    def launch_foot(self, app_id=LOCKED_APP_ID):
        """Starts foot with its background colour and its key log; returns the moment its
        toplevel is in sway's tree."""
        background = LOCKED_BACKGROUND if app_id == LOCKED_APP_ID else FREE_BACKGROUND
        command = ["foot", "-o", f"colors.background={background}"]
        if app_id != LOCKED_APP_ID:
            command.append(f"--app-id={app_id}")
        # Raw, so that each key reaches the log as it comes, Return and all.
        command += ["sh", "-c", 'stty raw -echo && exec cat > "$0"', self.key_logs[app_id]]
        self.desktop.spawn(command, app_id)
        wait_until(lambda: self.desktop.view(app_id), 10, f"{app_id}'s toplevel appears",
                   interval=0.005)
        return time.monotonic()

    def open_second_locked_window(self):
        """Another foot: another window of the locked application."""
        self.desktop.spawn(["foot", "-o", f"colors.background={LOCKED_BACKGROUND}"], "foot-2")
        wait_until(lambda: len(self.desktop.views_of(LOCKED_APP_ID)) == 2, 10,
                   "the second window appears")

    def typed_keys(self, app_id=LOCKED_APP_ID):
        try:
            with open(self.key_logs[app_id]) as log:
                return log.read()
        except FileNotFoundError:
            return ""

    # -- what the screen shows ------------------------------------------------------------------

    def cover_faults(self):
        """What keeps the outputs from being covered by the lock: a list of findings, empty when
        every output shows none of the locked foot and the lock's colours all along its edges."""
        faults = []
        for name, rect in self.desktop.outputs():
            image = self.desktop.screenshot(name)
            shown = image.count(colour(LOCKED_BACKGROUND))
            if shown:
                faults.append(f"{name}: {shown} pixels of the locked application show")
            edges = [Rect(0, 0, rect.width, EDGE), Rect(0, rect.height - EDGE, rect.width, EDGE),
                     Rect(0, EDGE, EDGE, rect.height - 2 * EDGE),
                     Rect(rect.width - EDGE, EDGE, EDGE, rect.height - 2 * EDGE)]
            area = sum(edge.width * edge.height for edge in edges)
            lock = sum(image.count(LOCK_COLOUR, edge, LOCK_SHADING) for edge in edges)
            if lock < area:
                faults.append(f"{name}: {area - lock} of {area} pixels along the edges are not the"
                              f" lock's; commonest colours {image.colours(3)}")
        return faults

    def lock_pixels(self):
        """How many pixels of the lock's colours the outputs show."""
        return sum(self.desktop.screenshot(name).count(LOCK_COLOUR, tolerance=LOCK_SHADING)
                   for name, _ in self.desktop.outputs())

    def shown_fraction(self, app_id):
        """How much of the foot's toplevel shows its background on the screen."""
        view = self.desktop.view(app_id)
        if view is None or not view.visible:
            return 0.0
        origin = self.desktop.output_rect(view.output)
        local = Rect(view.rect.x - origin.x, view.rect.y - origin.y, view.rect.width,
                     view.rect.height)
        background = LOCKED_BACKGROUND if app_id == LOCKED_APP_ID else FREE_BACKGROUND
        image = self.desktop.screenshot(view.output)
        return image.count(colour(background), local) / (local.width * local.height)

    def is_shown_uncovered(self, app_id):
        return self.shown_fraction(app_id) >= SHOWN_FRACTION and self.lock_pixels() == 0

    def assert_locked(self, since, hold=0.5):
        """The lock covers every output within LOCK_DEADLINE of since, and stays for hold
        seconds."""
        deadline = max(0.0, LOCK_DEADLINE - (time.monotonic() - since))
        if not comes_true(lambda: not self.cover_faults(), deadline, interval=0.01):
            self.fail(f"not covered within {LOCK_DEADLINE} s: {self.cover_faults()}")
        self.assertTrue(holds_throughout(lambda: not self.cover_faults(), hold),
                        f"the lock did not hold: {self.cover_faults()}")

    def assert_not_covered(self, app_id, duration):
        """The foot shows, and no lock, at every look for duration seconds."""
        self.assertTrue(holds_throughout(lambda: self.is_shown_uncovered(app_id), duration),
                        f"{app_id} was covered: {self.shown_fraction(app_id):.0%} of it shows,"
                        f" {self.lock_pixels()} pixels of the lock's colour")

    def assert_no_key_reaches(self, app_id=LOCKED_APP_ID, wait=0.3):
        # Keys reach the key log within milliseconds; a short wait lets a stray one land.
        time.sleep(wait)
        self.assertEqual(self.typed_keys(app_id), "", f"keys reached {app_id}")

    def assert_takes_keys(self, app_id):
        self.desktop.focus(app_id)
        wait_until(lambda: getattr(self.desktop.view(app_id), "focused", False), 3,
                   f"{app_id} has the focus")
        before = self.typed_keys(app_id)
        self.desktop.type_text("ok")
        wait_until(lambda: self.typed_keys(app_id) == before + "ok", 3,
                   f"{app_id} gets the keys typed; it has {self.typed_keys(app_id)!r}")


class LockTest(WaylandSession, unittest.TestCase):

    def test_locked_application_is_covered_on_every_output(self):
        self.start_vantrel()
        shown = self.launch_foot()
        self.assert_locked(shown, hold=1.0)

    def test_locked_application_on_the_second_output_is_covered_on_every_output(self):
        self.start_vantrel()
        self.desktop.swaymsg("focus output HEADLESS-2")
        shown = self.launch_foot()
        self.assertEqual(self.desktop.view(LOCKED_APP_ID).output, "HEADLESS-2")
        self.assert_locked(shown, hold=1.0)

    def test_keys_go_to_the_prompt_not_the_application(self):
        self.start_locked()
        self.desktop.type_text(ATTACK_TEXT)
        self.desktop.key("Return")
        self.assert_no_key_reaches()
        # Focused by the compositor, the application still gets nothing.
        self.desktop.focus(LOCKED_APP_ID)
        self.desktop.type_text(ATTACK_TEXT)
        self.assert_no_key_reaches()
        self.assertEqual(self.cover_faults(), [])

    def test_password_unlocks_and_the_lock_stays_away(self):
        self.start_locked()

        self.desktop.type_text("not-the-password")
        self.desktop.key("Return")
        self.assertTrue(holds_throughout(lambda: not self.cover_faults(), 0.5),
                        "a wrong password uncovered the application")
        self.desktop.key_combo("ctrl", key="a")
        self.desktop.key("BackSpace")
        # Half the password, checked on the way, then the rest: every key went to the prompt.
        self.desktop.type_text(PASSWORD[:4])
        self.assert_no_key_reaches(wait=0.1)
        self.desktop.type_text(PASSWORD[4:])
        self.desktop.key("Return")
        wait_until(lambda: self.is_shown_uncovered(LOCKED_APP_ID), 3,
                   "the right password uncovers the application")
        self.assert_no_key_reaches(wait=0)
        self.assert_takes_keys(LOCKED_APP_ID)

        # Another window to the front and back again: unlocked until it quits.
        self.launch_foot(FREE_APP_ID)
        self.desktop.focus(FREE_APP_ID)
        self.assert_takes_keys(FREE_APP_ID)
        self.desktop.focus(LOCKED_APP_ID)
        self.assert_not_covered(LOCKED_APP_ID, 1.0)
        self.assert_takes_keys(LOCKED_APP_ID)

    def test_a_password_typed_with_a_dead_key_unlocks(self):
        self.desktop.run([SET_PASSWORD, ACCENTED_PASSWORD])
        self.start_locked()
        # The é from a dead acute and an e, as on a French or Portuguese keyboard.
        self.desktop.wtype("-d", "10", "caf", "-k", "dead_acute", "e au lait")
        self.desktop.key("Return")
        wait_until(lambda: self.is_shown_uncovered(LOCKED_APP_ID), 3,
                   "the password typed with a dead key uncovers the application")
        self.assert_no_key_reaches(wait=0)

    def test_close_shortcut_hides_the_application_and_it_locks_again(self):
        self.start_locked()
        self.desktop.key_combo("ctrl", "alt", key="q")
        wait_until(lambda: not self.desktop.view(LOCKED_APP_ID).visible, 3,
                   "the application is hidden")
        wait_until(lambda: self.lock_pixels() == 0, 3, "the lock goes")
        self.assertIsNone(self.vantrel.poll(), "Vantrel quit on the shortcut")
        self.assert_no_key_reaches(wait=0)

        # Brought back as a user would, it is covered again, and keys go to the prompt.
        self.desktop.focus(LOCKED_APP_ID)
        wait_until(lambda: self.desktop.view(LOCKED_APP_ID).visible, 3,
                   "the application comes back")
        self.assert_locked(time.monotonic())
        self.desktop.type_text(ATTACK_TEXT)
        self.assert_no_key_reaches()

    def test_application_not_on_the_list_is_never_covered(self):
        self.start_vantrel()
        self.launch_foot(FREE_APP_ID)
        wait_until(lambda: self.shown_fraction(FREE_APP_ID) >= SHOWN_FRACTION, 3,
                   "the free application draws itself")
        self.assert_not_covered(FREE_APP_ID, 2.0)
        self.assert_takes_keys(FREE_APP_ID)


class StartTest(WaylandSession, unittest.TestCase):
    """Windows open before Vantrel starts. As on X11, their applications are running from the
    start, not launched: locked from their next launch on."""

    def test_locked_application_open_at_start_is_locked_from_its_next_launch(self):
        self.launch_foot()
        self.start_vantrel()
        self.desktop.focus(LOCKED_APP_ID)
        wait_until(lambda: self.shown_fraction(LOCKED_APP_ID) >= SHOWN_FRACTION, 3,
                   "the application draws itself")
        self.assert_not_covered(LOCKED_APP_ID, 1.0)
        # A window more is the application it was, not a launch of it.
        self.open_second_locked_window()
        self.assertTrue(holds_throughout(lambda: self.lock_pixels() == 0, 1.0),
                        "a second window of the application open at start was taken for a launch")

        self.desktop.close(LOCKED_APP_ID)
        wait_until(lambda: not self.desktop.views_of(LOCKED_APP_ID), 5,
                   "every window of the application closes")
        self.assert_locked(self.launch_foot())
        self.desktop.type_text(ATTACK_TEXT)
        self.assert_no_key_reaches()


# The locked foot in a sway command.
FOOT = criteria(LOCKED_APP_ID)


class AdversarialTest(WaylandSession, unittest.TestCase):
    """What a person at the session can do to a locked application with the compositor's own
    means; after each the lock still covers every output and no key reaches the application."""

    def attack(self, *commands):
        self.start_locked()
        for command in commands:
            self.desktop.swaymsg(command)
            self.desktop.type_text(ATTACK_TEXT)
            self.assert_locked(time.monotonic(), hold=0.3)
        self.assert_no_key_reaches()

    def test_fullscreen_and_moved_to_the_other_output(self):
        self.attack(f'{FOOT} fullscreen enable',
                    f'{FOOT} fullscreen disable',
                    f'{FOOT} move to output HEADLESS-2',
                    f'{FOOT} focus')

    def test_workspace_switched_away_and_back(self):
        self.attack("workspace 2", "workspace 1", f'{FOOT} focus')

    def test_a_second_window_while_locked(self):
        self.start_locked()
        self.open_second_locked_window()
        self.assert_locked(time.monotonic())
        self.desktop.type_text(ATTACK_TEXT)
        self.assert_no_key_reaches()

    def test_an_output_added_while_locked_is_covered_too(self):
        self.start_locked()
        self.desktop.swaymsg("create_output")
        wait_until(lambda: len(self.desktop.outputs()) == 3, 5, "the third output comes")
        self.assert_locked(time.monotonic())


if __name__ == "__main__":
    unittest.main(verbosity=2)
