#!/usr/bin/env bash
# Installs the Debian packages Looptide needs that are not there yet.
#   install-deps.sh run    toolkit, GL and the build tools
#   install-deps.sh package  the above plus what CPack needs to build the Debian package
#   install-deps.sh test   the above plus test, benchmark, display, sanitizer and
#                          package-checking tools, and Khronos's glTF Validator
#                          (npm, pinned in tools/gltf-validator)
set -euo pipefail

# fluid: CMake's FLTK module will not report FLTK found without it.
# xfonts-base: Xvfb refuses to start without its default "fixed" font.
# nlohmann-json3-dev: the .looptide files are read and written with it.
run_pkgs=(g++ cmake ninja-build pkg-config libfltk1.3-dev fluid libgl1-mesa-dev libglu1-mesa-dev
          libgl1-mesa-dri xvfb xauth xfonts-base nlohmann-json3-dev)
# dpkg-dev: dpkg-shlibdeps works out the package's Depends; file: CPack finds
# the binaries to hand it with it.
package_pkgs=(dpkg-dev file)
# desktop-file-utils, appstream, lintian, shared-mime-info: the install tests
# validate the desktop entry, the metainfo, the package and the file type with
# them.
test_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev xdotool x11-utils imagemagick
           clang libclang-rt-14-dev clang-format desktop-file-utils appstream lintian
           shared-mime-info)

pkgs=("${run_pkgs[@]}")
case "${1:-run}" in
    package) pkgs+=("${package_pkgs[@]}") ;;
    test) pkgs+=("${package_pkgs[@]}" "${test_pkgs[@]}") ;;
esac
# Node and npm run the glTF Validator; Debian's, unless a Node that brings its
# own npm is there already.
if [ "${1:-run}" = test ]; then
    command -v node >/dev/null || pkgs+=(nodejs)
    command -v npm >/dev/null || pkgs+=(npm)
fi

missing=()
for p in "${pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

# The scene export's tests run Khronos's glTF Validator with Node: the exact
# version in tools/gltf-validator/package-lock.json, installed beside it.
if [ "${1:-run}" = test ]; then
    validator=$(cd "$(dirname "$0")/../tools/gltf-validator" && pwd)
    if ! node -e "require('$validator/node_modules/gltf-validator')" 2>/dev/null; then
        echo "Installing the glTF Validator into $validator"
        (cd "$validator" && npm ci --no-audit --no-fund --loglevel=error)
    fi
fi
