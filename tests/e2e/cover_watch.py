"""Drives vantrel-e2e-cover-watch, the witness that records from the X server alone when a locked
application's window shows uncovered, and reads its log. Standard library only.

Times are CLOCK_MONOTONIC seconds, the clock of time.monotonic()."""

import json
import os
import signal
import subprocess
import time

# An uncovered stretch that starts this soon after a window appears belongs to that appearance.
AROUND_APPEARANCE = 0.5


class CoverWatch:
    def __init__(self, desktop_env, program, app_instances, vantrel_pid, log_path,
                 interval_ms=None):
        self.env = dict(desktop_env)
        self.command = [program]
        for instance in app_instances:
            self.command += ["--app-instance", instance]
        self.command += ["--vantrel-pid", str(vantrel_pid), "--log", log_path]
        if interval_ms is not None:
            self.command += ["--interval-ms", str(interval_ms)]
        self.log_path = log_path
        self.process = None
        self._events = []
        self._read_up_to = 0

    def start(self, timeout=10):
        if os.path.exists(self.log_path):
            os.remove(self.log_path)
        self._events = []
        self._read_up_to = 0
        self._stderr = open(self.log_path + ".stderr", "wb")
        self.process = subprocess.Popen(self.command, env=self.env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=self._stderr,
                                        start_new_session=True)
        deadline = time.monotonic() + timeout
        while not any(event["event"] == "ready" for event in self.events()):
            if self.process.poll() is not None:
                raise RuntimeError(f"the cover watch ended at start ({self.process.returncode}): "
                                   + self._error_output())
            if time.monotonic() >= deadline:
                self.stop()
                raise RuntimeError("the cover watch did not get ready")
            time.sleep(0.01)
        return self

    def stop(self, timeout=5):
        if self.process is None:
            return
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self._stderr.close()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def _error_output(self):
        try:
            with open(self.log_path + ".stderr", errors="replace") as stderr:
                return stderr.read()[-2000:]
        except OSError:
            return ""

    # -- the log ------------------------------------------------------------------------------

    def events(self):
        """Every event recorded so far, in order; a line still being written is left out."""
        try:
            with open(self.log_path, "rb") as log:
                log.seek(self._read_up_to)
                text = log.read()
        except FileNotFoundError:
            return list(self._events)
        complete = text.rfind(b"\n") + 1
        self._read_up_to += complete
        self._events += [json.loads(line) for line in text[:complete].split(b"\n") if line]
        return list(self._events)

    def uncovered_stretches(self, events=None):
        """(window, start, end, max_area) for every time a window showed uncovered, in the order
        they started; end is None while the stretch goes on (or went on when the watch stopped).
        A stretch ends when the window is covered, and also when it leaves the screen."""
        events = self.events() if events is None else events
        stretches = []
        open_ones = {}
        for event in events:
            kind = event["event"]
            if kind == "uncovered":
                window = event["window"]
                if window in open_ones:
                    stretch = open_ones[window]
                    stretch[3] = max(stretch[3], event["area"])
                else:
                    open_ones[window] = [window, event["t"], None, event["area"]]
                    stretches.append(open_ones[window])
            elif kind == "covered":
                stretch = open_ones.pop(event["window"], None)
                # Closed only because the watch stopped: the window was still uncovered then.
                if stretch is not None and event.get("why") != "end":
                    stretch[2] = event["t"]
        return [tuple(stretch) for stretch in stretches]

    def appearances(self, events=None):
        """(window, time) for every time an application window came on the screen."""
        events = self.events() if events is None else events
        return [(event["window"], event["t"]) for event in events if event["event"] == "appeared"]

    def latencies(self, events=None):
        """For each of appearances(), in the same order: the seconds from the window appearing to
        the end of its first uncovered stretch (0.0 when it did not show uncovered within
        AROUND_APPEARANCE of appearing), or None while that stretch goes on."""
        events = self.events() if events is None else events
        stretches = self.uncovered_stretches(events)
        latencies = []
        for window, appeared, until in self._appearance_spans(events):
            # The watch writes a window's appearance before its first stretch, at the same time.
            first = next((s for s in stretches
                          if s[0] == window and appeared <= s[1] < min(until, appeared
                                                                        + AROUND_APPEARANCE)),
                         None)
            if first is None:
                latencies.append(0.0)
            elif first[2] is None:
                latencies.append(None)
            else:
                latencies.append(first[2] - appeared)
        return latencies

    def uncovered_seconds(self, window, start, end, events=None):
        """How long in all the window showed uncovered between start and end (a stretch still
        open counts up to end)."""
        events = self.events() if events is None else events
        total = 0.0
        for other, begun, ended, _ in self.uncovered_stretches(events):
            if other != window:
                continue
            ended = end if ended is None else min(ended, end)
            total += max(0.0, ended - max(begun, start))
        return total

    def _appearance_spans(self, events):
        """(window, appeared, next appearance of the same window or infinity)."""
        appearances = self.appearances(events)
        spans = []
        for index, (window, appeared) in enumerate(appearances):
            following = [t for other, t in appearances[index + 1:] if other == window]
            spans.append((window, appeared, following[0] if following else float("inf")))
        return spans

    def wait_for(self, predicate, timeout, interval=0.001):
        """Polls the log until predicate(events) returns something true, and returns that; None
        after timeout seconds."""
        deadline = time.monotonic() + timeout
        while True:
            value = predicate(self.events())
            if value:
                return value
            if time.monotonic() >= deadline:
                return None
            time.sleep(interval)
