#!/usr/bin/env bash
# While nothing moves the program sleeps in its event loop (near 0 % CPU,
# printed; a generous ceiling of 10 % of one core is checked) and its picture
# stays the same; once "Animate" is pressed the view changes.
#   idle_test.sh BINARY
source "$(dirname "$0")/lib.sh"
start_xvfb
start_program "$1"

# cpu_percent: the share of one core, in percent, the program uses in 3 s.
ticks() {
    kill -0 "$pid" 2>/dev/null || fail "the program ended"
    # utime and stime, the 14th and 15th fields, after the name in parentheses.
    sed 's/.*) //' "/proc/$pid/stat" | awk '{ print $12 + $13 }'
}
cpu_percent() {
    local t0 s0
    t0=$(ticks) s0=$(date +%s.%N)
    sleep 3
    awk "BEGIN { printf \"%.1f\", 100 * ($(ticks) - $t0) / $(getconf CLK_TCK) / ($(date +%s.%N) - $s0) }"
}

sleep 1 # the first frames settle
shot still_a
idle=$(cpu_percent)
shot still_b
echo "idle: $idle % of one core"
awk "BEGIN { exit !($idle < 10) }" || fail "the program spins while nothing moves"
[ "$(changed still_a still_b)" -eq 0 ] || fail "the picture changed while nothing moved"

click 320 550 # Animate
sleep 0.3
shot moving_a
busy=$(cpu_percent)
shot moving_b
echo "animating: $busy % of one core"
[ "$(changed moving_a moving_b 480x480+210+10)" -gt 0 ] || fail "the view did not change after Animate was pressed"

close_with_escape
