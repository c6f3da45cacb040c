#!/usr/bin/env bash
# A person's gestures in the 3-D view: "Bezier" brings up the olive handle
# boxes where the handles are, a control point's cube dragged with the left
# button moves under the pointer and turns red there, and a right drag orbits
# the camera so the whole picture changes.
#   drag_test.sh BINARY
source "$(dirname "$0")/lib.sh"
start_xvfb
start_program "$1"

# Window coordinates worked out from the starting scene, four points on a
# Cardinal track seen by the orbit camera (distance 15, elevation 30, azimuth
# 90, looking at (0, 3, 0), 45 degree frustum) in the view at (210, 10): the
# eight Bezier handles, and the cube 0.5 above point 2 at (2.5, 1, 2.5).
handles=("488 258" "412 258" "264 305" "231 351" "375 461" "525 461" "669 351" "636 305")
cube_x=328 cube_y=359
# The handle boxes' olive (0.7, 0.7, 0) shaded by the light: red and green
# alike, well lit, no blue. A selected point's cube is red (0.7, 0, 0), shaded.
olive='r > 60 && r < 240 && r - g <= 12 && g - r <= 12 && b < 30'
red='r > 60 && g < 40 && b < 40'

# around X Y R: the square of half size R around (X, Y).
around() { echo "$((2 * $3 + 1))x$((2 * $3 + 1))+$(($1 - $3))+$(($2 - $3))"; }

# handles_seen NAME: how many handles show olive within 2 pixels.
handles_seen() {
    local n=0 h
    for h in "${handles[@]}"; do
        [ "$(count "$1" "$(around $h 2)" "$olive")" -eq 0 ] || n=$((n + 1))
    done
    echo "$n"
}

# The view as it first appears: black sky over a board of black and white
# tiles, no handle boxes yet.
first_drawn() {
    shot first && [ "$(pixel first 450 30)" = "0 0 0" ] &&
        [ "$(pixel first 300 470)" = "255 255 255" ]
}
until_ok first_drawn || fail "the view shows no black sky over a white tile"
[ "$(handles_seen first)" -eq 0 ] || fail "handle boxes before Bezier was clicked"

click 75 225 # Bezier
bezier_shown() { shot bezier && [ "$(handles_seen bezier)" -eq 8 ]; }
until_ok bezier_shown || fail "$(handles_seen bezier) of 8 handle boxes after clicking Bezier"

# Press on point 2's cube and drag it 70 pixels left and 40 down: it leaves
# its spot and arrives under the pointer.
x=$((cube_x - 70)) y=$((cube_y + 40))
drag 1 $cube_x $cube_y $x $y
moved() {
    shot dragged && [ "$(changed bezier dragged "$(around $cube_x $cube_y 3)")" -gt 20 ] &&
        [ "$(changed bezier dragged "$(around $x $y 3)")" -gt 20 ]
}
until_ok moved || fail "the cube did not move from ($cube_x, $cube_y) to ($x, $y)"
# The point itself follows the pointer, so its selected (red) cube now floats
# just above the release spot, and none is left at the old one.
[ "$(count dragged "$(around $x $((y - 12)) 10)" "$red")" -gt 15 ] ||
    fail "no red cube above ($x, $y)"
[ "$(count dragged "$(around $cube_x $cube_y 10)" "$red")" -eq 0 ] ||
    fail "a red cube is left at its old spot"

# A right drag orbits the camera: most of the picture changes.
drag 3 300 300 400 300
picture=$(around 450 250 200)
orbited() { shot orbited && [ "$(changed dragged orbited "$picture")" -gt 5000 ]; }
until_ok orbited || fail "the right drag changed only $(changed dragged orbited "$picture") pixels"

close_with_escape
