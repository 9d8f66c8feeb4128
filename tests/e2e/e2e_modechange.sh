#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Mode changes, a lost display and a lost focus in the real game: the clock
# never jumps (with no audio device either), keys held through a change and
# released after it stop what they did, a refused change keeps the mouse
# steering, another window taking the focus pauses the game and lets the
# mouse go, the display going away ends the game at every screen, and under
# a window manager the window keeps its name, icon and class through every
# kind of change.
set -u
source "$(dirname "$0")/lib.sh" "$1" modechange
# The runs share one player folder, where the recordings are.
PLAYER_HOME="$ART/xdg"
FAILS=0
check() {  # check NAME COMMAND...: counts a failure, goes on
    local name=$1
    shift
    if "$@"; then echo "ok: $name"; else echo "FAIL: $name" >&2; FAILS=$((FAILS + 1)); fi
}
gt() { awk "BEGIN{exit !($1 > $2)}"; }
lt() { awk "BEGIN{exit !($1 < $2)}"; }

# mode_change KEYS...: waits for the report of the change and the first
# picture in the new mode; a refused change goes on in the mode it had,
# seen once the frozen picture holds still.
mode_change() {
    press_for_report "in entering" "$@" || fail "no mode report after $*"
    if grep "in entering" "$ART/stderr.txt" | tail -n 1 | grep -q "^Failed"; then
        wait_for_still mode || fail "no picture after the refused $*"
    else
        wait_for_shown mode 5 || fail "no picture in the new mode after $*"
    fi
}

into_wave() {  # into_wave ENV...: a game on a fresh display, in its first wave
    start_x
    start_game "$BUILD_DIR" "$@"
    skip_intro || fail "the game did not start"
    wait_for_wave || fail "no wave on the screen"
    REPORTS=$(grep -c "in entering" "$ART/stderr.txt")
}

# centre_changes NAME [SECONDS]: the most pixels changed at the centre
# between a first picture and any taken over SECONDS (3) after it; stops at
# the first change over 20. A loaded machine may draw only a few frames a
# second just after a mode change, so one pair of pictures can miss shots.
centre_changes() {
    local end=$(( SECONDS + ${2:-3} )) d most=0 i=0
    shot "$1_a"
    while :; do
        sleep 0.2
        shot "$1_b"
        d=$(diff_centre "$1_a" "$1_b")
        d=${d%.*}
        [ "${d:-0}" -gt "$most" ] && most=$d
        i=$((i + 1))
        [ "$most" -gt 20 ] || [ "$SECONDS" -ge "$end" ] && break
    done
    echo "$1: $most pixels change at the centre ($i pictures)" >&2
    echo "$most"
}

# quiet_centre NAME: after a release, a still centre that stays still for
# 3 s. A loaded machine may draw so few frames that two pictures in a row
# match while the last shots still fly; so the wait is tried three times.
# Fire that never stopped changes the centre every time.
quiet_centre() {
    local try
    for try in 1 2 3; do
        [ "$try" = 1 ] || refreeze
        wait_for_still "$1_gone_$try" || continue
        [ "$(centre_changes "$1_$try")" -lt 20 ] && return 0
    done
    return 1
}

# The freeze cheat (f) holds the rocks for 20 s of game time, which runs no
# faster than the wall's: on a loaded machine a section can outlast it, and
# a rock drifting through the centre then spoils a stillness check. So each
# step starts a fresh freeze (refreeze, by the game's word).
freeze() { xdotool key "$@" f; }  # freeze [KEYS...]: from no freeze

# 1. No audio device: the clock runs on through every kind of mode change,
# and the ship fires right after each.
into_wave SDL_AUDIODRIVER=nonesuch
grep -q "no audio device" "$ART/stderr.txt" || fail "an audio device opened after all"
# Invincible, frozen, machine guns and triple fire: what moves is our doing.
freeze grave m t
# Embers of any earlier explosion live up to 4 s.
wait_for_still still || fail "the frozen picture is not still"
for keys in F11 F12 alt+Return alt+Return; do
    refreeze
    mode_change $keys
    xdotool keydown Tab
    sleep 0.3
    check "fires after $keys" gt "$(centre_changes "fire_after_${keys/+/_}")" 20
    xdotool keyup Tab
    wait_for_still "shots_gone_${keys/+/_}" || fail "the shots did not fly away"
done

quit_game "no audio device"
replay="$ART/xdg/data/korvalend3d/replays/last.kvr"
check "the recorded clock never went back" clock_kept_pace "$replay"
stop_all

