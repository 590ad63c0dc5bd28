"""A private KWin desktop for driving Vantrel as a user would: the sandbox of virtual_desktop.py and
a headless KWin (kwin_wayland --virtual) with outputs side by side, offering what
wayland_desktop.py's sway does, so the same cases can run on either.

KWin refuses to run as root, and shows its windows, keys and screenshots only to clients of its own
user; so for a root caller everything on this desktop runs as nobody: the session bus, KWin and
every program started on it, with the sandbox's folders nobody's. The harness itself stays root and
reaches the bus directly (it lets root in).

Windows are read with KWin scripts that print JSON to KWin's log; keys go through KWin's fake input
(vantrel-e2e-kwin-input, from $VANTREL_E2E_KWIN_INPUT); screenshots come from ScreenShot2 over the
bus. KWin 5 and 6 differ in their scripts' names, which the scripts here test for. Where KWin
cannot paint its virtual outputs with OpenGL (KWin 6 without a DRM render node) it has no
ScreenShot2, Overview or Present Windows: then it runs in the windows of a headless sway instead,
full screen on sway's outputs, and grim takes the screenshots. Standard library only.

Run it alone to try it: kwin_desktop.py (needs $VANTREL_E2E_APP and $VANTREL_E2E_KWIN_INPUT)"""

import array
import itertools
import json
import os
import pwd
import shutil
import signal
import socket
import struct
import subprocess
import sys
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from virtual_desktop import Rect, Sandbox, comes_true, wait_until  # noqa: E402
from wayland_desktop import Image  # noqa: E402

KWIN = "/usr/bin/kwin_wayland"
OUTPUT_SIZE = (1280, 800)
OUTPUT_COUNT = 2
DESKTOP_USER = "nobody"
DESKTOP_GROUP = "nogroup"
KWIN_INPUT = os.environ.get("VANTREL_E2E_KWIN_INPUT")
SCRIPT_MARK = "vantrel-e2e"
# What the Overview and the window switcher are called in KWin's shortcuts, and its effects.
OVERVIEW_SHORTCUT = "Overview"
WINDOW_SWITCHER_SHORTCUT = "Walk Through Windows"
PRESENT_WINDOWS_SHORTCUT = "Expose"
# Three frames of a headless sway output (60 Hz): sway's, KWin's after it, and sway's again.
HOST_FRAMES = 0.05


# -- a small D-Bus client: busctl, gdbus and dbus-send cannot hand over a file descriptor ---------

class DBusError(RuntimeError):
    pass


def _align(offset, size):
    return (offset + size - 1) // size * size


_FIXED = {"y": "B", "b": "I", "n": "h", "q": "H", "i": "i", "u": "I", "x": "q", "t": "Q",
          "d": "d", "h": "I"}


def _one_type(signature, at):
    """The end of the single complete type that starts at signature[at]."""
    code = signature[at]
    if code == "a":
        return _one_type(signature, at + 1)
    if code in "({":
        close = ")" if code == "(" else "}"
        at += 1
        while signature[at] != close:
            at = _one_type(signature, at)
        return at + 1
    return at + 1


def _types(signature):
    at, found = 0, []
    while at < len(signature):
        end = _one_type(signature, at)
        found.append(signature[at:end])
        at = end
    return found


def _alignment(code):
    return {"y": 1, "g": 1, "n": 2, "q": 2, "v": 1, "(": 8, "{": 8, "x": 8, "t": 8,
            "d": 8}.get(code, 4)


class _Writer:
    def __init__(self, start=0):
        self.data = bytearray()
        self.start = start

    def pad(self, size):
        self.data += b"\0" * (_align(self.start + len(self.data), size)
                              - self.start - len(self.data))

    def write(self, kind, value):
        code = kind[0]
        if code in _FIXED:
            self.pad(struct.calcsize(_FIXED[code]))
            self.data += struct.pack("<" + _FIXED[code], int(value) if code != "d" else value)
        elif code in "so":
            encoded = value.encode()
            self.pad(4)
            self.data += struct.pack("<I", len(encoded)) + encoded + b"\0"
        elif code == "g":
            encoded = value.encode()
            self.data += bytes([len(encoded)]) + encoded + b"\0"
        elif code == "v":
            inner, inner_value = value
            self.write("g", inner)
            self.write(inner, inner_value)
        elif code == "(":
            self.pad(8)
            for inner, item in zip(_types(kind[1:-1]), value):
                self.write(inner, item)
        elif code == "a":
            element = kind[1:]
            self.pad(4)
            length_at = len(self.data)
            self.data += b"\0\0\0\0"
            self.pad(_alignment(element[0]))
            begin = len(self.data)
            items = value.items() if element[0] == "{" else value
            for item in items:
                if element[0] == "{":
                    self.pad(8)
                    key_type, value_type = _types(element[1:-1])
                    self.write(key_type, item[0])
                    self.write(value_type, item[1])
                else:
                    self.write(element, item)
            struct.pack_into("<I", self.data, length_at, len(self.data) - begin)
        else:
            raise ValueError(f"cannot write D-Bus type {kind}")


