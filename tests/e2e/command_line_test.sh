#!/usr/bin/env bash
# The command line, with no display at all: --help and --version print and
# exit 0, a wrong option prints usage to stderr and exits 2, and the track
# table export writes its table or says in one line why it cannot (exit 1),
# never opening a window.
#   command_line_test.sh BINARY
source "$(dirname "$0")/lib.sh"
looptide=$(realpath "$1")
unset DISPLAY

# A design of four points on a square, as the file format writes one.
design() { # design FILE X: the square's half side is X (0 puts every point on one spot)
    local p="\"y\": 1.0, \"roll\": 0.0"
    cat >"$1" <<JSON
{ "format": "looptide", "version": 1, "curve": "Cardinal", "tension": 0.0,
  "points": [ {"x": -$2, "z": -$2, $p}, {"x": -$2, "z": $2, $p}, {"x": $2, "z": $2, $p},
              {"x": $2, "z": -$2, $p} ],
  "handles": [ {"x": 0, "y": 1, "z": 0}, {"x": 0, "y": 1, "z": 0}, {"x": 0, "y": 1, "z": 0},
               {"x": 0, "y": 1, "z": 0}, {"x": 0, "y": 1, "z": 0}, {"x": 0, "y": 1, "z": 0},
               {"x": 0, "y": 1, "z": 0}, {"x": 0, "y": 1, "z": 0} ],
  "light": {"x": 0.0, "y": 4.0, "z": 4.0}, "generators": [],
  "train": {"cars": 1, "speed": 0.1, "constant_velocity": true, "conserve_energy": true} }
JSON
}

# run ARGUMENT...: runs the program, setting status, out and err.
run() {
    status=0
    timeout 20 "$looptide" "$@" >"$work/out" 2>"$work/err" || status=$?
    out=$(cat "$work/out")
    err=$(cat "$work/err")
}

# expect_failure STATUS PATTERN ARGUMENT...: the run exits STATUS and says, in
# exactly one line on stderr, something matching PATTERN; stdout stays empty.
expect_failure() {
    local want=$1 pattern=$2
    shift 2
    run "$@"
    [ "$status" -eq "$want" ] || fail "looptide $* exited $status, not $want: $err"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "looptide $* wrote more than one line: $err"
    grep -qE "$pattern" <<<"$err" || fail "looptide $* said '$err', not /$pattern/"
    [ -z "$out" ] || fail "looptide $* wrote to stdout: $out"
}

run --help
[ "$status" -eq 0 ] && grep -q -- "--export-track DESIGN OUT" <<<"$out" && grep -q "Ctrl+Z" <<<"$out" ||
    fail "--help: status $status, $out $err"
run --version
[ "$status" -eq 0 ] && [[ $out =~ ^Looptide\ [0-9]+\.[0-9]+\.[0-9]+$ ]] ||
    fail "--version: status $status, '$out'"
for wrong in "--bogus" "-x" "a.looptide b.looptide" "--help extra"; do
    # shellcheck disable=SC2086
    run $wrong
    [ "$status" -eq 2 ] && grep -q "^Usage:" "$work/err" && [ -z "$out" ] ||
        fail "looptide $wrong: status $status, stderr '$err'"
done

design "$work/square.looptide" 2.5
run --export-track "$work/square.looptide" "$work/square.csv"
[ "$status" -eq 0 ] && [ -z "$err" ] || fail "the export failed ($status): $err"
header=$(head -n 1 "$work/square.csv")
[ "$header" = "$(printf '"%s"\t' No. PosX PosY PosZ FrontX FrontY FrontZ LeftX LeftY LeftZ \
    UpX UpY UpZ | sed 's/\t$//')" ] || fail "the table starts with '$header'"
# A square of side 5 whose Cardinal curve swings out at the corners: about
# 21 m, so 43 rows at the default half metre, and ten times as many at 5 cm.
rows=$(($(wc -l <"$work/square.csv") - 1))
[ "$rows" -eq 43 ] || fail "$rows rows at 0.5 m"
run --export-track "$work/square.looptide" "$work/fine.csv" --spacing 0.05
fine=$(($(wc -l <"$work/fine.csv") - 1))
[ "$status" -eq 0 ] && [ "$fine" -ge $((10 * rows - 10)) ] && [ "$fine" -le $((10 * rows)) ] ||
    fail "$fine rows at 0.05 m against $rows at 0.5 m (status $status: $err)"

