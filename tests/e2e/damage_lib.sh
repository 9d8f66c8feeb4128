# SPDX-License-Identifier: MIT
# Runs of the real game on a damaged copy of its data; sourced after lib.sh.

# data_copy NAME: a copy of the game and its data in $ART/NAME; prints it.
data_copy() {
    local dir="$ART/$1"
    rm -rf "$dir"
    mkdir -p "$dir"
    cp "$BUILD_DIR/korvalend3d" "$dir/"
    cp -r "$BUILD_DIR/Models" "$BUILD_DIR/Images" "$BUILD_DIR/Sounds" "$BUILD_DIR/Music" "$dir/"
    ln -s Sounds "$dir/sounds"
    echo "$dir"
}

# The generated files, relative to the data folder.
data_files() {
    (cd "$BUILD_DIR" && find Models Images Sounds Music -type f ! -name list.txt | sort)
}

# play_damaged NAME DIR [ENV=VALUE ...]: the game from DIR shows the intro
# (cut short by a key once it is up), plays a little of a wave with the
# music switched to the play list, and ends with Escape and q. Prints one
# line: NAME, the outcome, and how many of the damaged files (listed in
# DIR/damaged.txt) the game refused with a message naming them.
play_damaged() {
    local name=$1 dir=$2
    shift 2
    local run_as=""
    # Root reads files of mode 000 anyway: such a set is played as nobody.
    if [ "$(id -u)" -eq 0 ] && [ -n "$(find "$dir" -perm 000 -print -quit)" ]; then
        local locked
        locked=$(cd "$dir" && find . -perm 000)
        chmod -R o+rX "$dir"
        (cd "$dir" && echo "$locked" | xargs -d '\n' chmod 000)
        chmod 777 "$ART"
        run_as="setpriv --reuid=65534 --regid=65534 --clear-groups"
    fi
    RUN_AS=$run_as start_game "$dir" SDL_AUDIODRIVER=dummy "${SANITIZER_ENV[@]}" "$@"
    wait_for_stderr "Intro screen!" 60 || fail "$name: no intro"
    skip_intro 30 || fail "$name: the game did not reach play"
    wait_for_shown wave 30 || fail "$name: no wave"
    xdotool key Tab backslash; xdotool keydown KP_0; sleep 0.5; xdotool keyup KP_0
    # The next song is asked for at once; its load is reported or refused.
    xdotool key apostrophe
    kill -0 "$GAME_PID" 2>/dev/null || fail "$name: the game died"
    escape_and_q
    wait_for_exit 10 || fail "$name: did not quit"
    wait "$GAME_PID"; local status=$?; GAME_PID=""
    cp "$ART/stderr.txt" "$ART/${name//[\/ ]/_}.stderr.txt"
    check_exit "$status" "$name"
    # Each damaged file: refused with a message naming it, or named only as
    # loaded (a cut sound still plays), or not named at all (the texture of
    # a refused model, the game-over picture, a song never reached).
    local refused=0 total=0 unread=0 f pattern
    if [ -f "$dir/damaged.txt" ]; then
        while read -r f; do
            total=$((total + 1))
            pattern=$(printf '%s' "$f" | sed 's/[.#]/\\&/g')
            if grep -qE "(Error loading|Failed in loading model|Unable to load|Error while trying to play) \"?$pattern" \
                "$ART/stderr.txt"; then
                refused=$((refused + 1))
            elif ! grep -qF "$f" "$ART/stderr.txt"; then
                unread=$((unread + 1))
            fi
        done <"$dir/damaged.txt"
    fi
    printf '%-48s exit 0, %5d lines of stderr; of %3d damaged files %3d refused with a message, %3d loaded, %3d not named\n' \
        "$name" "$(wc -l <"$ART/stderr.txt")" "$total" "$refused" "$((total - refused - unread))" "$unread" \
        | tee -a "$ART/matrix.txt"
}

# damage DIR KIND FILE...: damages the files (relative to DIR) and notes them.
damage() {
    local dir=$1 kind=$2
    shift 2
    (cd "$dir" && python3 "$E2E_DIR/damage.py" "$kind" "$@") || fail "damage $kind failed"
    printf '%s\n' "$@" >>"$dir/damaged.txt"
}
