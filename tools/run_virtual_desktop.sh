#!/bin/bash
# Runs Vantrel on a private virtual desktop: Xvfb, openbox, tint2 with its system tray and a
# session bus of its own. Saves a screenshot once the popover has opened, prints its path, and
# runs until interrupted; then stops everything it started.
# Usage: run_virtual_desktop.sh VANTREL_PROGRAM SCREENSHOT_FOLDER
set -u

program=${1:?usage: run_virtual_desktop.sh VANTREL_PROGRAM SCREENSHOT_FOLDER}
screenshots=${2:?usage: run_virtual_desktop.sh VANTREL_PROGRAM SCREENSHOT_FOLDER}

fail() {
    echo "run: $*" >&2
    exit 1
}

for tool in Xvfb openbox tint2 dbus-daemon xprop import; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done

session=$(mktemp -d)
started=()
stop_all() {
    trap - EXIT INT TERM
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        kill "${started[i]}" 2>/dev/null
        wait "${started[i]}" 2>/dev/null
    done
    rm -rf "$session"
}
trap stop_all EXIT
trap 'echo; echo "Stopping the virtual desktop."; exit 0' INT TERM

# Waits up to $1 tenths of a second for the command that follows to succeed.
wait_for() {
    local tenths=$1
    shift
    while ! "$@" >/dev/null 2>&1; do
        ((tenths-- > 0)) || return 1
        sleep 0.1
    done
}

# A private session bus: Vantrel's notifications stay inside this desktop.
exec 4>"$session/bus-address"
dbus-daemon --session --nofork --nopidfile --print-address=4 >"$session/dbus.log" 2>&1 &
started+=($!)
exec 4>&-
wait_for 50 test -s "$session/bus-address" || fail "dbus-daemon did not start"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$session/bus-address")
export DBUS_SESSION_BUS_ADDRESS

# Xvfb writes its display number to the descriptor once it accepts clients.
mkfifo "$session/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$session/display" \
    >"$session/xvfb.log" 2>&1 &
started+=($!)
read -r -t 30 number <"$session/display" || fail "Xvfb did not start: $(cat "$session/xvfb.log")"
export DISPLAY=":$number"
unset WAYLAND_DISPLAY
export XDG_SESSION_TYPE=x11 QT_QPA_PLATFORM=xcb
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    mkdir -m 0700 "$session/runtime"
    export XDG_RUNTIME_DIR="$session/runtime"
fi

# openbox and tint2 with their stock settings; Vantrel keeps the user's own settings.
openbox --config-file /etc/xdg/openbox/rc.xml >"$session/openbox.log" 2>&1 &
started+=($!)
wait_for 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "openbox did not start: $(cat "$session/openbox.log")"
tint2 -c /etc/xdg/tint2/tint2rc >"$session/tint2.log" 2>&1 &
started+=($!)
wait_for 100 sh -c 'xprop -root _NET_CLIENT_LIST | grep -q "window id"' ||
    fail "tint2 did not show its panel: $(cat "$session/tint2.log")"

"$program" &
vantrel=$!
started+=($vantrel)
echo "Vantrel runs on the virtual display $DISPLAY (process $vantrel)."

# The popover opens by itself 1 s after start.
sleep 1.5
kill -0 "$vantrel" 2>/dev/null || fail "Vantrel ended at start-up"
mkdir -p "$screenshots"
shot="$screenshots/vantrel-$(date +%Y%m%d-%H%M%S).png"
if import -window root "$shot"; then
    echo "Screenshot: $shot"
else
    echo "run: the screenshot failed" >&2
fi
echo "Press Control+C to stop."
wait "$vantrel"
status=$?
echo "Vantrel ended with status $status."
exit "$status"
