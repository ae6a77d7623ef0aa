# make test: install what is missing, build, and run every test twice
#            (normal build, then AddressSanitizer + UndefinedBehaviorSanitizer build).
#            Then the Windows build (mingw-w64) runs its tests under wine (scripts/windows-tests).
# make windows: build tessel.exe and the test executables for Windows into build-windows.
# make windows-installer: its installer tessel-VERSION-setup.exe and the portable zip
#            tessel-VERSION-windows.zip in build-windows/package (make windows-zip: the zip alone).
# make bench: build and run the benchmarks.
# make run:  build and open Tessel on a virtual light bar kept in $(BUILD)/run.
# make package: the Debian package in $(BUILD)/package.
# make screenshots: the windows rendered to $(BUILD)/screenshots/*.png (no desktop needed), the
#            printed instructions as a PDF file and its page as a PNG.
# make screenshots-windows: the Win32 windows rendered under wine to $(WIN_BUILD)/screenshots/*.png.
BUILD      ?= build
ASAN_BUILD ?= build-asan
WIN_BUILD  ?= build-windows
JOBS       ?= $(shell nproc)

.PHONY: all deps build build-asan windows windows-installer windows-zip test test-normal test-asan test-windows bench clean run screenshots screenshots-windows package

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
	ctest --test-dir $(BUILD) --output-on-failure --timeout 600 -j $(JOBS)

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure --timeout 600 -j $(JOBS)

run: build
	scripts/prepare-run $(BUILD)
	$(BUILD)/src/tessel --simulate=$(BUILD)/run/lightbar.state

package: build
	cd $(BUILD) && cpack

screenshots: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tests/gui/render_screenshots $(BUILD)/screenshots
	pdftoppm -png -r 60 -singlefile $(BUILD)/screenshots/instructions-print.pdf \
	  $(BUILD)/screenshots/instructions-print

screenshots-windows: windows
	scripts/windows-screenshots $(WIN_BUILD)

windows: deps
	cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DTESSEL_BENCH=OFF
	cmake --build $(WIN_BUILD) -j $(JOBS)

windows-installer windows-zip: windows
	cmake --build $(WIN_BUILD) --target $@

# Under wine, only ever through scripts/wine-run (it keeps wine away from the serial devices).
test-windows: windows-installer
	scripts/windows-tests $(WIN_BUILD)

test: test-normal test-asan test-windows

bench: build
	for b in $(BUILD)/bench/bench_*; do "$$b"; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WIN_BUILD)
