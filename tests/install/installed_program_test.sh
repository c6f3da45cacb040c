#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under a prefix of its own and
# checks what lands there: exactly the files of EXPECTED_FILES, a valid desktop
# entry whose command (given %f) and icon are installed, a MIME package that
# gives .looptide files the entry's type, valid AppStream metainfo, and a
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
# The entry starts the installed program with the file it is given (%f), for
# the file type that the installed MIME package defines.
command=$(sed -n 's/^Exec=//p' "$desktop")
[[ $command =~ ^([a-z]+)\ %f$ && -x $root/bin/${BASH_REMATCH[1]} ]] ||
    fail "Exec=$command is not an installed program in $prefix/bin given %f"
mime_type=$(sed -n 's/^MimeType=\(.*\);$/\1/p' "$desktop")
mime_package=$root/share/mime/packages/$app.xml
mime=$work/mime
mkdir -p "$mime/packages"
cp "$mime_package" "$mime/packages/"
XDG_DATA_DIRS=$work update-mime-database "$mime" 2>"$work/mime.log" || fail "update-mime-database rejects $mime_package"
[[ ! -s $work/mime.log ]] || fail "update-mime-database warns: $(cat "$work/mime.log")"
grep -qxF "50:$mime_type:*.looptide" "$mime/globs2" ||
    fail "the MIME package does not map *.looptide to $mime_type, the desktop entry's type"
grep -qF "$mime_type application/json" "$mime/subclasses" ||
    fail "$mime_type is not a kind of application/json"
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
