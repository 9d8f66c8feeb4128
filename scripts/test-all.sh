#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What `make test` runs, stage by stage, each timed: the release and the
# sanitizer builds, the release build's whole suite under Xvfb (end-to-end
# tests two at a time, a minute of random play), the sanitizer build's unit
# and soak tests, and ten seconds of each fuzz driver where clang is
# installed. Every stage runs even when an earlier one failed (a stage whose
# build failed is counted failed), then one summary; the status is 1 when
# anything failed.
# Environment: BUILD, ASAN_BUILD, FUZZ_BUILD, JOBS, KORVALEND_WERROR (as in
# the Makefile), KORVALEND_SOAK_SECONDS (60 here).
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
ASAN_BUILD=${ASAN_BUILD:-build-asan}
FUZZ_BUILD=${FUZZ_BUILD:-build-fuzz}
JOBS=${JOBS:-$(nproc)}
export KORVALEND_SOAK_SECONDS=${KORVALEND_SOAK_SECONDS:-60}
LOGS=test-logs
mkdir -p "$LOGS"

STAGES=() TIMES=() PASSED=() FAILED=()
record() {  # record NAME SECONDS PASSED FAILED
    STAGES+=("$1") TIMES+=("$2") PASSED+=("$3") FAILED+=("$4")
    echo "=== $1: $3 passed, $4 failed, $2 s"
}

# build NAME DIR TARGET [CMAKE ARGS...]: configure and build; one test
# passed or failed.
build() {
    local name=$1 dir=$2 target=$3 start=$SECONDS
    shift 3
    echo "=== build $name"
    if cmake -S . -B "$dir" -DKORVALEND_WERROR="${KORVALEND_WERROR:-OFF}" "$@" &&
        cmake --build "$dir" -j "$JOBS" --target "$target"; then
        record "build $name" $((SECONDS - start)) 1 0
    else
        record "build $name" $((SECONDS - start)) 0 1
    fi
}

# suite NAME BUILD_OK CTEST ARGS...: runs ctest, counts from its closing line.
suite() {
    local name=$1 built=$2 start=$SECONDS log="$LOGS/${1// /_}.log" line total failed
    shift 2
    echo "=== $name"
    if [ "$built" != 1 ]; then
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

# Builds first, so the suites share the machine with nothing else.
build release "$BUILD" all -DCMAKE_BUILD_TYPE=Release
release_ok=0; [ "${FAILED[-1]}" = 0 ] && release_ok=1
# Only what its suite runs: the game, the unit and soak tests.
build sanitizer "$ASAN_BUILD" unit_and_soak -DCMAKE_BUILD_TYPE=Debug -DKORVALEND_SANITIZE=ON
asan_ok=0; [ "${FAILED[-1]}" = 0 ] && asan_ok=1

suite "release suite" "$release_ok" \
    xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "$BUILD" --output-on-failure -j "$JOBS"
suite "sanitizer suite" "$asan_ok" \
    ctest --test-dir "$ASAN_BUILD" --output-on-failure -j "$JOBS" -L 'unit|soak'

start=$SECONDS
if command -v clang++ >/dev/null 2>&1; then
    echo "=== fuzz smoke"
    log="$LOGS/fuzz_smoke.log"
    if CC=clang CXX=clang++ cmake -S . -B "$FUZZ_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVALEND_FUZZ=ON \
            -DKORVALEND_WERROR="${KORVALEND_WERROR:-OFF}" &&
        cmake --build "$FUZZ_BUILD" -j "$JOBS" --target fuzzers; then
        bash fuzz/run.sh "$FUZZ_BUILD" 10 2>&1 | tee "$log"
        # One line per driver in the closing summary; FAILED marks a crash.
        drivers=$(grep -cE '^  fuzz_[a-z0-9]+: ' "$log")
        crashed=$(grep -E '^  fuzz_[a-z0-9]+: ' "$log" | grep -c FAILED)
        missing=$(grep -c '^fuzz: .* missing$' "$log")
        record "fuzz smoke" $((SECONDS - start)) $((drivers - crashed)) $((crashed + missing))
    else
        record "fuzz smoke" $((SECONDS - start)) 0 1
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
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
