"""End-to-end tests of the lock: the real Vantrel on a private virtual desktop, a test application
with a desktop entry in the sandbox, and xdotool for the user's keys. Every failure leaves a
screenshot in $VANTREL_E2E_SCREENSHOTS.

Run one case: lock_e2e_test.py LockTest.test_wrong_password_leaves_the_lock_up
The programs come from VANTREL_PROGRAM, VANTREL_DEFAULTS_TOOL, VANTREL_E2E_APP and
VANTREL_E2E_SET_PASSWORD (CTest sets them); the window manager from VANTREL_E2E_WM (openbox, the
default, or xfwm4)."""

import os
import subprocess
import sys
import time
import types
import unittest


sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from virtual_desktop import (SCREEN_HEIGHT, SCREEN_WIDTH, Rect, VirtualDesktop,  # noqa: E402
                             holds_throughout, wait_until, write_desktop_entry)

VANTREL = os.environ.get("VANTREL_PROGRAM", "")
DEFAULTS_TOOL = os.environ.get("VANTREL_DEFAULTS_TOOL", "")
TEST_APP = os.environ.get("VANTREL_E2E_APP", "")
SET_PASSWORD = os.environ.get("VANTREL_E2E_SET_PASSWORD", "")
SCREENSHOTS = os.environ.get("VANTREL_E2E_SCREENSHOTS", os.path.join(os.getcwd(), "screenshots"))

LOCKED_ID = "vantrel-e2e-locked"
FREE_ID = "vantrel-e2e-free"
PASSWORD = "s3cret-Pw"
# The lock covers a window the moment it appears; the prompt must stand within 0.5 s of it.
LOCK_DEADLINE = 0.5
MINIMUM_SIDE = 500
# Vantrel's own windows over a locked application: the prompt and the plain covers.
LOCK_TITLE = "Vantrel"
COVER_TITLE = "Vantrel cover"


class RefusalTest(unittest.TestCase):
    """Without X11, Vantrel refuses at once and says why."""

    def run_vantrel(self, env):
        return subprocess.run([VANTREL], env=env, stdin=subprocess.DEVNULL, capture_output=True,
                              text=True, timeout=20)

    def base_environment(self):
        return {key: value for key, value in os.environ.items()
                if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                               "XDG_SESSION_TYPE")}

    def test_refuses_without_an_x_display(self):
        env = self.base_environment()
        result = self.run_vantrel(env)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("needs an X11 session", result.stderr)
        env["DISPLAY"] = ":999"  # nothing listens there
        result = self.run_vantrel(env)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("needs an X11 session", result.stderr)

    def test_refuses_on_wayland(self):
        env = self.base_environment()
        env.update(XDG_SESSION_TYPE="wayland", WAYLAND_DISPLAY="wayland-0", DISPLAY=":0")
        result = self.run_vantrel(env)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("Wayland", result.stderr)
        self.assertEqual(result.stdout, "")


