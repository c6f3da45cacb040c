#!/usr/bin/env bash
# The scene export of every example, with no display, as Khronos's glTF
# Validator and a viewer read it: no error or warning, a node per car with
# its wheel sets and its channels, the rails, ties and ground, and one lap as
# long as the ride report's lap time. A still train and a track with no
# length export a valid scene without an animation.
#   scene_export_test.sh BINARY
source "$(dirname "$0")/lib.sh"
looptide=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
examples=$here/../../data/examples
validator=$here/../../tools/gltf-validator
unset DISPLAY
[ -d "$validator/node_modules/gltf-validator" ] ||
    fail "the glTF Validator is not installed: run scripts/install-deps.sh test"

# field NAME JSON: one field of a one-line JSON object.
field() { node -e "const v = JSON.parse(process.argv[1])[process.argv[2]]; console.log(v)" "$2" "$1"; }

# A still train on the starting square, and four points on one spot.
still() { # still FILE X: the square's half side is X
    local p="\"y\": 1.0, \"roll\": 0.0" h='{"x": 0, "y": 1, "z": 0}'
    cat >"$1" <<JSON
{ "format": "looptide", "version": 1, "curve": "Cardinal", "tension": 0.0,
  "points": [ {"x": -$2, "z": -$2, $p}, {"x": -$2, "z": $2, $p}, {"x": $2, "z": $2, $p},
              {"x": $2, "z": -$2, $p} ],
  "handles": [ $h, $h, $h, $h, $h, $h, $h, $h ],
  "light": {"x": 0.0, "y": 0.0, "z": 0.0}, "generators": [],
  "train": {"cars": 2, "speed": 0.0, "constant_velocity": true, "conserve_energy": true} }
JSON
}
still "$work/still.looptide" 2.5
still "$work/spot.looptide" 0

report=""
for design in "$examples"/*.looptide "$work/still.looptide" "$work/spot.looptide"; do
    name=$(basename "$design" .looptide)
    out="$work/$name.glb"
    "$looptide" --export-scene "$design" "$out" 2>"$work/err" || fail "$name: export failed: $(cat "$work/err")"
    [ ! -s "$work/err" ] || fail "$name: the export wrote to stderr: $(cat "$work/err")"
    verdict=$(node "$validator/validate.js" "$out") || fail "$name: the validator says: $verdict"
    summary=$(node "$here/glb_summary.js" "$out")
    cars=$(node -e "console.log(JSON.parse(require('fs').readFileSync(process.argv[1])).train.cars)" "$design")
    [ "$(field cars "$summary")" = "$cars" ] && [ "$(field cars_whole "$summary")" = true ] &&
        [ "$(field light "$summary")" = true ] || fail "$name: not every car, or no light: $summary"
    [ "$(field ground "$summary")" -eq 200 ] || fail "$name: the ground is not 100 cells of two triangles: $summary"
    lap=$("$looptide" --ride-report "$design" | node -e \
        "const r = JSON.parse(require('fs').readFileSync(0)); console.log(r.lap_time_s ?? 0)")
    if [ "$name" = spot ]; then
        [ "$(field rails "$summary")" -eq 0 ] && [ "$(field ties "$summary")" -eq 0 ] ||
            fail "spot: a track with no length has rails or ties: $summary"
    else
        [ "$(field rails "$summary")" -gt 0 ] && [ "$(field ties "$summary")" -gt 0 ] ||
            fail "$name: no rails or no ties: $summary"
    fi
    # The lap's length as the file holds it (a float) against the report's.
    node -e "const [s, l] = process.argv.slice(1).map(Number);
             process.exit(Math.abs(s - l) <= 1e-6 * Math.max(1, l) ? 0 : 1)" \
        "$(field seconds "$summary")" "$lap" || fail "$name: a lap of $(field seconds "$summary") s, not $lap s"
    if [ "$lap" != 0 ]; then
        [ "$(field cars_animated "$summary")" = true ] || fail "$name: a car has no channels: $summary"
    fi
    report+="  $name: $(stat -c %s "$out") bytes, $(field triangles "$summary") triangles, ${lap} s lap"$'\n'
done
echo "scene export: every example valid glTF with its cars, track and lap"
printf '%s' "$report"
