#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every libFuzzer driver of a fuzz build for a while, one after another:
#   fuzz/run.sh BUILD_DIR SECONDS [DRIVER...]
# With FUZZ_RUNS set, a driver also stops after that many executions;
# FUZZ_JOBS drivers run at a time (default 1); FUZZ_SEED_DATA is the folder
# of generated data to seed from (default BUILD_DIR, which must then have
# been built with its data: the `fuzzers` target).
# Each driver's corpus (BUILD_DIR/fuzz-corpus/DRIVER) is seeded from the
# generated data, ../shared/testdata when present and the driver's past
# crashes (fuzz/regressions/DRIVER). New crashes are written to
# BUILD_DIR/fuzz-crashes/DRIVER/. Prints executions, coverage, corpus size
# and crashes per driver; fails when any driver crashed.
set -uo pipefail
SRC=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:?build folder}" && pwd)
SECONDS_EACH=${2:-60}
DATA=$(cd "${FUZZ_SEED_DATA:-$BUILD}" && pwd)
JOBS=${FUZZ_JOBS:-1}
shift 2 || true
DRIVERS=("$@")
if [ ${#DRIVERS[@]} -eq 0 ]; then
    for f in "$SRC"/fuzz/fuzz_*.cpp; do DRIVERS+=("$(basename "$f" .cpp)"); done
fi
TESTDATA="$SRC/../shared/testdata"
# The BMP and sound drivers write every input to a file: memory is faster.
if [ -z "${TMPDIR:-}" ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
[ -d "$TESTDATA" ] || echo "fuzz: $TESTDATA not found; seeding from the generated data only"

# copy_seeds DEST FILE...: copies the files that exist and are no longer
# than the driver's longest input.
copy_seeds() {
    local dest=$1; shift
    for f in "$@"; do
        [ -f "$f" ] && [ "$(stat -c %s "$f")" -le "$LIMIT" ] && cp -f "$f" "$dest/"
    done
    return 0
}

seed() {
    local driver=$1 dir=$2
    case $driver in
    fuzz_ms3d) copy_seeds "$dir" "$DATA"/Models/*.ms3d "$TESTDATA"/*.ms3d ;;
    fuzz_tga) copy_seeds "$dir" "$DATA"/Models/*.tga "$DATA"/Images/*.tga "$TESTDATA"/*.tga ;;
    fuzz_bmp)
        copy_seeds "$dir" "$TESTDATA"/*.bmp "$DATA"/Images/number_0.tga
        # The title pictures are large: small copies in the depths and
        # encodings a BMP can have, when ImageMagick is there.
        local title
        title=$(ls "$DATA"/Images/*.bmp 2>/dev/null | head -1)
        if [ -n "$title" ] && command -v convert >/dev/null 2>&1; then
            convert "$title" -resize 24x18 "BMP3:$dir/rgb24.bmp"
            convert "$title" -resize 24x18 -colors 200 -type Palette "BMP3:$dir/pal8.bmp"
            convert "$title" -resize 24x18 -colors 200 -type Palette -compress RLE "BMP3:$dir/rle8.bmp"
            convert "$title" -resize 24x18 -colors 16 -type Palette "BMP3:$dir/pal4.bmp"
            convert "$title" -resize 24x18 -monochrome "BMP3:$dir/mono.bmp"
            convert "$title" -resize 24x18 -alpha on "BMP:$dir/rgba32.bmp"
            convert "$title" -resize 24x18 -depth 5 -define bmp:subtype=RGB565 "BMP:$dir/rgb565.bmp"
        fi 2>/dev/null ;;
    fuzz_playlist)
        copy_seeds "$dir" "$DATA"/Music/list.txt
        printf '' >"$dir/empty"
        printf '\n\n\n' >"$dir/newlines"
        printf 'one.ogg\r\ntwo.ogg' >"$dir/crlf-no-final-newline"
        head -c 300 /dev/zero | tr '\0' 'x' >"$dir/long-line" ;;
    fuzz_replay)
        # The kept recordings, and one cut short and one with a byte flipped.
        copy_seeds "$dir" "$SRC"/tests/replays/*.kvr
        local kvr
        kvr=$(ls "$SRC"/tests/replays/*.kvr 2>/dev/null | head -1)
        if [ -n "$kvr" ]; then
            head -c 200 "$kvr" >"$dir/cut.kvr"
            python3 -c 'import sys; b=bytearray(open(sys.argv[1],"rb").read()); b[len(b)//2]^=0x55; open(sys.argv[2],"wb").write(b)' "$kvr" "$dir/flipped.kvr"
        fi ;;
    fuzz_sound)
        # The effects, the head of every song (a truncated Ogg file), and
        # one effect as FLAC when sox can write it.
        for f in "$DATA"/Sounds/*.wav "$DATA"/Music/*.ogg; do
            [ -f "$f" ] && head -c "$LIMIT" "$f" >"$dir/$(basename "$f")"
        done
        local wav
        wav=$(ls "$DATA"/Sounds/*.wav 2>/dev/null | head -1)
        if [ -n "$wav" ] && command -v sox >/dev/null 2>&1; then
            sox "$wav" "$dir/effect.flac" 2>/dev/null || true
        fi ;;
    esac
    copy_seeds "$dir" "$SRC"/fuzz/regressions/"$driver"/*
}

# Larger inputs than this are cut; the seeds stay whole below it.
max_len() {
    case $1 in
    fuzz_ms3d) echo 25000 ;;
    fuzz_tga) echo 70000 ;;
    fuzz_bmp) echo 70000 ;;
    fuzz_playlist) echo 4096 ;;
    fuzz_sound) echo 40000 ;;
    *) echo 65536 ;;
    esac
}

# run_driver DRIVER: fuzzes it, then writes its one-line result to
# BUILD_DIR/fuzz-DRIVER.result; fails when it crashed.
run_driver() {
    local driver=$1 exe="$BUILD/$1" seeds corpus crashes log start status execs last cov ft corp found line
    seeds="$BUILD/fuzz-seeds/$driver" corpus="$BUILD/fuzz-corpus/$driver" crashes="$BUILD/fuzz-crashes/$driver"
    rm -rf "$seeds"
    mkdir -p "$seeds" "$corpus" "$crashes" "$BUILD/nodata"
    LIMIT=$(max_len "$driver")
    seed "$driver" "$seeds"
    log="$BUILD/fuzz-$driver.log"
    start="$BUILD/fuzz-$driver.start"
    touch "$start"
    echo "fuzz: $driver for ${SECONDS_EACH}s ($(ls "$seeds" | wc -l) seeds, $(ls "$corpus" | wc -l) in corpus)"
    # The readers' own messages (stderr of the program) are closed off;
    # libFuzzer's lines and sanitizer reports still reach the log.
    (cd "$BUILD/nodata" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 LSAN_OPTIONS=suppressions="$SRC/tests/support/lsan_libraries.supp" \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 SDL_VIDEODRIVER=dummy \
        "$exe" -max_total_time="$SECONDS_EACH" -max_len="$LIMIT" \
        ${FUZZ_RUNS:+-runs=$FUZZ_RUNS} -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$crashes/" \
        "$corpus" "$seeds") >"$log" 2>&1
    status=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+' "$log" | tail -1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9]*[a-zA-Z]*\).*/\1/p' <<<"$last")
    found=$(find "$crashes" -type f -newer "$start" | wc -l)
    line="$driver: ${execs:-?} executions, cov ${cov:-?}, ft ${ft:-?}, corpus ${corp:-?}, new crashes $found"
    if [ $status -ne 0 ]; then
        line="$line, FAILED (exit $status; see $log)"
        grep -E 'ERROR:|SUMMARY:|runtime error|Test unit written' "$log" | head -5
    fi
    echo "$line"
    echo "$line" >"$BUILD/fuzz-$driver.result"
    [ $status -eq 0 ]
}

failed=0
running=0
for driver in "${DRIVERS[@]}"; do
    if [ ! -x "$BUILD/$driver" ]; then
        echo "fuzz: $BUILD/$driver missing"; failed=1; continue
    fi
    rm -f "$BUILD/fuzz-$driver.result"
    run_driver "$driver" &
    running=$((running + 1))
    if [ "$running" -ge "$JOBS" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
done
while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
summary=()
for driver in "${DRIVERS[@]}"; do
    [ -f "$BUILD/fuzz-$driver.result" ] && summary+=("$(cat "$BUILD/fuzz-$driver.result")")
done
echo "fuzz summary (${SECONDS_EACH}s each):"
printf '  %s\n' "${summary[@]}"
exit $failed