# Each failure: one line, exit 1, and any old table left as it was.
cp "$work/square.csv" "$work/kept.csv"
expect_failure 1 "spacing" --export-track "$work/square.looptide" "$work/kept.csv" --spacing 20
expect_failure 1 "spacing" --export-track "$work/square.looptide" "$work/kept.csv" --spacing 0.01
expect_failure 1 "Cannot open .*/missing.looptide" --export-track "$work/missing.looptide" "$work/kept.csv"
echo '{ "format": "looptide", ' >"$work/broken.looptide"
expect_failure 1 "Cannot open .*/broken.looptide: .*line" \
    --export-track "$work/broken.looptide" "$work/kept.csv"
design "$work/spot.looptide" 0
expect_failure 1 "length" --export-track "$work/spot.looptide" "$work/kept.csv"
expect_failure 1 "$work/no-folder/out.csv" \
    --export-track "$work/square.looptide" "$work/no-folder/out.csv"
mkdir "$work/folder.csv"
expect_failure 1 "folder" --export-track "$work/square.looptide" "$work/folder.csv"
cmp -s "$work/square.csv" "$work/kept.csv" || fail "a failed export changed the old table"
run --export-track "$work/square.looptide" "$work/x.csv" --spacing lots
[ "$status" -eq 2 ] && grep -q "spacing needs a number" <<<"$err" && grep -q "^Usage:" <<<"$err" ||
    fail "--spacing lots: status $status, stderr '$err'"

# A number out of range is the design's kind of failure (1); text that is no
# number, spaces around it included, is a usage error (2).
for spacing in 0 -1 11 1e400 1e-400 inf; do
    expect_failure 1 "the spacing $spacing m is outside" \
        --export-track "$work/square.looptide" "$work/kept.csv" --spacing "$spacing"
done
for spacing in abc nan 0.5x "" " 0.5" "0.5 "; do
    run --export-track "$work/square.looptide" "$work/kept.csv" --spacing "$spacing"
    [ "$status" -eq 2 ] && grep -q "spacing needs a number" <<<"$err" ||
        fail "--spacing '$spacing': status $status, stderr '$err'"
done
# Names that cannot be files, and the design itself as the output by any path.
for args in "'' $work/kept.csv" "$work/square.looptide -" "--"; do
    eval "run --export-track $args"
    [ "$status" -eq 2 ] && grep -qE "empty|write ./-|needs a design" <<<"$err" ||
        fail "--export-track $args: status $status, stderr '$err'"
done
run ""
[ "$status" -eq 2 ] && grep -q "design file name is empty" <<<"$err" || fail "'': $status, $err"
run --export-track "$work/square.looptide" -
grep -q '^looptide: "-" is not an output file;' <<<"$err" || fail "- as the output: $err"
# A name's bytes that are no UTF-8 reach the terminal escaped, as control bytes do.
expect_failure 1 '^looptide: Cannot open .*/caf\\xe9\\x1b\.looptide: there is no such file\.$' \
    --export-track "$work/caf"$'\xe9\x1b'".looptide" "$work/kept.csv"
cp "$work/square.looptide" "$work/own.looptide"
ln -s own.looptide "$work/own-link.looptide"
for output in "$work/own.looptide" "$work/./own.looptide" "$work/own-link.looptide"; do
    expect_failure 1 "it is the design file being read" \
        --export-track "$work/own.looptide" "$output"
done
cmp -s "$work/square.looptide" "$work/own.looptide" || fail "an export replaced its design"
cp "$work/square.looptide" "$work/-dash.looptide"
(cd "$work" && run --export-track -- -dash.looptide -dash.csv)
[ -s "$work/-dash.csv" ] || fail "--export-track -- -dash.looptide: no table ($err)"
# Control characters in a name come out escaped, on one line.
expect_failure 1 'Cannot open .*/two\\nlines\\x1b\[31m: there is no such file' \
    --export-track "$work/two"$'\n'"lines"$'\e'"[31m" "$work/kept.csv"
# Huge but finite places: a count of rows too large for any integer, and a
# length that overflows.
design "$work/huge.looptide" 1e18
expect_failure 1 "it would have [0-9]{20,} rows, more than 10000000" \
    --export-track "$work/huge.looptide" "$work/kept.csv"
design "$work/vast.looptide" 1e308
expect_failure 1 "the track is too large to measure" \
    --export-track "$work/vast.looptide" "$work/kept.csv"
cmp -s "$work/square.csv" "$work/kept.csv" || fail "a failed export changed the old table"

