#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every video mode, full screen and windowed, on two screens that cannot
# switch their resolution (Xvfb): the whole picture is shown, scaled
# uniformly and centred in full screen, with the HUD where it belongs. Then a
# pause picture, a fade and the game-over picture at another mode.
set -u
source "$(dirname "$0")/lib.sh" "$1" fullscreen

WIDTHS=(640 800 1024 1152 1280 1600)
HEIGHTS=(480 600 768 864 1024 1200)
SW=0 SH=0          # the screen
AX=0 AY=0 AW=0 AH=0  # where the picture should be on it
FAILS=0
check() {  # check DESCRIPTION CONDITION...: counts a failure, goes on
    local what=$1
    shift
    if ! "$@"; then
        echo "FAIL: $what" >&2
        FAILS=$((FAILS + 1))
    fi
}
gt() { awk "BEGIN{exit !($1 > $2)}"; }

# picture_area W H FULL: full screen scales W x H uniformly to fill the
# screen, centred; a window is centred at its own size.
picture_area() {
    read -r AX AY AW AH < <(awk -v w="$1" -v h="$2" -v full="$3" -v sw="$SW" -v sh="$SH" 'BEGIN{
        s = full ? (sw / w < sh / h ? sw / w : sh / h) : 1
        aw = int(w * s + 0.5); ah = int(h * s + 0.5)
        print int((sw - aw) / 2), int((sh - ah) / 2), aw, ah }')
}

# probe SHOT "X0 Y0 X1 Y1 FX"...: for each rectangle of the game's 1600 x 1200
# HUD space (origin lower left), the share of its pixels that satisfy FX.
probe() {
    local shot=$1 rect geometry fx args=()
    shift
    for rect in "$@"; do
        read -r x0 y0 x1 y1 fx <<<"$rect"
        geometry=$(awk -v ax="$AX" -v ay="$AY" -v aw="$AW" -v ah="$AH" \
            -v x0="$x0" -v y0="$y0" -v x1="$x1" -v y1="$y1" 'BEGIN{
            l = int(ax + x0 * aw / 1600); r = int(ax + x1 * aw / 1600)
            t = int(ay + (1200 - y1) * ah / 1200); b = int(ay + (1200 - y0) * ah / 1200)
            printf "%dx%d+%d+%d", r - l + 1, b - t + 1, l, t }')
        args+=("(" +clone -crop "$geometry" +repage -fx "$fx" -format "%[fx:mean] " -write info: +delete ")")
    done
    convert "$ART/$shot.png" "${args[@]}" null:
}

SCORE="10 1150 140 1192 r>0.55&&g>0.55&&b>0.55"
SHIELD="214 30 240 54 b>0.45&&r<0.3&&g<0.3"
POWERUPS="1225 10 1590 74 r+g+b>0.9"
CROSS="780 580 820 620 g>0.3&&g>r+0.08&&g>b"

# The bounding box of everything that is not black: "W H X Y".
content_box() {
    convert "$ART/$1.png" -fuzz 2% -format "%@" info: | tr 'x+' '  '
}

check_hud() {  # check_hud SHOT [paused]: the pause picture hides the cross hairs
    local shot=$1 score shield powerups cross
    read -r score shield powerups cross < <(probe "$shot" "$SCORE" "$SHIELD" "$POWERUPS" "$CROSS")
    echo "$shot: area ${AW}x${AH}+${AX}+${AY} score $score shield $shield power-ups $powerups cross hairs $cross"
    check "$shot: score caption at the top left" gt "$score" 0.04
    check "$shot: shield bar at the bottom left" gt "$shield" 0.5
    check "$shot: power-up icons at the bottom right" gt "$powerups" 0.03
    [ $# -gt 1 ] || check "$shot: cross hairs at the centre" gt "$cross" 0.02
}

check_full_screen() {  # check_full_screen SHOT: fills the screen one way, centred
    local w h x y
    read -r w h x y < <(content_box "$1")
    echo "$1: picture ${w}x${h}+${x}+${y} on ${SW}x${SH}"
    check "$1: the picture touches two opposite screen edges" \
        awk "BEGIN{exit !(($x <= 1 && $x + $w >= $SW - 1) || ($y <= 1 && $y + $h >= $SH - 1))}"
    check "$1: the picture is the mode's shape, centred (expected ${AW}x${AH}+${AX}+${AY})" \
        awk "BEGIN{exit !($w >= $AW - 4 && $w <= $AW && $h >= $AH - 4 && $h <= $AH &&
                          $x >= $AX && $x <= $AX + 4 && $y >= $AY && $y <= $AY + 4)}"
}

