# One entry point for people and CI. Every target installs what it needs first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

WINDOWS_BUILD_DIR ?= build-windows

.PHONY: deps configure build test demo bench lint format-check clean windows-deps windows \
	test-windows test-asan test-tsan fuzz-build fuzz fuzz-ci

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

lint: configure format-check
	bash scripts/check-layers.sh
	bash scripts/lint.sh $(BUILD_DIR)

# clang-format over every tracked source, without building: fails on a file it would change.
format-check: deps
	bash scripts/format-check.sh

# Windows: Tradewire.dll (with libTradewire.dll.a, Tradewire.lib for MSVC terminals and the
# headers) and Kestrel.exe, cross-built with MinGW-w64; the set-up builds TinyXML, OpenSSL and
# GoogleTest for Windows once and caches them under $(WINDOWS_BUILD_DIR)/deps. The result is
# gathered in $(WINDOWS_BUILD_DIR)/dist.
windows-deps:
	JOBS=$(JOBS) bash scripts/windows-deps.sh $(WINDOWS_BUILD_DIR)

windows: windows-deps
	cmake -S . -B $(WINDOWS_BUILD_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
		-DCMAKE_BUILD_TYPE=$(BUILD_TYPE)
	cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS) --target tradewire tradewire_msvc_import_lib \
		Kestrel
	bash scripts/windows-dist.sh $(WINDOWS_BUILD_DIR)

# The test suite built for Windows and run under Wine (a Wine prefix inside the build folder).
test-windows: windows
	cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS)
	bash scripts/test-windows.sh $(WINDOWS_BUILD_DIR)

# The whole test suite under AddressSanitizer with UndefinedBehaviorSanitizer (leaks on), and
# under ThreadSanitizer, each in its own build folder. scripts/sanitize.sh sets the sanitizer
# options and the suppression files (scripts/sanitizers/, each entry with its reason).
ASAN_BUILD_DIR ?= build-asan
TSAN_BUILD_DIR ?= build-tsan

test-asan: deps
	bash scripts/sanitize.sh asan $(ASAN_BUILD_DIR) $(JOBS)

test-tsan: deps
	bash scripts/sanitize.sh tsan $(TSAN_BUILD_DIR) $(JOBS)

# libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) in their own build
# folder; `make fuzz` runs each for FUZZ_SECONDS, `make fuzz-ci` for 30 seconds. Inputs that
# fail are kept under fuzz-out/<target>/.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_INSTRUMENT := -fsanitize=fuzzer-no-link,address,undefined

fuzz-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DTRADEWIRE_BUILD_FUZZERS=ON -DTRADEWIRE_BUILD_TESTS=OFF -DTRADEWIRE_BUILD_BENCH=OFF \
		-DTRADEWIRE_BUILD_TOOLS=OFF "-DCMAKE_C_FLAGS=$(FUZZ_INSTRUMENT)" \
		"-DCMAKE_CXX_FLAGS=$(FUZZ_INSTRUMENT)"
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target fuzzers

fuzz: fuzz-build
	bash scripts/fuzz.sh $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

fuzz-ci: fuzz-build
	bash scripts/fuzz.sh $(FUZZ_BUILD_DIR) 30

# Every build folder: the Linux, Windows (its cached dependencies included), sanitizer and fuzz
# builds. The fuzzers' findings and grown corpora in fuzz-out/ stay.
clean:
	rm -rf $(BUILD_DIR) $(WINDOWS_BUILD_DIR) $(ASAN_BUILD_DIR) $(TSAN_BUILD_DIR) $(FUZZ_BUILD_DIR)
