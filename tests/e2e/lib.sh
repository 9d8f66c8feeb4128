# SPDX-License-Identifier: MIT
# Shared pieces of the end-to-end tests: start the real game under its own
# X server, drive it with xdotool, take and compare screenshots.
# Usage: source lib.sh BUILD_DIR TEST_NAME

BUILD_DIR=$(cd "$1" && pwd)
TEST_NAME=$2
ART="$BUILD_DIR/artifacts/$TEST_NAME"
rm -rf "$ART"
mkdir -p "$ART"
GAME_PID=""
XVFB_PID=""

fail() {
    echo "FAIL: $*" >&2
    [ -f "$ART/stderr.txt" ] && { echo "--- game stderr (tail) ---" >&2; tail -n 40 "$ART/stderr.txt" >&2; }
    stop_all
    exit 1
}

# start_x [WIDTHxHEIGHT]: starts Xvfb (1024x768 unless given) on a display
# number the server picks itself and reports (-displayfd), so two tests
# started at the same instant never share a server.
start_x() {
    local size=${1:-1024x768} n=""
    : >"$ART/.display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$ART/.display" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 1 100); do
        # The number is written whole, with its newline, once listening.
        [ "$(wc -l <"$ART/.display")" -ge 1 ] && { n=$(head -n 1 "$ART/.display"); break; }
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$n" ] || fail "could not start Xvfb"
    export DISPLAY=":$n"
    wait_until 10 xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb on :$n does not answer"
}

# start_game DIR [ENV=VALUE ...]: runs DIR/korvalend3d from DIR (as the
# command in RUN_AS, e.g. setpriv, when that is set).
start_game() {
    local dir=$1
    shift
    start_game_at "$dir" ./korvalend3d "$@"
}

