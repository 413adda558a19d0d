# The two commands of the README: `make test` and `make run`.
# Both install what is missing first (as root on Debian), so a fresh
# machine needs nothing else.

SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE_PRESETS := native native-tsan
FUZZ_SECONDS ?= 25
FUZZ_LONG_SECONDS ?= 600
export ZELO_WINEPREFIX ?= $(CURDIR)/build/wineprefix

.PHONY: test run deps configure-% build-% test-% win32 wine-prefix bench fuzz clean

test: deps
	@set -e; for p in $(NATIVE_PRESETS) win64; do $(MAKE) --no-print-directory test-$$p; done
	@$(MAKE) --no-print-directory win32
	scripts/fuzz-hex $(FUZZ_SECONDS)
	@echo "make test: every suite passed"

run: deps build-native-release
	ZELO_SIMULATOR="$${ZELO_SIMULATOR-standard}" build/native-release/bin/zelo-demo

deps:
	@scripts/install-deps

configure-%:
	@cmake --preset $* > build-$*.log 2>&1 || { cat build-$*.log; exit 1; }; rm -f build-$*.log

build-%: configure-%
	cmake --build --preset $* -j $(JOBS)

test-%: build-%
	@if [ "$*" = win64 ]; then scripts/wine-prefix; fi
	ctest --preset $* -j $(JOBS)

win32: build-win32

fuzz: deps
	scripts/fuzz-hex $(FUZZ_LONG_SECONDS)

bench: deps build-native-release
	build/native-release/bin/zelo-bench

clean:
	rm -rf build
