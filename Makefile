# make run       builds the viewer and opens it on your X display
# make test      builds everything and runs every test under its own virtual display
# make sanitize  runs the tests built with AddressSanitizer and UBSan
# make memcheck  runs the real viewer under valgrind with frames and input
# make package   builds the .deb, installs it and runs the installed viewer
# make lint      clang-format and clang-tidy over the code

BUILD  ?= build
WERROR ?= $(if $(CI),ON,OFF)
XVFB   := xvfb-run -a -s '-screen 0 1280x1024x24'
ASAN   := build-asan

# Mesa's driver stays loaded to the end, so LeakSanitizer can name (and the
# suppressions skip) the GL stack's own leaks.
SWRAST   = $(firstword $(wildcard /usr/lib/*/dri/swrast_dri.so))
ASAN_ENV = LD_PRELOAD=$(SWRAST) ASAN_OPTIONS=verify_asan_link_order=0 \
           LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-gl.supp \
           UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: run test build build-tests deps deps-test clean bench sanitize memcheck package lint

run: deps build
	@[ -n "$$DISPLAY" ] || { echo "brelox needs an X display and DISPLAY is not set: run it from a desktop session, or under a virtual one with: xvfb-run -a $(BUILD)/brelox"; exit 1; }
	$(BUILD)/brelox

test: deps-test build-tests
	$(XVFB) ctest --test-dir $(BUILD) --output-on-failure

build:
	cmake -S . -B $(BUILD) -DBRELOX_WERROR=$(WERROR)
	cmake --build $(BUILD) -j

build-tests:
	cmake -S . -B $(BUILD) -DBRELOX_WERROR=$(WERROR) -DBUILD_TESTING=ON
	cmake --build $(BUILD) -j

deps:
	@scripts/install-deps.sh

deps-test:
	@scripts/install-deps.sh --test

sanitize: deps-test
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELOX_SANITIZE=ON -DBRELOX_HARDEN=OFF \
	  -DBRELOX_WERROR=$(WERROR) -DBUILD_TESTING=ON
	cmake --build $(ASAN) -j
	$(XVFB) env $(ASAN_ENV) ctest --test-dir $(ASAN) --output-on-failure

memcheck: deps-test build
	@scripts/install-deps.sh --bench
	scripts/memcheck.sh $(BUILD)/brelox

package: build
	@scripts/install-deps.sh --package
	scripts/check-package.sh $(BUILD)

lint:
	@scripts/install-deps.sh --bench
	@scripts/install-deps.sh --lint
	cmake -S . -B $(BUILD) -DBRELOX_WERROR=$(WERROR) -DBUILD_TESTING=ON -DBRELOX_BENCH=ON
	clang-format --dry-run -Werror $$(git ls-files '*.cpp' '*.h' '*.c')
	clang-tidy -p $(BUILD) --quiet $$(git ls-files '*.cpp' '*.c')

clean:
	rm -rf $(BUILD) $(ASAN)

# make bench  measures the viewer against a clear-and-swap floor program (Release);
# raised priority, where allowed, keeps other work on the machine from swamping it
bench:
	@scripts/install-deps.sh --bench
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DBRELOX_BENCH=ON -DBRELOX_WERROR=$(WERROR)
	cmake --build $(BUILD) -j --target brelox brelox_floor brelox_probe brelox_probe_check brelox_bench_report
	nice -n -10 $(XVFB) bench/run.sh $(BUILD)
