#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real game under Xvfb: intro, a wave, firing, thrust, turning, camera
# keys, the keypad with Num Lock on and off, and a clean quit.
set -u
source "$(dirname "$0")/lib.sh" "$1" play

start_x
start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy

# The intro picture is up within 10 seconds (1 s of black, then the fade-in).
wait_for_shown intro 10 || fail "no intro"
shot intro
b=$(brightness intro)
echo "intro brightness $b"
awk "BEGIN{exit !($b > 0.02)}" || fail "intro screenshot is black ($b)"

# The game: the intro ends after 5 s; then wave 1 fades in.
wait_for_stderr "Play Game" 12 || fail "the game did not start"
wait_for_wave wave1
b=$(brightness wave1)
echo "wave 1 brightness $b"
awk "BEGIN{exit !($b > 0.01)}" || fail "wave 1 is black ($b)"
grid=$(grid_pixels wave1)
echo "wave 1 grid pixels $grid"
[ "${grid%.*}" -gt 1000 ] || fail "no arena grid in wave 1 ($grid)"

# Make the ship invincible and freeze the asteroids and enemies (cheats), so
# the picture stands still while the ship does: the only movement is what we
# cause. (Invincible also keeps the shield's light steady.)
xdotool key grave f
# Five more rocks (a cheat): frozen where they enter, on the arena's faces,
# so the fixed camera has rock to see whatever the wave brought.
xdotool key 5 5 5 5 5
# Embers of any earlier explosion live up to 4 s.
wait_for_still still_a || fail "the frozen picture is not still"

# Shots are small bolts; machine guns and triple fire (cheats) make a stream
# of them ahead of the cockpit while the button is held.
xdotool key m t
shot still_c
xdotool keydown Tab; sleep 0.5; shot fire_tab; xdotool keyup Tab
expect_shots "Tab fire" still_c fire_tab
wait_for_still still_c2 || fail "the shots did not fly away"
xdotool mousedown 1; sleep 0.5; shot fire_mouse; xdotool mouseup 1
expect_shots "left button fire" still_c2 fire_mouse
wait_for_still still_d || fail "the shots did not fly away"
xdotool mousemove_relative -- 60 0; wait_for_change turned still_d 5
expect_change "mouse turn" still_d turned
# A fresh 20 s of freeze for what follows.
refreeze
shot still_e
xdotool keydown KP_7; sleep 0.4; xdotool keyup KP_7; wait_for_change rolled_kp7 still_e 5
expect_change "keypad 7 (KP_7, Num Lock on)" still_e rolled_kp7
shot still_f
xdotool keydown KP_Home; sleep 0.4; xdotool keyup KP_Home; wait_for_change rolled_kp_home still_f 5
expect_change "keypad 7 as KP_Home (Num Lock off)" still_f rolled_kp_home
shot still_g
xdotool keydown KP_0; sleep 0.6; xdotool keyup KP_0; wait_for_change thrust still_g 5
expect_change "keypad 0 thrust" still_g thrust
# Air brakes (cheat) take the speed off over seconds (the time braking is
# the input); a fresh freeze keeps the rocks still meanwhile.
xdotool key a; refreeze; sleep 6; shot still_h
xdotool keydown KP_Insert; sleep 0.6; xdotool keyup KP_Insert; wait_for_change thrust_insert still_h 5
expect_change "keypad 0 as KP_Insert (Num Lock off)" still_h thrust_insert

xdotool key F2; wait_for_change third_person thrust_insert 5
expect_change "F2 camera" thrust_insert third_person
xdotool key F3; wait_for_change static_camera third_person 5
expect_change "F3 camera" third_person static_camera
# From outside the arena the fixed camera sees the rocks of the wave.
rock=$(rock_pixels static_camera)
echo "static camera rock pixels $rock"
[ "${rock%.*}" -gt 1000 ] || fail "no asteroid in view ($rock)"
xdotool key F1; wait_for_change first_person static_camera 5

xdotool key Escape; wait_for_shown pause 5 || fail "Escape did not pause"; shot paused
xdotool key q
wait_for_exit 5 || fail "Escape then q did not end the game"
wait "$GAME_PID"; status=$?; GAME_PID=""
[ "$status" -eq 0 ] || fail "exit status $status"

# Standard error tells the start-up story in order.
python3 - "$ART/stderr.txt" <<'PY' || fail "standard error is not in the expected order"
import re, sys
lines = open(sys.argv[1], errors="replace").read().splitlines()
names = ["Ship", "Asteroid", "Steelroid", "PlayerShot", "ShinobiShot", "Shield", "Prize",
         "Nova", "Multiplier2", "Multiplier3", "Multiplier4", "Multiplier5", "Bonus",
         "Homing", "Gravity", "BigShinobi", "SmallShinobi"]
want = [r"(Succeded|Failed) in entering (fullscreen|windowed) mode at a resolution of \d+x\d+"]
for n in names:
    want.append(re.escape("Loading model Models/%s.ms3d..." % n))
    want.append(re.escape("Succeded in loading model Models/%s.ms3d" % n))
want += [r"Intro screen!", r"Main menu!", r"Play Game"]
i = 0
for line in lines:
    if i < len(want) and re.search(want[i], line):
        i += 1
if any("Failed in loading model" in l for l in lines):
    print("a model failed to load"); sys.exit(1)
if i < len(want):
    print("missing, in order:", want[i]); sys.exit(1)
print("standard error order ok")
PY
echo "PASS"
