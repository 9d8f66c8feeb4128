#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real game's mixed sound, written by SDL's disk audio driver, is not
# silent during the intro and during the first wave.
set -u
source "$(dirname "$0")/lib.sh" "$1" audio_disk

start_x
RAW="$ART/audio.raw"
start_game "$BUILD_DIR" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$RAW"
wait_for_stderr "Intro screen!" 10 || fail "no intro"
wait_for_stderr "Play Game" 15 || fail "the game did not start"
wait_for_wave || fail "no wave on the screen"
# A few seconds of the wave's sound (the time played is the input), with
# two shots in it.
sleep 2
xdotool key Tab; sleep 0.3; xdotool key Tab
sleep 2
escape_and_q
wait_for_exit 5
wait "$GAME_PID" 2>/dev/null; GAME_PID=""

[ -s "$RAW" ] || fail "no audio was written"
rate=$(grep -o 'Sound: output [0-9]* Hz' "$ART/stderr.txt" | grep -o '[0-9]*' | head -1)
rate=${rate:-44100}
bytes=$(stat -c %s "$RAW")
secs=$(( bytes / (rate * 4) ))
echo "audio: $bytes bytes, about $secs s at $rate Hz"
[ "$secs" -ge 8 ] || fail "too little audio ($secs s)"
# Intro: its first seconds; wave: the last three seconds before quitting.
sox -t raw -r "$rate" -e signed -b 16 -c 2 "$RAW" -n trim 0 6 stat 2>"$ART/intro_stat.txt"
sox -t raw -r "$rate" -e signed -b 16 -c 2 "$RAW" -n trim "$((secs - 4))" 3 stat 2>"$ART/wave_stat.txt"
intro=$(awk '/RMS +amplitude/{print $3}' "$ART/intro_stat.txt")
wave=$(awk '/RMS +amplitude/{print $3}' "$ART/wave_stat.txt")
echo "RMS intro $intro, wave $wave"
awk "BEGIN{exit !($intro > 0.005)}" || fail "the intro is silent ($intro)"
awk "BEGIN{exit !($wave > 0.005)}" || fail "the wave is silent ($wave)"
echo "PASS"
