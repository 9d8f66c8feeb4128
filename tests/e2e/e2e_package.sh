#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package: built by CPack from this build, lintian finds no error
# and no warning; as root, dpkg installs it, the installed game plays from
# another folder, and dpkg -r leaves none of its files behind.
set -u
source "$(dirname "$0")/lib.sh" "$1" package

cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$ART/pkg" >"$ART/cpack.txt" 2>&1 \
    || { cat "$ART/cpack.txt"; fail "cpack failed"; }
DEB=$(ls "$ART"/pkg/korvalend3d_*_*.deb 2>/dev/null | head -1)
[ -n "$DEB" ] || fail "no korvalend3d_<version>_<arch>.deb"
echo "package: $(basename "$DEB"), $(stat -c %s "$DEB") bytes"
echo "depends: $(dpkg-deb -f "$DEB" Depends)"
[ "$(dpkg-deb -f "$DEB" Section)" = games ] || fail "section is not games"
dpkg-deb -c "$DEB" | grep ' ./usr/games/korvalend3d$' >/dev/null || fail "no /usr/games/korvalend3d"
lintian "$DEB" >"$ART/lintian.txt" 2>&1
cat "$ART/lintian.txt"
grep -qE '^[EW]:' "$ART/lintian.txt" && fail "lintian reports errors or warnings"

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: installing the package with dpkg needs root"
    echo "PASS"
    exit 0
fi
if dpkg-query -W -f='${Status}' korvalend3d 2>/dev/null | grep -q "install ok installed"; then
    echo "SKIP: korvalend3d is installed on this machine already; not replacing it"
    echo "PASS"
    exit 0
fi
dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}' >"$ART/files.txt"
dpkg -i "$DEB" >"$ART/dpkg_install.txt" 2>&1 || { cat "$ART/dpkg_install.txt"; fail "dpkg -i failed"; }
start_x
play "$ART/some folder" deb /usr/games/korvalend3d
[ "$models" -eq 17 ] || { dpkg -r korvalend3d >/dev/null; fail "deb: $models models loaded"; }
expect_sound deb
dpkg -r korvalend3d >"$ART/dpkg_remove.txt" 2>&1 || fail "dpkg -r failed"
left=0
while IFS= read -r f; do
    if [ -e "$f" ] || [ -L "$f" ]; then echo "left behind: $f"; left=$((left + 1)); fi
done <"$ART/files.txt"
[ "$left" -eq 0 ] || fail "dpkg -r left $left files"
[ -e /usr/share/korvalend3d ] && fail "dpkg -r left /usr/share/korvalend3d"
echo "removed: none of $(wc -l <"$ART/files.txt") files left"
echo "PASS"
