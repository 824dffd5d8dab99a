# make run       builds the viewer and opens it on your X display
# make viewer    builds the viewer alone (build/default/brelox)
# make test      builds the viewer and its tests and runs them all, in parallel
# make sanitize  runs the tests built with AddressSanitizer and UBSan
# make memcheck  runs the real viewer under valgrind with frames and input
# make deb       builds the .deb (build/default/brelox_VERSION_ARCH.deb)
# make package   builds the .deb, checks it with lintian, installs it and runs
#                the installed viewer
# make lint      clang-format and clang-tidy over the code
# make bench     measures the viewer against a clear-and-swap floor program
#
# Each flavour is a CMake preset (CMakePresets.json) with a build directory
# of its own under build/, so no target changes what another builds or runs.

JOBS  ?= $(shell nproc)
XVFB  := xvfb-run -a -s '-screen 0 1280x1024x24'
DEPS  := scripts/install-deps.sh

# Mesa's driver stays loaded to the end, so LeakSanitizer can name (and the
# suppressions skip) the GL stack's own leaks.
SWRAST   = $(firstword $(wildcard /usr/lib/*/dri/swrast_dri.so))
ASAN_ENV = LD_PRELOAD=$(SWRAST) ASAN_OPTIONS=verify_asan_link_order=0 \
           LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-gl.supp \
           UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: run viewer test sanitize memcheck deb package lint bench clean

# The display is checked before anything is installed or built.
run:
	@scripts/need-display.sh
	@$(MAKE) --no-print-directory viewer
	build/default/brelox

viewer:
	@$(DEPS)
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

test:
	@$(DEPS) --test
	cmake --preset test
	cmake --build --preset test -j $(JOBS)
	$(XVFB) ctest --preset test -j $(JOBS)

sanitize:
	@$(DEPS) --test
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	$(XVFB) env $(ASAN_ENV) ctest --preset asan -j $(JOBS)

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

# Silent when clean.
lint:
	@$(DEPS) --lint
	@cmake --preset lint >/dev/null
	@scripts/lint.sh build/lint

# Raised priority, where allowed, keeps other work on the machine from
# swamping the measurement.
bench:
	@$(DEPS) --bench
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	nice -n -10 $(XVFB) bench/run.sh build/bench

clean:
	rm -rf build
