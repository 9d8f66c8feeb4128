# make run  - install what is missing, build, generate the data, play
# make test - the same build, then every test (and the sanitizer build's unit and soak tests)
# make fuzz - every reader under libFuzzer for FUZZ_SECONDS each (needs clang)
BUILD      := build
ASAN_BUILD := build-asan
FUZZ_BUILD := build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
XVFB       := xvfb-run -a -s "-screen 0 1024x768x24"
# KORVALEND_WERROR=ON makes every compiler warning an error (CI sets it).
KORVALEND_WERROR ?= OFF

.PHONY: all deps build asan run test test-asan bench clean fuzz fuzz-build fuzz-smoke

all: build

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DKORVALEND_WERROR=$(KORVALEND_WERROR)
	cmake --build $(BUILD) -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKORVALEND_SANITIZE=ON -DKORVALEND_WERROR=$(KORVALEND_WERROR)
	cmake --build $(ASAN_BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./korvalend3d

test: build asan
	$(XVFB) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) test-asan
	$(MAKE) fuzz-smoke

test-asan:
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -L 'unit|soak'

bench: build
	$(XVFB) sh -c 'for b in $(BUILD)/bench_*; do [ -x "$$b" ] && (cd $(BUILD) && ./$$(basename $$b)); done'

# The drivers and the library they test, built for libFuzzer with the
# sanitizers, then each driver run from the generated data for FUZZ_SECONDS.
fuzz-build:
	bash scripts/install-deps.sh fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVALEND_FUZZ=ON -DKORVALEND_WERROR=$(KORVALEND_WERROR) >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers

fuzz: fuzz-build
	bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Part of `make test`: ten seconds a driver where clang is installed.
fuzz-smoke:
	@if command -v clang++ >/dev/null 2>&1; then $(MAKE) fuzz FUZZ_SECONDS=10; \
	else echo "fuzz-smoke: clang++ not installed; skipped (bash scripts/install-deps.sh fuzz)"; fi

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
