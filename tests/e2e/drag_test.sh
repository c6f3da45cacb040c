#!/usr/bin/env bash
# A person's gestures in the 3-D view: "Bezier" brings up the olive handle
# boxes where the handles are, a control point's cube dragged with the left
# button moves under the pointer and turns red there, and a right drag orbits
# the camera so the whole picture changes; a double-click on the track puts a
# selected (red) point there and Delete takes it out again.
#   drag_test.sh BINARY
source "$(dirname "$0")/lib.sh"
start_xvfb
start_program "$1"

# A selected point's cube is red (0.7, 0, 0), shaded.
red='r > 60 && g < 40 && b < 40'

# The view as it first appears: black sky over a board of black and white
# tiles, no handle boxes yet.
first_drawn() {
    shot first && [ "$(pixel first 450 30)" = "0 0 0" ] &&
        [ "$(pixel first 300 470)" = "255 255 255" ]
}
until_ok first_drawn || fail "the view shows no black sky over a white tile"
[ "$(handles_seen first)" -eq 0 ] || fail "handle boxes before Bezier was clicked"

# The point double-clicked in between the cubes of points 0 and 1 is red.
xdotool mousemove --window "$window" 450 403 click --repeat 2 --delay 80 1
inserted() { shot inserted && [ "$(count inserted "$(around 450 391 10)" "$red")" -gt 15 ]; }
until_ok inserted || fail "no red cube above the double-clicked track at (450, 403)"
xdotool windowfocus --sync "$window" key Delete
deleted() { shot deleted && [ "$(count deleted "$(around 450 391 10)" "$red")" -eq 0 ]; }
until_ok deleted || fail "the inserted point is still there after Delete"

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
