#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installed game: install into a prefix with a space in its path, check
# the desktop entry, metainfo and manual page, play it from another folder
# (models, intro, sound, clean quit), then moved elsewhere, with its data
# named by KORVALEND3D_DATA, with no data at all, and uninstalled.
set -u
source "$(dirname "$0")/lib.sh" "$1" install
SRC=$(cd "$(dirname "$0")/../.." && pwd)
PREFIX="$ART/pre fix"
ID=org.korvalend.korvalend3d

# The manifest of the user's own `make install` is kept for their uninstall.
MANIFEST="$BUILD_DIR/install_manifest.txt"
[ -f "$MANIFEST" ] && cp "$MANIFEST" "$ART/user_manifest.txt"
cmake --install "$BUILD_DIR" --prefix "$PREFIX" >"$ART/install.txt" || fail "install failed"
mv "$MANIFEST" "$ART/manifest.txt"
[ -f "$ART/user_manifest.txt" ] && mv "$ART/user_manifest.txt" "$MANIFEST"
echo "installed $(wc -l <"$ART/manifest.txt") files"

for f in bin/korvalend3d share/applications/$ID.desktop share/metainfo/$ID.metainfo.xml \
         share/man/man6/korvalend3d.6.gz share/korvalend3d/Music/list.txt; do
    [ -f "$PREFIX/$f" ] || fail "$f is not installed"
done
[ "$(readlink "$PREFIX/share/korvalend3d/sounds")" = Sounds ] || fail "the sounds link is missing"
for size in 48 64 128 256; do
    icon="$PREFIX/share/icons/hicolor/${size}x$size/apps/$ID.png"
    [ "$(identify -format '%wx%h %m' "$icon" 2>/dev/null)" = "${size}x$size PNG" ] || fail "icon $size"
done
desktop-file-validate "$PREFIX/share/applications/$ID.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$PREFIX/share/metainfo/$ID.metainfo.xml" >"$ART/appstream.txt" 2>&1 \
    || { cat "$ART/appstream.txt"; fail "metainfo"; }
MANWIDTH=80 man --warnings -l "$PREFIX/share/man/man6/korvalend3d.6.gz" >"$ART/man.txt" 2>"$ART/man_warnings.txt"
[ -s "$ART/man_warnings.txt" ] && { cat "$ART/man_warnings.txt"; fail "the manual page has warnings"; }
# Every key the game binds is in the manual.
for key in Tab Space "keypad 0" "keypad 7" Escape F1 F3 F9 F10 F11 F12 Alt+Return KORVALEND3D_DATA list.txt; do
    grep -qF "$key" "$ART/man.txt" || fail "the manual page does not mention $key"
done

# A read-only data folder: the game only reads it.
chmod -R a-w "$PREFIX/share/korvalend3d"
WORK="$ART/some folder"
start_x

play "$WORK" installed "$PREFIX/bin/korvalend3d"
[ "$models" -eq 17 ] || fail "installed: $models models loaded"
expect_sound installed

# Moved elsewhere: found relative to the executable, not at the prefix.
chmod -R u+w "$PREFIX/share/korvalend3d"
MOVED="$ART/moved copy"
mv "$PREFIX" "$MOVED"
play "$WORK" moved "$MOVED/bin/korvalend3d"
[ "$models" -eq 17 ] || fail "moved: $models models loaded"

# Only the executable, its data named by the variable; a variable that
# names no data folder is reported and the search goes on.
mkdir -p "$ART/lone"
cp "$MOVED/bin/korvalend3d" "$ART/lone/"
play "$WORK" variable "$ART/lone/korvalend3d" KORVALEND3D_DATA="$MOVED/share/korvalend3d"
[ "$models" -eq 17 ] || fail "variable: $models models loaded"
play "$WORK" wrong_variable "$MOVED/bin/korvalend3d" KORVALEND3D_DATA="$ART/nowhere"
[ "$models" -eq 17 ] || fail "wrong_variable: $models models loaded"
grep -qF "KORVALEND3D_DATA=\"$ART/nowhere\" is not a folder" "$ART/wrong_variable.stderr.txt" || fail "no report of the variable"
# No data anywhere (the build's own install place may hold a real install;
# then that is what it finds): one message naming the places, and the game
# still plays.
built_prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$BUILD_DIR/CMakeCache.txt")
if [ ! -d "$built_prefix/share/korvalend3d/Models" ]; then
    play "$WORK" no_data "$ART/lone/korvalend3d" KORVALEND3D_DATA=
    [ "$models" -eq 0 ] || fail "no_data: $models models loaded"
    grep -qF "  $ART/lone/../share/korvalend3d" "$ART/no_data.stderr.txt" || fail "no_data: the places are not named"
else
    echo "no_data: skipped, $built_prefix/share/korvalend3d holds an installed game"
fi

# Uninstall from the original place: no file is left.
mv "$MOVED" "$PREFIX"
cmake -DMANIFEST="$ART/manifest.txt" -P "$SRC/packaging/Uninstall.cmake" >/dev/null || fail "uninstall failed"
left=$(find "$PREFIX" \( -type f -o -type l \) | wc -l)
[ "$left" -eq 0 ] || { find "$PREFIX" -type f; fail "uninstall left $left files"; }
[ -e "$PREFIX/share/korvalend3d" ] && fail "uninstall left the data folder"
echo "PASS"
