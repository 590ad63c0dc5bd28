"""A private Wayland desktop for driving Vantrel as a user would: the sandbox and session bus of
virtual_desktop.py and a headless sway (wlroots) with two outputs side by side. sway refuses to run
as root, so for a root caller it runs as nobody. It has a runtime folder of its own; the programs
on the desktop run as the caller and reach it through a link in the sandbox's runtime folder.
Standard library only; the tools are swaymsg, grim (screenshots, read here as PPM) and wtype.

Run it alone to try the tools: wayland_desktop.py"""

import json
import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from virtual_desktop import Rect, Sandbox, wait_until  # noqa: E402

# (name, x, y, width, height) of each headless output, the first one first.
OUTPUTS = (("HEADLESS-1", 0, 0, 1280, 800), ("HEADLESS-2", 1280, 0, 1280, 800))
COMPOSITOR_USER = "nobody"
SCRATCHPAD = "__i3_scratch"
# wtype makes a new virtual keyboard each time; sway hands its keymap to the focused client along
# with the first key, and that key is lost now and then unless wtype waits a moment first.
KEYMAP_SETTLE_MS = 50


class View:
    """One toplevel as sway's tree shows it."""

    def __init__(self, node, output, workspace):
        self.app_id = node.get("app_id")
        self.pid = node.get("pid")
        self.rect = Rect(**node["rect"])
        self.focused = bool(node.get("focused"))
        self.visible = bool(node.get("visible"))
        self.output, self.workspace = output, workspace

    @property
    def in_scratchpad(self):
        return self.workspace == SCRATCHPAD

    def __repr__(self):
        state = "focused" if self.focused else "visible" if self.visible else "hidden"
        return f"<{self.app_id} {self.rect} on {self.output}/{self.workspace} {state}>"


class Image:
    """A screenshot of one output: 8-bit RGB rows, read from a binary PPM."""

    def __init__(self, ppm):
        fields, at = [], 0
        while len(fields) < 4:
            while ppm[at:at + 1].isspace():
                at += 1
            end = at
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[at:end])
            at = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError(f"not an 8-bit binary PPM: {fields}")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = ppm[at + 1:at + 1 + self.width * self.height * 3]
        if len(self.pixels) != self.width * self.height * 3:
            raise ValueError("the PPM is cut short")

    @property
    def area(self):
        return self.width * self.height

    def count(self, colour, rect=None, tolerance=0):
        """How many pixels within rect (the whole image unless given; in image coordinates) are
        colour, an (r, g, b) triple, give or take tolerance in each channel."""
        if rect is None:
            data = self.pixels
        else:
            x0, x1 = max(rect.x, 0), min(rect.right, self.width)
            y0, y1 = max(rect.y, 0), min(rect.bottom, self.height)
            if x0 >= x1 or y0 >= y1:
                return 0
            stride = self.width * 3
            data = b"".join(self.pixels[y * stride + x0 * 3:y * stride + x1 * 3]
                            for y in range(y0, y1))
        # One byte per pixel and channel, 1 where the channel matches; the pixels that match in
        # all three are the set bits of the three masks ANDed.
        mask = -1
        for channel, value in enumerate(colour):
            table = bytes(1 if abs(byte - value) <= tolerance else 0 for byte in range(256))
            mask &= int.from_bytes(data[channel::3].translate(table), "big")
        return mask.bit_count()

    def colours(self, most=5):
        """The commonest colours, as (count, '#rrggbb'): for failure messages."""
        counts = {}
        for at in range(0, len(self.pixels), 3 * 97):  # a sample is plenty for a message
            key = self.pixels[at:at + 3].hex()
            counts[key] = counts.get(key, 0) + 1
        return sorted(((n * 97, "#" + key) for key, n in counts.items()), reverse=True)[:most]


def colour(hex_rgb):
    """'ff00ff' as (255, 0, 255)."""
    return tuple(bytes.fromhex(hex_rgb))


