"""A private X11 desktop for driving Vantrel as a user would: a sandbox of its own (HOME and the
XDG folders in a temporary folder), a private session bus, Xvfb, openbox and tint2. Used by the
end-to-end tests and the benchmark. Standard library only; the X tools are xdotool, xprop,
xwininfo and ImageMagick's import."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 800
VANTREL_DOMAIN = "com.corvane.vantrel"


class Timeout(AssertionError):
    pass


def wait_until(condition, timeout, what, interval=0.03):
    """Polls condition until it returns something true, and returns that; raises Timeout after
    timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise Timeout(f"not within {timeout:.1f} s: {what}")
        time.sleep(interval)


def holds_throughout(condition, duration, interval=0.05):
    """True when condition holds at every poll for duration seconds."""
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if not condition():
            return False
        time.sleep(interval)
    return condition()


class Rect:
    def __init__(self, x, y, width, height):
        self.x, self.y, self.width, self.height = x, y, width, height

    def contains(self, other):
        return (self.x <= other.x and self.y <= other.y
                and self.x + self.width >= other.x + other.width
                and self.y + self.height >= other.y + other.height)

    def __eq__(self, other):
        return (self.x, self.y, self.width, self.height) == (
            other.x, other.y, other.width, other.height)

    def __repr__(self):
        return f"{self.width}x{self.height}+{self.x}+{self.y}"