class _Reader:
    def __init__(self, data, at=0):
        self.data, self.at = data, at

    def read(self, kind):
        code = kind[0]
        if code in _FIXED:
            fmt = "<" + _FIXED[code]
            self.at = _align(self.at, struct.calcsize(fmt))
            (value,) = struct.unpack_from(fmt, self.data, self.at)
            self.at += struct.calcsize(fmt)
            return bool(value) if code == "b" else value
        if code in "so":
            self.at = _align(self.at, 4)
            (length,) = struct.unpack_from("<I", self.data, self.at)
            value = self.data[self.at + 4:self.at + 4 + length].decode()
            self.at += 4 + length + 1
            return value
        if code == "g":
            length = self.data[self.at]
            value = self.data[self.at + 1:self.at + 1 + length].decode()
            self.at += length + 2
            return value
        if code == "v":
            return self.read(self.read("g"))
        if code in "({":
            self.at = _align(self.at, 8)
            return tuple(self.read(inner) for inner in _types(kind[1:-1]))
        if code == "a":
            self.at = _align(self.at, 4)
            (length,) = struct.unpack_from("<I", self.data, self.at)
            self.at = _align(self.at + 4, _alignment(kind[1]))
            end, items = self.at + length, []
            while self.at < end:
                items.append(self.read(kind[1:]))
            return dict(items) if kind[1] == "{" else items
        raise ValueError(f"cannot read D-Bus type {kind}")


