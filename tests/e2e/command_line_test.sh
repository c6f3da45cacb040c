#!/usr/bin/env bash
# The command line, with no display at all: --help and --version print and
# exit 0, a wrong option prints usage to stderr and exits 2, and the track
# table export writes its table or says in one line why it cannot (exit 1),
# never opening a window.
#   command_line_test.sh BINARY
source "$(dirname "$0")/lib.sh"
looptide=$1
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
echo "command line: help, version, usage and export ($rows rows; $fine at 5 cm) pass"
