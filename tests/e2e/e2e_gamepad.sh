#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real game under Xvfb with a virtual pad (SDL 2's virtual joystick,
# attached through the game's test variable): found when plugged in during
# play, the left stick turns (not inside the dead zone), the right trigger
# fires, Start pauses and resumes, Back changes the camera, and the pad is
# let go when pulled out.
set -u
source "$(dirname "$0")/lib.sh" "$1" gamepad

start_x
mkfifo "$ART/pad" || fail "no pipe"
# Open for reading and writing, so neither side waits for the other.
exec 3<>"$ART/pad"
pad() { echo "$*" >&3; }
start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy KORVALEND3D_TEST_PAD="$ART/pad"
skip_intro || fail "the game did not start"
wait_for_wave || fail "no wave on the screen"
grep -q "Gamepad:" "$ART/stderr.txt" && fail "a pad was reported before one was plugged in"

pad attach
wait_for_stderr "Gamepad: Virtual Controller connected" 5 || fail "the pad plugged in during play was not found"

# Invincible and frozen (cheats), so that only what the pad does moves.
xdotool key grave f
# Embers of any earlier explosion live up to 4 s.
wait_for_still still_a || fail "the frozen picture is not still"
# The stick held inside the dead zone for 0.6 s.
pad axis 0 6000; sleep 0.6
shot dead_zone
expect_still "the stick inside the dead zone" still_a dead_zone

pad axis 0 24000; sleep 0.4; pad axis 0 0
wait_for_change turned dead_zone 5
expect_change "left stick turn" dead_zone turned

# Machine guns and triple fire (cheats) make a stream of shots.
xdotool key m t
shot still_b
pad axis 5 32767; sleep 0.5
shot fire
pad axis 5 0
d=$(diff_centre still_b fire)
echo "right trigger fire changes $d pixels at the centre"
[ "${d%.*}" -gt 20 ] || fail "the right trigger did not fire ($d)"

wait_for_still still_c || fail "the shots did not fly away"
pad button 6 1; sleep 0.2; pad button 6 0
wait_for_shown pause 5 || fail "Start did not pause"
shot paused
expect_change "Start (pause)" still_c paused
pad button 6 1; sleep 0.2; pad button 6 0
wait_for_shown play 5 || fail "Start did not resume"
shot resumed
expect_still "Start again (resume)" still_c resumed

pad button 4 1; sleep 0.2; pad button 4 0
wait_for_change chase resumed 5
expect_change "Back (next camera)" resumed chase

pad detach
wait_for_stderr "Gamepad: Virtual Controller disconnected" 5 || fail "the pad pulled out was not let go"
quit_game gamepad
[ "$(grep -c "Gamepad:" "$ART/stderr.txt")" -eq 2 ] || fail "more than one line each for plugging in and out"
echo "PASS"