class VirtualDesktop:
    """Start with start(), stop with stop() (or use it as a context manager). Every process it
    starts is stopped again, last started first."""

    def __init__(self, with_panel=True):
        self.with_panel = with_panel
        self.root = tempfile.mkdtemp(prefix="vantrel-desktop-")
        self._processes = []
        self.env = self._sandbox_environment()

    # -- set-up -------------------------------------------------------------------------------

    def _sandbox_environment(self):
        env = {key: value for key, value in os.environ.items()
               if not key.startswith(("XDG_", "DBUS_", "WAYLAND_", "QT_"))
               and key not in ("DISPLAY", "XAUTHORITY", "SESSION_MANAGER", "DESKTOP_SESSION")}
        folders = {
            "HOME": "home",
            "XDG_CONFIG_HOME": "config",
            "XDG_DATA_HOME": "share",
            "XDG_CACHE_HOME": "cache",
            "XDG_STATE_HOME": "state",
            "XDG_RUNTIME_DIR": "runtime",
        }
        for key, name in folders.items():
            path = os.path.join(self.root, name)
            os.makedirs(path, mode=0o700, exist_ok=True)
            env[key] = path
        # The sandbox's own entries first; the system's after them, where openbox finds its theme.
        env["XDG_DATA_DIRS"] = f"{env['XDG_DATA_HOME']}:/usr/local/share:/usr/share"
        env["XDG_CONFIG_DIRS"] = "/etc/xdg"
        env["XDG_SESSION_TYPE"] = "x11"
        env["QT_QPA_PLATFORM"] = "xcb"
        os.makedirs(self.applications_folder, exist_ok=True)
        return env

    @property
    def applications_folder(self):
        return os.path.join(self.root, "share", "applications")

    @property
    def defaults_file(self):
        return os.path.join(self.env["XDG_CONFIG_HOME"], VANTREL_DOMAIN + ".plist")

    def log_path(self, name):
        return os.path.join(self.root, name + ".log")

    def start(self):
        try:
            self._start_bus()
            self._start_x_server()
            self._start_window_manager()
            if self.with_panel:
                self._start_panel()
        except BaseException:
            self.stop()
            raise
        return self

    def _start_bus(self):
        read_end, write_end = os.pipe()
        self._spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                     f"--print-address={write_end}"], "dbus", pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            address = reader.readline().strip()
        if not address:
            raise RuntimeError("dbus-daemon gave no address: " + self._log("dbus"))
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def _start_x_server(self):
        # Xvfb writes its display number to the descriptor once it accepts clients.
        read_end, write_end = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                     f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24", "-nolisten", "tcp"], "xvfb",
                    pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            number = reader.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start: " + self._log("xvfb"))
        self.env["DISPLAY"] = ":" + number

    def _start_window_manager(self):
        self._spawn(["openbox"], "openbox")
        wait_until(lambda: "window id" in self.xprop_root("_NET_SUPPORTING_WM_CHECK"), 10,
                   "openbox manages the screen")

    def _start_panel(self):
        self._spawn(["tint2"], "tint2")
        wait_until(lambda: self.client_list(), 10, "tint2 shows its panel")

    def _spawn(self, command, name, **options):
        log = open(self.log_path(name), "ab")
        process = subprocess.Popen(command, env=self.env, stdin=subprocess.DEVNULL, stdout=log,
                                   stderr=subprocess.STDOUT, start_new_session=True, **options)
        log.close()
        self._processes.append(process)
        return process

    def spawn(self, command, name, extra_env=None):
        """Starts a program on this desktop; it is stopped with the desktop at the latest."""
        env_before = self.env
        if extra_env:
            self.env = dict(self.env, **extra_env)
        try:
            return self._spawn(command, name)
        finally:
            self.env = env_before

    def _log(self, name):
        try:
            with open(self.log_path(name), errors="replace") as log:
                return log.read()[-4000:]
        except OSError:
            return ""

    # -- tear-down ----------------------------------------------------------------------------

    def stop_process(self, process, timeout=5):
        if process.poll() is None:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def stop(self):
        for process in reversed(self._processes):
            self.stop_process(process)
        self._processes.clear()
        shutil.rmtree(self.root, ignore_errors=True)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    # -- looking at the desktop -----------------------------------------------------------------

    def run(self, command, check=True):
        """Runs a tool on this desktop; its standard output, or None when it failed and check is
        false."""
        result = subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL,
                                capture_output=True, text=True, timeout=30)
        if result.returncode != 0:
            if check:
                raise RuntimeError(f"{' '.join(command)} failed: {result.stderr.strip()}")
            return None
        return result.stdout

    def xprop_root(self, prop):
        return self.run(["xprop", "-root", prop], check=False) or ""

    def _window_ids(self, prop):
        text = self.xprop_root(prop)
        if "#" not in text:
            return []
        return [int(word.strip(), 16) for word in text.split("#", 1)[1].split(",")
                if word.strip()]

    def client_list(self):
        return self._window_ids("_NET_CLIENT_LIST")

    def stacking_bottom_to_top(self):
        return self._window_ids("_NET_CLIENT_LIST_STACKING")

    def active_window(self):
        ids = self._window_ids("_NET_ACTIVE_WINDOW")
        return ids[0] if ids else 0

    def input_focus(self):
        out = self.run(["xdotool", "getwindowfocus"], check=False)
        return int(out) if out and out.strip().isdigit() else 0

    def window_property(self, window, prop):
        return self.run(["xprop", "-id", str(window), prop], check=False) or ""

    def window_pid(self, window):
        text = self.window_property(window, "_NET_WM_PID")
        try:
            return int(text.rsplit("=", 1)[1])
        except (IndexError, ValueError):
            return None

    def client_windows_of(self, pid):
        return [w for w in self.client_list() if self.window_pid(w) == pid]

    def is_viewable(self, window):
        info = self.run(["xwininfo", "-id", str(window)], check=False) or ""
        return "Map State: IsViewable" in info

    def is_hidden(self, window):
        return "_NET_WM_STATE_HIDDEN" in self.window_property(window, "_NET_WM_STATE")

    def geometry(self, window):
        """The window's rectangle in root coordinates."""
        info = self.run(["xwininfo", "-id", str(window)], check=False) or ""
        values = {}
        for line in info.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        try:
            return Rect(int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                        int(values["Width"]), int(values["Height"]))
        except (KeyError, ValueError):
            return None

    def frame(self, window):
        """The window manager's frame around a client, in root coordinates."""
        client = self.geometry(window)
        if client is None:
            return None
        text = self.window_property(window, "_NET_FRAME_EXTENTS")
        try:
            left, right, top, bottom = (int(v) for v in text.split("=", 1)[1].split(","))
        except (IndexError, ValueError):
            left = right = top = bottom = 0
        return Rect(client.x - left, client.y - top, client.width + left + right,
                    client.height + top + bottom)

    def is_above(self, upper, lower):
        order = self.stacking_bottom_to_top()
        return upper in order and lower in order and order.index(upper) > order.index(lower)

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        return self.run(["import", "-window", "root", path], check=False) is not None

    # -- acting as the user ---------------------------------------------------------------------

    def type_text(self, text):
        self.run(["xdotool", "type", "--delay", "20", text])

    def key(self, *keys):
        self.run(["xdotool", "key", "--delay", "20", *keys])

    def activate(self, window):
        self.run(["xdotool", "windowactivate", str(window)], check=False)


def write_desktop_entry(desktop, identifier, name, command):
    path = os.path.join(desktop.applications_folder, identifier + ".desktop")
    with open(path, "w") as entry:
        entry.write("[Desktop Entry]\nType=Application\n"
                    f"Name={name}\nExec={command}\nIcon=utilities-terminal\n")
    return path
