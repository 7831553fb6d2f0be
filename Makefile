# The two commands of the README: `make demo` runs the main job, `make test` runs every test.
# Both install what they need first (Debian packages, as root).

PRESETS_TESTED := native native-san win64 win32
JOBS ?= 2
# Seconds per fuzz target: nine targets, about 3 minutes in all.
FUZZ_SECONDS ?= 18
# The campaign: executions per target, and the cap in seconds on each target.
FUZZ_RUNS ?= 10000000
FUZZ_LONG_SECONDS ?= 7200

.PHONY: all setup demo test build build-% test-% static-checks compare-builds fuzz fuzz-long bench clean install-gdal-plugin
# Where GDAL looks for plugins when GDAL_DRIVER_PATH is not set (Debian's libgdal).
GDAL_PLUGIN_DIR ?= /usr/lib/$(shell gcc -print-multiarch)/gdalplugins

all: test

setup:
	@sh scripts/setup.sh

build-%: setup
	cmake --preset $* >/dev/null
	cmake --build --preset $* -j $(JOBS)

build: build-native build-native-san build-win64 build-win32 build-fuzz

test-%: build-%
	ctest --preset $* -j $(JOBS)

static-checks: build-win32
	sh tests/static/check-deliverables.sh build/win32

# The shipped i686 build and the x86_64 build write the same bytes for the same inputs.
compare-builds: build-win64 build-win32
	sh tests/crossbuild/compare_builds.sh build/win64 build/win32

fuzz: build-fuzz
	sh fuzz/run.sh build/fuzz $(FUZZ_SECONDS)

fuzz-long: build-fuzz
	sh fuzz/run.sh build/fuzz $(FUZZ_LONG_SECONDS) $(FUZZ_RUNS)

test: build
	@$(MAKE) --no-print-directory $(addprefix test-,$(PRESETS_TESTED)) static-checks compare-builds fuzz
	@echo "make test: all suites passed"

demo: build-native build-win64
	sh scripts/demo.sh build/native build/win64 build/demo

# The GDAL/OGR driver for terminal logs, installed where GDAL finds it (as root); or into any
# folder: make install-gdal-plugin GDAL_PLUGIN_DIR=~/gdalplugins, then GDAL_DRIVER_PATH=~/gdalplugins.
install-gdal-plugin: build-native
	install -D -m 644 build/native/gdal/plugins/gdal_KorvexLog.so $(GDAL_PLUGIN_DIR)/gdal_KorvexLog.so
	@echo "installed $(GDAL_PLUGIN_DIR)/gdal_KorvexLog.so"
	@GDAL_DRIVER_PATH="$(GDAL_PLUGIN_DIR)" ogrinfo --formats | grep KorvexLog

bench: build-native
	sh bench/run.sh build/native

clean:
	rm -rf build
