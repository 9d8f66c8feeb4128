#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Replays of the real game: a kept recording watched at its own pace, with
# every checksum equal and the viewer's camera key honoured; damaged,
# foreign and other-data recordings refused with one message and status 1;
# the last game's recording, made by playing, played back; a wrong option
# gets the usage and status 2.
set -u
source "$(dirname "$0")/lib.sh" "$1" replay
# The runs share one player folder, where the recordings are.
PLAYER_HOME="$ART/xdg"
REPLAYS=$(cd "$(dirname "$0")/../replays" && pwd)
start_x

# The quiet wave at its own pace: as long as it was played.
started=$(date +%s.%N)
start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy -- --replay "$REPLAYS/quiet.kvr"
wait_for_stderr "Play Game" 20 || fail "the replay did not start"
wait_for_wave replay_cockpit || fail "no wave on the screen"
xdotool key F2
# The chase camera shows the ship: most of the picture changes at once.
chased() { shot replay_chase; [ "$(diff_pixels replay_cockpit replay_chase | sed 's/\..*//')" -gt 1000 ]; }
wait_until 5 chased
d=$(diff_pixels replay_cockpit replay_chase)
echo "the viewer's F2 changes $d pixels"
[ "${d%.*}" -gt 1000 ] || fail "the camera key does nothing while watching ($d)"
wait "$GAME_PID"; status=$?; GAME_PID=""
took=$(awk "BEGIN{printf \"%.1f\", $(date +%s.%N) - $started}")
grep "^Replay" "$ART/stderr.txt"
[ "$status" -eq 0 ] || fail "the replay ended with $status"
grep -q "every one equal" "$ART/stderr.txt" || fail "the replay did not end with every checksum equal"
echo "watched in $took s"
awk "BEGIN{exit !($took > 15)}" || fail "the replay did not keep its own pace ($took s)"

# Damaged and foreign recordings: one message, status 1, never a crash. The
# game says where the fields to damage stand.
version_at=$(replay_info "$REPLAYS/quiet.kvr" game_version_at)
hash_at=$(replay_info "$REPLAYS/quiet.kvr" data_hash_at)
[ -n "$version_at" ] && [ -n "$hash_at" ] || fail "--replay-info did not describe the recording"
python3 - "$REPLAYS/quiet.kvr" "$ART" "$version_at" "$hash_at" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
out = sys.argv[2]
version_at, hash_at = int(sys.argv[3]), int(sys.argv[4])
open(out + "/cut.kvr", "wb").write(data[: len(data) // 2])
flipped = bytearray(data); flipped[-10] ^= 0x40
open(out + "/flipped.kvr", "wb").write(flipped)
n = hash_at - version_at
other = bytearray(data); other[version_at:hash_at] = b"0.0.9"[:n].ljust(n, b"x")
open(out + "/version.kvr", "wb").write(other)
data_hash = bytearray(data); data_hash[hash_at] ^= 1
open(out + "/data.kvr", "wb").write(data_hash)
open(out + "/foreign.kvr", "wb").write(b"RIFF" + data[4:200])
PY
for bad in cut flipped version data foreign missing; do
    start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy -- --replay "$ART/$bad.kvr"
    wait "$GAME_PID"; status=$?; GAME_PID=""
    lines=$(grep -c "^Replay" "$ART/stderr.txt")
    echo "$bad: status $status: $(grep "^Replay" "$ART/stderr.txt")"
    [ "$status" -eq 1 ] && [ "$lines" -eq 1 ] || fail "$bad recording: status $status, $lines messages"
    grep -qE "AddressSanitizer|runtime error" "$ART/stderr.txt" && fail "$bad recording: sanitizer report"
done

# A game played, then watched as the last game.
start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy
skip_intro || fail "the game did not start"
wait_for_wave || fail "no wave on the screen"
xdotool key grave 5 8
xdotool keydown Tab; sleep 1.5; xdotool keyup Tab
xdotool mousemove_relative -- 50 20
quit_game "the played game"
start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy -- --timedemo "$ART/xdg/data/korvalend3d/replays/last.kvr"
wait "$GAME_PID"; status=$?; GAME_PID=""
grep "^Replay" "$ART/stderr.txt"; cat "$ART/stdout.txt"
[ "$status" -eq 0 ] && grep -q "every one equal" "$ART/stderr.txt" || fail "the last game did not play back"
grep -qE "^timedemo frames=[0-9]+ seconds=[0-9.]+ fps=[0-9.]+ median_ms=[0-9.]+ p95_ms=[0-9.]+ p99_ms=[0-9.]+ max_ms=[0-9.]+$" \
    "$ART/stdout.txt" || fail "no time demo line"
start_game "$BUILD_DIR" SDL_AUDIODRIVER=dummy -- --replay
wait "$GAME_PID"; status=$?; GAME_PID=""
[ "$status" -eq 0 ] && grep -q "recorded player quit" "$ART/stderr.txt" || fail "--replay alone did not play the last game"

# A wrong option: the usage, status 2.
start_game "$BUILD_DIR" -- --bogus
wait "$GAME_PID"; status=$?; GAME_PID=""
[ "$status" -eq 2 ] && grep -q "^usage: korvalend3d" "$ART/stderr.txt" || fail "a wrong option: status $status"
echo "PASS"
