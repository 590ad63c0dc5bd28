#!/usr/bin/env python3
"""How fast Vantrel covers a locked application, and what it costs while idle.

On a private virtual desktop (the one the end-to-end tests use) it launches the locked test
application 20 times and measures, beyond the 1 s that the lock engine waits after a launch, how
long the lock window took to stand over it: from the moment the application's window is on the
screen (the window manager lists it: the launch as Vantrel sees it), and from the start of its process (which adds the
application's own start-up), to the moment the lock window is the active window over it. Both are
polled with X tools every few milliseconds, so they are good to about 10 ms. Then it measures Vantrel's CPU
time over 30 s of idling and its resident memory.

Usage: bench/lock_latency.py [BUILD_DIR]   (a build with the tests: tools/dev test makes one)"""

import os
import statistics
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tests", "e2e"))
from virtual_desktop import VirtualDesktop, wait_until, write_desktop_entry  # noqa: E402

LAUNCHES = 20
IDLE_SECONDS = 30
ENGINE_WAIT = 1.0
LOCKED_ID = "vantrel-bench-locked"
PASSWORD = "bench-password"


def programs(build):
    found = {
        "vantrel": os.path.join(build, "Vantrel.app/Contents/MacOS/Vantrel"),
        "defaults": os.path.join(build, "tools/vantrel-defaults/vantrel-defaults"),
        "app": os.path.join(build, "tests/e2e/vantrel-e2e-app"),
        "password": os.path.join(build, "tests/e2e/vantrel-e2e-set-password"),
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
    return f"{os.cpu_count()} processors (nproc {len(os.sched_getaffinity(0))}), {model}"


def active_pid(desktop):
    out = desktop.run(["xdotool", "getactivewindow", "getwindowpid"], check=False)
    return int(out) if out and out.strip().isdigit() else None


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build"))
    tools = programs(build)
    with VirtualDesktop() as desktop:
        write_desktop_entry(desktop, LOCKED_ID, "Bench App", f"{tools['app']} -name {LOCKED_ID}")
        desktop.run([tools["defaults"], "write", "savedIds", "-array", LOCKED_ID])
        desktop.run([tools["password"], PASSWORD])
        vantrel = desktop.spawn([tools["vantrel"]], "vantrel")
        time.sleep(2)  # start-up, and the popover's own opening at 1 s

        beyond_wait = []
        from_launch = []
        for _ in range(LAUNCHES):
            before = set(desktop.client_list())
            launched = time.monotonic()
            app = desktop.spawn([tools["app"], "-name", LOCKED_ID], LOCKED_ID)
            # The launch as Vantrel sees it: the window manager lists the new window.
            added = wait_until(lambda: set(desktop.client_list()) - before, 10,
                               "the application's window is managed", interval=0.002)
            shown = time.monotonic()
            window = next(w for w in added if desktop.window_pid(w) == app.pid)
            wait_until(lambda: active_pid(desktop) == vantrel.pid, 5, "the lock window is active",
                       interval=0.005)
            covered = time.monotonic()
            lock = desktop.active_window()
            if not (desktop.geometry(lock).contains(desktop.frame(window))
                    and desktop.is_above(lock, window)):
                sys.exit("lock_latency: the lock window does not cover the application")
            beyond_wait.append(covered - shown - ENGINE_WAIT)
            from_launch.append(covered - launched - ENGINE_WAIT)
            desktop.type_text(PASSWORD)
            desktop.key("Return")
            wait_until(lambda: not desktop.is_viewable(lock), 5, "the password unlocks")
            desktop.stop_process(app)
            wait_until(lambda: window not in desktop.client_list(), 5, "the application is gone")

        time.sleep(1)
        before = cpu_seconds(vantrel.pid)
        time.sleep(IDLE_SECONDS)
        idle_cpu = cpu_seconds(vantrel.pid) - before
        rss = memory_kib(vantrel.pid, "VmRSS")
        peak = memory_kib(vantrel.pid, "VmHWM")

    print(f"machine: {machine()}")
    for label, values in (("window shown", beyond_wait), ("process started", from_launch)):
        milliseconds = [1000 * value for value in values]
        print(f"lock latency beyond the 1 s wait, from {label}, {LAUNCHES} launches: "
              f"median {statistics.median(milliseconds):.0f} ms, "
              f"95th percentile {percentile(milliseconds, 0.95):.0f} ms, "
              f"max {max(milliseconds):.0f} ms")
    print(f"CPU while idle for {IDLE_SECONDS} s: {idle_cpu:.2f} s "
          f"({100 * idle_cpu / IDLE_SECONDS:.2f} % of one core)")
    print(f"resident memory: {rss / 1024:.1f} MiB (peak {peak / 1024:.1f} MiB)")


if __name__ == "__main__":
    main()
