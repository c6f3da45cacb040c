# Sourced by the end-to-end and install scripts and by scripts/test.sh: a
# private X server, the real program and its window, screenshots read with
# ImageMagick, mouse and keys through xdotool, and cleanup on exit.
set -euo pipefail

work=$(mktemp -d)
exit_commands=('[ -n "${keep_work:-}" ] || rm -rf "$work"')
at_exit() { exit_commands+=("$*"); }
# The latest first, so the program ends before its X server.
run_exit_commands() {
    local i
    for ((i = ${#exit_commands[@]} - 1; i >= 0; i--)); do eval "${exit_commands[i]}" || true; done
}
trap run_exit_commands EXIT

# Stops the script; the screenshots stay for a look.
fail() {
    echo "FAIL: $*" >&2
    keep_work=1
    echo "screenshots and logs kept in $work" >&2
    exit 1
}

# start_xvfb [SERVER ARGUMENTS]: starts Xvfb (by default one 1024x768x24
# screen) and exports DISPLAY. -displayfd lets the server pick a free display
# number itself, so parallel runs on one machine never share a server.
start_xvfb() {
    [ $# -gt 0 ] || set -- -screen 0 1024x768x24
    : >"$work/display"
    Xvfb -displayfd 3 -nolisten tcp "$@" 3>"$work/display" 2>"$work/xvfb.log" &
    at_exit "kill $!"
    for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || fail "Xvfb $* did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(head -n 1 "$work/display")"
}

# start_program BINARY [ARGUMENT...]: starts it on $DISPLAY, its standard
# error in $work/stderr, and sets pid and window, its first window titled
# "Looptide".
start_program() { start_titled Looptide "$@"; }

# start_titled TITLE BINARY [ARGUMENT...]: the same for a first window titled
# TITLE (a design's name before " - Looptide", say).
start_titled() {
    local title=$1
    shift
    "$@" 2>"$work/stderr" &
    pid=$!
    at_exit "kill $pid 2>/dev/null"
    window=$(find_window "$title") || true
    [ -n "$window" ] || fail "$1 showed no window titled $title"
}

# find_window TITLE: a visible window of the program titled exactly TITLE,
# waited for (bounded).
find_window() {
    local pattern
    pattern="^$(sed 's/[][\\.^$*+?(){}|]/\\&/g' <<<"$1")\$"
    timeout 30 xdotool search --sync --onlyvisible --all --pid "$pid" --name "$pattern" | head -n 1
}

# Waits (bounded) for the program to end and sets status to its exit status.
wait_exit() {
    timeout 20 tail --pid="$pid" -f /dev/null || fail "the program still runs"
    status=0
    wait "$pid" || status=$?
}

# Escape in the focused window ends the program with exit status 0.
close_with_escape() {
    xdotool windowfocus --sync "$window" key Escape
    wait_exit
    [ "$status" -eq 0 ] || fail "exit status $status after Escape"
}

# click X Y: a left click at window coordinates.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

# drag BUTTON X0 Y0 X1 Y1: press, move there in six steps, release. The
# toolkit merges motion that queues up while the program draws into one event;
# a hand pauses between moves, and so does this.
drag() {
    local moves=() i
    for i in 1 2 3 4 5 6; do
        moves+=(mousemove --window "$window" $(($2 + ($4 - $2) * i / 6)) $(($3 + ($5 - $3) * i / 6))
            sleep 0.15)
    done
    xdotool mousemove --window "$window" "$2" "$3" mousedown "$1" sleep 0.15 "${moves[@]}" \
        mouseup "$1"
}

# Window coordinates worked out from the starting scene, four points on a
# Cardinal track seen by the orbit camera (distance 15, elevation 30, azimuth
# 90, looking at (0, 3, 0), 45 degree frustum) in the view at (210, 10): the
# eight Bezier handles, and the cube 0.5 above point 2 at (2.5, 1, 2.5).
handles=("488 258" "412 258" "264 305" "231 351" "375 461" "525 461" "669 351" "636 305")
cube_x=328 cube_y=359
# The handle boxes' olive (0.7, 0.7, 0) shaded by the light: red and green
# alike, well lit, no blue.
olive='r > 60 && r < 240 && r - g <= 12 && g - r <= 12 && b < 30'

# around X Y R: the square of half size R around (X, Y).
around() { echo "$((2 * $3 + 1))x$((2 * $3 + 1))+$(($1 - $3))+$(($2 - $3))"; }

# handles_seen NAME: how many of the starting scene's handles show olive
# within 2 pixels in the screenshot NAME.
handles_seen() {
    local n=0 h
    for h in "${handles[@]}"; do
        [ "$(count "$1" "$(around $h 2)" "$olive")" -eq 0 ] || n=$((n + 1))
    done
    echo "$n"
}

# shot NAME: a screenshot of the program's window, $work/NAME.png.
shot() { import -silent -window "$window" "$work/$1.png"; }

# count NAME WxH+X+Y CONDITION...: for each awk condition on r, g and b (0 to
# 255), how many pixels of that rectangle of the screenshot pass it.
count() {
    local image=$1 area=$2 sums="" totals="" i
    shift 2
    for ((i = 1; i <= $#; i++)); do
        sums+="n$i += (${!i}); "
        totals+="${totals:+, }n$i + 0"
    done
    convert "$work/$image.png[$area]" -depth 8 txt:- |
        awk -F'[^0-9]+' "NR > 1 { r = \$3; g = \$4; b = \$5; $sums} END { print $totals }"
}

# pixel NAME X Y: the colour there as "r g b".
pixel() {
    convert "$work/$1.png[1x1+$2+$3]" -depth 8 txt:- |
        awk -F'[^0-9]+' 'NR == 2 { print $3, $4, $5 }'
}

# changed A B [WxH+X+Y]: how many pixels (of that rectangle) differ between
# two screenshots.
changed() {
    compare -metric AE "$work/$1.png${3:+[$3]}" "$work/$2.png${3:+[$3]}" null: 2>&1 || true
}

# until_ok COMMAND...: runs a check that takes a fresh screenshot until it
# passes, at most 40 times: the program redraws at its own pace.
until_ok() {
    for _ in $(seq 40); do "$@" && return 0; sleep 0.15; done
    return 1
}
