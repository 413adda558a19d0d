# The two commands of the README: `make test` and `make run`.
# Both install what is missing first (as root on Debian), so a fresh
# machine needs nothing else.

SHELL := /bin/bash
JOBS ?= $(shell nproc)
NATIVE_PRESETS := native native-tsan
# Fuzzing: every target of scripts/fuzz for FUZZ_SECONDS in `make test`;
# `make fuzz` runs each for its FUZZ_RUNS_<target> inputs (together above
# ten million), FUZZ_LONG_SECONDS at most each.
FUZZ_TARGETS := $(shell scripts/fuzz --list)
FUZZ_SECONDS ?= 10
FUZZ_LONG_SECONDS ?= 1800
FUZZ_RUNS_hex ?= 200000
FUZZ_RUNS_module ?= 300000
FUZZ_RUNS_settings ?= 100000
FUZZ_RUNS_update_response ?= 7000000
FUZZ_RUNS_simulator_setting ?= 2500000
FUZZ_RUNS_state_file ?= 30000
FUZZ_RUNS_pending_save ?= 1000000
FUZZ_LOG := build/fuzz/executions.txt
export ZELO_WINEPREFIX ?= $(CURDIR)/build/wineprefix
# The fault matrix samples most positions from this seed: a new one for
# every `make`, the same for the suites it runs; the matrix prints it, and
# ZELO_FAULT_SEED=N make test repeats a run.
ifndef ZELO_FAULT_SEED
ZELO_FAULT_SEED := $(shell date +%s)
endif
export ZELO_FAULT_SEED

.PHONY: fuzz-short stacks stacks-sample stacks-win64 stacks-win32 stacks-web deb deb-tests web web-serve web-tests script-tests fresh-check test run deps configure-% build-% test-% win32 wine-prefix bench fuzz soak soak-short clean screenshots package package-tests

# Each step prints its time, so the whole run's budget can be watched.
TEST_STEPS := $(addprefix test-,$(NATIVE_PRESETS) win64) win32 package-tests script-tests deb-tests \
              web-tests soak-short stacks-sample fuzz-short
test: deps
	@echo "make test: fault matrix seed $(ZELO_FAULT_SEED)"
	@set -e; for step in $(TEST_STEPS); do start=$$(date +%s); \
	    $(MAKE) --no-print-directory $$step; \
	    echo "make test: $$step took $$(( $$(date +%s) - start )) s"; done
	@echo "make test: every suite passed"

fuzz-short:
	@rm -f $(FUZZ_LOG); for t in $(FUZZ_TARGETS); do scripts/fuzz $$t $(FUZZ_SECONDS) || exit 1; done

# zelo-tool (win64 build) under wine against a simulated accessory
# (ZELO_SIMULATOR, "standard" unless set). Without a display it runs on a
# virtual one until it has connected, leaves a picture of its window in
# RUN_PICTURE and is closed again; the exit status tells whether it worked.
RUN_PICTURE := build/zelo-tool-run.png
run: deps configure-win64
	cmake --build --preset win64 -j $(JOBS) --target zelo-tool zelo-sim zelo-runner
	scripts/run-tool build/win64/bin $(RUN_PICTURE)

deps:
	@scripts/install-deps

# The set-up scripts' own checks (the Node.js version check of install-deps).
script-tests:
	node --test tests/scripts/check-node.test.mjs

# `make test` and `make run` as the README gives them, on a brand-new
# Debian 12 minbase root (debootstrap, Debian's registry only). Most of an
# hour; never part of `make test`. Logs in build/fresh-check/.
fresh-check:
	scripts/fresh-check

configure-%:
	@cmake --preset $* > build-$*.log 2>&1 || { cat build-$*.log; exit 1; }; rm -f build-$*.log

build-%: configure-%
	cmake --build --preset $* -j $(JOBS)

# The Windows tests run under one wine server kept up throughout (see
# scripts/wine-session).
test-%: build-%
	@if [ "$*" = win64 ]; then scripts/wine-prefix; fi
	$(if $(filter win64,$*),scripts/wine-session) ctest --preset $* -j $(JOBS)

win32: build-win32

fuzz: deps
	@rm -f $(FUZZ_LOG)
	$(foreach t,$(FUZZ_TARGETS),scripts/fuzz $(t) $(FUZZ_LONG_SECONDS) $(FUZZ_RUNS_$(t)) &&) true
	@awk '{ n += $$2; s += $$3 } END { printf "make fuzz: %d executions in %d s\n", n, s }' $(FUZZ_LOG)

# Soak: open/close cycles and plug/unplug cycles with a connect between,
# in the Release build, where resident memory is the program's own (the
# native suites run a short soak too, judging threads and descriptors under
# the sanitizers). `make test` runs the short counts, `make soak` the full.
SOAK_CYCLES ?= 10000 1000
SOAK_SHORT_CYCLES ?= 2000 300
soak: deps configure-native-release
	cmake --build --preset native-release -j $(JOBS) --target zelo-soak
	ZELO_SIMULATOR=none build/native-release/bin/zelo-soak $(SOAK_CYCLES)