# An export interrupted half-way (SIGTERM, or SIGINT to a program that keeps
# its default action, unlike a shell's background job) ends as the signal
# ends any program, and takes its temporary file with it.
ring() { # ring FILE: 100 points round a circle 5 km across, 31 km of track
    awk 'BEGIN {
        printf "{ \"format\": \"looptide\", \"version\": 1, \"curve\": \"Cardinal\", "
        printf "\"tension\": 0, \"points\": ["
        for (i = 0; i < 100; i++)
            printf "%s{\"x\": %.6f, \"y\": 1, \"z\": %.6f, \"roll\": 0}", (i ? ", " : ""),
                5000 * cos(i * 6.2831853 / 100), 5000 * sin(i * 6.2831853 / 100)
        printf "], \"handles\": ["
        for (k = 0; k < 200; k++) printf "%s{\"x\": 0, \"y\": 1, \"z\": 0}", (k ? ", " : "")
        printf "], \"light\": {\"x\": 0, \"y\": 4, \"z\": 4}, \"generators\": [], "
        printf "\"train\": {\"cars\": 1, \"speed\": 0.1, \"constant_velocity\": true, "
        printf "\"conserve_energy\": true} }\n"
    }' >"$1"
}
ring "$work/ring.looptide"
for signal in TERM INT; do
    env --default-signal="$signal" "$looptide" --export-track "$work/ring.looptide" \
        "$work/kept.csv" --spacing 0.05 2>/dev/null &
    pid=$!
    for _ in $(seq 200); do
        compgen -G "$work/.kept.csv.*" >/dev/null && break
        sleep 0.02
    done
    compgen -G "$work/.kept.csv.*" >/dev/null || fail "SIG$signal: no temporary file to interrupt"
    kill -s "$signal" "$pid"
    status=0
    wait "$pid" || status=$?
    want=$((128 + $(kill -l "$signal")))
    [ "$status" -eq "$want" ] || fail "SIG$signal: the export ended with $status, not $want"
    ! compgen -G "$work/.kept.csv.*" >/dev/null || fail "SIG$signal left a temporary file"
    cmp -s "$work/square.csv" "$work/kept.csv" || fail "SIG$signal changed the old table"
done
# The scene export refuses as the table export does, and leaves an old file whole.
run --export-scene "$work/square.looptide" "$work/kept.glb"
[ "$status" -eq 0 ] && [ -z "$err" ] && [ "$(head -c 4 "$work/kept.glb")" = glTF ] ||
    fail "the scene export failed ($status): $err"
cp "$work/kept.glb" "$work/scene.glb"
mkdir "$work/folder.glb"
while IFS='|' read -r pattern design output; do
    expect_failure 1 "$pattern" --export-scene "$work/$design" "$work/$output"
done <<'ROWS'
Cannot open .*/missing.looptide: there is no such file|missing.looptide|kept.glb
Cannot open .*/broken.looptide: .*line|broken.looptide|kept.glb
Cannot export the scene to .*/no-folder/out.glb|square.looptide|no-folder/out.glb
Cannot export the scene to .*/folder.glb: .*folder|square.looptide|folder.glb
Cannot export the scene to .*: it is the design file being read|own.looptide|own-link.looptide
Cannot export the scene to .*: it is the design file being read|own.looptide|./own.looptide
Cannot export the scene to .*: the track reaches farther than the file's numbers|vast.looptide|kept.glb
ROWS
# A file-size limit met half-way ends the export as that signal ends any
# program, and takes the temporary file with it.
helix=$(dirname "$0")/../../data/examples/helix.looptide
status=$({ (ulimit -f 8 && exec "$looptide" --export-scene "$helix" "$work/kept.glb"); echo $?; } 2>/dev/null)
[ "$status" -eq $((128 + $(kill -l XFSZ))) ] || fail "SIGXFSZ: the scene export ended with $status"
! compgen -G "$work/.kept.glb.*" >/dev/null || fail "SIGXFSZ left a temporary scene file"
cmp -s "$work/scene.glb" "$work/kept.glb" || fail "a failed scene export changed the old file"
cmp -s "$work/square.looptide" "$work/own.looptide" || fail "a scene export replaced its design"
for args in "--export-scene" "--export-scene $work/square.looptide" \
    "--export-scene $work/square.looptide -" "--export-scene $work/square.looptide a.glb b.glb" \
    "--export-scene --bogus $work/square.looptide a.glb" "--export-scene '' $work/kept.glb"; do
    eval "run $args"
    [ "$status" -eq 2 ] && grep -q "^Usage:" "$work/err" && [ ! -e a.glb ] ||
        fail "looptide $args: $status, $err"
