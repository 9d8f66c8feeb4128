#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The time demo of the busy recordings (tests/replays/busy.kvr and the
# heavier heavy.kvr) on a 1920 x 1080 screen: in a window at 800 x 600 and
# in full screen at each of the six modes, one row each with the median,
# 95th and 99th percentile of the frame times; the last line sums it up.
# Each run has its own Xvfb and a fresh player folder.
# Usage: bench/timedemo.sh [BUILD_DIR [RECORDING...]]
# TIMEDEMO_GAMES="korvalend3d korvalend3d.old" (executables in BUILD_DIR)
# compares builds: they take turns at every row, so load from other
# processes falls on each alike. TIMEDEMO_ROUNDS=N plays every row N times
# (medians of the runs' figures). TIMEDEMO_SCREENS="window 800x600;fullscreen
# 1600x1200" plays only those.
set -u
BUILD=$(cd "${1:-build}" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
shift $(( $# > 0 ? 1 : 0 ))
RECORDINGS=("$@")
[ ${#RECORDINGS[@]} -eq 0 ] && RECORDINGS=("$HERE/../tests/replays/busy.kvr" "$HERE/../tests/replays/heavy.kvr")
read -r -a GAMES <<<"${TIMEDEMO_GAMES:-korvalend3d}"
ROUNDS=${TIMEDEMO_ROUNDS:-1}
SCREENS=("window 800x600" "fullscreen 640x480" "fullscreen 800x600" "fullscreen 1024x768"
         "fullscreen 1152x864" "fullscreen 1280x1024" "fullscreen 1600x1200")
[ -n "${TIMEDEMO_SCREENS:-}" ] && IFS=';' read -r -a SCREENS <<<"$TIMEDEMO_SCREENS"
HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT

load() { cut -d' ' -f1-3 /proc/loadavg; }

# One run: prints "median p95 p99 frames", or "- - - failed".
run() {  # run GAME KIND MODE RECORDING
    rm -rf "${HOME_DIR:?}"/*
    local line
    line=$(cd "$BUILD" && XDG_DATA_HOME="$HOME_DIR/data" XDG_CONFIG_HOME="$HOME_DIR/config" SDL_AUDIODRIVER=dummy \
        xvfb-run -a -s "-screen 0 1920x1080x24" "./$1" --reset --"$2" --mode "$3" --timedemo "$4" 2>/dev/null |
        grep '^timedemo ')
    [ -n "$line" ] || { echo "- - - failed"; return; }
    local f
    f() { sed -n "s/.* $1=\([0-9.]*\).*/\1/p" <<<"$line"; }
    echo "$(f median_ms) $(f p95_ms) $(f p99_ms) $(f frames)"
}

median() { sort -g | awk '{v[NR] = $1} END {if (NR == 0) print "-"; else print v[int((NR + 1) / 2)]}'; }

echo "timedemo: ${#RECORDINGS[@]} recording(s) on a 1920x1080 screen, llvmpipe, $(nproc) cores, $ROUNDS round(s);" \
    "load average at the start $(load)"
printf '%-10s %-18s %-21s %7s %8s %8s %8s\n' recording game screen frames median_ms p95_ms p99_ms
worst_fs=0
worst_window=0
for kvr in "${RECORDINGS[@]}"; do
    kvr=$(cd "$(dirname "$kvr")" && pwd)/$(basename "$kvr")
    for screen in "${SCREENS[@]}"; do
        read -r kind mode <<<"$screen"
        declare -A results=()
        for round in $(seq 1 "$ROUNDS"); do
            for game in "${GAMES[@]}"; do
                results[$game]+="$(run "$game" "$kind" "$mode" "$kvr")"$'\n'
            done
        done
        for game in "${GAMES[@]}"; do
            rows=${results[$game]}
            col() { awk -v c="$1" 'NF {print $c}' <<<"$rows" | grep -v -- - | median; }
            med=$(col 1) p95=$(col 2) p99=$(col 3) frames=$(col 4)
            printf '%-10s %-18s %-21s %7s %8s %8s %8s\n' "$(basename "$kvr")" "$game" "$kind $mode" "$frames" "$med" \
                "$p95" "$p99"
            [ "$game" = "${GAMES[0]}" ] && [ "$p95" != - ] || continue
            if [ "$kind" = fullscreen ]; then
                worst_fs=$(awk -v a="$worst_fs" -v b="$p95" 'BEGIN {print (b > a) ? b : a}')
            else
                worst_window=$(awk -v a="$worst_window" -v b="$p95" 'BEGIN {print (b > a) ? b : a}')
            fi
        done
        unset results
    done
done
echo "load average at the end $(load)"
echo "timedemo worst_fullscreen_p95_ms=$worst_fs worst_window_p95_ms=$worst_window (${GAMES[0]})"