class DBusConnection:
    """One connection to a bus, for method calls: the arguments' types are D-Bus signatures, a
    variant is given as (signature, value), a file descriptor ('h') as an index into fds."""

    def __init__(self, address):
        path = dict(part.split("=", 1) for part in address.split(":", 1)[1].split(","))["path"]
        self.socket = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.socket.settimeout(30)
        self._buffer = b""
        self._serials = itertools.count(1)
        try:
            self.socket.connect(path)
            self.socket.sendall(b"\0AUTH EXTERNAL " + str(os.geteuid()).encode().hex().encode()
                                + b"\r\n")
            self._expect(b"OK ")
            self.socket.sendall(b"NEGOTIATE_UNIX_FD\r\n")
            self._expect(b"AGREE_UNIX_FD")
            self.socket.sendall(b"BEGIN\r\n")
            self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                      "Hello")
        except BaseException:
            # Tried again while the bus starts: no socket left behind for each try.
            self.socket.close()
            raise

    def _expect(self, start):
        while b"\r\n" not in self._buffer:
            chunk = self.socket.recv(4096)
            if not chunk:
                raise DBusError("the bus closed the connection while authenticating")
            self._buffer += chunk
        line, self._buffer = self._buffer.split(b"\r\n", 1)
        if not line.startswith(start):
            raise DBusError(f"the bus answered {line!r}")

    def close(self):
        self.socket.close()

    def call(self, destination, path, interface, member, signature="", *arguments, fds=()):
        """The reply's values, as a list."""
        serial = next(self._serials)
        body = _Writer()
        for kind, value in zip(_types(signature), arguments):
            body.write(kind, value)
        fields = [(1, ("o", path)), (3, ("s", member)), (6, ("s", destination))]
        if interface:
            fields.append((2, ("s", interface)))
        if signature:
            fields.append((8, ("g", signature)))
        if fds:
            fields.append((9, ("u", len(fds))))
        header = _Writer()
        header.data += struct.pack("<cBBBII", b"l", 1, 0, 1, len(body.data), serial)
        header.write("a(yv)", fields)
        header.pad(8)
        message = bytes(header.data + body.data)
        if fds:
            self.socket.sendmsg([message], [(socket.SOL_SOCKET, socket.SCM_RIGHTS,
                                             array.array("i", fds))])
        else:
            self.socket.sendall(message)
        return self._reply(serial)

    def _reply(self, serial):
        while True:
            kind, fields, body = self._message()
            if fields.get(5) != serial:
                continue  # a signal, or NameAcquired
            values = _Reader(body).read("(" + fields.get(8, "") + ")") if body else ()
            if kind == 3:
                raise DBusError(f"{fields.get(4)}: {values[0] if values else ''}")
            return list(values)

    def _message(self):
        while True:
            if len(self._buffer) >= 16:
                body_length, _, fields_length = struct.unpack_from("<III", self._buffer, 4)
                body_at = _align(16 + fields_length, 8)
                if len(self._buffer) >= body_at + body_length:
                    break
            data, ancillary, _, _ = self.socket.recvmsg(1 << 16, socket.CMSG_SPACE(16 * 4))
            for level, kind, payload in ancillary:
                if level == socket.SOL_SOCKET and kind == socket.SCM_RIGHTS:
                    for fd in array.array("i", payload[:len(payload) // 4 * 4]):
                        os.close(fd)  # none of the replies wanted here carries one
            if not data:
                raise DBusError("the bus closed the connection")
            self._buffer += data
        message = self._buffer[:body_at + body_length]
        self._buffer = self._buffer[body_at + body_length:]
        fields = dict(_Reader(message, 12).read("a(yv)"))
        return message[1], fields, message[body_at:]


# -- the desktop ----------------------------------------------------------------------------------

class View:
    """One window as a KWin script sees it; what wayland_desktop.View offers. KWin has no
    scratchpad: a minimized window is the hidden one."""

    def __init__(self, record, output):
        self.app_id = record["app_id"]
        self.pid = record["pid"]
        self.rect = Rect(record["x"], record["y"], record["width"], record["height"])
        self.focused = record["active"]
        self.minimized = record["minimized"]
        self.visible = not record["minimized"] and record["on_current_desktop"]
        self.caption = record["caption"]
        self.internal_id = record["id"]
        self.output = output
        self.workspace = record["desktop"]

    @property
    def in_scratchpad(self):
        return self.minimized

    def __repr__(self):
        state = "focused" if self.focused else "visible" if self.visible else "hidden"
        return f"<{self.app_id} {self.rect} on {self.output}/{self.workspace} {state}>"


_WINDOWS_SCRIPT = """
// KWin 6 renamed the client list and the active client, and keeps a list of desktops per window
// where KWin 5 kept a number.
function windowList() {
    return workspace.windowList ? workspace.windowList() : workspace.clientList();
}
var ACTIVE = workspace.activeWindow !== undefined ? "activeWindow" : "activeClient";
function desktopNumber(d) {
    return typeof d == "number" ? d : d.x11DesktopNumber;
}
function desktopOf(c) {
    if (c.onAllDesktops)
        return -1;
    if (typeof c.desktop == "number")
        return c.desktop;
    return c.desktops.length ? desktopNumber(c.desktops[0]) : 0;
}
function onCurrentDesktop(c) {
    if (c.onAllDesktops)
        return true;
    var current = desktopNumber(workspace.currentDesktop);
    if (typeof c.desktop == "number")
        return c.desktop == current;
    return c.desktops.some(function (d) { return desktopNumber(d) == current; });
}
function record(c) {
    var g = c.frameGeometry;
    return {app_id: String(c.desktopFileName || c.resourceClass), pid: c.pid,
            caption: String(c.caption), x: g.x, y: g.y, width: g.width, height: g.height,
            active: workspace[ACTIVE] == c, minimized: c.minimized,
            on_current_desktop: onCurrentDesktop(c), desktop: desktopOf(c),
            id: String(c.internalId),
            normal: c.normalWindow, special: c.specialWindow, opacity: c.opacity,
            skipSwitcher: c.skipSwitcher, skipTaskbar: c.skipTaskbar, skipPager: c.skipPager};
}
function matching(app_id) {
    return windowList().filter(function (c) {
        return String(c.desktopFileName || c.resourceClass) == app_id;
    });
}
"""


def _nobody():
    user = pwd.getpwnam(DESKTOP_USER)
    return user.pw_uid, user.pw_gid


class KWinDesktop(Sandbox):
    """Start with start(), stop with stop() (or use it as a context manager). Every process it
    starts is stopped again, its process group with it; its folders go. With permission_checks
    off (the default) KWin offers its restricted globals without desktop entries that ask for
    them."""

    def __init__(self, output_count=OUTPUT_COUNT, output_size=OUTPUT_SIZE,
                 permission_checks=False, kwin_input=None):
        super().__init__()
        self.output_count, self.output_size = output_count, output_size
        self.permission_checks = permission_checks
        self.kwin_input = kwin_input or KWIN_INPUT
        self.as_nobody = os.geteuid() == 0
        self.socket_name = "wayland-vantrel-kwin"
        for key in ("DISPLAY", "QT_QPA_PLATFORM"):
            self.env.pop(key, None)
        self.env.update({"XDG_SESSION_TYPE": "wayland", "XDG_CURRENT_DESKTOP": "KDE",
                         "KDE_FULL_SESSION": "true", "KDE_SESSION_VERSION": "5",
                         "QT_QPA_PLATFORM": "wayland", "WAYLAND_DISPLAY": self.socket_name})
        self.bus = None
        self.kwin = None
        # The headless sway KWin runs in when its own outputs give no screenshots.
        self.host = None
        self.host_outputs = []
        self.host_output_of = None
        self._typist = None
        self._log_offset = 0
        self._scripts = itertools.count(1)

    def start(self):
        try:
            self._prepare_folders()
            self._start_bus()
            self._start_kwin()
        except BaseException:
            self.stop()
            raise
        return self

    def _prepare_folders(self):
        # A copy without the file capability, which this kind of machine refuses; KWin knows
        # itself by the name.
        folder = os.path.join(self.root, "kwin")
        os.makedirs(folder)
        shutil.copy(KWIN, os.path.join(folder, "kwin_wayland"))
        os.makedirs(os.path.join(self.root, "scripts"))
        if self.permission_checks:
            # KWin lets the key tool type only as its entry asks.
            os.makedirs(self.applications_folder, exist_ok=True)
            with open(os.path.join(self.applications_folder, "vantrel-e2e-kwin-input.desktop"),
                      "w") as entry:
                entry.write("[Desktop Entry]\nType=Application\nName=Keys\nNoDisplay=true\n"
                            f"Exec={os.path.realpath(self.kwin_input)}\n"
                            "X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n")
            # KWin 6 finds entries through KService, which since KDE Frameworks 6 lists
            # applications only by an XDG applications menu. A Plasma session has its own
            # (plasma-applications.menu); this bare KWin gets one that takes in every entry.
            menus = os.path.join(self.env["XDG_CONFIG_HOME"], "menus")
            os.makedirs(menus, exist_ok=True)
            with open(os.path.join(menus, "applications.menu"), "w") as menu:
                menu.write('<!DOCTYPE Menu PUBLIC "-//freedesktop//DTD Menu 1.0//EN"'
                           ' "http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd">\n'
                           "<Menu><Name>Applications</Name><DefaultAppDirs/>"
                           "<DefaultDirectoryDirs/><Include><All/></Include></Menu>\n")
        if self.as_nobody:
            uid, gid = _nobody()
            for parent, folders, files in os.walk(self.root):
                for name in [parent] + [os.path.join(parent, n) for n in folders + files]:
                    os.chown(name, uid, gid)

    def _as_desktop_user(self, command):
        if not self.as_nobody:
            return list(command)
        return ["setpriv", f"--reuid={DESKTOP_USER}", f"--regid={DESKTOP_GROUP}",
                "--clear-groups", *command]

    def _spawn(self, command, name, **options):
        return super()._spawn(self._as_desktop_user(command), name, **options)

    def run(self, command, check=True):
        return super().run(self._as_desktop_user(command), check)

    def _start_bus(self):
        # The session bus's own rules, and the root harness let in beside its user.
        config = os.path.join(self.root, "bus.conf")
        with open(config, "w") as out:
            out.write('<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration'
                      ' 1.0//EN" "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">\n'
                      "<busconfig>\n  <include>/usr/share/dbus-1/session.conf</include>\n"
                      '  <policy context="default"><allow user="root"/></policy>\n'
                      "</busconfig>\n")
        os.chmod(config, 0o644)
        address = "unix:path=" + os.path.join(self.env["XDG_RUNTIME_DIR"], "bus")
        self._spawn(["dbus-daemon", f"--config-file={config}", "--nofork", "--nopidfile",
                     f"--address={address}"], "dbus")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

        def connect():
            try:
                return DBusConnection(address)
            except OSError:
                return None
        self.bus = wait_until(connect, 10, "the session bus answers")

    def _start_kwin(self):
        self.kwin = self._launch_kwin(["--virtual"])
        if (self.compositing_type() != "OpenGL" and shutil.which("sway")
                and shutil.which("grim")):
            # KWin 6 paints its virtual outputs with OpenGL only on a DRM render node; painted
            # with QPainter they have no ScreenShot2. Then KWin runs in the windows of a headless
            # sway instead, whose screenshots show what KWin paints.
            self.stop_process(self.kwin)
            self._processes.remove(self.kwin)
            self._start_host()
            self.kwin = self._launch_kwin(["--wayland-display", self.host_display])
            self._place_on_host()
        # What a Plasma session of this KWin tells its programs.
        version = self._support_value("KWin version")
        self.env["KDE_SESSION_VERSION"] = version.split(".")[0]

    def _launch_kwin(self, backend):
        width, height = self.output_size
        command = [os.path.join(self.root, "kwin", "kwin_wayland"), *backend,
                   "--width", str(width), "--height", str(height),
                   "--output-count", str(self.output_count), "--no-lockscreen",
                   "--socket", self.socket_name]
        # Nothing of the caller's session: KWin would take it for its own.
        kwin_env = {key: self.env[key] for key in
                    ("PATH", "HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                     "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS",
                     "DBUS_SESSION_BUS_ADDRESS") if key in self.env}
        if not self.permission_checks:
            kwin_env["KWIN_WAYLAND_NO_PERMISSION_CHECKS"] = "1"
        # The harness takes its screenshots as root, from no desktop entry.
        kwin_env["KWIN_SCREENSHOT_NO_PERMISSION_CHECKS"] = "1"
        env_before = self.env
        self.env = kwin_env
        try:
            kwin = self._spawn(command, "kwin")
        finally:
            self.env = env_before
        socket_path = os.path.join(self.env["XDG_RUNTIME_DIR"], self.socket_name)

        def ready():
            if kwin.poll() is not None:
                raise RuntimeError(f"KWin ended at start-up:\n{self.log('kwin')}")
            if not os.path.exists(socket_path):
                return False
            try:
                return len(self.outputs()) == self.output_count
            except DBusError:
                return False
        wait_until(ready, 20, "KWin shows its outputs")
        return kwin

    def _start_host(self):
        """A headless sway with an output for each of KWin's, side by side, painting in
        memory; as the desktop's user, in its runtime folder."""
        width, height = self.output_size
        self.host_outputs = [f"HEADLESS-{number + 1}" for number in range(self.output_count)]
        config = os.path.join(self.root, "host.conf")
        with open(config, "w") as out:
            for number, name in enumerate(self.host_outputs):
                out.write(f"output {name} mode {width}x{height} position {number * width} 0\n")
            out.write("default_border none\nfocus_follows_mouse no\nxwayland disable\n")
        os.chmod(config, 0o644)
        runtime = self.env["XDG_RUNTIME_DIR"]
        before = set(os.listdir(runtime))
        host_env = {"PATH": self.env["PATH"], "HOME": self.env["HOME"],
                    "XDG_RUNTIME_DIR": runtime, "WLR_BACKENDS": "headless",
                    "WLR_RENDERER": "pixman", "WLR_LIBINPUT_NO_DEVICES": "1",
                    "WLR_HEADLESS_OUTPUTS": str(self.output_count)}
        env_before = self.env
        self.env = host_env
        try:
            self.host = self._spawn(["sway", "--config", config], "host")
        finally:
            self.env = env_before

        def sockets():
            if self.host.poll() is not None:
                raise RuntimeError(f"sway ended at start-up:\n{self.log('host')}")
            new = set(os.listdir(runtime)) - before
            display = [n for n in new if n.startswith("wayland-") and not n.endswith(".lock")]
            ipc = [n for n in new if n.startswith("sway-ipc.") and n.endswith(".sock")]
            return display and ipc and (display[0], ipc[0])
        self.host_display, ipc = wait_until(sockets, 15, "sway makes its sockets")
        self.host_env = dict(self.env, WAYLAND_DISPLAY=self.host_display,
                             SWAYSOCK=os.path.join(runtime, ipc))

    def _host_tool(self, command):
        result = subprocess.run(self._as_desktop_user(command), env=self.host_env,
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
        if result.returncode != 0:
            raise RuntimeError(f"{' '.join(command)} failed: "
                               f"{result.stderr.decode(errors='replace').strip()}")
        return result.stdout

    def _place_on_host(self):
        """Each of KWin's windows full screen on its own output of sway, in KWin's order."""
        def kwin_windows():
            found, pending = [], [json.loads(self._host_tool(["swaymsg", "-t", "get_tree"]))]
            while pending:
                node = pending.pop()
                pending += node.get("nodes", []) + node.get("floating_nodes", [])
                if node.get("pid") == self.kwin.pid:
                    found.append(node["id"])
            return sorted(found) if len(found) == self.output_count else None
        windows = wait_until(kwin_windows, 10, "KWin's windows show on sway")
        for window, output in zip(windows, self.host_outputs):
            self._host_tool(["swaymsg", f"[con_id={window}] move container to output {output}, "
                             "fullscreen enable"])
        kwin_outputs = [name for name, _ in sorted(self.outputs(), key=lambda o: o[1].x)]
        self.host_output_of = dict(zip(kwin_outputs, self.host_outputs))
        size = tuple(self.output_size)
        wait_until(lambda: all((rect.width, rect.height) == size for _, rect in self.outputs()),
                   10, f"KWin's outputs take the size of sway's, {size}")

    def stop(self):
        if self._typist is not None:
            try:
                self._typist.stdin.close()
            except OSError:
                pass
        if self.bus is not None:
            self.bus.close()
            self.bus = None
        groups = [process.pid for process in self._processes]
        for process in reversed(self._processes):
            self.stop_process(process)
        if self._typist is not None:
            self.stop_process(self._typist)
            self._typist.stdout.close()
            self._typist = None
        # What they started, such as services the bus activated, goes with them.
        for group in groups:
            try:
                os.killpg(group, signal.SIGKILL)
            except ProcessLookupError:
                pass
        super().stop()

    # -- D-Bus --------------------------------------------------------------------------------

    def call(self, destination, path, interface, member, signature="", *arguments, fds=()):
        return self.bus.call(destination, path, interface, member, signature, *arguments,
                             fds=fds)

    def kwin_call(self, path, interface, member, signature="", *arguments):
        return self.call("org.kde.KWin", path, interface, member, signature, *arguments)

    def invoke_shortcut(self, name):
        """Does what KWin's global shortcut of that name does, as if its keys were pressed."""
        self.call("org.kde.kglobalaccel", "/component/kwin", "org.kde.kglobalaccel.Component",
                  "invokeShortcut", "s", name)

    def active_effects(self):
        return self.call("org.kde.KWin", "/Effects", "org.freedesktop.DBus.Properties", "Get",
                         "ss", "org.kde.kwin.Effects", "activeEffects")[0]

    # -- KWin scripts ---------------------------------------------------------------------------

    def _new_log(self):
        """KWin's log since the last look."""
        with open(self.log_path("kwin"), "rb") as log:
            log.seek(self._log_offset)
            text = log.read()
        self._log_offset += len(text)
        return text.decode(errors="replace")

    def run_script(self, source, timeout=5):
        """Runs source as a KWin script and returns what it printed with emit(value), decoded:
        a list. The script has record(window), matching(app_id), windowList() and ACTIVE (the
        name of the active window's property) at hand."""
        name = f"{SCRIPT_MARK}-{os.getpid()}-{next(self._scripts)}"
        mark = f"js: {name} "
        path = os.path.join(self.root, "scripts", name + ".js")
        with open(path, "w") as out:
            out.write(_WINDOWS_SCRIPT)
            out.write(f"function emit(v) {{ print({json.dumps(name)} + ' ' + JSON.stringify(v)); "
                      "}\n")
            out.write(f"try {{\n{source}\n}} catch (e) {{ emit({{error: String(e)}}); }}\n")
            out.write("emit('end');\n")
        os.chmod(path, 0o644)
        self._new_log()
        values, pending = [], ""
        try:
            self.kwin_call("/Scripting", "org.kde.kwin.Scripting", "loadScript", "ss", path, name)
            self.kwin_call("/Scripting", "org.kde.kwin.Scripting", "start")
            deadline = time.monotonic() + timeout
            while True:
                pending += self._new_log()
                lines = pending.split("\n")
                pending = lines.pop()
                for line in lines:
                    if line.startswith(mark):
                        value = json.loads(line[len(mark):])
                        if value == "end":
                            return values
                        if isinstance(value, dict) and set(value) == {"error"}:
                            raise RuntimeError(f"the KWin script failed: {value['error']}")
                        values.append(value)
                if time.monotonic() > deadline:
                    raise RuntimeError(f"the KWin script {name} gave no end within {timeout} s")
                time.sleep(0.005)
        finally:
            self.kwin_call("/Scripting", "org.kde.kwin.Scripting", "unloadScript", "s", name)
            os.remove(path)

    # -- looking at the desktop -----------------------------------------------------------------

    def support_information(self):
        return self.kwin_call("/KWin", "org.kde.KWin", "supportInformation")[0]

    def _support_value(self, key):
        """The first "key: value" of KWin's report, or None."""
        for line in self.support_information().splitlines():
            found, _, value = line.partition(": ")
            if found == key:
                return value
        return None

    def compositing_type(self):
        """How KWin paints: OpenGL or QPainter."""
        return self._support_value("Compositing Type")

    def effect_supported(self, effect):
        """Whether KWin can run the effect here (its Overview, for one, needs OpenGL)."""
        return self.call("org.kde.KWin", "/Effects", "org.kde.kwin.Effects", "isEffectSupported",
                         "s", effect)[0]

    def outputs(self):
        """The enabled outputs as (name, Rect), from KWin's own report."""
        found, name, enabled = [], None, False
        for line in self.support_information().splitlines():
            key, _, value = line.partition(": ")
            if key == "Name":
                name = value
            elif key == "Enabled":
                enabled = value == "1"
            elif key == "Geometry" and name is not None:
                position, size = value.rsplit(",", 1)
                x, y = (int(v) for v in position.split(","))
                width, height = (int(v) for v in size.split("x"))
                if enabled:
                    found.append((name, Rect(x, y, width, height)))
                name = None
        return found

    def output_rect(self, name):
        return dict(self.outputs())[name]

    def windows(self):
        """Every client KWin manages, as the dictionaries of record() in the script."""
        return self.run_script("windowList().forEach(function (c) { emit(record(c)); });")

    def views(self):
        outputs = self.outputs()

        def output_of(rect):
            for name, area in outputs:
                if area.contains_point(*rect.center):
                    return name
            return None
        views = []
        for record in self.windows():
            if record["special"] or not record["pid"]:
                continue  # KWin's own surfaces and panels
            rect = Rect(record["x"], record["y"], record["width"], record["height"])
            views.append(View(record, output_of(rect)))
        return views

    def views_of(self, app_id):
        return [view for view in self.views() if view.app_id == app_id]

    def view(self, app_id):
        found = self.views_of(app_id)
        return found[0] if found else None

    def _capture(self, member, signature, *arguments):
        """A ScreenShot2 capture, as an Image: KWin writes the pixels into a pipe and reports
        their layout in the reply."""
        read_end, write_end = os.pipe()
        try:
            options = {"native-resolution": ("b", True)}
            reply = self.call("org.kde.KWin.ScreenShot2", "/org/kde/KWin/ScreenShot2",
                              "org.kde.KWin.ScreenShot2", member, signature + "a{sv}h",
                              *arguments, options, 0, fds=(write_end,))[0]
            os.close(write_end)
            write_end = None
            chunks = []
            while True:
                chunk = os.read(read_end, 1 << 20)
                if not chunk:
                    break
                chunks.append(chunk)
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        return _image(reply, b"".join(chunks))

    def screenshot(self, output=None):
        """One output's picture as it is on the screen now, or the whole workspace's."""
        if self.host_output_of is not None:
            # sway paints an output only when something on it changed, and KWin, waiting to hear
            # that its last frame was painted, can stall with a change of its own unshown: a new
            # background has sway paint every output, then KWin its latest frame, then sway that.
            self._host_tool(["swaymsg", "output * background #000000 solid_color"])
            time.sleep(HOST_FRAMES)
            where = ["-o", self.host_output_of[output]] if output is not None else []
            image = Image(self._host_tool(["grim", "-t", "ppm", *where, "-"]))
            return KWinImage(image.width, image.height, image.pixels)
        if output is None:
            return self._capture("CaptureWorkspace", "")
        return self._capture("CaptureScreen", "s", output)

    def save_screenshots(self, folder, stem):
        """A PNG of every output, as stem.OUTPUT.png in folder; the paths written."""
        os.makedirs(folder, exist_ok=True)
        saved = []
        for name, _ in self.outputs():
            path = os.path.join(folder, f"{stem}.{name}.png")
            self.screenshot(name).save_png(path)
            saved.append(path)
        return saved

    # -- acting as the user ---------------------------------------------------------------------

    def _input(self, line):
        if self._typist is None or self._typist.poll() is not None:
            if not self.kwin_input or not os.access(self.kwin_input, os.X_OK):
                raise RuntimeError(f"not a program: {self.kwin_input!r} "
                                   "(set VANTREL_E2E_KWIN_INPUT)")
            with open(self.log_path("kwin-input"), "ab") as log:
                self._typist = subprocess.Popen(
                    self._as_desktop_user([self.kwin_input]), env=self.env,
                    stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=log, text=True,
                    start_new_session=True)
        self._typist.stdin.write(line + "\n")
        self._typist.stdin.flush()
        answer = self._typist.stdout.readline().strip()
        if answer != "ok":
            raise RuntimeError(f"kwin-input: {line!r}: {answer or self.log('kwin-input')}")

    def type_text(self, text, delay=10):
        """Types text as keys; delay is kwin-input's own, between every key."""
        del delay
        for number, part in enumerate(text.split("\n")):
            if number:
                self._input("key Return")
            if part:
                self._input("type " + part)

    def key(self, name):
        """A named key, such as Return, BackSpace or dead_acute."""
        self._input("key " + name)

    def key_combo(self, *modifiers, key):
        """key with the modifiers (ctrl, alt, shift, logo) held."""
        self._input("combo " + "+".join([*modifiers, key]))

    def hold(self, name):
        """Presses a key and keeps it down, until release(name)."""
        self._input("down " + name)

    def release(self, name):
        self._input("up " + name)

    def focus(self, app_id):
        """What a user's click does: KWin brings the window back if minimized and activates it."""
        self.run_script(f"""
            matching({json.dumps(app_id)}).slice(0, 1).forEach(function (c) {{
                c.minimized = false;
                workspace[ACTIVE] = c;
            }});""")

    def close(self, app_id):
        self.run_script(f"""
            matching({json.dumps(app_id)}).forEach(function (c) {{ c.closeWindow(); }});""")

    def minimize(self, app_id):
        self.run_script(f"""
            matching({json.dumps(app_id)}).forEach(function (c) {{ c.minimized = true; }});""")

    def overview(self, on=True):
        """Brings KWin's Overview up, or takes it down."""
        self._toggle_effect("overview", OVERVIEW_SHORTCUT, on)

    def present_windows(self, on=True):
        """KWin's Present Windows (its window view) up or down."""
        self._toggle_effect("windowview", PRESENT_WINDOWS_SHORTCUT, on)

    def _toggle_effect(self, effect, shortcut, on):
        if (effect in self.active_effects()) == on:
            return
        self._new_log()
        self.invoke_shortcut(shortcut)
        if not comes_true(lambda: (effect in self.active_effects()) == on, 5):
            # The effects are QML: KWin says which module it lacks.
            failures = [line for line in self._new_log().splitlines()
                        if "Failed to load" in line or "is not installed" in line]
            raise RuntimeError(f"KWin's {effect} did not come {'up' if on else 'down'}: "
                               + ("; ".join(failures[:4]) or "nothing in KWin's log"))

    def window_switcher(self, on=True):
        """The Alt+Tab switcher up, Alt held, or down, Alt let go: the window chosen comes to
        the front. A shortcut invoked over the bus would not hold Alt, and KWin would switch at
        once. True when KWin highlights the chosen window, as it does while switching."""
        if on:
            self.hold("alt")
            self.key("Tab")
            return comes_true(lambda: "highlightwindow" in self.active_effects(), 2)
        self.release("alt")
        return comes_true(lambda: "highlightwindow" not in self.active_effects(), 2)


def _image(reply, data):
    """The ScreenShot2 raw pixels as an Image (8-bit RGB)."""
    width, height, stride = reply["width"], reply["height"], reply["stride"]
    # QImage formats: RGB32, ARGB32 and its premultiplied form are 0xAARRGGBB words (B, G, R, A
    # bytes here); RGBX8888, RGBA8888 and its premultiplied form are R, G, B, A bytes.
    image_format = reply["format"]
    if image_format in (4, 5, 6):
        order = (2, 1, 0)
    elif image_format in (16, 17, 18):
        order = (0, 1, 2)
    else:
        raise ValueError(f"unknown image format {image_format} in {reply}")
    if len(data) < stride * height:
        raise ValueError(f"the screenshot is cut short: {len(data)} of {stride * height} bytes")
    rows = b"".join(data[row * stride:row * stride + width * 4] for row in range(height))
    rgb = bytearray(width * height * 3)
    for channel, source in enumerate(order):
        rgb[channel::3] = rows[source::4]
    return KWinImage(width, height, bytes(rgb))


class KWinImage(Image):
    """wayland_desktop's Image, made from raw pixels rather than a PPM."""

    def __init__(self, width, height, pixels):  # pylint: disable=super-init-not-called
        self.width, self.height, self.pixels = width, height, pixels

    def save_png(self, path):
        rows = b"".join(b"\0" + self.pixels[y * self.width * 3:(y + 1) * self.width * 3]
                        for y in range(self.height))

        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data
                    + struct.pack(">I", zlib.crc32(kind + data)))
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n"
                      + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2,
                                                   0, 0, 0))
                      + chunk(b"IDAT", zlib.compress(rows, 1)) + chunk(b"IEND", b""))


