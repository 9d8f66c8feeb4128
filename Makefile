# SPDX-License-Identifier: MIT
# make run  - install what is missing, build the game and its data (nothing else), play
# make test - both builds, every test (a minute of random play), the sanitizer build's unit and
#             soak tests, a fuzz smoke; one summary at the end (scripts/test-all.sh)
# make soak - five minutes of random play in each build, every game played back
# make fuzz - every reader under libFuzzer for FUZZ_SECONDS each (needs clang)
# make install [PREFIX=/usr/local], make uninstall - the game, its data, menu entry, icons, manual page
# make package - build-package/korvalend3d_<version>_<arch>.deb, for /usr
BUILD      := build
PKG_BUILD  := build-package
PREFIX     ?= /usr/local
ASAN_BUILD := build-asan
FUZZ_BUILD := build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
XVFB       := xvfb-run -a -s "-screen 0 1024x768x24"
# KORVALEND_WERROR=ON makes every compiler warning an error (CI sets it).
KORVALEND_WERROR ?= OFF

KORVALEND_SOAK_SECONDS ?= 300

.PHONY: all deps build game asan run install uninstall package test test-asan soak soak-release soak-asan bench damage-all clean fuzz fuzz-build fuzz-smoke

all: build

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DKORVALEND_WERROR=$(KORVALEND_WERROR)
	cmake --build $(BUILD) -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKORVALEND_SANITIZE=ON -DKORVALEND_WERROR=$(KORVALEND_WERROR)
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# Only what playing needs: the game and its generated data.
game: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS) --target korvalend3d

run: game
	cd $(BUILD) && ./korvalend3d

install: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$(PREFIX)"
	cmake --build $(BUILD) -j $(JOBS) --target korvalend3d manpage
	cmake --install $(BUILD)

uninstall:
	cmake --build $(BUILD) --target uninstall

package: deps
	cmake -S . -B $(PKG_BUILD) -DCMAKE_BUILD_TYPE=Release -DKORVALEND_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(PKG_BUILD) -j $(JOBS) --target korvalend3d manpage
	cd $(PKG_BUILD) && cpack

test: deps
	BUILD=$(BUILD) ASAN_BUILD=$(ASAN_BUILD) FUZZ_BUILD=$(FUZZ_BUILD) JOBS=$(JOBS) \
	KORVALEND_WERROR=$(KORVALEND_WERROR) bash scripts/test-all.sh

test-asan:
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -L 'unit|soak'

# The soak campaigns in full, both builds side by side (each has its own X
# server): five minutes of random play, every kept recording played back,
# a hundred simulated waves; KORVALEND_SOAK_SEED picks another game.
soak:
	$(MAKE) -j2 soak-release soak-asan

soak-release: build
	KORVALEND_SOAK_SECONDS=$(KORVALEND_SOAK_SECONDS) ctest --test-dir $(BUILD) --output-on-failure -L soak

soak-asan: asan
	KORVALEND_SOAK_SECONDS=$(KORVALEND_SOAK_SECONDS) ctest --test-dir $(ASAN_BUILD) --output-on-failure -L soak

bench: build
	$(XVFB) sh -c 'for b in $(BUILD)/bench_*; do [ -x "$$b" ] && (cd $(BUILD) && ./$$(basename $$b)); done'
	bash bench/timedemo.sh $(BUILD)

# The drivers and the library they test, built for libFuzzer with the
# sanitizers, then each driver run from the generated data for FUZZ_SECONDS.
fuzz-build:
	bash scripts/install-deps.sh fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVALEND_FUZZ=ON -DKORVALEND_WERROR=$(KORVALEND_WERROR)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers

fuzz: fuzz-build
	bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Part of `make test`: ten seconds a driver where clang is installed.
fuzz-smoke:
	@if command -v clang++ >/dev/null 2>&1; then $(MAKE) fuzz FUZZ_SECONDS=10; \
	else echo "fuzz-smoke: clang++ not installed; skipped (bash scripts/install-deps.sh fuzz)"; fi

# The real game with each generated file damaged in turn (DAMAGE_KINDS picks
# the kinds of damage); hours.
damage-all: build
	bash tests/e2e/damage_all.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(PKG_BUILD) test-logs