REPORTS=0
CASES=()  # the screenshots of the montage, in the order taken
# change KEYS...: presses the keys and waits for the mode report and the
# first picture in the new mode.
change() {
    press_for_report "^Succeded in entering" "$@" || fail "no mode change after $*"
    wait_for_shown mode || fail "no picture in the new mode after $*"
}

every_mode() {  # every_mode full|window: F11 to the lowest, F12 up through all six
    local kind=$1 mode fits
    change F11
    for mode in 0 1 2 3 4 5; do
        [ "$mode" -gt 0 ] && change F12
        local w=${WIDTHS[$mode]} h=${HEIGHTS[$mode]} name="${SW}x${SH}_${kind}_${WIDTHS[$mode]}x${HEIGHTS[$mode]}"
        tail -n 200 "$ART/stderr.txt" | grep "^Succeded in entering" | tail -n 1 |
            grep -q "$([ "$kind" = full ] && echo fullscreen || echo windowed) mode at a resolution of ${w}x${h}" ||
            fail "$name: not the mode asked for"
        shot "$name"
        CASES+=("$ART/$name.png")
        picture_area "$w" "$h" "$([ "$kind" = full ] && echo 1 || echo 0)"
        fits=$(( w <= SW && h <= SH ))
        if [ "$kind" = full ]; then
            check_full_screen "$name"
            check_hud "$name"
        elif [ "$fits" = 1 ]; then
            check_hud "$name"
        else
            # A window larger than the screen is centred; only its middle shows.
            local cross
            cross=$(probe "$name" "$CROSS")
            echo "$name: window larger than the screen, cross hairs $cross"
            check "$name: cross hairs at the centre" gt "$cross" 0.02
        fi
    done
}