def _try_it():
    """Starts the desktop and the test application, shows what the tools see, and stops it
    all."""
    app = os.environ.get("VANTREL_E2E_APP")
    if not app:
        sys.exit("set VANTREL_E2E_APP and VANTREL_E2E_KWIN_INPUT")
    shots = "/tmp/kwin-harness-shots"
    os.makedirs(shots, exist_ok=True)
    started = time.monotonic()
    with KWinDesktop() as desktop:
        print(f"KWin is up after {time.monotonic() - started:.2f} s; outputs: {desktop.outputs()}")
        key_log = os.path.join(desktop.root, "keys.txt")
        launched = time.monotonic()
        desktop.spawn([app, "--key-log", key_log], "app")
        view = wait_until(lambda: desktop.view("vantrel-e2e-app"), 10, "the application shows")
        print(f"the application shows after {time.monotonic() - launched:.2f} s: {view}")
        print("views:", desktop.views())
        at = time.monotonic()
        desktop.views()
        print(f"views() takes {time.monotonic() - at:.3f} s")
        at = time.monotonic()
        desktop.type_text("Hello, World!")
        desktop.key("Return")
        desktop.key_combo("ctrl", key="a")
        print(f"typing took {time.monotonic() - at:.2f} s")
        def typed():
            try:
                with open(key_log, newline="") as log:
                    return log.read()
            except FileNotFoundError:
                return ""
        wait_until(lambda: typed() == "Hello, World!\r\x01", 3,
                   f"the application gets the keys; it has {typed()!r}")
        print("keys received:", repr(typed()))
        at = time.monotonic()
        whole = desktop.screenshot()
        print(f"workspace {whole.width}x{whole.height} in {time.monotonic() - at:.3f} s:",
              whole.colours(4))
        for name, _ in desktop.outputs():
            at = time.monotonic()
            image = desktop.screenshot(name)
            print(f"{name} {image.width}x{image.height} in {time.monotonic() - at:.3f} s:",
                  image.colours(3))
        whole.save_png(os.path.join(shots, "workspace.png"))
        for name, state in (("overview", desktop.overview),
                            ("present-windows", desktop.present_windows)):
            at = time.monotonic()
            try:
                state(True)
            except RuntimeError as error:
                print(f"{name} failed after {time.monotonic() - at:.2f} s: {error}")
                continue
            print(f"{name} up after {time.monotonic() - at:.2f} s")
            time.sleep(0.5)  # past the effect's opening animation
            desktop.screenshot().save_png(os.path.join(shots, name + ".png"))
            state(False)
        desktop.spawn([app, "--key-log", key_log, "-name", "second"], "app-2")
        wait_until(lambda: len(desktop.views()) == 2, 10, "a second application window shows")
        before = [view.focused for view in desktop.views()]
        print("switcher up:", desktop.window_switcher(True))
        desktop.screenshot().save_png(os.path.join(shots, "alt-tab.png"))
        print("switcher down:", desktop.window_switcher(False))
        after = [view.focused for view in desktop.views()]
        print(f"focus before Alt+Tab {before}, after {after}")
        desktop.minimize("vantrel-e2e-app")
        print("minimized:", desktop.view("vantrel-e2e-app"))
        desktop.focus("vantrel-e2e-app")
        print("focused again:", desktop.view("vantrel-e2e-app"))
        desktop.close("vantrel-e2e-app")
        wait_until(lambda: not desktop.view("vantrel-e2e-app"), 5, "the application closes")
        kwin_pid = desktop.kwin.pid
        stopping = time.monotonic()
    print(f"stopped in {time.monotonic() - stopping:.2f} s; KWin {kwin_pid} gone: "
          f"{not os.path.exists(f'/proc/{kwin_pid}')}; screenshots in {shots}")


if __name__ == "__main__":
    _try_it()