class VantrelSession:
    """What a test case needs to drive the real Vantrel on its own virtual desktop: the sandbox,
    the desktop entries, the password, Vantrel started with its popover out of the way, and where
    its lock stands. Mixed into a unittest.TestCase."""

    def __init__(self, method_name="runTest"):
        super().__init__(method_name)
        test = getattr(self, method_name, None)
        if test is None:
            return

        # What the case checks at its end, and what a failure leaves behind before the sandbox
        # goes.
        def checked(_self):
            try:
                result = test()
                self.after_case()
                return result
            except BaseException:
                self.on_failure()
                raise
        setattr(self, method_name, types.MethodType(checked, self))

    def after_case(self):
        pass

    def on_failure(self):
        self.screenshot_on_failure()

    def prepare_sandbox(self, programs=(), **desktop_options):
        """Starts the desktop (VirtualDesktop's options) and readies the sandbox; programs are
        further ones the case needs."""
        for program in (VANTREL, DEFAULTS_TOOL, TEST_APP, SET_PASSWORD, *programs):
            self.assertTrue(program and os.access(program, os.X_OK), f"not a program: {program!r}")
        self.desktop = VirtualDesktop(**desktop_options).start()
        self.addCleanup(self.desktop.stop)
        self.key_log = os.path.join(self.desktop.root, "keys.txt")
        for identifier, name in ((LOCKED_ID, "Locked Test App"), (FREE_ID, "Free Test App")):
            write_desktop_entry(self.desktop, identifier, name, f"{TEST_APP} -name {identifier}")
        self.defaults("write", "savedIds", "-array", LOCKED_ID)
        self.desktop.run([SET_PASSWORD, PASSWORD])

    def screenshot_on_failure(self):
        path = os.path.join(SCREENSHOTS, self.id().split(".", 1)[-1] + ".png")
        if self.desktop.screenshot(path):
            print(f"\nscreenshot of the failure: {path}", file=sys.stderr)
        for name in ("vantrel", self.desktop.window_manager):
            print(f"--- {name} log ---\n{self.desktop.log(name)}", file=sys.stderr)

    def defaults(self, *arguments):
        self.desktop.run([DEFAULTS_TOOL, *arguments])

    def start_vantrel(self):
        self.vantrel = self.desktop.spawn([VANTREL], "vantrel")
        # Its popover opens by itself 1 s after start, once the program is up; the panel has a
        # tray, so it always opens. It is waited for even on a slow machine: opened later, in
        # the middle of a case, it would hold the keyboard. A click on the desktop closes it, as
        # it would for a user who goes on to start an application.
        started = time.monotonic()
        wait_until(lambda: self.vantrel.poll() is not None or self.popover_is_open(), 15,
                   "Vantrel's popover opens")
        self.assertIsNone(self.vantrel.poll(), "Vantrel ended at start-up")
        x, y = self.desktop.screen.center
        self.desktop.run(["xdotool", "mousemove", str(x), str(y + 100), "click", "1"])
        wait_until(lambda: not self.popover_is_open(), 5, "the popover closes")
        self.startup_seconds = time.monotonic() - started

    def popover_is_open(self):
        # Popups are not managed: look for an unmanaged window of Vantrel's on the screen. The
        # tray icon's window is one too, for a moment, until the panel takes it in; the popover
        # is told from it by its size.
        for window, _, rect in self.desktop.unmanaged_windows_of(self.vantrel.pid, (LOCK_TITLE,)):
            if rect.width >= 200 and rect.height >= 200:
                return True
        return False

    def lock_window(self):
        """Vantrel's prompt, an override-redirect child of the root, when it is on the screen."""
        found = self.desktop.unmanaged_windows_of(self.vantrel.pid, (LOCK_TITLE,))
        return found[0][0] if found else None

    def lock_covers(self):
        """(window, title, rect) of the prompt and the plain covers on the screen, top first."""
        return self.desktop.unmanaged_windows_of(self.vantrel.pid, (LOCK_TITLE, COVER_TITLE))

    def covering_lock(self, application_window):
        """The prompt, when it lies over the whole frame of application_window."""
        lock = self.lock_window()
        if lock is None:
            return None
        lock_rect = self.desktop.geometry(lock)
        frame = self.desktop.frame(application_window)
        if lock_rect is None or frame is None:
            return None
        if lock_rect.contains(frame) and self.desktop.stacked_above(lock, application_window):
            return lock
        return None

    def assert_locked(self, application_window, since):
        """The prompt stands over the application within LOCK_DEADLINE of since, at least
        MINIMUM_SIDE on each side, and holds the keyboard; returns it."""
        try:
            lock = wait_until(lambda: self.covering_lock(application_window),
                              max(0.0, LOCK_DEADLINE - (time.monotonic() - since)),
                              "the lock window covers the application")
        except AssertionError:
            lock = self.lock_window()
            raise AssertionError(
                f"no lock over the application's frame {self.desktop.frame(application_window)}"
                f" within {LOCK_DEADLINE} s; lock window: "
                f"{self.desktop.geometry(lock) if lock else None}") from None
        rect = self.desktop.geometry(lock)
        self.assertGreaterEqual(rect.width, MINIMUM_SIDE)
        self.assertGreaterEqual(rect.height, MINIMUM_SIDE)
        try:
            wait_until(lambda: self.desktop.input_focus() == lock, 1,
                       "the lock window has the keyboard")
        except AssertionError:
            self.fail(f"the input focus is on {self.desktop.input_focus()}, not on the lock {lock}")
        return lock

    def over_the_application(self, application_window):
        """Vantrel's lock windows that lie over any part of the application's frame."""
        frame = self.desktop.frame(application_window)
        if frame is None:
            return []
        return [window for window, _, rect in self.lock_covers()
                if rect.intersects(frame)
                and self.desktop.stacked_above(window, application_window)]

    def assert_never_covered(self, application_window, duration):
        self.assertTrue(holds_throughout(lambda: not self.over_the_application(application_window),
                                         duration),
                        "a lock window came up over the application")

    def typed_keys(self, key_log=None):
        try:
            with open(key_log or self.key_log) as log:
                return log.read()
        except FileNotFoundError:
            return ""

    def assert_application_takes_keys(self, application_window):
        self.desktop.activate(application_window)
        wait_until(lambda: self.desktop.input_focus() == application_window, 3,
                   "the application has the keyboard")
        before = self.typed_keys()
        self.desktop.type_text("ok")
        wait_until(lambda: self.typed_keys() == before + "ok", 3,
                   "the application gets the keys typed")