for size in 1024x768 1920x1080; do
    SW=${size%x*} SH=${size#*x} REPORTS=0
    start_x "$size"
    start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy
    skip_intro || fail "the game did not start on $size"
    REPORTS=$(grep -c "^Succeded in entering" "$ART/stderr.txt")
    wait_for_wave || fail "no wave on $size"
    # Invincible, frozen world, two power-ups lit.
    xdotool key grave f m t

    every_mode full
    # The mouse still turns the ship in a scaled full screen.
    shot "${size}_still"
    xdotool mousemove_relative -- 60 0
    wait_for_change "${size}_turned" "${size}_still" 5
    d=$(diff_pixels "${size}_still" "${size}_turned")
    echo "$size: mouse turn changes $d pixels"
    check "$size: the mouse turns the ship" gt "${d%.*}" 300

    change alt+Return
    every_mode window

    if [ "$size" = 1920x1080 ]; then
        # Back to full screen (at 1600 x 1200), down to 1152 x 864.
        change alt+Return
        change F11
        change F11
        picture_area 1152 864 1
        xdotool key Escape
        wait_for_shown pause || fail "no pause picture"
        shot "${size}_pause"
        check_hud "${size}_pause" paused
        # The pause picture sits in the middle of the game's picture.
        p=$(probe "${size}_pause" "600 500 1000 700 r+g+b>0.6")
        echo "${size}_pause: pause picture $p"
        check "pause picture at the centre of the picture" gt "$p" 0.05
        # Play on and lose every ship: the game-over picture fades in.
        xdotool key Escape k k k k
        wait_for_stderr "Game over!" 15 || fail "no game over"
        # Caught under way: the fade lasts half a second, up from black.
        # Pictures are taken back to back until it is over and looked at
        # afterwards, raw and through shared memory (grab_screen): import
        # takes about as long for one picture of this screen as the fade
        # lasts. The fade is the run of ever brighter pictures at the end
        # (the wave's last picture may still be up before it); its first is
        # the earliest caught.
        "$BUILD_DIR/grab_screen" --until "$ART/.fade_stop" "$ART/.fade" &
        burst=$!
        wait_for_shown "game over" || fail "the game-over picture did not come up"
        touch "$ART/.fade_stop"
        wait "$burst" || fail "no pictures of the fade (grab_screen)"
        pictures=("$ART"/.fade_*.ppm)
        means=()
        for f in "${pictures[@]}"; do means+=("$(convert "$f" -format "%[fx:mean]" info:)"); done
        first=$(( ${#pictures[@]} - 1 ))
        while [ "$first" -gt 0 ] && gt "${means[$first]}" "${means[$((first - 1))]}"; do first=$((first - 1)); done
        check "the fade caught brightening" gt $(( ${#pictures[@]} - 1 )) "$first"
        convert "${pictures[$first]}" "$ART/${size}_fade.png"
        read -r w h x y < <(content_box "${size}_fade")
        echo "${size}_fade: ${#pictures[@]} pictures taken; the fade brightens from number $first on"
        rm -f "$ART"/.fade_*.ppm "$ART/.fade_stop"
        shot "${size}_game_over"
        CASES+=("$ART/${size}_pause.png" "$ART/${size}_fade.png" "$ART/${size}_game_over.png")
        check_full_screen "${size}_game_over"
        echo "${size}_fade: picture ${w}x${h}+${x}+${y}"
        check "the fade stays within the picture area" \
            awk "BEGIN{exit !($x >= $AX && $y >= $AY && $x + $w <= $AX + $AW && $y + $h <= $AY + $AH)}"
        check "the fade is under way (dimmer than its end)" gt "$(brightness "${size}_game_over")" "$(brightness "${size}_fade")"
    fi
    stop_all
done

# The game's own scaling shows the picture SDL's would, to a step or two of
# rounding: one frame of a recording, held, at a mode scaled up and at one
# scaled down.
REPLAY=$(cd "$(dirname "$0")/../replays" && pwd)/busy.kvr
for mode in 800x600 1600x1200; do
    for way in own sdl; do
        start_x 1920x1080
        start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy KORVALEND3D_TEST_HOLD_FRAME=300 \
            KORVALEND3D_SDL_SCALING=$([ "$way" = sdl ] && echo 1 || echo 0) -- --fullscreen --mode "$mode" --timedemo "$REPLAY"
        wait_for_shown frame 120 || fail "frame 300 of the recording not held at $mode"
        shot "held_${mode}_$way"
        CASES+=("$ART/held_${mode}_$way.png")
        stop_all
    done
    read -r most mean < <(convert "$ART/held_${mode}_own.png" "$ART/held_${mode}_sdl.png" -compose difference \
        -composite -separate -evaluate-sequence max -format "%[fx:maxima*255] %[fx:mean*255]" info:)
    echo "held frame at $mode, the game's scaling against SDL's: largest difference $most, mean $mean (of 255)"
    check "$mode: the game's scaling shows SDL's picture" awk "BEGIN{exit !($most <= 3 && $mean < 0.2)}"
done

# One picture of every case for the record.
montage -label '%t' "${CASES[@]}" -tile 6x -geometry 320x180+3+3 -background '#444' -fill white \
    -depth 8 "$ART/../fullscreen_montage.png" 2>/dev/null
[ "$FAILS" = 0 ] || { echo "$FAILS checks failed" >&2; exit 1; }
echo "fullscreen ok"
