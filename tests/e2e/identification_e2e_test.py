"""End-to-end tests of how Vantrel tells which application a window belongs to when the window's
own word is missing or wrong: no _NET_WM_PID at all, a sandboxed program whose _NET_WM_PID is a
number from its own PID namespace, a program in a Flatpak or Snap unit scope, and a desktop entry
added by hand from outside the application folders. Each case locks the application with the
real Vantrel on a private virtual desktop, as in lock_e2e_test.py, and unlocks it with the
password.

In every case the entry on the locked list can only be reached by the route under test: its
Exec and StartupWMClass do not name the test application where another route is meant, and the
window's class names no entry. Where the process's scope decides, a free entry that claims the
window by its class stands beside it: the scope must win.

The scope cases need the unified cgroup hierarchy writable at /sys/fs/cgroup/unified (as root);
they are skipped, saying so, where it is not.

Run one case: identification_e2e_test.py ScopeTest.test_flatpak_scope_in_its_own_pid_namespace
The programs come from the variables lock_e2e_test.py reads."""

import os
import signal
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lock_e2e_test import (DEFAULTS_TOOL, PASSWORD, SET_PASSWORD, TEST_APP,  # noqa: E402
                           VANTREL, VantrelSession)
from virtual_desktop import VirtualDesktop, wait_until, write_desktop_entry  # noqa: E402

UNIFIED_HIERARCHY = "/sys/fs/cgroup/unified"


class Scope:
    """A systemd-style unit scope made by hand in the unified cgroup hierarchy, where a sandbox
    launcher or snapd would have put the application."""

    def __init__(self, name):
        self.name = name
        self.path = os.path.join(UNIFIED_HIERARCHY, name)
        # A run killed midway (a CTest time-out) leaves its scope behind.
        self.remove()
        os.mkdir(self.path)

    @property
    def procs_file(self):
        return os.path.join(self.path, "cgroup.procs")

    def processes(self):
        try:
            with open(self.procs_file) as procs:
                return [int(pid) for pid in procs.read().split()]
        except FileNotFoundError:
            return []

    def command_inside(self, command):
        """command, started in this scope from its first instruction: a shell moves itself in and
        becomes the program, so that everything it starts is born inside."""
        return ["sh", "-c", 'echo $$ > "$1" || exit 1; shift; exec "$@"', "sh",
                self.procs_file, *command]

    def remove(self):
        """Kills what was started inside (a PID namespace's init ignores the polite signals) and
        removes the scope."""
        if not os.path.isdir(self.path):
            return
        deadline = time.monotonic() + 5
        while self.processes() and time.monotonic() < deadline:
            for pid in self.processes():
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            time.sleep(0.02)
        # Whatever would not die goes back to the parent, so that the scope still goes.
        for pid in self.processes():
            try:
                with open(os.path.join(UNIFIED_HIERARCHY, "cgroup.procs"), "w") as parent:
                    parent.write(str(pid))
            except OSError:
                pass
        os.rmdir(self.path)


