# One entry point for people and CI. Every target installs what it needs first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: deps configure build test demo bench lint clean

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

demo: build
	bash scripts/demo.sh $(BUILD_DIR)

bench: build
	bash scripts/bench.sh $(BUILD_DIR)

lint: configure
	bash scripts/lint.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)
