#!/usr/bin/env bash
# Takes the README pictures from the real program, driven through its own
# controls with xdotool: the default scene (docs/screenshot-default.png), a
# banked Bezier track seen from the front car (docs/screenshot-ride.png), and
# the gallery: each design of data/examples as it opens
# (docs/gallery-NAME.png), one of them also ridden (docs/gallery-ride.png),
# and its ride analysis window (docs/ride-analysis.png); and an exported scene
# as three.js draws it in headless Chromium (docs/scene-export.png).
# Builds first if needed; runs under its own Xvfb when there is no display.
#   screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
if [[ ! -x "$build/src/app/looptide" ]]; then
    bash scripts/build.sh "$build" -DLOOPTIDE_TESTS=OFF -DLOOPTIDE_BENCH=OFF
fi
source tests/e2e/lib.sh
[[ -n "${DISPLAY:-}" ]] || start_xvfb
start_program "$build/src/app/looptide"
sleep 1
mkdir -p docs
shot default
cp "$work/default.png" docs/screenshot-default.png

click $((30 + 45)) $((215 + 10)) # "Bezier"
# Bank the two points the train rides over first: press each cube, then the
# roll slider right of its centre (it runs from -180 to 180). The cubes of
# points 0 and 1 in the starting view, at window coordinates; points are drawn
# before the car, so a cube inside the car still wins the pick.
for cube in "538 270" "362 270"; do
    click $cube
    sleep 0.3
    click 141 70
    sleep 0.3
done
click $((30 + 10)) $((525 + 10))  # "Look from Car"
click $((225 + 95)) $((525 + 25)) # "Animate"
sleep 1
shot ride
cp "$work/ride.png" docs/screenshot-ride.png
close_with_escape
echo "wrote docs/screenshot-default.png and docs/screenshot-ride.png"

# Whether the view of a fresh screenshot NAME shows rails (their grey).
rails_drawn() {
    shot "$1"
    [[ $(count "$1" 480x480+210+10 'r == 102 && g == 102 && b == 107') -gt 200 ]]
}

# open_example NAME: starts the program on data/examples/NAME.looptide and
# waits for its view to draw the design.
open_example() {
    start_titled "$1.looptide - Looptide" "$build/src/app/looptide" "data/examples/$1.looptide"
    until_ok rails_drawn "$1" || fail "$1 shows no track"
}

# keep_and_close NAME: the window's picture as docs/gallery-NAME.png, then
# Escape; the design must have opened without a word on standard error.
keep_and_close() {
    shot "$1"
    cp "$work/$1.png" "docs/gallery-$1.png"
    [[ ! -s $work/stderr ]] || fail "$1: $(cat "$work/stderr")"
    close_with_escape
}

for file in data/examples/*.looptide; do
    name=$(basename "$file" .looptide)
    open_example "$name"
    if [[ $name == ball-park ]]; then
        click $((225 + 95)) $((525 + 25)) # "Animate": the generators send up their balls
        sleep 3
    fi
    keep_and_close "$name"
done
# The twisting drop from the front car, a second after it starts: riding its
# analysed speeds, it is rolling over on the way down.
open_example twisting-drop
click $((30 + 10)) $((525 + 10))  # "Look from Car"
click $((225 + 95)) $((525 + 25)) # "Animate"
sleep 1
shot ride
cp "$work/ride.png" docs/gallery-ride.png
close_with_escape
echo "wrote docs/gallery-*.png"

# The ride analysis (F2) of the twisting drop, with the train on its way.
open_example twisting-drop
xdotool windowfocus --sync "$window" key F2
analysis=$(find_window "Ride analysis - Looptide") || fail "F2 showed no analysis window"
click $((225 + 95)) $((525 + 25)) # "Animate"
sleep 1.5
import -silent -window "$analysis" docs/ride-analysis.png
close_with_escape
echo "wrote docs/ride-analysis.png"

# The helix exported as glTF and drawn by a real renderer: three.js (pinned in
# tools/scene-viewer) in Debian's Chromium, headless, on its software GL, with
# the train three seconds into its lap.
if ! command -v chromium >/dev/null; then
    SUDO=""
    [[ $(id -u) -eq 0 ]] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq chromium
fi
viewer=tools/scene-viewer
[[ -d $viewer/node_modules/three ]] || (cd "$viewer" && npm ci --no-audit --no-fund --loglevel=error)
"$build/src/app/looptide" --export-scene data/examples/helix.looptide "$viewer/scene.glb"
at_exit "rm -f $PWD/$viewer/scene.glb"
node "$viewer/serve.js" "$viewer" >"$work/port" &
at_exit "kill $!"
until_ok test -s "$work/port" || fail "the scene viewer's server did not start"
chromium --headless --no-sandbox --use-angle=swiftshader --enable-unsafe-swiftshader \
    --hide-scrollbars --window-size=800,600 --virtual-time-budget=20000 \
    --user-data-dir="$work/chromium" --dump-dom \
    "http://127.0.0.1:$(head -n 1 "$work/port")/view.html?file=scene.glb&t=3&eye=10,9,12&at=0,2.6,0" \
    2>"$work/chromium.log" | grep -q "<title>drawn</title>" ||
    fail "three.js did not draw the exported scene: $(tail -n 3 "$work/chromium.log")"
chromium --headless --no-sandbox --use-angle=swiftshader --enable-unsafe-swiftshader \
    --hide-scrollbars --window-size=800,600 --virtual-time-budget=20000 \
    --user-data-dir="$work/chromium" --screenshot="$PWD/docs/scene-export.png" \
    "http://127.0.0.1:$(head -n 1 "$work/port")/view.html?file=scene.glb&t=3&eye=10,9,12&at=0,2.6,0" \
    2>>"$work/chromium.log" >/dev/null
echo "wrote docs/scene-export.png"
