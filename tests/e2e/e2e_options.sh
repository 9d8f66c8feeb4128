#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real game's command line and remembered settings under Xvfb. Without
# options and saved files it starts as it always has: full screen at
# 800 x 600 first, and the same start-up lines once the settings it saved
# at quit are read back. What a game changes is remembered at quit and used
# at the next start; --reset forgets it; --fullscreen --mode, --nosound and
# --data do what they say.
set -u
source "$(dirname "$0")/lib.sh" "$1" options
KEEP="$ART/kept"
KEPT=(XDG_CONFIG_HOME="$KEEP/config" XDG_DATA_HOME="$KEEP/data")
SETTINGS="$KEEP/config/korvalend3d/settings"

# run NAME WORKDIR KEYS [ENV=VALUE... -- ARGS...]: the game to its first
# wave, the keys pressed there, then quit; stderr up to the wave in NAME.start.
run() {
    local name=$1 dir=$2 keys=$3
    shift 3
    mkdir -p "$dir"
    start_game_at "$dir" "$BUILD_DIR/korvalend3d" SDL_AUDIODRIVER=dummy "$@"
    skip_intro 30 || fail "$name: the game did not start"
    wait_for_wave "$name" || fail "$name: no wave on the screen"
    if [ -n "$keys" ]; then
        # shellcheck disable=SC2086
        xdotool key --delay 150 $keys
        # The last key pressed is a mode change: its picture is the end.
        wait_for_shown mode || fail "$name: no picture after the mode change"
    fi
    quit_game "$name"
    cp "$ART/stderr.txt" "$ART/$name.stderr.txt"
    sed '/^Play Game/q' "$ART/stderr.txt" >"$ART/$name.start"
}
first_mode() { grep -m1 "in entering" "$ART/$1.start"; }
setting() { grep -qx "$1" "$SETTINGS" || fail "$2: no \"$1\" in the settings: $(cat "$SETTINGS")"; }

start_x
run plain "$BUILD_DIR" "" "${KEPT[@]}"
[ "$(first_mode plain)" = "Succeded in entering fullscreen mode at a resolution of 800x600" ] ||
    fail "plain: first mode $(first_mode plain)"
grep -iE "settings|scores|option|hudfont" "$ART/plain.start" && fail "plain: start-up lines about files or options"
[ -f "$SETTINGS" ] || fail "plain: no settings saved at quit"
cp "$SETTINGS" "$ART/defaults.settings"
run defaults "$BUILD_DIR" "" "${KEPT[@]}"
diff "$ART/plain.start" "$ART/defaults.start" || fail "saved defaults changed the start-up lines"
echo "no options: full screen at 800x600, the same start-up lines with the saved defaults"

# Camera, controls, both volumes, particles, music and a lower mode.
run changed "$BUILD_DIR" "F2 F10 comma bracketright F9 backslash F11" "${KEPT[@]}"
grep -q "fullscreen mode at a resolution of 640x480" "$ART/changed.stderr.txt" || fail "changed: F11 did not change the mode"
for line in "camera = chase" "invert_controls = no" "effects_volume = 54" "music_volume = 138" "particles = no" \
    "music = songs" "fullscreen_mode = 0" "screen = fullscreen"; do
    setting "$line" changed
done
cp "$SETTINGS" "$ART/changed.settings"
run remembered "$BUILD_DIR" "" "${KEPT[@]}"
[ "$(first_mode remembered)" = "Succeded in entering fullscreen mode at a resolution of 640x480" ] ||
    fail "remembered: first mode $(first_mode remembered)"
diff "$ART/changed.settings" "$SETTINGS" || fail "remembered: the settings read at start were not the ones in use"
run reset "$BUILD_DIR" "" "${KEPT[@]}" -- --reset
[ "$(first_mode reset)" = "Succeded in entering fullscreen mode at a resolution of 800x600" ] || fail "reset: first mode $(first_mode reset)"
diff "$ART/defaults.settings" "$SETTINGS" || fail "reset: the defaults were not saved"
echo "settings: remembered from one run to the next, forgotten with --reset"

run elsewhere "$ART/elsewhere" "" -- --fullscreen --mode 1024x768 --nosound --data "$BUILD_DIR"
[ "$(first_mode elsewhere)" = "Succeded in entering fullscreen mode at a resolution of 1024x768" ] ||
    fail "elsewhere: first mode $(first_mode elsewhere)"
models=$(grep -c "Succeded in loading model" "$ART/elsewhere.start")
[ "$models" -eq 17 ] || fail "elsewhere: $models models from --data"
grep -q "^Sound: off by request" "$ART/elsewhere.start" || fail "elsewhere: --nosound did not say so"
grep -q "^Sound: output" "$ART/elsewhere.start" && fail "elsewhere: --nosound opened a device"
echo "--fullscreen --mode 1024x768 --nosound --data: as asked"
echo "PASS"