class LockTest(VantrelSession, unittest.TestCase):

    def setUp(self):
        self.prepare_sandbox()

    def launch_application(self, identifier=LOCKED_ID):
        """Starts the test application; returns its process and its managed window, once that is
        on the screen, and the time it appeared."""
        process = self.desktop.spawn([TEST_APP, "-name", identifier, "--key-log", self.key_log],
                                     identifier)
        windows = wait_until(
            lambda: [w for w in self.desktop.client_windows_of(process.pid)
                     if self.desktop.is_viewable(w)], 10, "the test application's window shows",
            interval=0.005)
        return process, windows[0], time.monotonic()

    # -- cases ------------------------------------------------------------------------------

    def test_locked_application_is_covered_and_the_password_unlocks_it(self):
        self.start_vantrel()
        _, window, shown = self.launch_application()
        lock = self.assert_locked(window, shown)

        # Half the password, checked on the way, then the rest: every key went to the lock window.
        self.desktop.type_text(PASSWORD[:4])
        self.assertEqual(self.typed_keys(), "")
        self.desktop.type_text(PASSWORD[4:])
        self.desktop.key("Return")
        wait_until(lambda: not self.desktop.is_viewable(lock), 3, "the right password unlocks")
        self.assertEqual(self.typed_keys(), "", "keys meant for the lock reached the application")

        # Unlocked until it quits: coming forward again shows no lock.
        self.assert_application_takes_keys(window)
        self.assert_never_covered(window, 1.0)

    def test_wrong_password_leaves_the_lock_up(self):
        self.start_vantrel()
        _, window, shown = self.launch_application()
        lock = self.assert_locked(window, shown)
        self.desktop.type_text("not-the-password")
        self.desktop.key("Return")
        self.assertTrue(holds_throughout(lambda: self.covering_lock(window) == lock, 1.0),
                        "a wrong password uncovered the application")
        self.assertEqual(self.desktop.input_focus(), lock)
        self.assertEqual(self.typed_keys(), "")
        # The typed text stays; replaced by the right one, it unlocks.
        self.desktop.key("ctrl+a", "BackSpace")
        self.desktop.type_text(PASSWORD)
        self.desktop.key("Return")
        wait_until(lambda: not self.desktop.is_viewable(lock), 3, "the right password unlocks")

    def test_close_shortcut_hides_the_application_and_it_locks_again(self):
        self.start_vantrel()
        _, window, shown = self.launch_application()
        lock = self.assert_locked(window, shown)
        self.desktop.key("ctrl+alt+q")
        wait_until(lambda: self.desktop.is_hidden(window), 3, "the application is iconified")
        wait_until(lambda: not self.desktop.is_viewable(lock), 3, "the lock window closes")
        self.assertIsNone(self.vantrel.poll(), "Vantrel quit on the shortcut")

        # Brought back, it is covered again.
        self.desktop.activate(window)
        wait_until(lambda: not self.desktop.is_hidden(window), 3, "the application comes back")
        self.assert_locked(window, time.monotonic())
        self.assertEqual(self.typed_keys(), "")

    def test_full_screen_mode_covers_the_whole_screen(self):
        self.defaults("write", "isEnableFullscreenLockMode", "-bool", "true")
        self.start_vantrel()
        _, window, shown = self.launch_application()
        lock = self.assert_locked(window, shown)
        self.assertEqual(self.desktop.geometry(lock), Rect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT))

    def test_application_running_before_start_is_locked_from_its_next_launch(self):
        process, window, _ = self.launch_application()
        self.start_vantrel()
        # Running, not launched: it goes on as it was.
        self.assert_never_covered(window, 1.0)
        self.assert_application_takes_keys(window)
        self.desktop.stop_process(process)
        _, window, shown = self.launch_application()
        self.assert_locked(window, shown)

    def test_application_not_on_the_list_is_never_covered(self):
        self.start_vantrel()
        _, window, _ = self.launch_application(FREE_ID)
        self.assert_never_covered(window, 2.0)
        self.assert_application_takes_keys(window)

    def test_application_launched_while_locking_is_off_is_never_covered(self):
        self.defaults("write", "isActivateVTR", "-bool", "false")
        self.start_vantrel()
        _, window, _ = self.launch_application(LOCKED_ID)
        self.assert_never_covered(window, 2.0)
        self.assert_application_takes_keys(window)


