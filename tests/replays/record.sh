#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Records the kept replays from the real game, played by xdotool under Xvfb:
#   bash tests/replays/record.sh BUILD_DIR
# quiet.kvr  the first wave, flown and fired at, then quit;
# busy.kvr   a wave full of rock, novas, an enemy, mines and a well, firing;
# game.kvr   a whole game: two waves blasted clear, their bonus screens, the
#            ships lost, the game-over picture.
# A change of the rules, of the models' sizes or of the version makes them
# play another game: record them again then.
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../e2e/lib.sh" "$1" record_replays
# The runs share one player folder, where the recordings are.
PLAYER_HOME="$ART/xdg"
LAST="$ART/xdg/data/korvalend3d/replays/last.kvr"

begin() {
    start_x 1024x768
    start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy
    wait_for_stderr "Play Game" 25 || fail "the game did not start"
    wait_for_wave || fail "no wave on the screen"
}

# Quit, and keep what was recorded.
keep() {  # keep NAME
    quit_game "$1"
    cp "$LAST" "$HERE/$1.kvr"
    stop_all
    echo "$1.kvr: $(stat -c %s "$HERE/$1.kvr") bytes"
}

fly() {  # fly SECONDS: turns, thrust and fire
    local i
    for i in $(seq 1 $(( $1 * 2 ))); do
        xdotool mousemove_relative -- $(( (i * 37) % 61 - 30 )) $(( (i * 23) % 41 - 20 ))
        case $(( i % 4 )) in
        0) xdotool keydown Tab; sleep 0.25; xdotool keyup Tab; sleep 0.25 ;;
        1) xdotool keydown KP_0; sleep 0.3; xdotool keyup KP_0; sleep 0.2 ;;
        *) xdotool mousedown 1; sleep 0.2; xdotool mouseup 1; sleep 0.3 ;;
        esac
    done
}

begin
fly 20
keep quiet

begin
# Invincible, guns that keep firing; three more rocks, a nova, an enemy
# ship, two mines and a gravity well.
xdotool key grave m t 5 5 5 0 8 9 9 7
fly 10
xdotool key 0 8 5 5
fly 12
keep busy

begin
xdotool key grave
for wave in 1 2; do
    for _ in 1 2 3 4 5 6; do xdotool key n; sleep 0.3; done
    wait_for_shown bonus 30 || fail "wave $wave did not end"
    wait_for_wave wave 30 || fail "no wave $((wave + 1)) on the screen"
done
xdotool key grave k k k k
wait_for_stderr "Game over!" 30 || fail "no game over"
# The game is written when its game-over picture has gone; the next begins.
wait_for_count "Play Game" 2 20
cp "$LAST" "$HERE/game.kvr"
echo "game.kvr: $(stat -c %s "$HERE/game.kvr") bytes"
stop_all
echo "recorded"
