#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Peak resident memory of the game in a wave at 800 x 600 beside a bare SDL +
# OpenGL window, in one run, with what the game's mappings are made of.
# Usage: bench/memory_report.sh [BUILD_DIR [DATA_DIR]]   (starts its own Xvfb;
# the game reads its data from DATA_DIR, the build folder by default)
set -u
BUILD=$(cd "${1:-build}" && pwd)
DATA=$(cd "${2:-$BUILD}" && pwd)
if [ -z "${MEMORY_REPORT_INNER:-}" ]; then
    exec env MEMORY_REPORT_INNER=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$BUILD" "$DATA"
fi
ERR=$(mktemp)
trap 'rm -f "$ERR"; [ -n "${GAME:-}" ] && kill "$GAME" 2>/dev/null' EXIT

bare=$("$BUILD/bench_window" | sed -n 's/^bare_window_peak_kb=//p')

(cd "$DATA" && exec "$BUILD/korvalend3d") 2>"$ERR" >/dev/null &
GAME=$!
for _ in $(seq 1 150); do grep -q 'Play Game' "$ERR" && break; sleep 0.2; done
grep -q 'Play Game' "$ERR" || { echo "the game did not reach a wave" >&2; exit 1; }
sleep 8  # into the wave: rocks, engine sparks, the HUD, music streaming
peak=$(awk '/^VmHWM/{print $2}' "/proc/$GAME/status")
# Resident memory by kind of mapping: the heap and other anonymous memory
# (ours and the renderer's), the renderer's libraries, everything else.
awk '
    /^[0-9a-f]+-[0-9a-f]+ / {
        name = $6; kind = "other"
        if (name == "") kind = "anonymous"
        else if (name ~ /heap/) kind = "heap"
        else if (name ~ /swrast|LLVM|gallium|dri/) kind = "renderer libraries"
        else if (name ~ /\.so/) kind = "other libraries"
    }
    /^Rss:/ { kb[kind] += $2 }
    END { for (k in kb) printf "  game %-20s %7d kB\n", k, kb[k] }' "/proc/$GAME/smaps" | sort
kill "$GAME"; wait "$GAME" 2>/dev/null; GAME=""

echo "peak resident memory: game in a wave ${peak} kB, bare SDL+OpenGL window ${bare} kB, game's own share $((peak - bare)) kB"
echo "game_peak_kb=$peak bare_window_peak_kb=$bare own_kb=$((peak - bare))"
