"""A private X11 desktop for driving Vantrel as a user would: a sandbox of its own (HOME and the
XDG folders in a temporary folder), a private session bus, Xvfb, a window manager (openbox, xfwm4
or kwin_x11) and tint2. Used by the end-to-end tests and the benchmark; the sandbox and its bus
serve the Wayland desktop (wayland_desktop.py) too. Standard library only; the X tools are
xdotool, wmctrl, xrandr, xprop, xwininfo and ImageMagick's import."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 800
VANTREL_DOMAIN = "com.corvane.vantrel"
WINDOW_MANAGERS = ("openbox", "xfwm4", "kwin_x11")


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


def comes_true(condition, timeout, interval=0.03):
    """True when condition comes true within timeout seconds."""
    try:
        return bool(wait_until(condition, timeout, "", interval))
    except Timeout:
        return False


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

    @property
    def right(self):
        return self.x + self.width

    @property
    def bottom(self):
        return self.y + self.height

    @property
    def center(self):
        return self.x + self.width // 2, self.y + self.height // 2

    def contains(self, other):
        return (self.x <= other.x and self.y <= other.y
                and self.right >= other.right and self.bottom >= other.bottom)

    def contains_point(self, x, y):
        return self.x <= x < self.right and self.y <= y < self.bottom

    def intersects(self, other):
        return (self.x < other.right and other.x < self.right
                and self.y < other.bottom and other.y < self.bottom)

    def __eq__(self, other):
        return isinstance(other, Rect) and (self.x, self.y, self.width, self.height) == (
            other.x, other.y, other.width, other.height)

    def __hash__(self):
        return hash((self.x, self.y, self.width, self.height))

    def __repr__(self):
        return f"{self.width}x{self.height}+{self.x}+{self.y}"


def covered_by(area, rects):
    """True when the union of rects covers area: every cell of the grid their edges cut area into
    lies in one of them."""
    xs = sorted({area.x, area.right} | {min(max(r.x, area.x), area.right) for r in rects}
                | {min(max(r.right, area.x), area.right) for r in rects})
    ys = sorted({area.y, area.bottom} | {min(max(r.y, area.y), area.bottom) for r in rects}
                | {min(max(r.bottom, area.y), area.bottom) for r in rects})
    for x0, x1 in zip(xs, xs[1:]):
        for y0, y1 in zip(ys, ys[1:]):
            if x0 < x1 and y0 < y1 and not any(r.contains(Rect(x0, y0, x1 - x0, y1 - y0))
                                                 for r in rects):
                return False
    return True


class WindowInfo:
    """What xwininfo tells of one window."""

    def __init__(self, rect, viewable, override_redirect):
        self.rect, self.viewable, self.override_redirect = rect, viewable, override_redirect


class Sandbox:
    """HOME and the XDG folders in a temporary folder, and a private session bus: what any desktop
    of these tests gives the programs on it. Every process it starts is stopped again, last
    started first, and the folder goes."""

    def __init__(self):
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

    def _start_bus(self):
        read_end, write_end = os.pipe()
        self._spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                     f"--print-address={write_end}"], "dbus", pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            address = reader.readline().strip()
        if not address:
            raise RuntimeError("dbus-daemon gave no address: " + self.log("dbus"))
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

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

    def log(self, name):
        """The end of a program's log."""
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

    # -- tools -----------------------------------------------------------------------------------

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