# 2. Held through a change, released after it: firing stops. Still held
# after it: firing goes on.
into_wave SDL_AUDIODRIVER=dummy
freeze grave m t
wait_for_still still || fail "the frozen picture is not still"
for hold in "Tab" "1"; do
    refreeze
    if [ "$hold" = Tab ]; then down="keydown Tab" up="keyup Tab"; else down="mousedown 1" up="mouseup 1"; fi
    xdotool $down
    sleep 0.3
    mode_change F12
    check "$hold held through the change still fires" gt "$(centre_changes "held_$hold")" 20
    xdotool $up
    check "$hold released after the change stops firing" quiet_centre "released_$hold"
    mode_change F11
done
quit_game "held keys"
stop_all

# 3. A refused change: the game goes on in its window, the mouse steering
# and kept inside it.
into_wave SDL_AUDIODRIVER=dummy KORVALEND3D_TEST_REFUSE_MODES=1024x768
freeze grave
mode_change alt+Return
refreeze
mode_change F12
check "the change was refused" grep -q "Failed in entering windowed mode at a resolution of 1024x768" "$ART/stderr.txt"
refreeze
wait_for_still refused_still || fail "the frozen picture is not still"
xdotool mousemove_relative -- 60 0
wait_for_change refused_turned refused_still 5
d=$(diff_pixels refused_still refused_turned)
echo "after the refusal the mouse turn changes ${d%.*} pixels"
check "the mouse steers after a refused change" gt "${d%.*}" 300
xdotool mousemove 1015 760
eval "$(xdotool getmouselocation --shell)"
check "the mouse is kept in the 800x600 window (at $X,$Y)" lt "$X" 1000

# 4. Focus: another window takes it; the game pauses and lets the mouse go.
# Back, it takes the mouse again and stays paused until Escape.
game_window=$(timeout 10 xdotool search --sync --pid "$GAME_PID" | head -n 1)
xdotool windowfocus --sync "$game_window"
refreeze
wait_for_still focus_before || fail "the frozen picture is not still"
convert -size 200x150 xc:gray "$ART/other.png"
display -title korvalend-other -geometry 200x150+0+0 "$ART/other.png" &
OTHER_PID=$!
other_window=$(timeout 10 xdotool search --sync --name korvalend-other | head -n 1)
xdotool windowfocus --sync "$other_window"
paused_bright() { convert "$ART/$1.png" -gravity center -crop 300x200+0+0 -colorspace Gray -format "%[fx:mean]" info:; }
wait_for_shown pause 5
shot focus_lost
check "focus lost: the pause picture is up" gt "$(paused_bright focus_lost)" "$(awk "BEGIN{print $(paused_bright focus_before) + 0.05}")"
xdotool mousemove 1015 760
eval "$(xdotool getmouselocation --shell)"
check "focus lost: the mouse goes anywhere (at $X,$Y)" gt "$X" 1000
xdotool windowfocus --sync "$game_window"
# The game takes the mouse back when it sees the focus come back.
mouse_kept() { xdotool mousemove 1015 760; eval "$(xdotool getmouselocation --shell)"; [ "$X" -lt 1000 ]; }
wait_until 5 mouse_kept
xdotool mousemove 1015 760
eval "$(xdotool getmouselocation --shell)"
check "focus back: the mouse is kept again (at $X,$Y)" lt "$X" 1000
shot focus_back
check "focus back: still paused" gt "$(paused_bright focus_back)" "$(awk "BEGIN{print $(paused_bright focus_before) + 0.05}")"
kill "$OTHER_PID" 2>/dev/null
wait "$OTHER_PID" 2>/dev/null
xdotool key Escape
wait_for_shown play 5 || fail "Escape did not play on"
shot focus_played
check "Escape plays on" lt "$(paused_bright focus_played)" "$(awk "BEGIN{print $(paused_bright focus_back) - 0.05}")"
quit_game "focus"
stop_all

