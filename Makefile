# make run   builds the viewer and opens it on your X display
# make test  builds everything and runs every test under its own virtual display

BUILD  ?= build
WERROR ?= $(if $(CI),ON,OFF)
XVFB   := xvfb-run -a -s '-screen 0 1280x1024x24'

.PHONY: run test build build-tests deps deps-test clean

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

clean:
	rm -rf $(BUILD)
