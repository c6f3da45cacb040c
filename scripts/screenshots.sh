#!/usr/bin/env bash
# Takes the two README pictures from the real program, driven through its own
# controls with xdotool: the default scene (docs/screenshot-default.png) and a
# banked Bezier track seen from the front car (docs/screenshot-ride.png).
# Builds first if needed; runs under its own Xvfb when there is no display.
#   screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
binary="$build/src/app/looptide"

if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
if [[ ! -x "$binary" ]]; then
    bash scripts/build.sh "$build" -DLOOPTIDE_TESTS=OFF -DLOOPTIDE_BENCH=OFF
fi
mkdir -p docs

"$binary" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

win=$(xdotool search --sync --onlyvisible --name '^Looptide$' | head -n 1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"
# X, Y, WIDTH, HEIGHT of the main window on the screen.

shot() {
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}

# Clicks at a window-relative position.
click() {
    xdotool mousemove --window "$win" "$1" "$2"
    sleep 0.2
    xdotool click 1
    sleep 0.3
}

shot docs/screenshot-default.png

# Window pixel of control point i's cube under the default orbit camera (eye
# on the sphere of radius 15 at elevation 30, azimuth 90, looking at (0, 3, 0);
# perspective 45 degrees in the 480 x 480 view at (210, 10)).
cube_pixel() {
    python3 - "$@" <<'PY'
import math, sys
x, y, z = (float(v) for v in sys.argv[1:4])
y += 0.5  # the cube floats half a unit above its point
k = 0.01745329251994
eye = (math.cos(30 * k) * math.sin(90 * k) * 15, math.sin(30 * k) * 15,
       math.cos(30 * k) * math.cos(90 * k) * 15)
target = (0.0, 3.0, 0.0)
f = [t - e for t, e in zip(target, eye)]
n = math.sqrt(sum(c * c for c in f)); f = [c / n for c in f]
up = (0.0, 1.0, 0.0)
s = [f[1] * up[2] - f[2] * up[1], f[2] * up[0] - f[0] * up[2], f[0] * up[1] - f[1] * up[0]]
n = math.sqrt(sum(c * c for c in s)); s = [c / n for c in s]
u = [s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]]
d = [x - eye[0], y - eye[1], z - eye[2]]
cx, cy, cz = (sum(a * b for a, b in zip(s, d)), sum(a * b for a, b in zip(u, d)),
              -sum(a * b for a, b in zip(f, d)))
t = 1.0 / math.tan(22.5 * math.pi / 180)
px = 240 + 240 * t * cx / cz
py = 240 - 240 * t * cy / cz
print(int(round(210 + px)), int(round(10 + py)))
PY
}

click $((30 + 45)) $((215 + 10))   # "Bezier"

# Bank the two points the train rides over first: pick each cube (points are
# drawn before the car, so a cube inside the car still wins the pick), then
# click the roll slider right of its centre (it runs from -180 to 180).
read -r px py < <(cube_pixel -2.501 1.0 -2.5)
click "$px" "$py"
click 141 70
read -r px py < <(cube_pixel -2.5 1.0 2.501)
click "$px" "$py"
click 141 70

click $((30 + 10)) $((525 + 10))   # "Look from Car"
click $((225 + 95)) $((525 + 25))  # "Animate"
sleep 1
shot docs/screenshot-ride.png

kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
trap - EXIT
echo "wrote docs/screenshot-default.png and docs/screenshot-ride.png"