def criteria(app_id):
    # sway's criteria are regular expressions that match anywhere: "foot" would pick
    # "vantrel-free-foot" as well.
    escaped = "".join("\\" + c if not c.isalnum() and c not in "-_" else c for c in app_id)
    return f'[app_id="^{escaped}$"]'


class WaylandDesktop(Sandbox):
    """Start with start(), stop with stop() (or use it as a context manager). Every process it
    starts is stopped again, last started first; its folders go."""

    def __init__(self, outputs=OUTPUTS):
        super().__init__()
        self.output_layout = outputs
        for key in ("DISPLAY", "QT_QPA_PLATFORM"):
            self.env.pop(key, None)
        self.env["XDG_SESSION_TYPE"] = "wayland"
        self.env["XDG_CURRENT_DESKTOP"] = "sway"
        # sway's own folder, outside the sandbox, which nobody cannot enter; nobody's, mode 0700,
        # when sway runs as nobody.
        self.compositor_dir = tempfile.mkdtemp(prefix="vantrel-sway-")
        self.as_nobody = os.geteuid() == 0
        if self.as_nobody:
            user = pwd.getpwnam(COMPOSITOR_USER)
            os.chown(self.compositor_dir, user.pw_uid, user.pw_gid)
        self.sway = None

    def start(self):
        try:
            self._start_bus()
            self._start_sway()
        except BaseException:
            self.stop()
            raise
        return self

    def _start_sway(self):
        config = os.path.join(self.compositor_dir, "config")
        with open(config, "w") as out:
            for name, x, y, width, height in self.output_layout:
                out.write(f"output {name} mode {width}x{height} position {x} {y}\n")
            # Nothing but the clients' own pixels on the screen; no Xwayland (not installed).
            out.write("default_border none\ndefault_floating_border none\n"
                      "focus_follows_mouse no\nxwayland disable\n")
        os.chmod(config, 0o644)
        compositor_env = {
            "XDG_RUNTIME_DIR": self.compositor_dir,
            "HOME": self.compositor_dir,
            "WLR_BACKENDS": "headless",
            "WLR_RENDERER": "pixman",
            "WLR_LIBINPUT_NO_DEVICES": "1",
            "WLR_HEADLESS_OUTPUTS": str(len(self.output_layout)),
        }
        command = ["sway", "--config", config]
        if self.as_nobody:
            command = ["setpriv", f"--reuid={COMPOSITOR_USER}", "--regid=nogroup",
                       "--clear-groups", *command]
        self.sway = self.spawn(command, "sway", extra_env=compositor_env)

        def sockets():
            if self.sway.poll() is not None:
                raise RuntimeError(f"sway ended at start-up:\n{self.log('sway')}")
            names = os.listdir(self.compositor_dir)
            display = [n for n in names if n.startswith("wayland-") and not n.endswith(".lock")]
            ipc = [n for n in names if n.startswith("sway-ipc.") and n.endswith(".sock")]
            return display and ipc and (display[0], ipc[0])
        display, ipc = wait_until(sockets, 15, "sway makes its sockets")
        # The programs keep the sandbox's runtime folder, their own as in a real session.
        os.symlink(os.path.join(self.compositor_dir, display),
                   os.path.join(self.env["XDG_RUNTIME_DIR"], display))
        self.env["WAYLAND_DISPLAY"] = display
        self.env["SWAYSOCK"] = os.path.join(self.compositor_dir, ipc)
        wanted = sorted((name, Rect(x, y, width, height))
                        for name, x, y, width, height in self.output_layout)
        wait_until(lambda: sorted(self.outputs()) == wanted, 10,
                   f"sway lays out the outputs {wanted}")

    def stop(self):
        super().stop()
        shutil.rmtree(self.compositor_dir, ignore_errors=True)

    # -- looking at the desktop -----------------------------------------------------------------

    def swaymsg(self, *arguments, check=True):
        return self.run(["swaymsg", *arguments], check=check)

    def _query(self, kind):
        return json.loads(self.swaymsg("-t", kind, "-r"))

    def outputs(self):
        """The active outputs as (name, Rect), in layout coordinates."""
        return [(o["name"], Rect(**o["rect"])) for o in self._query("get_outputs") if o["active"]]

    def output_rect(self, name):
        return dict(self.outputs())[name]

    def tree(self):
        return self._query("get_tree")

    def views(self):
        """Every toplevel, the scratchpad's included."""
        found = []

        def walk(node, output, workspace):
            if node["type"] == "output":
                output = node["name"]
            elif node["type"] == "workspace":
                workspace = node["name"]
            elif node.get("pid"):
                found.append(View(node, output, workspace))
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child, output, workspace)
        walk(self.tree(), None, None)
        return found

    def views_of(self, app_id):
        return [view for view in self.views() if view.app_id == app_id]

    def view(self, app_id):
        found = self.views_of(app_id)
        return found[0] if found else None

    def screenshot(self, output):
        """The output's picture as it is on the screen now, overlays and all."""
        result = subprocess.run(["grim", "-t", "ppm", "-o", output, "-"], env=self.env,
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
        if result.returncode != 0:
            raise RuntimeError(f"grim -o {output} failed: {result.stderr.decode().strip()}")
        return Image(result.stdout)

    def save_screenshots(self, folder, stem):
        """A PNG of every output, as stem.OUTPUT.png in folder; the paths written."""
        os.makedirs(folder, exist_ok=True)
        saved = []
        for name, _ in self.outputs():
            path = os.path.join(folder, f"{stem}.{name}.png")
            if self.run(["grim", "-o", name, path], check=False) is not None:
                saved.append(path)
        return saved

    # -- acting as the user ---------------------------------------------------------------------

    def wtype(self, *arguments):
        self.run(["wtype", "-s", str(KEYMAP_SETTLE_MS), *arguments])

    def type_text(self, text, delay=10):
        self.wtype("-d", str(delay), "--", text)

    def key(self, name):
        """A named key, such as Return or BackSpace."""
        self.wtype("-k", name)

    def key_combo(self, *modifiers, key):
        """key with the modifiers (ctrl, alt, shift, logo) held."""
        arguments = []
        for modifier in modifiers:
            arguments += ["-M", modifier]
        arguments += ["-k", key]
        for modifier in reversed(modifiers):
            arguments += ["-m", modifier]
        self.wtype(*arguments)

    def focus(self, app_id):
        """What a user's click or key does: sway focuses the view, and brings it back from the
        scratchpad if it is there."""
        self.swaymsg(f"{criteria(app_id)} focus")

    def close(self, app_id):
        self.swaymsg(f"{criteria(app_id)} kill")


def _try_it():
    """Starts the desktop and a foot, shows what the tools see, and stops it all."""
    with WaylandDesktop() as desktop:
        key_log = os.path.join(desktop.root, "keys.txt")
        desktop.spawn(["foot", "-o", "colors.background=ff00ff", "sh", "-c",
                       'stty raw -echo; exec cat > "$0"', key_log], "foot")
        started = time.monotonic()
        view = wait_until(lambda: desktop.view("foot"), 10, "foot shows")
        print(f"foot shows after {time.monotonic() - started:.2f} s: {view}")
        print("outputs:", desktop.outputs())
        wait_until(lambda: desktop.screenshot(view.output).count(colour("ff00ff")), 5,
                   "foot's colour shows")
        for name, _ in desktop.outputs():
            print(name, desktop.screenshot(name).colours(3))
        desktop.type_text("hello")
        wait_until(lambda: open(key_log).read() == "hello", 3, "foot gets the keys")
        desktop.swaymsg(f"{criteria('foot')} move scratchpad")
        print("in the scratchpad:", desktop.view("foot"))
        desktop.focus("foot")
        print("focused again:", desktop.view("foot"))


if __name__ == "__main__":
    _try_it()
