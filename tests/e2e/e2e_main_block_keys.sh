#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real game under Xvfb flown with the main block alone, as on a
# keyboard without a keypad: the arrows turn and nose, z and x roll, left
# Shift thrusts, Tab fires, Space shields, p pauses; each changes the
# picture as the keypad's keys do. Then the recordings: a game played with
# fire on e, roll on c and v and the mouse twice as fast plays back with
# every checksum equal under the default controls, and the game played
# with the defaults plays back equal under those.
set -u
source "$(dirname "$0")/lib.sh" "$1" main_block_keys
start_x

# hold KEY SECONDS: a key held down for a while (the holding is the input).
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
# expect_moved WHAT KEY: KEY held from a still picture changes it (the
# shots of a stream take a while to leave the centre on a busy machine).
expect_moved() {
    local name=${2//[^a-zA-Z0-9]/_}
    refreeze
    wait_for_still "before_$name" 15 || fail "the picture is not still before $1"
    hold "$2" 0.4
    wait_for_change "$name" "before_$name" 5
    expect_change "$1 ($2)" "before_$name" "$name"
}

PLAYER_HOME="$ART/default"
start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy
skip_intro || fail "the game did not start"
wait_for_wave || fail "no wave on the screen"

# Invincible and frozen (cheats), so that only what the keys do moves; five
# more rocks, frozen where they enter, so that there is rock to see
# whichever way the ship turns.
xdotool key grave
refreeze
xdotool key 5 5 5 5 5
wait_for_still still 20 || fail "the frozen picture is not still"
# A held shield spends its energy (the bar in the corner shrinks), once the
# new ship's own shield (2 s) has run out.
sleep 2
shot before_shield
hold space 1.5
shot shield
d=$(diff_corner before_shield shield)
echo "Space (shield) changes $d pixels of the shield's corner"
[ "${d%.*}" -gt 50 ] || fail "Space did not raise the shield ($d)"

expect_moved "turn left" Left
expect_moved "turn right" Right
expect_moved "nose down" Up
expect_moved "nose up" Down
expect_moved "roll left" z
expect_moved "roll right" x

# Machine guns and triple fire (cheats) make a stream of shots ahead of the
# cockpit.
xdotool key m t
refreeze
wait_for_still still_fire 15 || fail "the picture is not still before firing"
xdotool keydown Tab; sleep 0.5; shot fire; xdotool keyup Tab
expect_shots "Tab (fire)" still_fire fire
expect_moved "thrust" Shift_L

xdotool key p
wait_for_shown pause 5 || fail "p did not pause"
xdotool key q
wait_for_exit 5 || fail "p then q did not end the game"
wait "$GAME_PID"; status=$?; GAME_PID=""
[ "$status" -eq 0 ] || fail "the main block's game: exit status $status"
cp "$ART/default/data/korvalend3d/replays/last.kvr" "$ART/default.kvr"

# The game again with the player's own controls.
PLAYER_HOME="$ART/own"
mkdir -p "$PLAYER_HOME/config/korvalend3d"
cat >"$PLAYER_HOME/config/korvalend3d/settings" <<'EOF'
bind_fire = e |  | Mouse1 | PadA
bind_roll_left = c |  |  | PadLeftShoulder
bind_roll_right = v |  |  | PadRightShoulder
mouse_sensitivity = 2
EOF
start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy
skip_intro || fail "the game with its own controls did not start"
wait_for_wave || fail "no wave on the screen"
grep -q "settings:" "$ART/stderr.txt" && fail "the settings file was not read cleanly"
xdotool key grave m t
expect_moved "roll left" c
expect_moved "roll right" v
xdotool mousemove_relative -- 40 15
expect_moved "turn left" Left
refreeze
wait_for_still still_own 15 || fail "the picture is not still before firing"
xdotool keydown Tab; sleep 0.5; shot tab_unbound; xdotool keyup Tab
d=$(diff_centre still_own tab_unbound)
echo "Tab, bound to nothing, changes $d pixels at the centre"
[ "${d%.*}" -lt 20 ] || fail "Tab still fires ($d)"
xdotool keydown e; sleep 0.5; shot fire_e; xdotool keyup e
expect_shots "e (fire)" still_own fire_e
quit_game "the game with its own controls"
grep -E "^(bind_fire|mouse_sensitivity)" "$PLAYER_HOME/config/korvalend3d/settings"
grep -qx "bind_fire = e |  | Mouse1 | PadA" "$PLAYER_HOME/config/korvalend3d/settings" ||
    fail "the controls were not kept"
cp "$PLAYER_HOME/data/korvalend3d/replays/last.kvr" "$ART/own.kvr"

# Each recording under the other's controls, as fast as it can be drawn (in
# a small window: the pictures do not matter here).
playback() {  # playback HOME RECORDING
    PLAYER_HOME=$1
    start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy -- --window --mode 640x480 --timedemo "$2"
    wait "$GAME_PID"; local status=$?; GAME_PID=""
    grep "^Replay" "$ART/stderr.txt"
    [ "$status" -eq 0 ] && grep -q "every one equal" "$ART/stderr.txt" ||
        fail "$(basename "$2") did not play back equal under the controls of $(basename "$1")"
    local checksums
    checksums=$(grep -o "; [0-9]* checksums" "$ART/stderr.txt" | grep -o "[0-9]*")
    [ "${checksums:-0}" -gt 3 ] || fail "$(basename "$2") played back only ${checksums:-no} checksums"
}
playback "$ART/plain" "$ART/own.kvr"
playback "$ART/own" "$ART/default.kvr"
echo "PASS"
