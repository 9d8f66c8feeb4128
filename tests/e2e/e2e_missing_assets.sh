#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game starts and plays with data folders deleted, and with no audio
# device at all: every failure is reported and the game goes on.
set -u
source "$(dirname "$0")/lib.sh" "$1" missing_assets

start_x
run_case() {  # run_case NAME "FOLDERS TO DROP" [ENV=VALUE ...]
    local name=$1 drop=$2
    shift 2
    local dir="$ART/$name"
    mkdir -p "$dir"
    cp "$BUILD_DIR/korvalend3d" "$dir/"
    local d
    for d in Models Images Sounds Music; do
        case " $drop " in *" $d "*) continue ;; esac
        cp -r "$BUILD_DIR/$d" "$dir/"
    done
    case " $drop " in *" Sounds "*) ;; *) ln -s Sounds "$dir/sounds" ;; esac
    start_game "$dir" SDL_AUDIODRIVER=dummy "$@"
    skip_intro || fail "$name: the game did not reach play"
    wait_for_wave "${name}_wave" || fail "$name: no wave on the screen"
    # Fly and fire a little (the thrust held half a second), then quit the
    # normal way.
    xdotool key Tab; xdotool keydown KP_0; sleep 0.5; xdotool keyup KP_0
    xdotool key 5 6
    shot "$name"
    kill -0 "$GAME_PID" 2>/dev/null || fail "$name: the game died"
    escape_and_q
    wait_for_exit 5 || fail "$name: did not quit"
    wait "$GAME_PID"; local status=$?; GAME_PID=""
    [ "$status" -eq 0 ] || fail "$name: exit status $status"
    cp "$ART/stderr.txt" "$ART/$name.stderr.txt"
    echo "$name: ok"
}

run_case no_models "Models"
grep -q "Failed in loading model Models/Ship.ms3d" "$ART/no_models.stderr.txt" || fail "no_models: no failure report"
run_case no_images "Images"
grep -q "Error loading Images/flare.tga" "$ART/no_images.stderr.txt" || fail "no_images: no failure report"
# The window keeps SDL's icon, said once.
[ "$(grep -c "window_icon" "$ART/no_images.stderr.txt")" -eq 1 ] || fail "no_images: not one message about the window's icon"
run_case no_models_no_images "Models Images"
run_case no_sound_no_music "Sounds Music"
grep -q 'Unable to load "Sounds/shot.wav".' "$ART/no_sound_no_music.stderr.txt" || fail "no_sound_no_music: no failure report"
grep -q 'Error loading background music (booms)' "$ART/no_sound_no_music.stderr.txt" || fail "no booms report"
run_case no_audio_device "" SDL_AUDIODRIVER=no_such_driver
echo "PASS"
