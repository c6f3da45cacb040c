#!/usr/bin/env bash
# Designs in files, on the real program: started with a file it shows the
# file's name and its design; a drag marks the design unsaved and Escape then
# asks before anything is lost; Ctrl+S writes the change to the file. A
# missing or broken file at the start is reported on stderr and in a dialog,
# over the default design.
#   files_test.sh BINARY
source "$(dirname "$0")/lib.sh"
looptide=$1
start_xvfb

# The default design drawn as Bezier curves: the four points on their square
# and the eight handles where the program itself places them.
design=$work/square.looptide
point() { echo "{\"x\": $1, \"y\": 1.0, \"z\": $2, \"roll\": 0.0}"; }
handle() { echo "{\"x\": $1, \"y\": 1.0, \"z\": $2}"; }
cat >"$design" <<JSON
{
  "format": "looptide", "version": 1, "curve": "Bezier", "tension": 0.0,
  "points": [$(point -2.501 -2.5), $(point -2.5 2.501), $(point 2.501 2.5), $(point 2.5 -2.501)],
  "handles": [$(handle -5.00125 -1.24925), $(handle -5.00075 1.2512499999999998),
              $(handle -1.249249999999996 5.00125), $(handle 1.2512500000000037 5.00075),
              $(handle 5.00125 1.2492500000000002), $(handle 5.00075 -1.2512499999999995),
              $(handle 1.2492500000000002 -5.00125), $(handle -1.2512499999999995 -5.00075)],
  "light": {"x": 0.0, "y": 4.0, "z": 4.0},
  "generators": [],
  "train": {"cars": 1, "speed": 0.1, "constant_velocity": true, "conserve_energy": true}
}
JSON
cp "$design" "$work/original.looptide"

title_is() { [ "$(xdotool getwindowname "$window")" = "$1" ]; }

# The design's points and handles are the starting scene's, so lib.sh's
# handles and cube_x, cube_y say where the camera shows them.
# Started with the file: its name in the title, its Bezier handles on screen.
start_titled "square.looptide - Looptide" "$looptide" "$design"
opened() { shot opened && [ "$(handles_seen opened)" -eq 8 ]; }
until_ok opened || fail "$(handles_seen opened) of 8 handle boxes of the opened Bezier design"

# A drag of point 2 changes the design: the title marks it unsaved.
drag 1 $cube_x $cube_y $((cube_x - 70)) $((cube_y + 40))
until_ok title_is "*square.looptide - Looptide" ||
    fail "after a drag the title is $(xdotool getwindowname "$window")"
cmp -s "$design" "$work/original.looptide" || fail "the file changed before it was saved"

# Escape asks first; Escape in the question cancels, and nothing is lost.
xdotool windowfocus --sync "$window" key Escape
question=$(find_window "Unsaved changes - Looptide") || true
[ -n "$question" ] || fail "Escape with unsaved changes closed without asking"
xdotool windowfocus --sync "$question" key Escape
until_ok bash -c "! xdotool search --onlyvisible --name '^Unsaved changes' >/dev/null" ||
    fail "Escape did not cancel the question"
kill -0 "$pid" 2>/dev/null || fail "the program ended although the question was cancelled"

# Ctrl+S writes the moved point to the file, which still reads as a design.
xdotool windowfocus --sync "$window" key ctrl+s
until_ok title_is "square.looptide - Looptide" ||
    fail "after Ctrl+S the title is $(xdotool getwindowname "$window")"
! cmp -s "$design" "$work/original.looptide" || fail "Ctrl+S left the file as it was"
grep -q '"x": -2.501,' "$design" || fail "point 0 is no longer in the saved file"
"$looptide" --export-track "$design" "$work/saved.csv" || fail "the saved file does not read back"
"$looptide" --export-track "$work/original.looptide" "$work/original.csv"
! cmp -s "$work/saved.csv" "$work/original.csv" || fail "the saved track is the original one"

# Nothing unsaved: Escape closes at once.
close_with_escape

# A missing file and a broken one: one line on stderr naming the file, a
# dialog, the default design under the plain title, and Escape still closes.
echo '{ "format": "looptide", "version": 1, "curve": ' >"$work/broken.looptide"
for bad in "$work/missing.looptide" "$work/broken.looptide"; do
    start_program "$looptide" "$bad"
    alert=$(find_window "Open failed - Looptide") || true
    [ -n "$alert" ] || fail "no dialog for $bad"
    grep -q "Cannot open $bad: " "$work/stderr" || fail "stderr for $bad: $(cat "$work/stderr")"
    xdotool windowfocus --sync "$alert" key Return
    until_ok bash -c "! xdotool search --onlyvisible --name '^Open failed' >/dev/null" ||
        fail "the dialog for $bad did not close"
    title_is Looptide || fail "the window is titled $(xdotool getwindowname "$window") after $bad"
    close_with_escape
done
echo "files: open at start, drag, question on Escape, Ctrl+S and bad files pass"