done
(cd "$work" && run --export-scene -- -dash.looptide -dash.glb)
[ "$(head -c 4 "$work/-dash.glb")" = glTF ] || fail "--export-scene -- -dash.looptide: no scene ($err)"
run --help
grep -q -- "--export-scene DESIGN OUT.glb" <<<"$out" && grep -q "Ctrl+Shift+E" <<<"$out" ||
    fail "--help names no scene export: $out"

# The ride report: the summary as JSON on stdout, the forces as CSV, no display.
examples=$(dirname "$0")/../../data/examples
run --ride-report "$examples/switchback.looptide" --forces "$work/forces.csv" --speed 2.5
[ "$status" -eq 0 ] && [ -z "$err" ] || fail "the ride report failed ($status): $err"
for field in length_m max_speed_mps lap_time_s vertical_g lateral_g max_abs longitudinal_g \
    airtime_s inversions corners nearest_point '"velocity_mps": 2.5'; do
    grep -q "$field" <<<"$out" || fail "the ride report has no $field: $out"
done
! grep -qiE "nan|inf" - "$work/forces.csv" <<<"$out" || fail "the Linear track gave a non-finite figure"
[ "$(head -n 1 "$work/forces.csv")" = \
    "distance_m,x,y,z,speed_mps,vertical_g,lateral_g,longitudinal_g" ] &&
    [ "$(($(wc -l <"$work/forces.csv") - 1))" -eq "$(sed -nE 's/.*"samples": ([0-9]+).*/\1/p' \
        <<<"$out")" ] || fail "the forces table does not have a row per sample"
cp "$work/forces.csv" "$work/kept-forces.csv"
# One policy for number options: out of range is 1, text that is no number
# (hexadecimal included) a usage error, 2; -0 reads as 0.
for speed in -1 inf 1e400; do
    expect_failure 1 "the speed \"$speed\" is not a number" \
        --ride-report "$examples/switchback.looptide" --speed "$speed"
done
for speed in abc nan "" 0x10 " 2" 2m; do
    run --ride-report "$examples/switchback.looptide" --speed "$speed"
    [ "$status" -eq 2 ] && grep -q "speed needs a number" <<<"$err" && grep -q "^Usage:" <<<"$err" ||
        fail "--speed '$speed': status $status, stderr '$err'"
done
run --export-track "$work/square.looptide" "$work/kept.csv" --spacing 0x1
[ "$status" -eq 2 ] || fail "--spacing 0x1: status $status, stderr '$err'"
run --ride-report "$examples/switchback.looptide" --speed -0
[ "$status" -eq 0 ] && grep -q '"velocity_mps": 0.0$' <<<"$out" || fail "--speed -0: $status, $out"
# Figures past what a double holds are refused, not zeros; the forces file stays.
sed 's/"x": \([-0-9.]*\)/"x": \1e306/' "$work/square.looptide" >"$work/huge.looptide"
while read -r design speed refusal; do
    expect_failure 1 "$refusal" --ride-report "$design" --speed "$speed" --forces "$work/forces.csv"
    cmp -s "$work/forces.csv" "$work/kept-forces.csv" || fail "$design at $speed replaced the forces"
done <<ROWS
$examples/switchback.looptide 1e155 the speed is too large to analyse
$examples/helix.looptide 1e-320 the speed is too small to analyse
$work/huge.looptide 3 the track is too large to measure
ROWS
# A summary that cannot be written is a failure.
status=0
"$looptide" --ride-report "$examples/switchback.looptide" >/dev/full 2>"$work/err" || status=$?
[ "$status" -eq 1 ] && grep -q "standard output" "$work/err" || fail "/dev/full: $status"
status=0
"$looptide" --ride-report "$examples/switchback.looptide" >&- 2>"$work/err" || status=$?
[ "$status" -eq 1 ] || fail "closed stdout: $status"
expect_failure 1 "Cannot open .*missing" --ride-report "$work/missing.looptide"
expect_failure 1 "Cannot write the forces to .*no-folder" \
    --ride-report "$work/square.looptide" --forces "$work/no-folder/f.csv"
expect_failure 1 "it is the design file being read" \
    --ride-report "$work/own.looptide" --forces "$work/own-link.looptide"
cmp -s "$work/square.looptide" "$work/own.looptide" || fail "a report replaced its design"
for args in "--ride-report" "--ride-report --bogus $work/square.looptide" \
    "--ride-report $work/square.looptide --forces -" "--ride-report $work/square.looptide --speed"; do
    # shellcheck disable=SC2086
    run $args
    [ "$status" -eq 2 ] && grep -q "^Usage:" "$work/err" || fail "looptide $args: $status, $err"
done
echo "command line: help, version, usage and export ($rows rows; $fine at 5 cm) pass"
