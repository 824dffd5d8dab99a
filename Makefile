# make run       builds the viewer and opens it on your X display
# make test      builds the viewer and its tests and runs them all, in parallel
# make sanitize  runs the tests built with AddressSanitizer and UBSan
# make memcheck  runs the real viewer under valgrind with frames and input
# make package   builds the .deb, installs it and runs the installed viewer
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

.PHONY: run test sanitize memcheck package lint bench clean

run:
	@[ -n "$$DISPLAY" ] || { echo "brelox needs an X display and DISPLAY is not set: run it from a desktop session, or under a virtual one with: xvfb-run -a build/default/brelox"; exit 1; }
	@$(DEPS)
	cmake --preset default
	cmake --build --preset default -j $(JOBS)
	build/default/brelox

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

memcheck:
	@$(DEPS) --memcheck
	cmake --preset default
	cmake --build --preset default -j $(JOBS)
	scripts/memcheck.sh build/default/brelox

package:
	@$(DEPS) --package
	cmake --preset default
	cmake --build --preset default -j $(JOBS)
	scripts/check-package.sh build/default

lint:
	@$(DEPS) --lint
	cmake --preset lint >/dev/null
	clang-format --dry-run -Werror $$(git ls-files '*.cpp' '*.h' '*.c')
	clang-tidy -p build/lint --quiet $$(git ls-files '*.cpp' '*.c')

# Raised priority, where allowed, keeps other work on the machine from
# swamping the measurement. The script starts its own virtual display.
bench:
	@$(DEPS) --bench
	cmake --preset bench
	cmake --build --preset bench -j $(JOBS)
	nice -n -10 bench/run.sh build/bench

clean:
	rm -rf build
