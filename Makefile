# The two commands of the README: `make demo` runs the main job, `make test` runs every test.
# Both install what they need first (Debian packages, as root).

PRESETS_TESTED := native native-san win64
JOBS ?= 2
FUZZ_SECONDS ?= 60

.PHONY: all setup demo test build build-% test-% static-checks fuzz fuzz-long bench clean

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

fuzz: build-fuzz
	sh fuzz/run.sh build/fuzz $(FUZZ_SECONDS)

fuzz-long:
	$(MAKE) fuzz FUZZ_SECONDS=3600

test: build
	@$(MAKE) --no-print-directory $(addprefix test-,$(PRESETS_TESTED)) static-checks fuzz
	@echo "make test: all suites passed"

demo: build-native build-win64
	sh scripts/demo.sh build/native build/win64 build/demo

bench: build-native
	sh bench/run.sh build/native

clean:
	rm -rf build
