#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The README's pictures of the options screen: every page over a paused
# wave, in an 800x600 window and in full screen at 1600x1200 on a 1920x1080
# display (scaled to half), into docs/options/.
# Usage: scripts/options-screenshots.sh BUILD_DIR
set -eu
BUILD=$(cd "$1" && pwd)
OUT=$(cd "$(dirname "$0")/.." && pwd)/docs/options
WORK=$(mktemp -d)
trap 'kill $GAME $XVFB 2>/dev/null; tail -n 5 "$WORK"/*.err; rm -rf "$WORK"' EXIT
GAME="" XVFB=""

# shown N FILE: waits until FILE has N "options shown" lines.
shown() {
    until [ "$(grep -c "State: options shown" "$2")" -ge "$1" ]; do sleep 0.2; done
    sleep 0.5  # the picture reported is on the screen
}

shoot() {  # shoot NAME DISPLAY_SIZE SETTINGS_LINES...
    local name=$1 size=$2 n
    shift 2
    mkdir -p "$WORK/$name/config/korvalend3d"
    printf '%s\n' "$@" >"$WORK/$name/config/korvalend3d/settings"
    : >"$WORK/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
    XVFB=$!
    until [ -s "$WORK/display" ]; do sleep 0.1; done
    export DISPLAY=":$(head -n 1 "$WORK/display")"
    (cd "$BUILD" && exec env XDG_CONFIG_HOME="$WORK/$name/config" XDG_DATA_HOME="$WORK/$name/data" \
        KORVALEND3D_TEST_STATES=1 KORVALEND3D_TEST_FPS=30 SDL_AUDIODRIVER=dummy ./korvalend3d 2>"$WORK/$name.err") &
    GAME=$!
    until grep -qs "State: wave shown" "$WORK/$name.err"; do sleep 0.2; done
    xdotool key grave f; sleep 1
    xdotool key Escape; sleep 1
    xdotool key o
    n=1
    for page in screen sound controls game; do
        shown "$n" "$WORK/$name.err"
        if [ "$size" = 1920x1080 ]; then
            import -window root -resize 50% "$WORK/shot.png"
        else
            import -window "$(xdotool search --name 'Korvalend 3D' | head -n 1)" "$WORK/shot.png"
        fi
        convert "$WORK/shot.png" -colors 96 "PNG8:$OUT/$name-$page.png"
        xdotool key Right
        n=$((n + 1))
    done
    kill "$GAME"; wait "$GAME" 2>/dev/null || true
    kill "$XVFB"; wait "$XVFB" 2>/dev/null || true
}

shoot window-800x600 1024x768 "screen = window" "window_mode = 1"
shoot fullscreen-1600x1200 1920x1080 "screen = fullscreen" "fullscreen_mode = 5"
ls -l "$OUT"
