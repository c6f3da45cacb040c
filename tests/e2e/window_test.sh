#!/usr/bin/env bash
# The window as a person first sees it: titled "Looptide", 700 x 600 and fixed
# in size, the control column in the toolkit's grey with its labels drawn, a
# drawn 3-D view; Escape closes it with exit status 0.
#   window_test.sh BINARY
source "$(dirname "$0")/lib.sh"
start_xvfb
start_program "$1"

# start_program found the title without regard to case.
title=$(xdotool getwindowname "$window")
[ "$title" = Looptide ] || fail "the window is titled $title"
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "${WIDTH}x$HEIGHT" = 700x600 ] || fail "the window is ${WIDTH}x$HEIGHT"
# Not resizable: the size hints pin the minimum and the maximum to its size.
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
for hint in "minimum size: 700 by 600" "maximum size: 700 by 600" "location: 10, 10"; do
    grep -q "$hint" <<<"$hints" || fail "WM_NORMAL_HINTS lack \"$hint\": $hints"
done

# The view (480 x 480 at 210, 10) draws on its own schedule: take screenshots
# until it shows a scene, not the control column's colour (under a tenth of
# its 230400 pixels) but dark sky and tiles (over a tenth) and white tiles
# (over a twentieth).
drawn() {
    shot window
    panel=$(pixel window 180 120)
    read -r r g b <<<"$panel"
    read -r panel_grey dark bright < <(count window 480x480+210+10 "r == $r && g == $g && b == $b" \
        'r < 40 && g < 40 && b < 40' 'r > 215 && g > 215 && b > 215')
    [ "$panel_grey" -lt 23040 ] && [ "$dark" -gt 23040 ] && [ "$bright" -gt 11520 ]
}
until_ok drawn || true

# The control column is the toolkit's grey, the same wherever no control draws.
[ "$r" = "$g" ] && [ "$g" = "$b" ] && [ "$r" -gt 100 ] && [ "$r" -lt 240 ] ||
    fail "the control column is $panel, not grey"
for spot in "195 470" "300 510" "680 590"; do
    [ "$(pixel window $spot)" = "$panel" ] ||
        fail "$(pixel window $spot) at $spot, not the panel's $panel"
done
echo "view: $panel_grey panel grey, $dark dark, $bright white of 230400 pixels"
[ "$panel_grey" -lt 23040 ] || fail "the view is panel grey"
[ "$dark" -gt 23040 ] || fail "the view shows no dark sky or tiles"
[ "$bright" -gt 11520 ] || fail "the view shows no white tiles"

# Labels are drawn: dark text inside "Add Point" and "Add Ball Generator".
text='r < 64 && g < 64 && b < 64'
[ "$(count window 89x14+8+33 "$text")" -gt 20 ] || fail "no label on Add Point"
[ "$(count window 180x40+455+530 "$text")" -gt 40 ] || fail "no label on Add Ball Generator"

close_with_escape