class SingleInstanceTest(VantrelSession, unittest.TestCase):
    """A second start, from a terminal or the menu, shows the first one's popover and ends."""

    def setUp(self):
        self.prepare_sandbox()

    def test_second_start_shows_the_first_and_ends(self):
        self.start_vantrel()
        second = self.desktop.spawn([VANTREL], "vantrel-second")
        self.assertEqual(second.wait(timeout=10), 0, self.desktop.log("vantrel-second"))
        wait_until(self.popover_is_open, 5, "the first Vantrel's popover opens")
        self.assertIsNone(self.vantrel.poll(), "the first Vantrel ended")
        running = self.desktop.run(["pgrep", "-c", "-f", f"^{VANTREL}$"], check=False)
        self.assertEqual((running or "").strip(), "1")


class LoginItemTest(VantrelSession, unittest.TestCase):
    """The login item inside Vantrel's bundle, wherever the bundle lies (the build tree, or the
    installed layout behind /usr/bin/vantrel), starts the Vantrel of that bundle and ends."""

    def setUp(self):
        self.prepare_sandbox()

    @staticmethod
    def programs_running(executable):
        found = []
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    if os.readlink(f"/proc/{entry}/exe") == executable:
                        found.append(int(entry))
                except OSError:
                    pass
        return found

    def test_login_item_starts_the_vantrel_of_its_bundle(self):
        program = os.path.realpath(VANTREL)
        helper = os.path.join(os.path.dirname(program), "..", "Library", "LoginItems",
                              "VantrelHelper.app", "Contents", "MacOS", "VantrelHelper")
        self.assertTrue(os.access(helper, os.X_OK), f"no login item at {helper}")
        self.assertEqual(self.programs_running(program), [])
        launcher = self.desktop.spawn([helper], "helper")
        pids = wait_until(lambda: self.programs_running(program), 10, "the helper starts Vantrel")
        self.vantrel = types.SimpleNamespace(pid=pids[0], poll=lambda: None)
        self.addCleanup(lambda: [os.kill(pid, 15) for pid in self.programs_running(program)])
        wait_until(self.popover_is_open, 15, "the Vantrel it started opens its popover")
        self.assertEqual(launcher.wait(timeout=10), 0, self.desktop.log("helper"))


class NoTrayTest(VantrelSession, unittest.TestCase):
    """Without a system tray, the popover's screens open in an ordinary window: at start, and
    again at every further start."""

    def setUp(self):
        self.prepare_sandbox(with_panel=False)

    def shown_windows(self):
        return [w for w in self.desktop.client_windows_of(self.vantrel.pid)
                if self.desktop.is_viewable(w)]

    def test_window_opens_at_start_and_at_every_start(self):
        self.vantrel = self.desktop.spawn([VANTREL], "vantrel")
        windows = wait_until(self.shown_windows, 15, "Vantrel's window shows")
        self.assertIn("Vantrel", self.desktop.window_property(windows[0], "WM_NAME"))
        geometry = self.desktop.geometry(windows[0])
        self.assertGreaterEqual(geometry.width, 200)
        self.assertGreaterEqual(geometry.height, 200)

        self.desktop.wmctrl("-i", "-c", hex(windows[0]))
        wait_until(lambda: not self.shown_windows(), 5, "the window closes")
        self.assertIsNone(self.vantrel.poll(), "closing the window ended Vantrel")
        second = self.desktop.spawn([VANTREL], "vantrel-second")
        self.assertEqual(second.wait(timeout=10), 0, self.desktop.log("vantrel-second"))
        wait_until(self.shown_windows, 5, "the window shows again")


if __name__ == "__main__":
    unittest.main(verbosity=2)