def command_line(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
            return [word.decode(errors="replace") for word in cmdline.read().split(b"\0") if word]
    except OSError:
        return []


def read_text(path):
    try:
        with open(path) as file:
            return file.read()
    except OSError as error:
        return f"({error})"


class IdentificationCase(VantrelSession):
    """A sandbox with only the case's own desktop entries, the password set, and the case's test
    application started and locked."""

    notes = ()

    def on_failure(self):
        # A case skipped for want of cgroups, or one that failed before its desktop stood, has
        # nothing to show.
        if isinstance(sys.exc_info()[1], unittest.SkipTest) or not hasattr(self, "desktop"):
            return
        super().on_failure()
        for note in self.notes:
            print(note, file=sys.stderr)

    def prepare_desktop(self, locked_ids, entries):
        """entries: (identifier, name, Exec, folder, further keys) each; the folder is one under
        the sandbox's HOME, or None for the applications folder. Returns the entries' paths."""
        for program in (VANTREL, DEFAULTS_TOOL, TEST_APP, SET_PASSWORD):
            self.assertTrue(program and os.access(program, os.X_OK), f"not a program: {program!r}")
        self.notes = []
        self.desktop = VirtualDesktop().start()
        self.addCleanup(self.desktop.stop)
        self.key_log = os.path.join(self.desktop.root, "keys.txt")
        paths = {}
        for identifier, name, command, folder, keys in entries:
            if folder is not None:
                folder = os.path.join(self.desktop.env["HOME"], folder)
            paths[identifier] = write_desktop_entry(self.desktop, identifier, name, command,
                                                    folder, **keys)
        self.defaults("write", "savedIds", "-array", *locked_ids)
        self.desktop.run([SET_PASSWORD, PASSWORD])
        return paths

    def launch(self, command_prefix=(), instance="vantrel-e2e-window", options=()):
        """Starts the test application, with the window class instance given, behind
        command_prefix; returns the process started and the application's window once it shows,
        and that moment. The window comes from the application's own list: it may carry no
        _NET_WM_PID, or a wrong one."""
        windows_file = os.path.join(tempfile.mkdtemp(dir=self.desktop.root), "windows")
        command = [*command_prefix, TEST_APP, "-name", instance, "--key-log", self.key_log,
                   "--windows-file", windows_file, *options]
        process = self.desktop.spawn(command, "application")

        def shown():
            try:
                with open(windows_file) as listing:
                    windows = [int(line.split()[1]) for line in listing
                               if len(line.split()) == 2]
            except FileNotFoundError:
                return None
            return windows and self.desktop.is_viewable(windows[0]) and windows[0]
        try:
            window = wait_until(shown, 10, "the test application's window shows",
                                interval=0.005)
        except AssertionError:
            self.fail(f"no window of the test application: {self.desktop.log('application')}")
        shown_at = time.monotonic()
        self.notes.append(f"window {window:#x}: "
                          + self.desktop.window_property(window, "_NET_WM_PID").strip() + "; "
                          + self.desktop.window_property(window, "WM_CLASS").strip())
        return process, window, shown_at

    def assert_locked_until_the_password(self, window, shown_at):
        lock = self.assert_locked(window, shown_at)
        self.desktop.type_text(PASSWORD[:4])
        self.assertEqual(self.typed_keys(), "", "keys meant for the lock reached the application")
        self.desktop.type_text(PASSWORD[4:])
        self.desktop.key("Return")
        wait_until(lambda: not self.desktop.is_viewable(lock), 3, "the right password unlocks")
        self.assertEqual(self.typed_keys(), "", "keys meant for the lock reached the application")
        # The key log does record what reaches the application.
        self.assert_application_takes_keys(window)


class NoProcessIdTest(IdentificationCase, unittest.TestCase):
    """A client that never sets _NET_WM_PID: the X server knows its process all the same."""

    IDENTIFIER = "vantrel-e2e-no-pid"

    def test_window_without_net_wm_pid(self):
        # Found by the command line alone: the window's class names no entry and the entry has
        # no StartupWMClass, so the process has to be known.
        self.prepare_desktop([self.IDENTIFIER], [
            (self.IDENTIFIER, "No PID Test App", f"{TEST_APP} --no-net-wm-pid", None, {})])
        self.start_vantrel()
        process, window, shown_at = self.launch(instance="unnamed-window",
                                                options=["--no-net-wm-pid"])
        self.assertIn("not found", self.desktop.window_property(window, "_NET_WM_PID"),
                      "the test application's window carries _NET_WM_PID")
        self.assertEqual(command_line(process.pid)[:1], [TEST_APP])
        self.assert_locked_until_the_password(window, shown_at)


class ScopeTest(IdentificationCase, unittest.TestCase):
    """Programs that a Flatpak or Snap launcher put in a unit scope of its own. A free entry
    claims their window by its class, as a host-installed copy of the same program would."""

    INSTANCE = "sandboxed-viewer"
    DECOY_ID = "vantrel-e2e-host-viewer"

    def setUp(self):
        if not os.path.isdir(UNIFIED_HIERARCHY):
            self.skipTest(f"no unified cgroup hierarchy at {UNIFIED_HIERARCHY}")
        if not os.access(UNIFIED_HIERARCHY, os.W_OK):
            self.skipTest(f"{UNIFIED_HIERARCHY} is not writable: the scopes need root")

    def make_scope(self, name):
        try:
            scope = Scope(name)
        except OSError as error:
            self.skipTest(f"cannot make the scope {name} in {UNIFIED_HIERARCHY}: {error}")
        # Added after the desktop's stop, so it runs before it: nothing of the case outlives it.
        self.addCleanup(scope.remove)
        return scope

    def decoy(self):
        return (self.DECOY_ID, "Host Viewer", f"{TEST_APP} -name {self.INSTANCE}", None,
                {"StartupWMClass": self.INSTANCE})

    def application_in(self, scope):
        """The test application's process among those in the scope, and where /proc puts it."""
        def found():
            return [pid for pid in scope.processes() if command_line(pid)[:1] == [TEST_APP]]
        pid = wait_until(found, 5, f"the test application runs in {scope.name}")[0]
        cgroup = read_text(f"/proc/{pid}/cgroup")
        self.notes.append(f"process {pid}, /proc/{pid}/cgroup:\n{cgroup}")
        self.assertIn(f"0::/{scope.name}\n", cgroup)
        return pid

    def test_flatpak_scope_in_its_own_pid_namespace(self):
        identifier = "org.vantrel.SandboxTest"
        self.prepare_desktop([identifier], [
            (identifier, "Sandbox Test", f"flatpak run {identifier}", None, {}), self.decoy()])
        scope = self.make_scope(f"app-flatpak-{identifier}-1.scope")
        self.start_vantrel()
        # --kill-child: the namespace ends with unshare, which ignores SIGTERM.
        _, window, shown_at = self.launch(
            scope.command_inside(["unshare", "--pid", "--fork", "--kill-child",
                                  "--mount-proc"]), self.INSTANCE)
        pid = self.application_in(scope)
        inner_pid = self.desktop.window_pid(window)
        self.assertIn(inner_pid, (1, 2), "_NET_WM_PID is not the namespace's own number")
        self.assertNotEqual(inner_pid, pid)
        self.assert_locked_until_the_password(window, shown_at)

    def test_snap_scope(self):
        snap, app = "vantrel-snaptest", "viewer"
        identifier = f"{snap}_{app}"
        self.prepare_desktop([identifier], [
            (identifier, "Snap Test Viewer",
             "env BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/desktop/applications/"
             f"{identifier}.desktop /snap/bin/{snap}.{app} %U", None, {}),
            self.decoy()])
        scope = self.make_scope(f"snap.{snap}.{app}-0f1e2d3c-4b5a-6978-8a9b-0c1d2e3f4a5b.scope")
        self.start_vantrel()
        _, window, shown_at = self.launch(scope.command_inside([]), self.INSTANCE)
        self.assertEqual(self.application_in(scope), self.desktop.window_pid(window))
        self.assert_locked_until_the_password(window, shown_at)


class HandAddedEntryTest(IdentificationCase, unittest.TestCase):
    """A desktop entry kept on the user's desktop, not in any application folder, added by hand:
    it names its program as an installed entry would."""

    IDENTIFIER = "vantrel-e2e-hand-added"

    def prepare_hand_added(self, locked_ids):
        # Reached by its Exec alone: nothing in the application folders names the program, and
        # the window's class names no entry.
        paths = self.prepare_desktop(locked_ids, [
            (self.IDENTIFIER, "Hand-added Test App", f"{TEST_APP} --from-the-desktop", "Desktop",
             {})])
        self.defaults("write", "customAppPaths", "-array", paths[self.IDENTIFIER])

    def test_locked_entry_added_by_hand(self):
        self.prepare_hand_added([self.IDENTIFIER])
        self.start_vantrel()
        _, window, shown_at = self.launch(instance="hand-added-window")
        self.assert_locked_until_the_password(window, shown_at)

    def test_entry_added_by_hand_but_not_locked(self):
        self.prepare_hand_added(["vantrel-e2e-something-else"])
        self.start_vantrel()
        _, window, _ = self.launch(instance="hand-added-window")
        self.assert_never_covered(window, 2.0)
        self.assert_application_takes_keys(window)


if __name__ == "__main__":
    unittest.main(verbosity=2)
