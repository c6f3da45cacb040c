#!/usr/bin/env bash
# Writes the example designs into data/examples with make_examples
# (tools/examples), building only that program first. The document tests
# check that the committed files are what it writes now.
#   make-examples.sh [BUILD_DIR]     (default build-test, the test command's)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-test}"
# make_examples is built with the tests; configure for them when the folder
# is new or was set up without them.
if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
elif ! grep -qs '^LOOPTIDE_TESTS:BOOL=ON$' "$build/CMakeCache.txt"; then
    cmake -S . -B "$build" -DLOOPTIDE_TESTS=ON >/dev/null
fi
cmake --build "$build" --target make_examples
# A design dropped from the list leaves no file behind.
mkdir -p data/examples
rm -f data/examples/*.looptide
"$build/tools/examples/make_examples" data/examples