# 5. The display goes away: at every screen the game ends within 2 s, with
# a message and status 1.
reach() {  # reach SCREEN
    case $1 in
    intro) wait_for_shown intro 25 || fail "no intro" ;;
    wave) skip_intro || fail "no game"; wait_for_wave || fail "no wave on the screen" ;;
    pause) reach wave; xdotool key Escape; wait_for_shown pause || fail "no pause picture" ;;
    bonus)
        reach wave
        # Invincible; novas at the centre break every rock; the wave ends
        # five seconds after the last.
        xdotool key grave
        for _ in 1 2 3 4 5 6; do xdotool key n; sleep 0.3; done
        wait_for_shown bonus 25 || fail "no bonus screen" ;;
    gameover) reach wave; xdotool key k k k k; wait_for_shown "game over" 25 || fail "no game over" ;;
    esac
}
for screen in intro wave pause bonus gameover; do
    start_x
    start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy
    reach "$screen"
    kill -9 "$XVFB_PID"
    started=$(date +%s.%N)
    for _ in $(seq 1 50); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.05; done
    took=$(awk "BEGIN{printf \"%.2f\", $(date +%s.%N) - $started}")
    if kill -0 "$GAME_PID" 2>/dev/null; then
        check "display gone at the $screen screen: the game ended" false
        kill -9 "$GAME_PID"
    fi
    wait "$GAME_PID"
    status=$?
    GAME_PID=""
    XVFB_PID=""
    echo "display gone at the $screen screen: status $status after $took s"
    check "display gone at the $screen screen: status 1" test "$status" -eq 1
    check "display gone at the $screen screen: within 2 s" lt "$took" 2
    check "display gone at the $screen screen: says so" grep -q "has gone away" "$ART/stderr.txt"
done

# 6. Under a window manager, as a player's desktop has one: the window is
# named, has the game's own icon (the pixels of its data file) and the class
# the desktop entry names, from the start and after every kind of change.
window_says_whose() {  # window_says_whose WHEN
    local when=$1 window class
    window=$(timeout 10 xdotool search --sync --onlyvisible --pid "$GAME_PID" | tail -n 1)
    xprop -id "$window" WM_NAME _NET_WM_NAME WM_CLASS >"$ART/xprop_$when.txt"
    sed "s/^/  $when: /" "$ART/xprop_$when.txt"
    check "$when: WM_NAME" grep -qx 'WM_NAME(STRING) = "Korvalend 3D"' "$ART/xprop_$when.txt"
    check "$when: _NET_WM_NAME" grep -qx '_NET_WM_NAME(UTF8_STRING) = "Korvalend 3D"' "$ART/xprop_$when.txt"
    class=$(sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p' "$ART/xprop_$when.txt")
    check "$when: the class ($class) is the desktop entry's StartupWMClass" \
        grep -qx "StartupWMClass=${class:-none}" "$DESKTOP_ENTRY"
    xprop -id "$window" -notype 32c _NET_WM_ICON >"$ART/icon_$when.txt"
    check "$when: the icon is the game's own" python3 - "$ART/icon_$when.txt" "$BUILD_DIR/Images/window_icon.tga" <<'PY'
import re, struct, sys
nums = [int(n) for n in re.findall(r"\d+", open(sys.argv[1]).read().partition("=")[2])]
tga = open(sys.argv[2], "rb").read()
w, h = struct.unpack_from("<HH", tga, 12)
rows = [tga[18 + y * w * 4:18 + (y + 1) * w * 4] for y in range(h)][::-1]  # bottom row first
want = [w, h] + [b | g << 8 | r << 16 | a << 24 for row in rows for b, g, r, a in struct.iter_unpack("4B", row)]
print("  icon: %s, %s" % ("x".join(map(str, nums[:2])) if nums else "none",
                          "the data file's pixels" if nums == want else "not the data file's"))
sys.exit(nums != want)
PY
}
DESKTOP_ENTRY="$(dirname "$0")/../../packaging/korvalend3d.desktop"
if command -v openbox >/dev/null && command -v xprop >/dev/null; then
    start_x
    start_wm() { openbox >>"$ART/openbox.txt" 2>&1 & WM_PID=$!; }
    # Once, on a loaded machine, openbox could not open a display that
    # xdotool had just reached; one that gave up is started again.
    wm_up() {
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
        kill -0 "$WM_PID" 2>/dev/null || start_wm
        return 1
    }
    start_wm
    wait_until 30 wm_up || fail "openbox did not start"
    start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy
    skip_intro || fail "under a window manager: the game did not start"
    wait_for_wave || fail "under a window manager: no wave on the screen"
    REPORTS=$(grep -c "in entering" "$ART/stderr.txt")
    window_says_whose start_full_screen
    mode_change alt+Return
    window_says_whose window
    mode_change F12
    window_says_whose window_F12
    mode_change alt+Return
    window_says_whose full_screen_again
    mode_change F11
    window_says_whose full_screen_F11
    check "the icon loads without a message" test "$(grep -c window_icon "$ART/stderr.txt")" -eq 0
    quit_game "window manager"
    kill "$WM_PID" 2>/dev/null
    wait "$WM_PID" 2>/dev/null
    stop_all
else
    echo "SKIP: the window's name, icon and class under a window manager need openbox and xprop (x11-utils)"
fi

[ "$FAILS" = 0 ] || { echo "$FAILS checks failed" >&2; exit 1; }
echo "PASS"
