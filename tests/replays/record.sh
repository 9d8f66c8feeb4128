#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Records the kept replays from the real game, played by xdotool under Xvfb:
#   bash tests/replays/record.sh BUILD_DIR [NAME...]   (all of them without NAME)
# quiet.kvr  the first wave, flown and fired at, then quit;
# busy.kvr   a wave full of rock, novas, an enemy, mines and a well, firing;
# game.kvr   a whole game: two waves blasted clear, their bonus screens, the
#            ships lost, the game-over picture;
# heavy.kvr  the time demo's worst case: the fourth wave's crowd and more,
#            steel, enemy ships, mines, wells, novas going off, every weapon.
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

# Which to record: the names given, or all.
WANT=" ${*:2} "
[ "$WANT" = "  " ] && WANT=" quiet busy game heavy "
wanted() { [[ "$WANT" == *" $1 "* ]]; }

# Blasts the waves clear with novas until the bonus screen of the given
# wave has gone.
clear_waves() {  # clear_waves LAST_WAVE
    local wave
    for wave in $(seq 1 "$1"); do
        for _ in 1 2 3 4 5 6; do xdotool key n; sleep 0.3; done
        wait_for_shown bonus 30 || fail "wave $wave did not end"
        wait_for_wave wave 30 || fail "no wave $((wave + 1)) on the screen"
    done
}

if wanted quiet; then
begin
fly 20
keep quiet
fi

if wanted busy; then
begin
# Invincible, guns that keep firing; three more rocks, a nova, an enemy
# ship, two mines and a gravity well.
xdotool key grave m t 5 5 5 0 8 9 9 7
fly 10
xdotool key 0 8 5 5
fly 12
keep busy
fi

if wanted game; then
begin
xdotool key grave
clear_waves 2
xdotool key grave k k k k
wait_for_stderr "Game over!" 30 || fail "no game over"
# The game is written when its game-over picture has gone; the next begins.
wait_for_count "Play Game" 2 20
cp "$LAST" "$HERE/game.kvr"
echo "game.kvr: $(stat -c %s "$HERE/game.kvr") bytes"
stop_all
fi

if wanted heavy; then
begin
# Invincible, through three waves to the fourth's crowd; then every weapon
# (machine guns, triple and long-range fire), and more of everything: big
# and steel rocks, enemy ships, mines, two wells, novas, a nova blast.
xdotool key grave
clear_waves 3
sleep 2
xdotool key m t l 5 5 5 5 5 5 6 6 6 8 8 8 9 9 9 7 7 0 0
fly 8
xdotool key 5 5 5 5 6 6 8 8 9 9 0 n
fly 8
xdotool key 0 0 5 5 5 5 8 8
fly 8
keep heavy
fi
echo "recorded"
