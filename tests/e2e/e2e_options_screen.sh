#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The options screen of the real game under Xvfb, driven as a player would:
# opened from the title and from the pause, Escape backs out of every page,
# the brightness raised (the world brighter, the HUD as it was), the frame
# counter shown, the volumes turned down (heard in the disk audio), fire
# bound to a letter and fired with it, a key another action held swapped,
# the screen put in a window of another size, the pad and the mouse moving
# through the pages; all of it remembered at the next start, and the default controls
# brought back.
set -u
source "$(dirname "$0")/lib.sh" "$1" options_screen
PLAYER_HOME="$ART/player"
SETTINGS="$PLAYER_HOME/config/korvalend3d/settings"

# keys KEY...: each key pressed alone, and the options' next picture waited for.
keys() {
    local k
    for k in "$@"; do
        xdotool key "$k"
        wait_for_shown options 10 || fail "no picture of the options after $k"
    done
}
# pad_press BUTTON: a pad button pressed and let go; the options' picture after it.
pad_press() {
    echo "button $1 1" >&3
    sleep 0.1
    echo "button $1 0" >&3
}
open_options() {  # from the pause
    keys o
}
close_options() {  # Escape, back at the pause
    xdotool key Escape
    wait_for_shown pause 10 || fail "Escape did not leave the options for the pause ($1)"
}
setting() { grep -qxF "$1" "$SETTINGS" || fail "$2: no \"$1\" in the settings: $(cat "$SETTINGS")"; }
# Mean brightness of the middle band (the world, without the HUD's rows).
world_brightness() {
    convert "$ART/$1.png" -gravity center -crop 100%x70%+0+0 +repage -colorspace Gray -format "%[fx:mean]" info:
}
# How far the HUD's brightest pixels (the score caption, at the upper left)
# moved between two pictures, as a mean over those pixels, 0 to 1.
hud_change() {
    convert "$ART/$1.png" -crop 90x30+0+5 +repage "$ART/.hud_a.png"
    convert "$ART/$2.png" -crop 90x30+0+5 +repage "$ART/.hud_b.png"
    local moved lit
    moved=$(convert "$ART/.hud_a.png" "$ART/.hud_b.png" \
        -fx "u.intensity > 0.6 ? abs(v.intensity - u.intensity) : 0" -format "%[fx:mean]" info:)
    lit=$(convert "$ART/.hud_a.png" -fx "u.intensity > 0.6" -format "%[fx:mean]" info:)
    awk "BEGIN { print ($lit > 0) ? $moved / $lit : 1 }"
}
# Bytes of disk audio written so far, as seconds of 16-bit stereo.
audio_seconds() {
    awk -v b="$(stat -c %s "$ART/run1.raw")" -v r="$RATE" 'BEGIN { printf "%.3f", b / (r * 4) }'
}

start_x
mkfifo "$ART/pad" || fail "no pipe"
exec 3<>"$ART/pad"
mkdir -p "$PLAYER_HOME"
start_game "$BUILD_DIR" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$ART/run1.raw" KORVALEND3D_TEST_PAD="$ART/pad"
wait_for_stderr "Intro screen!" 30 || fail "no title"

# From the title: o opens the options, Escape goes back to the title, any
# other key starts the game. The title stands 5 s from its start, its fade
# and the models' rebuild included (long on a loaded machine): o waits in
# the queue from the first moment.
xdotool key o
wait_for_shown options 30 || fail "no options from the title"
RATE=$(grep -o 'Sound: output [0-9]* Hz' "$ART/stderr.txt" | grep -o '[0-9]*' | head -1)
RATE=${RATE:-44100}
shot title_options
xdotool key Escape
wait_for_count "State: intro shown" 2 10 || fail "Escape did not go back to the title"
xdotool key space
wait_for_wave first_wave 30 || fail "no wave after the title"
echo "from the title: opened, and left with Escape"

# Escape backs out of every page (each a step further along the page names).
xdotool key Escape
wait_for_shown pause 10 || fail "no pause"
for page in 0 1 2 3; do
    open_options
    for _ in $(seq 1 "$page"); do keys Right; done
    shot "page_$page"
    close_options "page $page"
done
expect_change "another page" page_0 page_1
expect_change "another page" page_1 page_2
expect_change "another page" page_2 page_3
echo "Escape backs out of all four pages"

# The world still (invincible, frozen), then brighter with the counter on.
xdotool key Escape
wait_for_shown play 10 || fail "no play"
xdotool key grave f m t
wait_for_still plain || fail "the frozen picture is not still"
xdotool key Escape
wait_for_shown pause 10 || fail "no pause"
open_options
keys Down Down Down Down Right Right Right Right Right Down Return
shot screen_page
close_options brightness
xdotool key Escape
wait_for_shown play 10 || fail "no play after the options"
wait_for_still bright || fail "the brighter picture is not still"
before=$(world_brightness plain); after=$(world_brightness bright); hud=$(hud_change plain bright)
echo "brightness 150%: world $before -> $after; HUD caption moved $hud"
awk "BEGIN { exit !($after > $before * 1.3) }" || fail "the world is not brighter ($before -> $after)"
awk "BEGIN { exit !($hud < 0.03) }" || fail "the HUD was brightened too ($hud)"
# The counter's text, at the upper right under the bonus.
lit_upper_right() {
    convert "$ART/$1.png" -crop 160x36+864+36 +repage -fx "u.intensity > 0.5" -format "%[fx:round(mean*w*h)]" info:
}
c0=$(lit_upper_right plain); c1=$(lit_upper_right bright)
echo "frame counter: $c0 -> $c1 bright pixels at the upper right"
[ "$c1" -gt $((c0 + 100)) ] || fail "no frame counter at the upper right"

