#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Random play of the real game for minutes: presses, holds and releases of
# every bound key but the quit key (cheats, camera, volume, music and video
# mode keys included), mouse motion and buttons, from a fixed seed. The game
# must stay up, play game after game, report nothing from the sanitizers,
# and end cleanly with Escape and q. In a build without sanitizers the video
# mode stays fixed and resident memory is sampled: it must not keep growing.
# KORVALEND_SOAK_SECONDS (default 300; make test runs 60) and
# KORVALEND_SOAK_SEED change the run.
# Usage: soak_random_play.sh BUILD_DIR asan|release
set -u
source "$(dirname "$0")/lib.sh" "$1" "random_play_$2"
# The runs share one player folder, where the recordings are.
PLAYER_HOME="$ART/xdg"
FLAVOUR=$2
SEED=${KORVALEND_SOAK_SEED:-1208}
SECS=${KORVALEND_SOAK_SECONDS:-300}
say() { echo "$*" | tee -a "$ART/summary.txt"; }

mode_arg=""
[ "$FLAVOUR" = release ] && mode_arg=fixed-mode
# Scripts of five seconds each, more than the run can use (xdotool adds its
# own delays); they are played one after another until the time is up.
python3 "$(dirname "$0")/random_play.py" "$SEED" $(( SECS / 5 + 1 )) "$ART/play" $mode_arg \
    || fail "could not write the play scripts"
say "seed $SEED, $SECS s ($FLAVOUR build${mode_arg:+, fixed video mode})"

start_x
start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy "${SANITIZER_ENV[@]}"
wait_for_stderr "Intro screen!" 60 || fail "no intro"

started=$(date +%s)
events=0
# Each game's recording is complete once the next game has begun: kept then.
LAST="$ART/xdg/data/korvalend3d/replays/last.kvr"
mkdir -p "$ART/games"
kept=1
keep_games() {
    local begun
    begun=$(grep -c "^Play Game" "$ART/stderr.txt")
    while [ "$kept" -lt "$begun" ]; do
        cp "$LAST" "$ART/games/game_$kept.kvr" 2>/dev/null
        kept=$(( kept + 1 ))
    done
}
: >"$ART/rss.txt"
# Resident memory every second, also while a script plays, with the count
# of games over by then.
(while kill -0 "$GAME_PID" 2>/dev/null; do
    rss=$(awk '/^VmRSS/{print $2}' "/proc/$GAME_PID/status" 2>/dev/null)
    [ -n "$rss" ] && echo "$(( $(date +%s) - started )) $rss $(grep -c "^Game over!" "$ART/stderr.txt")" >>"$ART/rss.txt"
    sleep 1
done) &
SAMPLER=$!
for script in "$ART"/play/*.xdo; do
    elapsed=$(( $(date +%s) - started ))
    [ "$elapsed" -ge "$SECS" ] && break
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game died during random play ($elapsed s, $events events)"
    xdotool "$script" || fail "xdotool failed on $script"
    events=$(( events + $(cat "${script%.xdo}.events") ))
    keep_games
done
kill -0 "$GAME_PID" 2>/dev/null || fail "the game died during random play"
keep_games  # a game begun by the last script
minutes=$(awk "BEGIN{printf \"%.1f\", ($(date +%s) - $started) / 60}")

# Escape toggles the pause, so the game may be paused already; a bonus or
# game-over screen may also be up. Retry until Escape and q have ended it.
kill "$SAMPLER" 2>/dev/null; wait "$SAMPLER" 2>/dev/null
escape_and_q 12 || fail "Escape and q did not end the game"
wait "$GAME_PID"; status=$?; GAME_PID=""

games=$(grep -c "^Play Game" "$ART/stderr.txt")
overs=$(grep -c "^Game over!" "$ART/stderr.txt")
waves=$(grep -c "^Bonus screen!" "$ART/stderr.txt")
say "played $minutes minutes, $events events: $games games started, $overs game overs, $waves waves cleared"
check_exit "$status" "random play"
# The game cut short by the quit is the last recording.
cp "$LAST" "$ART/games/last.kvr" 2>/dev/null
# Several games in the default five minutes (the lost-ship cheat sees to
# that); a shorter run asks for fewer.
[ "$overs" -ge $(( SECS / 100 )) ] || fail "only $overs games were played to the end"
# The first fifth of the run (a minute of five: songs and every texture
# touched), and at least 20 s, is warm-up for the memory check; so is the
# first game, to its game-over picture and high-score table.
WARMUP=$(( SECS / 5 > 20 ? SECS / 5 : 20 ))

if [ "$FLAVOUR" = release ]; then
    echo "resident memory (seconds kB):"
    awk '{print $1, $2}' "$ART/rss.txt" | paste -sd' ' | fold -s -w 100 | tee -a "$ART/summary.txt"
    # After the warm-up, no growth trend: the peak of the last third must
    # not exceed the peak of the middle third by more than 4 MB.
    python3 - "$ART/rss.txt" "$WARMUP" <<'PY' | tee -a "$ART/summary.txt"; [ "${PIPESTATUS[0]}" -eq 0 ] || fail "resident memory keeps growing"
import sys
s = [tuple(map(int, l.split())) for l in open(sys.argv[1]) if l.strip()]
over = [t for t, kb, overs in s if overs > 0]
warm = max(int(sys.argv[2]), over[0] + 1 if over else 0)
s = [kb for t, kb, overs in s if t >= warm]
if len(s) < 6:
    print("too few samples after the warm-up to judge"); sys.exit(0)
n = len(s) // 3
middle, last = s[n:2 * n], s[2 * n:]
print("after %d s of warm-up: peak %d kB, final %d kB; middle third peak %d kB, last third peak %d kB"
      % (warm, max(s), s[-1], max(middle), max(last)))
sys.exit(0 if max(last) <= max(middle) + 4096 else 1)
PY
fi
# Every game recorded during the run plays back the same, to its end.
played=0
for kvr in "$ART"/games/*.kvr; do
    [ -f "$kvr" ] || continue
    start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy "${SANITIZER_ENV[@]}" -- --timedemo "$kvr"
    wait "$GAME_PID"; status=$?; GAME_PID=""
    verdict=$(grep "^Replay" "$ART/stderr.txt")
    echo "$(basename "$kvr"): $verdict" | tee -a "$ART/summary.txt"
    grep -q "every one equal" "$ART/stderr.txt" || fail "$(basename "$kvr") did not play back the same"
    check_exit "$status" "playback of $(basename "$kvr")"
    played=$(( played + 1 ))
done
say "$played recorded games played back, every checksum equal"
# The last game and at least one before it; a short run may end in its first.
[ "$played" -ge $(( SECS >= 300 ? 2 : 1 )) ] || fail "only $played games were recorded"
echo "PASS"
