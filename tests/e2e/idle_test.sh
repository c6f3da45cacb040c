#!/usr/bin/env bash
# While nothing moves the program sleeps in its event loop (near 0 % CPU,
# printed; a generous ceiling of 10 % of one core is checked) and its picture
# stays the same; once "Animate" is pressed the view changes.
#   idle_test.sh BINARY
source "$(dirname "$0")/lib.sh"
start_xvfb
start_program "$1"

# cpu_percent: sets cpu to the share of one core, in percent, that the program
# uses over 3 s. Its user and system times are the 14th and 15th fields of its
# stat, whose second field, the program's name, has no blank.
cpu_percent() {
    local before after
    read -r -a before <"/proc/$pid/stat" || fail "the program ended"
    sleep 3
    read -r -a after <"/proc/$pid/stat" || fail "the program ended"
    local ticks=$((after[13] + after[14] - before[13] - before[14]))
    cpu=$(awk "BEGIN { printf \"%.1f\", 100 * $ticks / $(getconf CLK_TCK) / 3 }")
}

sleep 1 # the first frames settle
shot still_a
cpu_percent
shot still_b
echo "idle: $cpu % of one core"
awk "BEGIN { exit !($cpu < 10) }" || fail "the program spins while nothing moves"
[ "$(changed still_a still_b)" -eq 0 ] || fail "the picture changed while nothing moved"

click 320 550 # Animate
sleep 0.3
shot moving_a
cpu_percent
shot moving_b
echo "animating: $cpu % of one core"
[ "$(changed moving_a moving_b 480x480+210+10)" -gt 0 ] ||
    fail "the view did not change after Animate was pressed"

close_with_escape
