#!/usr/bin/env python3
"""How fast Vantrel covers a locked application, how many typed keys reach the application before
it does, and what Vantrel costs while idle.

On a private virtual desktop (the one the end-to-end tests use), with the test application on the
locked list and a master password set, it measures twice 50 times, with vantrel-e2e-cover-watch as
the witness (it asks the X server every 2 ms whether the application's window shows with no window
of Vantrel's over it):

- launches: from the moment the window of a newly launched application is mapped to the moment
  it is first covered; the password then unlocks it and the application is quit;
- re-activations: the same application, hidden (by the lock's close shortcut, or iconified), is
  brought back with xdotool windowactivate; from the moment it is mapped again to it being covered.

Besides the time until first covered, it adds up how long the window showed uncovered in all
during its first second: the window manager animates a window coming back, and a lock that
follows the moving frame late shows slivers of it. As soon as the window is seen, "abcdefgh" is
typed (xdotool, 5 ms between keys) to whatever has the keyboard; the test application logs every
key it gets, so the keys that reached it are counted. A window still uncovered after 5 s counts as
a failure, with 5 s as its time. Then it measures Vantrel's CPU time over 30 s of idling and its
resident memory.

Usage: bench/lock_latency.py [BUILD_DIR]   (a build with the tests: tools/dev test makes one)"""

import collections
import os
import statistics
import subprocess
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tests", "e2e"))
from cover_watch import CoverWatch  # noqa: E402
from virtual_desktop import Timeout, VirtualDesktop, wait_until, write_desktop_entry  # noqa: E402

LAUNCHES = 50
REACTIVATIONS = 50
COVER_TIMEOUT = 5.0
KEYS = "abcdefgh"
IDLE_SECONDS = 30
# Long enough for the window manager's animations and the lock to follow them.
SETTLE = 1.0
LOCKED_ID = "vantrel-bench-locked"
PASSWORD = "bench-password"


Measure = collections.namedtuple("Measure", "frame client latency exposed keys")


def programs(build):
    found = {
        "vantrel": os.path.join(build, "Vantrel.app/Contents/MacOS/Vantrel"),
        "defaults": os.path.join(build, "tools/vantrel-defaults/vantrel-defaults"),
        "app": os.path.join(build, "tests/e2e/vantrel-e2e-app"),
        "password": os.path.join(build, "tests/e2e/vantrel-e2e-set-password"),
        "watch": os.path.join(build, "tests/e2e/vantrel-e2e-cover-watch"),
    }
    for path in found.values():
        if not os.access(path, os.X_OK):
            sys.exit(f"lock_latency: {path} is missing; build with the tests first (tools/dev test)")
    return found


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def memory_kib(pid, key):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def percentile(values, fraction):
    ordered = sorted(values)
    index = min(len(ordered) - 1, max(0, round(fraction * (len(ordered) - 1))))
    return ordered[index]


def machine():
    model = "unknown"
    with open("/proc/cpuinfo") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/loadavg") as loadavg:
        load = loadavg.read().split()[0]
    return (f"{os.cpu_count()} processors (nproc {len(os.sched_getaffinity(0))}), {model}, "
            f"load average {load}")


