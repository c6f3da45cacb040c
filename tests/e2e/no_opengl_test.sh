#!/usr/bin/env bash
# On an X server that cannot give the view OpenGL (no GLX extension, or only
# 256 colours) the program says that it needs OpenGL and what is missing, in
# a dialog and on standard error, and exits with a failure status once the
# dialog is closed.
#   no_opengl_test.sh BINARY
set -euo pipefail
binary="$1"
work=$(mktemp -d)
cleanup() {
    [ -n "${program:-}" ] && kill "$program" 2>/dev/null
    [ -n "${server:-}" ] && kill "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Runs the program on an Xvfb started with the given arguments.
check() {
    : >"$work/display"
    Xvfb -displayfd 3 -nolisten tcp "$@" 3>"$work/display" 2>"$work/xvfb.log" &
    server=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n 1 "$work/display")"

    "$binary" 2>"$work/stderr" &
    program=$!
    dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Looptide$' | head -n 1)
    [ -n "$dialog" ] || { echo "Xvfb $*: no dialog appeared"; exit 1; }
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    # A dialog, not the 700 x 600 main window with a grey view.
    [ "$WIDTH" -lt 700 ] && [ "$HEIGHT" -lt 200 ] ||
        { echo "Xvfb $*: a ${WIDTH}x${HEIGHT} window, not a dialog"; exit 1; }
    grep -q "^Looptide needs OpenGL, but the X display has no GLX extension.$" "$work/stderr" ||
        { echo "Xvfb $*: standard error says:"; cat "$work/stderr"; exit 1; }

    xdotool windowfocus --sync "$dialog" key Return
    timeout 20 tail --pid="$program" -f /dev/null ||
        { echo "Xvfb $*: still running after Return"; exit 1; }
    local status=0
    wait "$program" || status=$?
    program=
    [ "$status" -ne 0 ] || { echo "Xvfb $*: exit status 0 without OpenGL"; exit 1; }
    kill "$server"
    wait "$server" 2>/dev/null || true
    server=
    echo "Xvfb $*: dialog ${WIDTH}x${HEIGHT}, exit status $status"
}

check -extension GLX -screen 0 1024x768x24
check -screen 0 1024x768x8