# start_game_at WORKDIR GAME [ENV=VALUE ...]: runs the executable GAME with
# WORKDIR as its working folder (as the command in RUN_AS, e.g. setpriv,
# when that is set). Each run has high scores and settings of its own, in a
# fresh folder, never the real home's, unless ENV names XDG_DATA_HOME and
# XDG_CONFIG_HOME itself, or PLAYER_HOME names a folder that the runs of a
# test share (its data/ and config/). Arguments after "--" go to the game.
start_game_at() {
    local dir=$1 game=$2 home args=()
    shift 2
    home=${PLAYER_HOME:-$(mktemp -d "$ART/home.XXXXXX")}
    mkdir -p "$home"
    chmod 777 "$home"  # also for a game run as another user (RUN_AS)
    while [ $# -gt 0 ] && [ "$1" != -- ]; do args+=("$1"); shift; done
    [ "${1:-}" = -- ] && shift
    # The game reports the pictures the tests wait for (wait_for_shown), and
    # draws at most 60 frames a second (as with vertical sync), so that two
    # games share the machine's cores.
    (cd "$dir" && exec ${RUN_AS:-} env XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
        KORVALEND3D_TEST_STATES=1 KORVALEND3D_TEST_FPS=60 "${args[@]}" "$game" "$@") 2>"$ART/stderr.txt" >"$ART/stdout.txt" &
    GAME_PID=$!
    SHOWN=()
}

# Escape then q, as a player quits; the game must end with status 0.
quit_game() {  # quit_game NAME
    escape_and_q
    wait_for_exit 5 || fail "$1: did not quit"
    wait "$GAME_PID"; local status=$?; GAME_PID=""
    [ "$status" -eq 0 ] || fail "$1: exit status $status"
}

# play WORKDIR NAME GAME [ENV=VALUE ...]: from WORKDIR to the first wave with
# sound to $ART/NAME.raw, then quit; $models is the count of models loaded.
play() {
    local dir=$1 name=$2 game=$3
    shift 3
    mkdir -p "$dir"
    start_game_at "$dir" "$game" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$ART/$name.raw" "$@"
    wait_for_stderr "Intro screen!" 15 || fail "$name: no intro"
    wait_for_stderr "Play Game" 15 || fail "$name: the game did not start"
    wait_for_wave "$name" || fail "$name: no wave on the screen"
    quit_game "$name"
    cp "$ART/stderr.txt" "$ART/$name.stderr.txt"
    models=$(grep -c "Succeded in loading model" "$ART/$name.stderr.txt")
    echo "$name: $models models"
}

# Fails unless NAME's intro, in $ART/NAME.raw, is heard.
expect_sound() {  # expect_sound NAME
    local rate rms
    rate=$(grep -o 'Sound: output [0-9]* Hz' "$ART/$1.stderr.txt" | grep -o '[0-9]*' | head -1)
    rms=$(rms_of "$ART/$1.raw" "${rate:-44100}" 0 6)
    echo "$1: intro RMS $rms"
    awk "BEGIN{exit !(${rms:-0} > 0.005)}" || fail "$1: silent (${rms:-no audio})"
}

# RMS amplitude of SECONDS of 16-bit stereo raw audio at RATE from START.
rms_of() {  # rms_of FILE RATE START SECONDS
    sox -t raw -r "$2" -e signed -b 16 -c 2 "$1" -n trim "$3" "$4" stat 2>&1 | awk '/RMS +amplitude/{print $3}'
}

stop_all() {
    if [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null; then
        # SIGTERM only queues a quit event; a game that reads no events for a
        # while (game over, a fade) gets a few seconds, then SIGKILL.
        for _ in $(seq 1 50); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$GAME_PID" 2>/dev/null
        wait "$GAME_PID" 2>/dev/null
    fi
    GAME_PID=""
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}
trap stop_all EXIT

shot() {  # shot NAME: screenshot of the whole screen into the artifacts
    import -window root "$ART/$1.png" 2>/dev/null || fail "screenshot $1 failed"
}

# Mean brightness 0..1 of a picture.
brightness() {
    convert "$ART/$1.png" -colorspace Gray -format "%[fx:mean]" info:
}

# Number of pixels that differ between two pictures, within the middle band
# (the HUD's blinking and counting rows at top and bottom are left out).
diff_pixels() {
    convert "$ART/$1.png" -gravity center -crop 100%x70%+0+0 +repage "$ART/.a.png"
    convert "$ART/$2.png" -gravity center -crop 100%x70%+0+0 +repage "$ART/.b.png"
    compare -metric AE -fuzz 3% "$ART/.a.png" "$ART/.b.png" null: 2>&1 | sed 's/[^0-9.].*//'
}

# Fails unless the screenshot AFTER differs from BEFORE in more than 300
# pixels of that area.
expect_still() {  # expect_still WHAT BEFORE AFTER: WHAT left the picture as it was (under 200 pixels changed)
    local d
    d=$(diff_pixels "$2" "$3")
    echo "$1 changes $d pixels"
    [ "${d%.*}" -lt 200 ] || fail "$1 changed the picture ($d)"
}
expect_change() {  # expect_change NAME BEFORE AFTER
    local d
    d=$(diff_pixels "$2" "$3")
    echo "$1 changes $d pixels"
    [ "${d%.*}" -gt 300 ] || fail "$1 did not change the picture ($d)"
}

# Number of pixels that differ within the centre of the screen, where shots
# fired from the cockpit fly.
diff_centre() {
    convert "$ART/$1.png" -gravity center -crop 240x240+0+0 +repage "$ART/.a.png"
    convert "$ART/$2.png" -gravity center -crop 240x240+0+0 +repage "$ART/.b.png"
    compare -metric AE -fuzz 1% "$ART/.a.png" "$ART/.b.png" null: 2>&1 | sed 's/[^0-9.].*//'
}

# expect_shots WHAT BEFORE AFTER: shots fired between the two pictures fly
# at the centre (more than 20 pixels changed there).
expect_shots() {
    local d
    d=$(diff_centre "$2" "$3")
    echo "$1 changes $d pixels at the centre"
    [ "${d%.*}" -gt 20 ] || fail "$1 did not fire ($d)"
}

# Number of pixels that differ in the lower left corner, where the HUD shows
# the shield.
diff_corner() {
    convert "$ART/$1.png" -gravity southwest -crop 30%x10%+0+0 +repage "$ART/.a.png"
    convert "$ART/$2.png" -gravity southwest -crop 30%x10%+0+0 +repage "$ART/.b.png"
    compare -metric AE -fuzz 3% "$ART/.a.png" "$ART/.b.png" null: 2>&1 | sed 's/[^0-9.].*//'
}

# Pixels of the middle band that are the arena grid's blue (a full screen
# scaled smoothly to the display spreads and dims its one-pixel lines).
grid_pixels() {
    convert "$ART/$1.png" -gravity center -crop 100%x55%+0+0 +repage \
        -fx "(b>r+0.1 && b>0.25) ? 1 : 0" -format "%[fx:mean*w*h]" info:
}

# Pixels of the middle band in the grey-brown of lit rock.
rock_pixels() {
    convert "$ART/$1.png" -gravity center -crop 100%x80%+0+0 +repage \
        -fx "(abs(r-b)<0.1 && abs(r-g)<0.1 && r>0.15 && r<0.7) ? 1 : 0" -format "%[fx:mean*w*h]" info:
}

# press_for_report PATTERN KEYS...: presses the keys and waits up to 10 s
# for one more line of standard error matching PATTERN than REPORTS counts;
# REPORTS becomes the new count. False when none came.
REPORTS=0
press_for_report() {
    local pattern=$1 i n
    shift
    xdotool key "$@"
    for i in $(seq 1 100); do
        n=$(grep -c "$pattern" "$ART/stderr.txt")
        [ "$n" -gt "$REPORTS" ] && break
        sleep 0.1
    done
    [ "$n" -gt "$REPORTS" ] || return 1
    REPORTS=$n
}

# wait_until SECONDS COMMAND...: runs COMMAND every tenth of a second until
# it succeeds; false when SECONDS pass first.
wait_until() {
    local i
    for i in $(seq 1 $(( ${1%.*} * 10 ))); do
        "${@:2}" && return 0
        sleep 0.1
    done
    return 1
}

# wait_for_exit SECONDS: true once the game has ended.
wait_for_exit() {
    wait_until "$1" game_ended
}
game_ended() { ! kill -0 "$GAME_PID" 2>/dev/null; }

# escape_and_q [TRIES]: Escape then q, as a player quits (the game reads
# them in order, so q finds the pause). Escape toggles the pause, and a
# bonus or game-over screen swallows keys: tried again while the game runs.
escape_and_q() {
    local try
    for try in $(seq 1 "${1:-3}"); do
        xdotool key Escape q
        wait_for_exit 2 && return 0
    done
    return 1
}

# wait_for_still NAME [SECONDS]: screenshots 0.3 s apart until two in a
# row show the same centre of the screen (a fade over, the pause taken,
# shots and embers gone, a mode settled; a prize spinning at the side
# does not count); NAME.png is the last. False after SECONDS (10).
wait_for_still() {
    local name=$1 end=$(( SECONDS + ${2:-10} )) d
    shot "$name"
    while [ "$SECONDS" -lt "$end" ]; do
        kill -0 "$GAME_PID" 2>/dev/null || return 1
        cp "$ART/$name.png" "$ART/.before_still.png"
        sleep 0.3  # the interval the picture must hold still over
        shot "$name"
        d=$(diff_centre .before_still "$name")
        [ "${d%.*}" -lt 20 ] && return 0
    done
    return 1
}

# wait_for_change NAME BEFORE [SECONDS]: screenshots until one differs from
# BEFORE in more than 300 pixels of the middle band; NAME.png is that one.
wait_for_change() {
    local name=$1 end=$(( SECONDS + ${3:-10} )) d
    while [ "$SECONDS" -lt "$end" ]; do
        shot "$name"
        d=$(diff_pixels "$2" "$name")
        [ "${d%.*}" -gt 300 ] && return 0
        sleep 0.1
    done
    return 1
}

# wait_for_shown NAME [SECONDS]: waits for the game's next report that a
# picture is on the screen, "State: NAME shown" (intro, wave, bonus, game
# over, pause, play, mode), counted per NAME since the game started. False
# after SECONDS (20).
declare -A SHOWN=()
wait_for_shown() {
    local name=$1 seen=${SHOWN[$1]:-0}
    wait_for_count "State: $name shown" $(( seen + 1 )) "${2:-20}" || return 1
    SHOWN[$name]=$(grep -cF "State: $name shown" "$ART/stderr.txt")
}

# skip_intro [SECONDS]: once the title is up, a key ends it as a player's
# would, and the game starts; false when either takes over SECONDS (25).
# For the tests that are not about the title (it waits 5 s otherwise).
skip_intro() {
    wait_for_shown intro "${1:-25}" || return 1
    xdotool key space  # its release clears the shield, which is not up
    wait_for_stderr "Play Game" "${1:-25}"
}

# wait_for_wave [NAME] [SECONDS]: the next wave has faded in; NAME.png
# (wave) is a picture of it.
wait_for_wave() {
    wait_for_shown wave "${2:-20}" || return 1
    shot "${1:-wave}"
}

# wait_for_count TEXT N SECONDS: standard error has N lines with TEXT.
wait_for_count() {
    wait_until "$3" stderr_has "$1" "$2"
}
replay_info() {  # replay_info FILE FIELD: a field of the game's own description of a recording
    "$BUILD_DIR/korvalend3d" --replay-info "$1" | sed -n "s/^$2 //p"
}
clock_kept_pace() {  # clock_kept_pace FILE: the recorded clock never went back nor leapt 2 s
    local back longest
    back=$(replay_info "$1" clock_steps_back); longest=$(replay_info "$1" longest_clock_step)
    echo "recorded clock: $back steps back; longest step $longest ms"
    [ "$back" = 0 ] && [ -n "$longest" ] && [ "$longest" -lt 2000 ]
}
stderr_has() {  # stderr_has TEXT N: N lines or more with TEXT
    [ "$(grep -cF "$1" "$ART/stderr.txt" 2>/dev/null)" -ge "$2" ]
}

# refreeze: a fresh 20 s of freeze (a cheat: f ends a freeze that runs and
# starts one otherwise; the game says which).
refreeze() {
    local freezes thaws
    freezes=$(grep -cF "State: freeze shown" "$ART/stderr.txt")
    thaws=$(grep -cF "State: thaw shown" "$ART/stderr.txt")
    xdotool key f
    wait_until 10 froze_or_thawed "$freezes" "$thaws" || fail "f neither froze nor thawed"
    # A thaw: it ended one that ran (unless that ran out just then and f
    # froze anew), and f again starts a fresh one.
    wait_for_count "State: freeze shown" $(( freezes + 1 )) 1 && return 0
    xdotool key f
    wait_for_count "State: freeze shown" $(( freezes + 1 )) 10 || fail "f did not freeze"
}
froze_or_thawed() {
    stderr_has "State: freeze shown" $(( $1 + 1 )) || stderr_has "State: thaw shown" $(( $2 + 1 ))
}

wait_for_stderr() {  # wait_for_stderr TEXT SECONDS
    local i
    for i in $(seq 1 $(( $2 * 10 ))); do
        grep -qF "$1" "$ART/stderr.txt" 2>/dev/null && return 0
        kill -0 "$GAME_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Sanitizer settings for the real game: leaks in the system libraries above
# are suppressed, and a leak report ends the process with 23.
SANITIZER_ENV=(ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
               "LSAN_OPTIONS=suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/../support" && pwd)/lsan_libraries.supp:exitcode=23"
               UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1)

# check_exit STATUS NAME: the game ended with 0 and the sanitizers reported
# nothing of the game's own. A leak whose every frame lies in a module that
# was unloaded before the report (Mesa's driver, closed with the GL context
# at exit) cannot be named or suppressed; it alone is let through, and so is
# the status 23 it causes.
check_exit() {
    local status=$1 name=$2
    grep -qE "ERROR: AddressSanitizer|runtime error:" "$ART/stderr.txt" && fail "$name: sanitizer report"
    if grep -q "ERROR: LeakSanitizer" "$ART/stderr.txt"; then
        python3 - "$ART/stderr.txt" <<'PY' || fail "$name: leak report"
import re, sys
text = open(sys.argv[1], errors="replace").read()
bad = 0
for block in re.findall(r"leak of .*?allocated from:\n((?:\s+#\d+.*\n?)+)", text):
    frames = block.strip().splitlines()[1:]
    if any("<unknown module>" not in f for f in frames):
        bad += 1
print("leak reports with frames that can be named: %d" % bad)
sys.exit(1 if bad else 0)
PY
        [ "$status" -eq 23 ] && status=0
    elif [ "$status" -eq 23 ] && grep -q "LeakSanitizer has encountered a fatal error" "$ART/stderr.txt"; then
        # LeakSanitizer's own tracer crashed while stopping the threads at
        # exit (seen once, at the end of a playback): the leak
        # check did not run, which is said, and is no report of ours.
        echo "$name: the leak check could not run (LeakSanitizer's tracer crashed); no report to judge" >&2
        status=0
    fi
    [ "$status" -eq 0 ] || fail "$name: exit status $status"
}