class Bench:
    def __init__(self, desktop, tools):
        self.desktop = desktop
        self.tools = tools
        self.key_log = os.path.join(desktop.root, "keys.txt")
        self.vantrel = None
        self.watch = None
        self.troubles = collections.Counter()

    # -- Vantrel's windows, as the X tools see them ------------------------------------------

    def large_vantrel_windows(self):
        """Vantrel's viewable windows of at least 200x200: its popover, or a lock."""
        out = self.desktop.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                                str(self.vantrel.pid)], check=False) or ""
        large = []
        for word in out.split():
            size = self.desktop.geometry(int(word))
            if size is not None and size.width >= 200 and size.height >= 200:
                large.append(int(word))
        return large

    def start_vantrel(self):
        self.vantrel = self.desktop.spawn([self.tools["vantrel"]], "vantrel")
        # Its popover opens by itself once it is up and would hold the keyboard; a click on the
        # desktop closes it, as for a user who goes on to start an application.
        try:
            wait_until(lambda: self.vantrel.poll() is not None or self.large_vantrel_windows(),
                       15, "Vantrel's popover opens")
        except Timeout:
            pass
        if self.vantrel.poll() is not None:
            sys.exit("lock_latency: Vantrel ended at start-up:\n" + self.desktop.log("vantrel"))
        self.desktop.run(["xdotool", "mousemove", "640", "500", "click", "1"])
        wait_until(lambda: not self.large_vantrel_windows(), 5, "the popover closes")

    # -- one measurement --------------------------------------------------------------------

    def typed(self):
        try:
            return os.path.getsize(self.key_log)
        except FileNotFoundError:
            return 0

    def appear(self, index, act, tries):
        """Does act, which brings an application window on the screen, until the watch sees it;
        returns (window, time it appeared)."""
        for _ in range(tries):
            act()
            if self.watch.wait_for(lambda events: len(self.watch.appearances(events)) > index,
                                   10 / tries):
                return self.watch.appearances()[index]
            self.troubles["requests that brought no window on the screen (tried again)"] += 1
        raise Timeout("the application's window did not appear")

    def measure(self, index, act, tries=1):
        """Brings an application window on the screen with act, types at once, and returns a
        Measure."""
        window, appeared = self.appear(index, act, tries)
        before = self.typed()
        typist = subprocess.Popen(["xdotool", "type", "--delay", "5", KEYS], env=self.desktop.env,
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        client = next(e["client"] for e in self.watch.events()
                      if e["event"] == "appeared" and e["t"] == appeared and e["window"] == window)
        while True:
            now = time.monotonic()
            latency = self.watch.latencies()[index]
            if latency is not None and now >= appeared + SETTLE:
                break
            if latency is None and now >= appeared + COVER_TIMEOUT:
                break
            time.sleep(0.005)
        typist.wait(10)
        time.sleep(0.2)  # the last keys on their way through the X server
        exposed = self.watch.uncovered_seconds(window, appeared, appeared + SETTLE)
        return Measure(window, client, latency, exposed, self.typed() - before)

    # -- the two series ---------------------------------------------------------------------

    def launch(self):
        return self.desktop.spawn([self.tools["app"], "-name", LOCKED_ID, "--key-log",
                                   self.key_log], LOCKED_ID)

    def unlock(self):
        """Types the password into the lock (after clearing what the measure typed there)."""
        self.desktop.key("ctrl+a", "BackSpace")
        self.desktop.type_text(PASSWORD)
        self.desktop.key("Return")
        try:
            wait_until(lambda: not self.large_vantrel_windows(), 5, "the password unlocks")
            return True
        except Timeout:
            return False

    def launches(self, results):
        for _ in range(LAUNCHES):
            # A lock left over the place where the window will appear would pass for a quick one.
            if self.large_vantrel_windows():
                self.troubles["launches that began with a lock of Vantrel's on the screen"] += 1
            index = len(self.watch.appearances())
            processes = []
            results.append(self.measure(index, lambda: processes.append(self.launch())))
            if not self.unlock():
                self.troubles["locks the password did not take away"] += 1
            self.desktop.stop_process(processes[0])
            try:
                wait_until(lambda: not self.large_vantrel_windows(), 3, "no lock is left")
            except Timeout:
                pass  # counted at the next launch

    def hide(self, frame, client, covered):
        """Hides the application: by the lock's close shortcut when the lock is up, else as the
        user would iconify it."""
        shortcut = False
        if covered:
            self.desktop.key("ctrl+alt+q")
            try:
                wait_until(lambda: self.desktop.is_hidden(client), 3, "the shortcut hides it")
                shortcut = True
            except Timeout:
                self.troubles["close shortcuts that did not hide the application"] += 1
        if not shortcut:
            self.desktop.run(["xdotool", "windowminimize", str(client)], check=False)
        # The window manager's animation is over once the frame is off the screen.
        wait_until(lambda: not self.desktop.is_viewable(frame), 5, "the application is hidden")
        try:
            wait_until(lambda: not self.large_vantrel_windows(), 3, "the lock goes")
        except Timeout:
            self.troubles["locks left on the screen with the application hidden"] += 1
        self.troubles["re-activations after iconifying instead of the close shortcut"] += (
            0 if shortcut else 1)

    def reactivations(self, results):
        processes = []
        index = len(self.watch.appearances())
        first = self.measure(index, lambda: processes.append(self.launch()))
        frame, client, covered = first.frame, first.client, first.latency is not None
        for _ in range(REACTIVATIONS):
            self.hide(frame, client, covered)
            index = len(self.watch.appearances())
            result = self.measure(index, lambda: self.desktop.run(
                ["xdotool", "windowactivate", str(client)], check=False), tries=3)
            results.append(result)
            covered = result.latency is not None
        self.unlock()
        self.desktop.stop_process(processes[0])


def report(label, results):
    def summary(values):
        milliseconds = [1000 * value for value in values]
        return (f"median {statistics.median(milliseconds):.0f} ms, "
                f"95th percentile {percentile(milliseconds, 0.95):.0f} ms, "
                f"max {max(milliseconds):.0f} ms")
    failures = sum(1 for r in results if r.latency is None)
    print(f"{label}, {len(results)} times:")
    print("  until covered: "
          + summary([COVER_TIMEOUT if r.latency is None else r.latency for r in results])
          + f"; not covered within {COVER_TIMEOUT:.0f} s: {failures}")
    print(f"  uncovered in all within {SETTLE:.0f} s of appearing: "
          + summary([r.exposed for r in results]))
    print(f"  keys that reached the application: {sum(r.keys for r in results)} "
          f"of {len(KEYS) * len(results)}")


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build"))
    tools = programs(build)
    launched, reactivated = [], []
    with VirtualDesktop() as desktop:
        write_desktop_entry(desktop, LOCKED_ID, "Bench App", f"{tools['app']} -name {LOCKED_ID}")
        desktop.run([tools["defaults"], "write", "savedIds", "-array", LOCKED_ID])
        desktop.run([tools["password"], PASSWORD])
        bench = Bench(desktop, tools)
        bench.start_vantrel()
        bench.watch = CoverWatch(desktop.env, tools["watch"], [LOCKED_ID], bench.vantrel.pid,
                                 os.path.join(desktop.root, "cover-watch.jsonl")).start()
        watch_started = time.monotonic()
        try:
            bench.launches(launched)
            bench.reactivations(reactivated)
            watch_cpu = cpu_seconds(bench.watch.process.pid)
            watch_seconds = time.monotonic() - watch_started
        finally:
            bench.watch.stop()

        time.sleep(1)
        vantrel = bench.vantrel
        before = cpu_seconds(vantrel.pid)
        time.sleep(IDLE_SECONDS)
        idle_cpu = cpu_seconds(vantrel.pid) - before
        rss = memory_kib(vantrel.pid, "VmRSS")
        peak = memory_kib(vantrel.pid, "VmHWM")

    print(f"machine: {machine()}")
    report("launches of the locked application, from its window being mapped", launched)
    report("re-activations of the hidden application, from its window being mapped again",
           reactivated)
    for trouble, count in sorted(bench.troubles.items()):
        if count:
            print(f"{trouble}: {count}")
    print(f"CPU while idle for {IDLE_SECONDS} s: {idle_cpu:.2f} s "
          f"({100 * idle_cpu / IDLE_SECONDS:.2f} % of one core)")
    print(f"resident memory: {rss / 1024:.1f} MiB (peak {peak / 1024:.1f} MiB)")
    print(f"(the cover watch itself used {100 * watch_cpu / watch_seconds:.1f} % of one core "
          f"while it watched)")


if __name__ == "__main__":
    main()
