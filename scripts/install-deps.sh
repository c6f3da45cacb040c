#!/usr/bin/env bash
# Installs the Debian packages Looptide needs that are not there yet.
#   install-deps.sh run    toolkit, GL and the build tools
#   install-deps.sh test   the above plus test, benchmark, display and sanitizer tools
set -euo pipefail

# fluid: CMake's FLTK module will not report FLTK found without it.
# xfonts-base: Xvfb refuses to start without its default "fixed" font.
run_pkgs=(g++ cmake ninja-build pkg-config libfltk1.3-dev fluid libgl1-mesa-dev libglu1-mesa-dev
          libgl1-mesa-dri xvfb xauth xfonts-base)
test_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev xdotool x11-utils imagemagick
           clang libclang-rt-14-dev clang-format)

pkgs=("${run_pkgs[@]}")
if [ "${1:-run}" = "test" ]; then
    pkgs+=("${test_pkgs[@]}")
fi

missing=()
for p in "${pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
