#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test suite:
#   1. the regular build: unit, GL and end-to-end suites;
#   2. an AddressSanitizer + UndefinedBehaviorSanitizer build (clang): unit and
#      GL suites, then short libFuzzer runs over the track and the design reader.
# Starts its own Xvfb when there is no display. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test

# The end-to-end scripts' helper: cleanup on exit and a private X server.
source tests/e2e/lib.sh
if [ -z "${DISPLAY:-}" ]; then
    start_xvfb
    echo "== Private X server on $DISPLAY"
fi

passed=0
failed=0
log=$work/ctest.log

# Runs ctest with the given arguments, adding its counts to the totals.
run_ctest() {
    local status=0
    ctest "$@" 2>&1 | tee "$log" || status=$?
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
    if [ -n "$line" ]; then
        local total fails
        total=$(echo "$line" | sed -E 's/.* out of ([0-9]+).*/\1/')
        fails=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed.*/\1/')
        passed=$((passed + total - fails))
        failed=$((failed + fails))
    fi
    return "$status"
}

echo "== Regular build"
bash scripts/build.sh build-test -DLOOPTIDE_WERROR=ON
echo "== Regular suites"
# One test at a time: the GL and end-to-end tests share one X server.
run_ctest --test-dir build-test --output-on-failure

echo "== Sanitizer build (ASan + UBSan)"
CC=clang CXX=clang++ bash scripts/build.sh build-asan -DLOOPTIDE_SANITIZE=ON -DLOOPTIDE_WERROR=ON \
    -DLOOPTIDE_BENCH=OFF -DLOOPTIDE_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Mesa's software rasteriser renders on the test's own thread: its worker
# threads, still winding down at exit, can crash LeakSanitizer's final scan.
export LP_NUM_THREADS=0
echo "== Sanitizer suites"
run_ctest --test-dir build-asan --output-on-failure -L 'unit|gl'

if [ -x build-asan/fuzz/track_fuzzer ]; then
    echo "== Fuzzing the track for 30 s"
    mkdir -p build-asan/fuzz-corpus
    build-asan/fuzz/track_fuzzer -max_total_time=30 -print_final_stats=1 \
        build-asan/fuzz-corpus fuzz/corpus
fi

if [ -x build-asan/fuzz/design_fuzzer ]; then
    echo "== Fuzzing the design reader for 30 s"
    mkdir -p build-asan/fuzz-corpus-design
    build-asan/fuzz/design_fuzzer -max_total_time=30 -print_final_stats=1 \
        build-asan/fuzz-corpus-design fuzz/corpus-design
fi

echo "all suites: $passed passed, $failed failed"
