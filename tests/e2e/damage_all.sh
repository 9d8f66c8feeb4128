#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real game with one data file damaged at a time, every generated file
# and every kind of damage in DAMAGE_KINDS (default: all of them): each run
# shows the intro, plays a little of a wave and quits with 0.
# Usage: damage_all.sh BUILD_DIR   (make damage-all)
set -u
E2E_DIR=$(cd "$(dirname "$0")" && pwd)
source "$E2E_DIR/lib.sh" "$1" damage_all
source "$E2E_DIR/damage_lib.sh"
KINDS=${DAMAGE_KINDS:-cut-header cut-half flip zeros folder unreadable}

start_x
mapfile -t FILES < <(data_files)
dir=$(data_copy data)
started=$(date +%s)
runs=0
for kind in $KINDS; do
    for f in "${FILES[@]}"; do
        : >"$dir/damaged.txt"
        damage "$dir" "$kind" "$f"
        play_damaged "$kind $f" "$dir" >/dev/null
        runs=$((runs + 1))
        # Back to the generated file for the next run.
        chmod -R u+rwX "$dir"
        rm -rf "${dir:?}/$f"
        cp "$BUILD_DIR/$f" "$dir/$f"
    done
done
echo "$runs runs in $(( $(date +%s) - started )) s, every one ended with 0"
awk '/ 1 refused/{r++} / 1 loaded/{l++} / 1 not named/{n++}
     END{printf "damaged file refused with a message: %d, loaded: %d, not named: %d\n", r, l, n}' "$ART/matrix.txt"
echo "PASS"