soak-short:
	@$(MAKE) --no-print-directory soak SOAK_CYCLES="$(SOAK_SHORT_CYCLES)"

# Every operation's cost against the simulated accessory beside its floor;
# the table goes to stdout and, as JSON, to build/bench.json.
bench: deps build-native-release
	build/native-release/bin/zelo-bench build/bench.json

# Pictures of every tab and the File menu for the documentation
# (docs/screenshots/<view>-<language>.png), from the win64 build under a
# virtual X display, in the languages of LANGUAGES (codes en da de fr is es
# it), e.g. `make screenshots LANGUAGES="en fr"`.
LANGUAGES ?= en da de fr is es it
screenshots: deps configure-win64
	cmake --build --preset win64 -j $(JOBS) --target zelo-screenshots zelo-tool
	scripts/screenshots build/win64/bin docs/screenshots $(LANGUAGES)

# The shipped 32-bit program as a zip (zelo-tool.exe, zelo.exe, ZELO.dll, an empty
# modules/ folder and the README) and as the installer
# zelo-tool-setup-<version>.exe (packaging/zelo-tool.nsi), both from the
# same staged folder.
PACKAGE_DIR := build/package
package: deps build-win32
	rm -rf $(PACKAGE_DIR)
	packaging/stage build/win32/bin $(PACKAGE_DIR)/zelo-tool
	cd $(PACKAGE_DIR)/zelo-tool && zip -q -r -X ../zelo-tool.zip zelo-tool.exe zelo.exe ZELO.dll modules README.md
	@echo "$(PACKAGE_DIR)/zelo-tool.zip"
	@packaging/build-installer x86 $(PACKAGE_DIR)/zelo-tool $(PACKAGE_DIR)

# ---- Packaging checks (tests/package/), part of `make test` ---------------
# The shipped files of both architectures read without running them, and
# the installer installed, run and uninstalled under wine64.
package-tests: deps build-win32 build-win64
	tests/package/check-binaries i686 build/win32
	tests/package/check-binaries x86_64 build/win64
	tests/package/installer-test build/win64

# ---- The Debian package (packaging/linux/) ---------------------------------
# zelo_<version>_<arch>.deb in DEB_DIR, from the Release build's
# `cmake --install`; deb-tests (part of `make test`) runs lintian over it
# and installs it into a fresh root to check its files.
DEB_DIR := build/deb
deb: deps configure-native-release
	cmake --build --preset native-release -j $(JOBS) --target zelo ZELO zelo-docs
	packaging/linux/build-deb build/native-release $(DEB_DIR)

deb-tests: deb
	tests/package/deb-test $(DEB_DIR) build/native-release

# ---- The browser page (web/) ----------------------------------------------
# `make web` leaves static files only in WEB_SITE; any static file host
# serves them. The web preset builds in build/wasm; web/stage names the
# files by their content and lists them for the page's service worker.
WEB_SITE := build/web
WEB_PORT ?= 8080
web: deps build-web
	node web/stage/stage.mjs $(WEB_SITE) web/page build/wasm/bin tool/resources/art/zelo.ico

web-serve: web
	node tests/web/server.mjs $(WEB_SITE) $(WEB_PORT)

# The page in headless Chromium against the simulator behind a stand-in
# for navigator.hid (tests/web). npm ci installs the driver only; the
# browser is the system's.
web-tests: web
	cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --silent
	node tests/web/run.mjs $(WEB_SITE) build/wasm/bin

# ---- The stage (tests/stacks/): real operating-system stacks --------------
# Debian's kernel in QEMU over the host's root, simulated accessories behind
# /dev/uhid (zelo-uhid), zelo through hidraw, hidapi and udev, and the win64
# and the shipped i686 zelo.exe, zelo-tool.exe and a C client of zelo.h
# under Wine through winebus, the page in Debian's Chromium through its
# WebHID. `make stacks`
# runs every scenario, `make test` the sample (tests/stacks/sample); each
# prints its time. STACKS_ONLY="name ..." picks scenarios.
STACKS_BIN := build/native-release/bin
STACKS_WIN64 := build/win64/bin
STACKS_WIN32 := build/win32/bin
STACKS_WINDOWS_TARGETS := zelo ZELO zelo-stack-client zelo-tool zelo-runner
stacks: deps build-native-release stacks-win64 stacks-win32 stacks-web
	tests/stacks/stage all $(STACKS_BIN) $(STACKS_WIN64) $(STACKS_WIN32)

stacks-sample: deps build-native-release stacks-win64 stacks-win32 stacks-web
	tests/stacks/stage sample $(STACKS_BIN) $(STACKS_WIN64) $(STACKS_WIN32)

stacks-win64: configure-win64
	cmake --build --preset win64 -j $(JOBS) --target $(STACKS_WINDOWS_TARGETS)

stacks-win32: configure-win32
	cmake --build --preset win32 -j $(JOBS) --target $(STACKS_WINDOWS_TARGETS)

# The browser scenarios: the staged page and the driver of tests/web.
stacks-web: web
	cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --silent

clean:
	rm -rf build