# The volumes down to nothing: the beat heard while paused before, not after.
xdotool key Escape
wait_for_shown pause 10 || fail "no pause"
a=$(audio_seconds); sleep 2; b=$(audio_seconds)
open_options
keys Right Down Left Left Left Left Down Left Left Left Left Left Left Left Left
c=$(audio_seconds); sleep 2; d=$(audio_seconds)
shot sound_page
loud=$(rms_of "$ART/run1.raw" "$RATE" "$a" "$(awk "BEGIN { print $b - $a }")")
quiet=$(rms_of "$ART/run1.raw" "$RATE" "$c" "$(awk "BEGIN { print $d - $c }")")
echo "volumes to 0: RMS ${loud:-none} before, ${quiet:-none} after"
awk "BEGIN { exit !(${loud:-0} > 0.005 && ${quiet:-1} < ${loud:-0} / 4) }" || fail "the volumes were not heard going down"
close_options volumes

# Fire on j; turn left's second key to "right", which turn right held: swapped.
open_options
keys Right Right Down Return j Down Down Down Right Return Right
shot controls_page
close_options controls
xdotool key Escape
wait_for_shown play 10 || fail "no play after the controls"
xdotool key f f  # a fresh freeze
wait_for_still aim || fail "the picture is not still before firing"
xdotool keydown j; sleep 0.5; shot fired; xdotool keyup j
expect_shots "fire on j" aim fired

# The pad: Back opens the options at the pause, the shoulder turns the page,
# the d-pad moves, B backs out.
echo attach >&3
wait_for_stderr "Gamepad: Virtual Controller connected" 10 || fail "no pad"
xdotool key Escape
wait_for_shown pause 10 || fail "no pause"
pad_press 4; wait_for_shown options 10 || fail "the pad's Back did not open the options at the pause"
shot pad_0
pad_press 10; wait_for_shown options 10 || fail "the pad's right shoulder did nothing"
shot pad_1
expect_change "the pad's right shoulder (next page)" pad_0 pad_1
pad_press 12; wait_for_shown options 10 || fail "the d-pad did nothing"
shot pad_2
expect_change "the d-pad (next row)" pad_1 pad_2
pad_press 1
wait_for_shown pause 10 || fail "the pad's B did not leave the options"
echo "the pad opens the options, moves through the pages and backs out"

# The mouse, free over the options (800x600 shown on 1024x768): a click on a
# page's name turns to it, a click on a row steps it on.
open_options
xdotool mousemove 406 134 click 1
wait_for_shown options 10 || fail "no picture after a click on Sound"
xdotool mousemove 600 194 click 1
wait_for_shown options 10 || fail "no picture after a click on the effects volume"
shot mouse
close_options mouse

# Into a window, one size up.
open_options
keys Down Return
wait_for_stderr "Succeded in entering windowed mode at a resolution of 800x600" 10 || fail "no window"
keys Down Right
wait_for_stderr "Succeded in entering windowed mode at a resolution of 1024x768" 10 || fail "no larger window"
close_options mode
quit_game run1
for line in "screen = window" "window_mode = 2" "brightness = 150" "frame_counter = yes" "music_volume = 0" \
    "effects_volume = 16" "bind_fire = j |  | Mouse1 | PadA" "bind_turn_left = [4] | right |  | " \
    "bind_turn_right = [6] | left |  | "; do
    setting "$line" run1
done
cp "$SETTINGS" "$ART/run1.settings"
echo "window, size, brightness, counter, volumes and controls saved"

# The next start: everything as it was left; then the default controls.
start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy
wait_for_wave second_wave 30 || fail "no wave at the second start"
grep -m1 "in entering" "$ART/stderr.txt" | grep -qF "windowed mode at a resolution of 1024x768" ||
    fail "the second start did not open the window: $(grep -m1 "in entering" "$ART/stderr.txt")"
xdotool key Escape
wait_for_shown pause 10 || fail "no pause"
open_options
keys Right Right
shot remembered_controls
keys $(printf 'Down %.0s' $(seq 1 14)) Return
shot default_controls
close_options defaults
quit_game run2
diff <(grep -v '^bind_\|^mouse_sensitivity\|^pad_dead_zone\|^invert_controls' "$ART/run1.settings") \
    <(grep -v '^bind_\|^mouse_sensitivity\|^pad_dead_zone\|^invert_controls' "$SETTINGS") ||
    fail "the second run did not keep what the first saved"
for line in "bind_fire = tab |  | Mouse1 | PadA" "bind_turn_left = [4] | left |  | " \
    "bind_turn_right = [6] | right |  | "; do
    setting "$line" defaults
done
echo "remembered at the next start; the default controls back"
echo "PASS"
