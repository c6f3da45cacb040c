#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under a prefix of its own and
# checks what lands there: exactly the files of EXPECTED_FILES, a valid desktop
# entry whose command and icon are installed, valid AppStream metainfo, and a
# program that starts from there on $DISPLAY (or a private X server when there
# is none), shows its window "Looptide" and exits with status 0 on Escape.
#   installed_program_test.sh BUILD_DIR EXPECTED_FILES
set -euo pipefail
build=$1
expected=$2
app=io.github.looptide.Looptide
prefix=/opt/looptide-test

# Cleanup on exit, fail, and starting and closing the program.
source "$(dirname "$0")/../e2e/lib.sh"
dest=$work/dest

DESTDIR=$dest cmake --install "$build" --prefix "$prefix" >/dev/null
root=$dest$prefix

# Exactly the expected files: a missing icon, a test program or anything put
# outside the prefix shows up as a difference.
diff -u <(LC_ALL=C sort "$expected") \
    <(cd "$dest" && find . ! -type d | sed "s|^\./${prefix#/}/||" | LC_ALL=C sort) ||
    fail "the installed files differ from $expected (- expected, + installed)"

desktop=$root/share/applications/$app.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
# The program takes no arguments, so the entry's command is the bare name of
# the installed program (a field code such as %f would hand it file names).
command=$(sed -n 's/^Exec=//p' "$desktop")
[[ $command =~ ^[a-z]+$ && -x $root/bin/$command ]] ||
    fail "Exec=$command is not the bare name of a program in $prefix/bin"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ -f $root/share/icons/hicolor/scalable/apps/$icon.svg &&
    -f $root/share/icons/hicolor/48x48/apps/$icon.png ]] ||
    fail "Icon=$icon has no installed scalable and 48 px icon"

appstreamcli validate --no-net "$root/share/metainfo/$app.metainfo.xml" ||
    fail "appstreamcli rejects the metainfo"

[[ -n ${DISPLAY:-} ]] || start_xvfb
start_program "$root/bin/looptide"
close_with_escape
echo "installed under $prefix: $(wc -l <"$expected") files; desktop entry, metainfo and program pass"
