# make run  - install what is missing, build, generate the data, play
# make test - the same build, then every test (and the sanitizer build's unit and soak tests)
BUILD      := build
ASAN_BUILD := build-asan
JOBS       ?= $(shell nproc)
XVFB       := xvfb-run -a -s "-screen 0 1024x768x24"
# KORVALEND_WERROR=ON makes every compiler warning an error (CI sets it).
KORVALEND_WERROR ?= OFF

.PHONY: all deps build asan run test test-asan bench clean

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

test-asan:
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) -L 'unit|soak'

bench: build
	$(XVFB) sh -c 'for b in $(BUILD)/bench_*; do [ -x "$$b" ] && (cd $(BUILD) && ./$$(basename $$b)); done'

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
