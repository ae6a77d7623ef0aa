# make test: install what is missing, build, and run every test twice
#            (normal build, then AddressSanitizer + UndefinedBehaviorSanitizer build).
# make bench: build and run the benchmarks.
# make run:  build and open Tessel on a virtual light bar kept in $(BUILD)/run.
# make package: the Debian package in $(BUILD)/package.
# make screenshots: the windows rendered to $(BUILD)/screenshots/*.png (no desktop needed).
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)

.PHONY: all deps build build-asan test test-normal test-asan bench clean mingw-check run screenshots package

all: build

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSEL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test-normal: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

run: build
	scripts/prepare-run $(BUILD)
	$(BUILD)/src/tessel --simulate=$(BUILD)/run/lightbar.state

package: build
	cd $(BUILD) && cpack

screenshots: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tests/gui/render_screenshots $(BUILD)/screenshots

# The Win32 serial backend builds only on Windows; mingw-w64 checks its syntax and types here.
MINGW_CXX ?= x86_64-w64-mingw32-g++
mingw-check: deps
	$(MINGW_CXX) -std=c++20 -Wall -Wextra -Wpedantic -Werror -Isrc -c src/link/Win32Serial.cpp -o /dev/null

test: mingw-check test-normal test-asan

bench: build
	for b in $(BUILD)/bench/bench_*; do "$$b"; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
