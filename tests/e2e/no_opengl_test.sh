#!/usr/bin/env bash
# Without a display the program says so after "looptide: " and exits 1. On an
# X server that cannot give the view OpenGL (no GLX extension, or only 256
# colours) the program says that it needs OpenGL and what is missing, in
# a dialog and on standard error, and exits with a failure status once the
# dialog is closed.
#   no_opengl_test.sh BINARY
source "$(dirname "$0")/lib.sh"
# With no display at all, the toolkit's complaint is said as the program's own.
status=0
err=$(env -u DISPLAY "$1" 2>&1 >/dev/null) || status=$?
[ "$status" -eq 1 ] && grep -qx "looptide: Can't open display: " <<<"$err" ||
    fail "no DISPLAY: status $status, standard error '$err'"
for server in "-extension GLX -screen 0 1024x768x24" "-screen 0 1024x768x8"; do
    start_xvfb $server
    start_program "$1" # the dialog is titled Looptide too
    eval "$(xdotool getwindowgeometry --shell "$window")"
    # A dialog, not the 700 x 600 main window with a grey view.
    [ "$WIDTH" -lt 700 ] && [ "$HEIGHT" -lt 200 ] ||
        fail "Xvfb $server: a ${WIDTH}x$HEIGHT window, not a dialog"
    grep -qx "Looptide needs OpenGL, but the X display has no GLX extension." "$work/stderr" ||
        fail "Xvfb $server: standard error says: $(cat "$work/stderr")"
    xdotool windowfocus --sync "$window" key Return
    wait_exit
    [ "$status" -ne 0 ] || fail "Xvfb $server: exit status 0 without OpenGL"
    echo "Xvfb $server: dialog ${WIDTH}x$HEIGHT, exit status $status"
done