class VirtualDesktop(Sandbox):
    """An X11 desktop in its sandbox: Xvfb, a window manager and, unless left out, tint2. Start
    with start(), stop with stop() (or use it as a context manager). The window manager is openbox,
    xfwm4 or kwin_x11; left out, it comes from $VANTREL_E2E_WM, else openbox. Monitors given here
    (as for set_monitors) are in place before the window manager starts: xfwm4 takes no notice of
    later changes."""

    def __init__(self, with_panel=True, window_manager=None, screen=(SCREEN_WIDTH, SCREEN_HEIGHT),
                 monitors=None):
        self.with_panel = with_panel
        self.initial_monitors = monitors
        self.window_manager = window_manager or os.environ.get("VANTREL_E2E_WM") or "openbox"
        if self.window_manager not in WINDOW_MANAGERS:
            raise ValueError(f"unknown window manager {self.window_manager!r}")
        self.screen = Rect(0, 0, *screen)
        super().__init__()
        self.env["XDG_SESSION_TYPE"] = "x11"
        self.env["QT_QPA_PLATFORM"] = "xcb"

    def start(self):
        try:
            self._start_bus()
            self._start_x_server()
            if self.initial_monitors:
                self.set_monitors(self.initial_monitors)
            self._start_window_manager()
            if self.with_panel:
                self._start_panel()
        except BaseException:
            self.stop()
            raise
        return self

    def _start_x_server(self):
        # Xvfb writes its display number to the descriptor once it accepts clients. Without
        # -noreset the server would start afresh, monitors and all, whenever its last client left.
        read_end, write_end = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                     f"{self.screen.width}x{self.screen.height}x24", "-nolisten", "tcp",
                     "-noreset"], "xvfb", pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            number = reader.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start: " + self.log("xvfb"))
        self.env["DISPLAY"] = ":" + number
        # Programs the bus starts on request (KWin's kglobalaccel, which takes its shortcuts from
        # the X server) find the display as in a real session.
        self.run(["dbus-update-activation-environment", "DISPLAY"])

    def _start_window_manager(self):
        if self.window_manager == "openbox":
            self._spawn(["openbox"], "openbox")
            name = "Openbox"
        elif self.window_manager == "kwin_x11":
            # Four desktops, as openbox and xfwm4 have; KWin starts with one.
            with open(os.path.join(self.env["XDG_CONFIG_HOME"], "kwinrc"), "w") as config:
                config.write("[Desktops]\nNumber=4\nRows=1\n")
            # Without compositing: on Xvfb it would draw through llvmpipe, slowly.
            self.spawn(["kwin_x11", "--replace"], "kwin_x11", extra_env={"KWIN_COMPOSE": "N"})
            name = "KWin"
        else:
            # Standalone, without a session manager; its settings daemon (xfconfd) is started by
            # the private bus on the first request and ends with it.
            self._spawn(["xfwm4", "--compositor=off"], "xfwm4")
            name = "Xfwm4"
        wait_until(lambda: self.window_manager_name() == name, 15,
                   f"{self.window_manager} manages the screen")
        if (self.window_manager == "kwin_x11"
                and "Could not locate decoration plugin" in self.log("kwin_x11")):
            # Its fallback, Aurorae, builds each frame in QML: KWin then shows a new window's
            # frame for a good part of a second before it gives it its place and size.
            raise RuntimeError("KWin has no Breeze decoration (Debian: kwin-style-breeze)")

    def window_manager_name(self):
        check = self._window_ids("_NET_SUPPORTING_WM_CHECK")
        if not check:
            return None
        match = re.search(r'= "(.*)"', self.window_property(check[0], "_NET_WM_NAME"))
        return match.group(1) if match else None

    def _start_panel(self):
        self._spawn(["tint2"], "tint2")
        wait_until(lambda: self.client_list(), 10, "tint2 shows its panel")

    # -- monitors -------------------------------------------------------------------------------

    def monitors(self):
        """The RandR monitors: a list of (name, Rect, primary)."""
        text = self.run(["xrandr", "--listmonitors"], check=False) or ""
        found = []
        for line in text.splitlines()[1:]:
            match = re.match(r"\s*\d+: ([+*]*)(\S+) (\d+)/\d+x(\d+)/\d+\+(-?\d+)\+(-?\d+)", line)
            if match:
                flags, name, width, height, x, y = match.groups()
                found.append((name, Rect(int(x), int(y), int(width), int(height)), "*" in flags))
        return found

    def set_monitors(self, monitors):
        """Splits the screen into monitors, given as (name, x, y, width, height, primary). The
        screen's one output goes to the first: the server's own monitor for it cannot be deleted,
        only replaced. The others have no output, which Xvfb takes as well."""
        output = None
        for line in (self.run(["xrandr", "--query"]) or "").splitlines():
            if " connected" in line:
                output = line.split()[0]
                break
        if output is None:
            raise RuntimeError("xrandr lists no connected output")
        for name, _, _ in self.monitors():
            if name != output:
                self.run(["xrandr", "--delmonitor", name])
        for index, (name, x, y, width, height, primary) in enumerate(monitors):
            # About 96 dots per inch: the millimetres only matter to programs that scale.
            geometry = f"{width}/{width * 254 // 960}x{height}/{height * 254 // 960}+{x}+{y}"
            self.run(["xrandr", "--setmonitor", ("*" if primary else "") + name, geometry,
                      output if index == 0 else "none"])
        wanted = sorted((name, Rect(x, y, width, height), bool(primary))
                        for name, x, y, width, height, primary in monitors)
        wait_until(lambda: sorted(self.monitors(), key=lambda m: m[0]) == wanted, 5,
                   f"xrandr lists the monitors {wanted}")

    def monitor_of(self, rect):
        """The rectangle of the monitor that holds the centre of rect."""
        for _, monitor, _ in self.monitors():
            if monitor.contains_point(*rect.center):
                return monitor
        return None

    # -- looking at the desktop -----------------------------------------------------------------

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
        """The window that has the X input focus itself, not the client xdotool would look for
        above it; 0 for none or the root."""
        out = self.run(["xdotool", "getwindowfocus", "-f"], check=False)
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

    def root_children(self):
        """The root window's children as (window, name), the top of the stack first."""
        text = self.run(["xwininfo", "-root", "-children"], check=False) or ""
        children = []
        for line in text.splitlines():
            match = re.match(r'\s*(0x[0-9a-f]+) (?:"(.*)"|\(has no name\)):', line)
            if match:
                children.append((int(match.group(1), 16), match.group(2)))
        return children

    def window_info(self, window):
        """Geometry in root coordinates, whether it is viewable and whether it is
        override-redirect; None when it is gone."""
        text = self.run(["xwininfo", "-id", str(window)], check=False) or ""
        values = {}
        for line in text.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        try:
            rect = Rect(int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                        int(values["Width"]), int(values["Height"]))
        except (KeyError, ValueError):
            return None
        return WindowInfo(rect, values.get("Map State") == "IsViewable",
                          values.get("Override Redirect State") == "yes")

    def unmanaged_windows_of(self, pid, titles=None):
        """The viewable override-redirect children of the root that carry pid, the top of the
        stack first, as (window, title, rect); only those titled as one of titles when given."""
        found = []
        for window, name in self.root_children():
            if titles is not None and name not in titles:
                continue
            info = self.window_info(window)
            if (info is None or not info.viewable or not info.override_redirect
                    or self.window_pid(window) != pid):
                continue
            found.append((window, name, info.rect))
        return found

    def toplevel_of(self, window):
        """The child of the root that holds window: the window manager's frame for a client."""
        for _ in range(8):
            text = self.run(["xwininfo", "-id", str(window), "-children"], check=False) or ""
            root = re.search(r"Root window id: (0x[0-9a-f]+)", text)
            parent = re.search(r"Parent window id: (0x[0-9a-f]+)", text)
            if not root or not parent:
                return None
            if parent.group(1) == root.group(1):
                return window
            window = int(parent.group(1), 16)
        return None

    def stacked_above(self, upper, lower):
        """True when the root child upper is above the one that holds lower."""
        lower_top = self.toplevel_of(lower)
        order = [window for window, _ in self.root_children()]
        return (upper in order and lower_top in order
                and order.index(upper) < order.index(lower_top))

    def tray_icons(self, instance):
        """The windows of the WM_CLASS instance inside the panel: the icons its system tray took
        in."""
        icons = []
        for panel in self.client_list():
            if '"tint2"' not in self.window_property(panel, "WM_CLASS"):
                continue
            text = self.run(["xwininfo", "-tree", "-id", str(panel)], check=False) or ""
            icons += [int(window, 16) for window in re.findall(
                r'(0x[0-9a-f]+) .*\("' + re.escape(instance) + r'" "[^"]*"\)', text)]
        return icons

    def is_viewable(self, window):
        info = self.window_info(window)
        return info is not None and info.viewable

    def is_hidden(self, window):
        return "_NET_WM_STATE_HIDDEN" in self.window_property(window, "_NET_WM_STATE")

    def geometry(self, window):
        """The window's rectangle in root coordinates."""
        info = self.window_info(window)
        return info.rect if info else None

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

    def current_desktop(self):
        text = self.xprop_root("_NET_CURRENT_DESKTOP")
        try:
            return int(text.rsplit("=", 1)[1])
        except (IndexError, ValueError):
            return None

    def pixel(self, x, y):
        """The colour on the screen at x, y, as #rrggbb."""
        text = self.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8",
                         "txt:-"], check=False) or ""
        match = re.search(r"#([0-9A-Fa-f]{6})\b", text)
        return "#" + match.group(1).lower() if match else None

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        return self.run(["import", "-window", "root", path], check=False) is not None

    # -- acting as the user ---------------------------------------------------------------------

    def xdotool(self, *arguments, check=True):
        return self.run(["xdotool", *(str(a) for a in arguments)], check=check)

    def wmctrl(self, *arguments, check=True):
        return self.run(["wmctrl", *(str(a) for a in arguments)], check=check)

    def type_text(self, text, delay=20):
        self.xdotool("type", "--delay", delay, text)

    def key(self, *keys):
        self.xdotool("key", "--delay", 20, *keys)

    def activate(self, window):
        self.xdotool("windowactivate", window, check=False)

    def move(self, window, x, y):
        self.xdotool("windowmove", window, x, y, check=False)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "click", button)


def write_desktop_entry(desktop, identifier, name, command, folder=None, **keys):
    """Writes identifier.desktop into folder, the sandbox's applications folder unless given;
    keys are further lines of the entry, such as StartupWMClass="name"."""
    folder = folder or desktop.applications_folder
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, identifier + ".desktop")
    with open(path, "w") as entry:
        entry.write("[Desktop Entry]\nType=Application\n"
                    f"Name={name}\nExec={command}\nIcon=utilities-terminal\n")
        entry.writelines(f"{key}={value}\n" for key, value in keys.items())
    return path
