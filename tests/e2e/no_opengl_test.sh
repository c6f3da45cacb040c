#!/usr/bin/env bash
# On an X server without OpenGL (no GLX extension) the program says that it
# needs OpenGL and what is missing, in a dialog and on standard error, and
# exits with a failure status once the dialog is closed.
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

Xvfb -displayfd 3 -extension GLX -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
    2>"$work/xvfb.log" &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"

"$binary" 2>"$work/stderr" &
program=$!
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Looptide$' | head -n 1)
[ -n "$dialog" ] || { echo "no dialog appeared"; exit 1; }
geometry=$(xdotool getwindowgeometry --shell "$dialog")
eval "$geometry"
# A dialog, not the 700 x 600 main window with a grey view.
[ "$WIDTH" -lt 700 ] && [ "$HEIGHT" -lt 200 ] || { echo "not a dialog: $geometry"; exit 1; }
grep -q "Looptide needs OpenGL, but the X display has no GLX extension" "$work/stderr" ||
    { echo "standard error says:"; cat "$work/stderr"; exit 1; }

xdotool windowfocus --sync "$dialog" key Return
status=0
timeout 20 tail --pid="$program" -f /dev/null || { echo "still running after Return"; exit 1; }
wait "$program" || status=$?
program=
[ "$status" -ne 0 ] || { echo "exit status 0 without OpenGL"; exit 1; }
echo "dialog ${WIDTH}x${HEIGHT}, exit status $status: $(cat "$work/stderr")"
