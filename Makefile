# make run       builds the viewer and opens it on your X display
# make viewer    builds the viewer alone (build/default/brelox)
# make web       builds the viewer as a static web page; prints its folder
# make web-serve serves that page on 127.0.0.1 and prints the address to open
# make test      builds the viewer and its native tests and runs them, in
#                parallel: the fast loop (scripts/test.sh adds make web-test and
#                make windows-test)
# make sanitize  runs the tests built with AddressSanitizer and UBSan
# make memcheck  runs the real viewer under valgrind with frames and input
# make deb       builds the .deb (build/default/brelox_VERSION_ARCH.deb)
# make package   builds the .deb, checks it with lintian, installs it and runs
#                the installed viewer
# make lint      clang-format and clang-tidy over the code
# make bench     measures the viewer against a clear-and-swap floor program
# make web-test  runs the browser tests: the web build in headless Chromium,
#                against native frames and through the real page's input
# make web-bench measures the page in the browser against a web floor
# make windows   cross-builds the viewer for Windows (build/windows/brelox.exe)
# make windows-package builds its zip and its .msi installer
# make windows-test runs the tests against the exe under Wine: the unit and
#                GL tests built for Windows, the whole-program tests, the
#                packages
#
# Each flavour is a CMake preset (CMakePresets.json) with a build directory
# of its own under build/, so no target changes what another builds or runs.
# Every test that needs an X server starts one of its own (Xvfb), so the
# tests run side by side and need no display from the caller.

JOBS  ?= $(shell nproc)
DEPS  := scripts/install-deps.sh

# Mesa's driver stays loaded to the end, so LeakSanitizer can name (and the
# suppressions skip) the GL stack's own leaks.
SWRAST   = $(firstword $(wildcard /usr/lib/*/dri/swrast_dri.so))
ASAN_ENV = LD_PRELOAD=$(SWRAST) ASAN_OPTIONS=verify_asan_link_order=0 \
           LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-gl.supp \
           UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: run viewer test sanitize memcheck deb package lint bench web-test web-bench clean

# The display is checked before anything is installed or built.
run:
	@scripts/need-display.sh
	@$(MAKE) --no-print-directory viewer
	build/default/brelox

viewer:
	@$(DEPS)
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# The site is one folder of static files; its path is the last line printed.
.PHONY: web web-serve
WEB_SITE := build/web/site
WEB_PORT ?= 8000

web:
	@$(DEPS) --web
	cmake --preset web
	cmake --build --preset web -j $(JOBS) --target brelox_site
	@echo $(CURDIR)/$(WEB_SITE)

web-serve: web
	@echo "Open http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops the server)"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory $(WEB_SITE)

test:
	@$(DEPS) --test
	cmake --preset test
	cmake --build --preset test -j $(JOBS)
	ctest --preset test -j $(JOBS)

sanitize:
	@$(DEPS) --test
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	env $(ASAN_ENV) ctest --preset asan -j $(JOBS)

memcheck: viewer
	@$(DEPS) --memcheck
	scripts/memcheck.sh build/default/brelox

# cpack stops, naming what to install, rather than build a package without
# dependencies when dpkg-shlibdeps is missing.
deb: viewer
	@$(DEPS) --deb
	cd build/default && rm -f brelox_*.deb && cpack

package: deb
	@$(DEPS) --package
	scripts/check-package.sh build/default/brelox_*.deb

# Silent when clean. The web layer compiles only for the web preset, so
# clang-tidy reads its flags there.
lint:
	@$(DEPS) --lint
	@cmake --preset lint >/dev/null
	@cmake --preset web >/dev/null
	@scripts/lint.sh build/lint build/web

# Raised priority, where allowed, keeps other work on the machine from
# swamping the measurement. The script starts its own virtual display.
bench:
	@$(DEPS) --bench
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	nice -n -10 bench/run.sh build/bench

# The browser tests compare with frames drawn by the test preset's native
# build, so both presets are built; npm ci installs exactly the lockfile.
NPM_CI = cd tests/web && npm ci --no-audit --no-fund || \
  { echo "npm ci could not install the browser tests' packages (tests/web) from $$(npm config get registry); npm says why above" >&2; exit 1; }

web-test:
	@$(DEPS) --web-test
	$(NPM_CI)
	cmake --preset test
	cmake --build --preset test -j $(JOBS) --target native_frames
	cmake --preset web
	cmake --build --preset web -j $(JOBS)
	ctest --preset web -j $(JOBS)

web-bench:
	@$(DEPS) --web-test
	$(NPM_CI)
	cmake --preset web
	cmake --build --preset web -j $(JOBS) --target brelox floor
	nice -n -10 node tests/web/bench/web-bench.mjs build/web/site build/web/bench build/web/bench/bench.json

# freeglut is built from Debian's source package the first time the preset
# is configured.
.PHONY: windows windows-package windows-test
windows:
	@$(DEPS) --windows
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS) --target brelox
	@echo $(CURDIR)/build/windows/brelox.exe

windows-package:
	@$(DEPS) --windows
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS) --target windows_packages
	@ls $(CURDIR)/build/windows/brelox-*-windows-x86_64.*

# The whole-program tests are Linux programs that drive the exe under Wine:
# the test preset builds them. The windows test preset tries each test up to
# three times: a busy Wine now and then fails one for reasons of its own.
windows-test:
	@$(DEPS) --windows-test
	cmake --preset test
	cmake --build --preset test -j $(JOBS) --target wine_e2e_test wine_storm_test wine_no_display_test
	cmake --preset windows
	cmake --build --preset windows -j $(JOBS)
	ctest --preset windows -j $(JOBS)

clean:
	rm -rf build
