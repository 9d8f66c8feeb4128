#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The game starts, plays the intro and a wave, and quits with 0 on data sets
# of which many files are damaged at once, on hostile play lists, and with
# the disk audio driver writing where it cannot.
set -u
E2E_DIR=$(cd "$(dirname "$0")" && pwd)
source "$E2E_DIR/lib.sh" "$1" damaged_data
source "$E2E_DIR/damage_lib.sh"

start_x
mapfile -t FILES < <(data_files)
half=$(( ${#FILES[@]} / 2 ))

for kind in cut-half cut-header flip zeros folder unreadable; do
    dir=$(data_copy "$kind")
    damage "$dir" "$kind" "${FILES[@]}"
    play_damaged "$kind" "$dir"
done

dir=$(data_copy mixed)
damage "$dir" zeros "${FILES[@]:0:$half}"
damage "$dir" flip "${FILES[@]:$half}"
play_damaged mixed "$dir"

# Play lists: entries naming the list itself, folders, /dev/zero (by a long
# climb and by a link), a line far longer than an entry, a thousand missing
# songs; then the real songs, which must still be found.
dir=$(data_copy hostile_list)
ln -s /dev/zero "$dir/Music/zero.ogg"
{
    printf 'list.txt\n.\n../Models\nzero.ogg\n'
    printf '../%.0s' $(seq 1 30); printf 'dev/zero\n'
    printf 'x%.0s' $(seq 1 5000); printf '\n'
    for i in $(seq 1 1000); do printf 'missing-%04d.ogg\n' "$i"; done
    cat "$BUILD_DIR/Music/list.txt"
} >"$dir/Music/list.txt"
play_damaged hostile_list "$dir"
grep -q 'Error while trying to play "Music/zero.ogg"' "$ART/hostile_list.stderr.txt" || fail "/dev/zero was not refused"
grep -q "Unable to play any files" "$ART/hostile_list.stderr.txt" && fail "the real songs behind the bad entries were not found"

for what in dev_zero folder; do
    dir=$(data_copy "list_is_$what")
    rm "$dir/Music/list.txt"
    if [ "$what" = dev_zero ]; then ln -s /dev/zero "$dir/Music/list.txt"; else mkdir "$dir/Music/list.txt"; fi
    play_damaged "list_is_$what" "$dir"
    grep -q 'Music/list.txt' "$ART/list_is_$what.stderr.txt" || fail "list_is_$what: no message about the list"
done

# Sound written to a file in a place where no file can be made.
dir=$(data_copy disk_audio_read_only)
play_damaged disk_audio_read_only "$dir" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/proc/korvalend-audio.raw
grep -q "Sound: no audio device" "$ART/disk_audio_read_only.stderr.txt" || fail "no message about the audio device"
echo "PASS"
