#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The display goes away in the middle of a wave (its X server killed): the
# game ends with one message and status 1, and keeps what a quit keeps: the
# settings changed in this run and the recording of the game so far, which
# plays back with every checksum equal; no temporary file is left behind.
set -u
source "$(dirname "$0")/lib.sh" "$1" display_loss
PLAYER_HOME="$ART/xdg"
SETTINGS="$ART/xdg/config/korvalend3d/settings"
LAST="$ART/xdg/data/korvalend3d/replays/last.kvr"

start_x
start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy -- --window
skip_intro || fail "the game did not start"
wait_for_wave cockpit || fail "no wave on the screen"
# Away from the defaults: the chase camera, the controls not inverted.
xdotool key F2 F10
wait_for_change chase cockpit 5 || fail "F2 did not change the camera"
for key in Tab KP_0 Tab; do xdotool keydown $key; sleep 0.3; xdotool keyup $key; sleep 0.2; done
kill -9 "$XVFB_PID"
XVFB_PID=""
for _ in $(seq 1 50); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$GAME_PID" 2>/dev/null && fail "the game did not end without its display"
wait "$GAME_PID"; status=$?; GAME_PID=""
echo "status $status; $(grep -c "has gone away" "$ART/stderr.txt") message(s)"
[ "$status" -eq 1 ] || fail "status $status"
[ "$(grep -c "has gone away" "$ART/stderr.txt")" -eq 1 ] || fail "not one message"

echo "--- settings"; cat "$SETTINGS" 2>/dev/null
grep -q "^camera = chase$" "$SETTINGS" 2>/dev/null || fail "the camera chosen in this run was not kept"
grep -q "^invert_controls = no$" "$SETTINGS" || fail "the controls chosen in this run were not kept"
[ -f "$LAST" ] || fail "the game's recording was not kept"
summary=$(replay_info "$LAST" records)
[ -n "$summary" ] || fail "the recording does not read"
echo "recording: $summary"
case " $summary " in *" key="[1-9]*) ;; *) fail "the recording holds none of the keys pressed" ;; esac
left=$(find "$ART/xdg" -name '*.??????' -print)
[ -z "$left" ] || fail "temporary files left: $left"

# What was kept plays back to where the display went.
cp "$ART/stderr.txt" "$ART/lost.stderr.txt"
start_x
start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy -- --timedemo "$LAST"
wait "$GAME_PID"; status=$?; GAME_PID=""
grep "^Replay" "$ART/stderr.txt"
[ "$status" -eq 0 ] && grep -q "every one equal" "$ART/stderr.txt" || fail "the kept recording did not play back"
echo "PASS"
