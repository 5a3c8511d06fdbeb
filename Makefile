# The two set-up commands of the README: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
LAUNCHER := $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all setup configure build test test-sanitize run bench clean format check-layers check-format \
        fuzz fuzz-build
# The Qt-free layers and their tests once more under ASan and UBSan (GCC; -O1 with
# line tables and assertions on: a quarter quicker to build on a fresh machine), and
# the libFuzzer programs (clang).
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=

all: build

setup:
	@bash scripts/setup.sh

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(LAUNCHER)

configure: setup $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

check-layers:
	@bash tools/check_layers.sh

check-format:
	@bash tools/check_format.sh

test: build check-layers check-format
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-sanitize

$(ASAN_BUILD)/build.ninja: | setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
	    -DTARNIX_SANITIZE=ON $(LAUNCHER)

test-sanitize: $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

$(FUZZ_BUILD)/build.ninja: | setup
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNIX_FUZZ=ON \
	    -DCMAKE_CXX_COMPILER=clang++ $(LAUNCHER)

fuzz-build: $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

# Each target FUZZ_SECONDS in turn; FUZZ_TARGETS="segy xtf" picks some.
fuzz: fuzz-build
	FUZZ_SECONDS=$(FUZZ_SECONDS) bash fuzz/run_fuzz.sh $(FUZZ_BUILD) $(FUZZ_TARGETS)

run: build
	@bash scripts/run.sh $(BUILD)

bench: build
	@bash bench/run_all.sh $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
