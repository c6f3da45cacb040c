#!/usr/bin/env bash
# Installs what is missing, builds and starts Looptide.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
bash scripts/build.sh build -DLOOPTIDE_TESTS=OFF -DLOOPTIDE_BENCH=OFF
exec ./build/src/app/looptide
