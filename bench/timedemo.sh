#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The time demo of the busy recording (tests/replays/busy.kvr) on a
# 1920 x 1080 screen at 800 x 600, in a window and in full screen: the frame
# times a player of that game gets, one line each.
# Usage: bench/timedemo.sh [BUILD_DIR [RECORDING]]   (starts its own Xvfb)
set -u
BUILD=$(cd "${1:-build}" && pwd)
KVR=$(cd "$(dirname "${2:-$(dirname "$0")/../tests/replays/busy.kvr}")" && pwd)/$(basename "${2:-busy.kvr}")
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT
echo "timedemo: $(basename "$KVR"), 800x600 on a 1920x1080 screen (llvmpipe)"
for kind in window fullscreen; do
    line=$(cd "$BUILD" && XDG_DATA_HOME="$HOME_DIR/data" XDG_CONFIG_HOME="$HOME_DIR/config" SDL_AUDIODRIVER=dummy \
        xvfb-run -a -s "-screen 0 1920x1080x24" ./korvalend3d --reset --"$kind" --mode 800x600 --timedemo "$KVR" 2>/dev/null |
        grep '^timedemo ')
    echo "${kind} ${line:-failed}"
done
