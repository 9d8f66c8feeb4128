#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The kept recordings (tests/replays) played back as fast as they can be
# drawn, by this build (release or sanitizer): every checksum of the world
# must equal the recorded one, to the end of each. KORVALEND_SOAK_REPLAYS
# names the ones to play (make test: game and heavy); default all.
# Usage: soak_replays.sh BUILD_DIR asan|release
set -u
source "$(dirname "$0")/lib.sh" "$1" "replays_$2"
REPLAYS=$(cd "$(dirname "$0")/../replays" && pwd)
start_x
NAMES=${KORVALEND_SOAK_REPLAYS:-$(cd "$REPLAYS" && ls *.kvr | sed 's/\.kvr$//')}
for name in $NAMES; do
    kvr="$REPLAYS/$name.kvr"
    [ -f "$kvr" ] || fail "no recording $kvr"
    start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy "${SANITIZER_ENV[@]}" -- --timedemo "$kvr"
    wait "$GAME_PID"; status=$?; GAME_PID=""
    cp "$ART/stderr.txt" "$ART/$name.stderr.txt"
    echo "$name: $(grep "^Replay" "$ART/stderr.txt")"
    echo "$name: $(cat "$ART/stdout.txt")"
    grep -q "every one equal" "$ART/stderr.txt" || fail "$name: the replay did not play the same game"
    check_exit "$status" "$name"
done
echo "PASS"
