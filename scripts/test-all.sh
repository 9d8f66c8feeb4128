#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What `make test` runs, stage by stage, each timed: the release and the
# sanitizer builds, the release build's whole suite under Xvfb (end-to-end
# tests two at a time, a minute of random play), the sanitizer build's unit
# and soak tests, and ten seconds of each fuzz driver where clang is
# installed. Every stage runs even when an earlier one failed (a suite whose
# build failed is counted failed), then one summary; the status is 1 when
# anything failed.
#
# The suites mostly wait on games capped at 60 frames a second, so the next
# build runs beside each suite at a lower priority: the sanitizer build
# beside the release suite, the fuzz build beside the sanitizer suite. A
# stage's time is its own; the run's is the last line.
# Environment: BUILD, ASAN_BUILD, FUZZ_BUILD, JOBS, KORVALEND_WERROR (as in
# the Makefile); the soak tests' KORVALEND_SOAK_SECONDS (60 here),
# KORVALEND_SOAK_REPLAYS and KORVALEND_SOAK_WAVES, shorter than make soak's.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
ASAN_BUILD=${ASAN_BUILD:-build-asan}
FUZZ_BUILD=${FUZZ_BUILD:-build-fuzz}
JOBS=${JOBS:-$(nproc)}
export KORVALEND_SOAK_SECONDS=${KORVALEND_SOAK_SECONDS:-60}
# The busiest and the longest kept recordings; make soak plays them all.
export KORVALEND_SOAK_REPLAYS=${KORVALEND_SOAK_REPLAYS:-game heavy}
LOGS=$PWD/test-logs
rm -rf "$LOGS"
mkdir -p "$LOGS"

STAGES=() TIMES=() PASSED=() FAILED=()
record() {  # record NAME SECONDS PASSED FAILED
    STAGES+=("$1") TIMES+=("$2") PASSED+=("$3") FAILED+=("$4")
    echo "=== $1: $3 passed, $4 failed, $2 s"
}

# build NAME DIR TARGETS [CMAKE ARGS...]: configures and builds (at the
# priority NICE gives), its output in $LOGS/build_NAME.log, and writes
# "SECONDS OK" to $LOGS/build_NAME.result.
build() {
    local name=$1 dir=$2 target=$3 start=$SECONDS ok=0
    shift 3
    if nice -n "${NICE:-0}" cmake -S . -B "$dir" -DKORVALEND_WERROR="${KORVALEND_WERROR:-OFF}" "$@" &&
        nice -n "${NICE:-0}" cmake --build "$dir" -j "$JOBS" --target $target; then
        ok=1
    fi >"$LOGS/build_$name.log" 2>&1
    echo "$((SECONDS - start)) $ok" >"$LOGS/build_$name.result"
}

# built NAME: records a build that has ended (one test passed or failed),
# with the end of its log when it failed; true when it was built.
built() {
    local secs ok
    read -r secs ok <"$LOGS/build_$1.result" 2>/dev/null || { secs=0 ok=0; }
    [ "$ok" = 1 ] || tail -n 40 "$LOGS/build_$1.log"
    record "build $1" "$secs" "$ok" $((1 - ok))
    [ "$ok" = 1 ]
}

# suite NAME BUILD_OK CTEST ARGS...: runs ctest, counts from its closing line.
suite() {
    local name=$1 ok=$2 start=$SECONDS log="$LOGS/${1// /_}.log" line total failed
    shift 2
    echo "=== $name"
    if [ "$ok" != 1 ]; then
        record "$name" 0 0 1
        return
    fi
    "$@" 2>&1 | tee "$log"
    line=$(grep -E "tests passed, [0-9]+ tests? failed out of [0-9]+" "$log" | tail -n 1)
    if [ -z "$line" ]; then
        record "$name" $((SECONDS - start)) 0 1
        return
    fi
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    failed=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
    record "$name" $((SECONDS - start)) $((total - failed)) "$failed"
}

echo "=== build release"
build release "$BUILD" all -DCMAKE_BUILD_TYPE=Release
release_ok=0; built release && release_ok=1

# Only what its suite runs: the game, the unit and soak tests. Its data is
# made by the release build's asset generator: the same data, without
# compiling the generator a second time with the sanitizers.
echo "=== build sanitizer (beside the release suite)"
assetgen=()
[ -x "$BUILD/assetgen" ] && assetgen=(-DKORVALEND_ASSETGEN="$(cd "$BUILD" && pwd)/assetgen")
NICE=10 build sanitizer "$ASAN_BUILD" unit_and_soak -DCMAKE_BUILD_TYPE=Debug -DKORVALEND_SANITIZE=ON "${assetgen[@]}" &
asan_build=$!
suite "release suite" "$release_ok" \
    xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS"
wait "$asan_build"
asan_ok=0; built sanitizer && asan_ok=1

fuzz=0
if command -v clang++ >/dev/null 2>&1; then
    fuzz=1
    echo "=== build fuzz (beside the sanitizer suite)"
    # The drivers alone: they seed from the release build's data.
    drivers=$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//' | tr '\n' ' ')
    CC=clang CXX=clang++ NICE=10 build fuzz "$FUZZ_BUILD" "$drivers" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVALEND_FUZZ=ON &
    fuzz_build=$!
fi
# A third of the simulated waves (make soak flies all hundred).
suite "sanitizer suite" "$asan_ok" \
    env KORVALEND_SOAK_WAVES="${KORVALEND_SOAK_WAVES:-30}" ctest --test-dir "$ASAN_BUILD" --output-on-failure -j "$JOBS" -L 'unit|soak'

if [ "$fuzz" = 1 ]; then
    wait "$fuzz_build"
    if built fuzz; then
        echo "=== fuzz smoke"
        start=$SECONDS
        log="$LOGS/fuzz_smoke.log"
        FUZZ_JOBS=$JOBS FUZZ_SEED_DATA=$BUILD bash fuzz/run.sh "$FUZZ_BUILD" 10 2>&1 | tee "$log"
        # One line per driver in the closing summary; FAILED marks a crash.
        drivers=$(grep -cE '^  fuzz_[a-z0-9]+: ' "$log")
        crashed=$(grep -E '^  fuzz_[a-z0-9]+: ' "$log" | grep -c FAILED)
        missing=$(grep -c '^fuzz: .* missing$' "$log")
        record "fuzz smoke" $((SECONDS - start)) $((drivers - crashed)) $((crashed + missing))
    fi
else
    echo "fuzz smoke: clang++ not installed; skipped (bash scripts/install-deps.sh fuzz)"
fi

echo
echo "summary:"
passed=0 failed=0
for i in "${!STAGES[@]}"; do
    printf '  %-16s %5d s  %4d passed  %3d failed\n' "${STAGES[$i]}" "${TIMES[$i]}" "${PASSED[$i]}" "${FAILED[$i]}"
    passed=$((passed + PASSED[i])) failed=$((failed + FAILED[i]))
done
echo "  all stages, from the first build: $SECONDS s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
