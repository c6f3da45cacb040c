#!/usr/bin/env bash
# Builds the Debian package with CPack from the build folder into a temporary
# folder (it is never installed on this system) and checks it: the files of a
# plain install plus Debian's copyright and changelog; one version in the
# package, its changelog and the metainfo; a Depends line naming the package of
# every library the binary links, and nothing else; and no lintian error.
#   debian_package_test.sh BUILD_DIR EXPECTED_FILES PROJECT_VERSION
set -euo pipefail
build=$1
expected=$2
version=$3

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || {
    cat "$out/cpack.log"
    fail "cpack could not build the package"
}
debs=("$out"/looptide_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "cpack wrote no single looptide_*.deb"
deb=${debs[0]}
dpkg-deb -I "$deb"

diff -u <({ sed 's|^|usr/|' "$expected"
    echo usr/share/doc/looptide/copyright
    echo usr/share/doc/looptide/changelog.gz; } | LC_ALL=C sort) \
    <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./||' | LC_ALL=C sort) ||
    fail "the package's files differ from the install's plus copyright and changelog"

[[ $(dpkg-deb -f "$deb" Package) == looptide ]] || fail "the package is not named looptide"
root=$out/root
dpkg-deb -x "$deb" "$root"
doc=$root/usr/share/doc/looptide
gzip -dc "$doc/changelog.gz" >"$out/changelog"
changelog_version=$(dpkg-parsechangelog -l "$out/changelog" -S Version)
metainfo_version=$(grep -o -m 1 '<release version="[^"]*"' \
    "$root/usr/share/metainfo/io.github.looptide.Looptide.metainfo.xml" | cut -d '"' -f 2)
[[ $(dpkg-deb -f "$deb" Version) == "$version" && $changelog_version == "$version" &&
    $metainfo_version == "$version" ]] ||
    fail "version $version of the project is not the package's ($(dpkg-deb -f "$deb" Version)), \
the changelog's ($changelog_version) and the metainfo's newest release ($metainfo_version)"

# Depends: each group ("a (>= 1) | b") must hold the package that owns one of
# the libraries the binary links here, and every such package must be named.
depends=$(dpkg-deb -f "$deb" Depends)
[[ -n $depends ]] || fail "the package has no Depends line"
multiarch=$(dpkg-architecture -q DEB_HOST_MULTIARCH)
owners=$(readelf -d "$root/usr/bin/looptide" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' |
    while read -r lib; do dpkg -S "*/$multiarch/$lib" | head -n 1 | cut -d : -f 1; done |
    sort -u)
named=$(tr ',|' '\n\n' <<<"$depends" | sed -E 's/\([^)]*\)//; s/:[a-z]+//; s/ //g' | sort -u)
while IFS= read -r group; do
    alternatives=$(tr '|' '\n' <<<"$group" | sed -E 's/\([^)]*\)//; s/:[a-z]+//; s/ //g')
    grep -qxF -f <(echo "$owners") <<<"$alternatives" ||
        fail "Depends asks for '$group', which no library of the binary needs"
done < <(tr ',' '\n' <<<"$depends")
missing=$(comm -23 <(echo "$owners") <(echo "$named"))
[[ -z $missing ]] || fail "Depends lacks the package of a linked library: $missing"
for wanted in libfltk1 libfltk-gl1 'libgl1|libopengl0' libglu1; do
    grep -qE "^($wanted)" <<<"$named" || fail "Depends names no $wanted runtime package"
done

# Lintian's whole report goes to the log; an error (E:) fails the test.
lintian_status=0
lintian --display-info "$deb" >"$out/lintian.log" 2>&1 || lintian_status=$?
cat "$out/lintian.log"
! grep -q '^E:' "$out/lintian.log" || fail "lintian reports errors"
[[ $lintian_status -eq 0 ]] || fail "lintian exited with status $lintian_status"
echo "$(basename "$deb"): files, version, Depends and lintian pass"
