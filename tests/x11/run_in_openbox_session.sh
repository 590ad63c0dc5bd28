#!/bin/bash
# Runs a program on a private X display (Xvfb) under openbox, with tint2 as a panel when it is
# installed, and takes them all down afterwards. Usage: run_in_openbox_session.sh PROGRAM [ARGS...]
set -u

fail() {
    echo "run_in_openbox_session: $*" >&2
    exit 1
}

for tool in Xvfb openbox xprop; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done

session=$(mktemp -d)
started=()
cleanup() {
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        kill "${started[i]}" 2>/dev/null
        wait "${started[i]}" 2>/dev/null
    done
    rm -rf "$session"
}
trap cleanup EXIT

# Waits up to $1 tenths of a second for the command that follows to succeed.
wait_for() {
    local tenths=$1
    shift
    while ! "$@" >/dev/null 2>&1; do
        ((tenths-- > 0)) || return 1
        sleep 0.1
    done
}

# Xvfb writes its display number to the descriptor once it accepts clients.
mkfifo "$session/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$session/display" \
    >"$session/xvfb.log" 2>&1 &
started+=($!)
read -r -t 30 number <"$session/display" || fail "Xvfb did not start: $(cat "$session/xvfb.log")"
export DISPLAY=":$number"

# A clean configuration: the user's own openbox and tint2 settings stay out of the tests.
export XDG_CONFIG_HOME="$session/config"
mkdir -p "$XDG_CONFIG_HOME"
openbox >"$session/openbox.log" 2>&1 &
started+=($!)
wait_for 100 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "openbox did not start: $(cat "$session/openbox.log")"

if command -v tint2 >/dev/null; then
    tint2 >"$session/tint2.log" 2>&1 &
    started+=($!)
    wait_for 100 sh -c 'xprop -root _NET_CLIENT_LIST | grep -q "window id"' ||
        fail "tint2 did not show its panel: $(cat "$session/tint2.log")"
fi

QT_QPA_PLATFORM=xcb "$@"
exit $?
