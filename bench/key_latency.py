#!/usr/bin/env python3
"""What Vantrel adds to the time a key takes to reach a newly opened application that is not
locked.

Vantrel holds the keys typed while the desktop takes on a new window, until it knows whose window
it is; for a free application that wait is all it costs. On a private virtual desktop (the one the
end-to-end tests use), under each window manager, it opens the test application ROUNDS times,
types one key the moment the new window has the keyboard, and measures from sending the key until
the application has logged it. It does so without Vantrel, then with Vantrel running (a master
password set and another application on the locked list), and prints the median and the 95th
percentile of each and of the difference.

Usage: bench/key_latency.py [BUILD_DIR [ROUNDS]]   (a build with the tests: tools/dev test makes one)"""

import os
import statistics
import sys
import tempfile
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tests", "e2e"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lock_latency import machine, percentile, programs  # noqa: E402
from virtual_desktop import VirtualDesktop, wait_until, write_desktop_entry  # noqa: E402

FREE_ID = "vantrel-bench-free"
LOCKED_ID = "vantrel-bench-locked"
ARRIVAL_TIMEOUT = 5.0


def read(path):
    try:
        with open(path) as text:
            return text.read()
    except FileNotFoundError:
        return ""


def one_key(desktop, app, folder):
    """Opens the application, types a key once its window has the keyboard; seconds to arrival."""
    key_log = os.path.join(folder, "keys")
    windows = os.path.join(folder, "windows")
    process = desktop.spawn([app, "-name", FREE_ID, "--key-log", key_log, "--windows-file",
                             windows], FREE_ID)
    try:
        def focused_window():
            listed = read(windows).split()
            return len(listed) >= 2 and desktop.input_focus() == int(listed[1])
        wait_until(focused_window, 10, "the new window has the keyboard", interval=0.001)
        sent = time.monotonic()
        desktop.run(["xdotool", "key", "a"])
        while read(key_log) != "a":
            if time.monotonic() - sent > ARRIVAL_TIMEOUT:
                return ARRIVAL_TIMEOUT
            time.sleep(0.0005)
        return time.monotonic() - sent
    finally:
        desktop.stop_process(process)
        for path in (key_log, windows):
            if os.path.exists(path):
                os.remove(path)


def series(tools, window_manager, rounds, with_vantrel):
    with VirtualDesktop(window_manager=window_manager) as desktop:
        write_desktop_entry(desktop, FREE_ID, "Free", f"{tools['app']} -name {FREE_ID}")
        write_desktop_entry(desktop, LOCKED_ID, "Locked", f"{tools['app']} -name {LOCKED_ID}")
        if with_vantrel:
            desktop.run([tools["defaults"], "write", "savedIds", "-array", LOCKED_ID])
            desktop.run([tools["password"], "bench-password"])
            vantrel = desktop.spawn([tools["vantrel"]], "vantrel")
            # Its popover opens by itself after a second; a click on the desktop closes it.
            time.sleep(3)
            if vantrel.poll() is not None:
                sys.exit("key_latency: Vantrel ended at start-up:\n" + desktop.log("vantrel"))
            desktop.run(["xdotool", "mousemove", "640", "500", "click", "1"])
            time.sleep(0.5)
        folder = tempfile.mkdtemp(dir=desktop.root)
        return [one_key(desktop, tools["app"], folder) for _ in range(rounds)]


def ms(seconds):
    return f"{1000 * seconds:.1f} ms"


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build")
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    tools = programs(build)
    print(f"machine: {machine()}; {rounds} keys each")
    print("| window manager | Vantrel | median | 95th percentile | max |")
    print("|---|---|---|---|---|")
    for window_manager in ("openbox", "xfwm4"):
        without = series(tools, window_manager, rounds, with_vantrel=False)
        with_it = series(tools, window_manager, rounds, with_vantrel=True)
        for name, values in (("not running", without), ("running", with_it)):
            print(f"| {window_manager} | {name} | {ms(statistics.median(values))} | "
                  f"{ms(percentile(values, 0.95))} | {ms(max(values))} |")
        print(f"| {window_manager} | extra | "
              f"{ms(statistics.median(with_it) - statistics.median(without))} | "
              f"{ms(percentile(with_it, 0.95) - percentile(without, 0.95))} | |")


if __name__ == "__main__":
    main()
