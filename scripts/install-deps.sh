#!/usr/bin/env bash
# Installs the Debian packages Looptide needs that are not there yet.
#   install-deps.sh run    toolkit, GL and the build tools
#   install-deps.sh package  the above plus what CPack needs to build the Debian package
#   install-deps.sh test   the above plus test, benchmark, display, sanitizer and
#                          package-checking tools
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
