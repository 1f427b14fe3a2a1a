# The two entry points of the README: `make demo` and `make test`.
# Both install what is missing first, so they work on a fresh machine.

BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# Tests run under AddressSanitizer and UndefinedBehaviorSanitizer unless SANITIZE=0.
SANITIZE ?= 1

TEST_DIR := build/test
APP_DIR := build/release
FUZZ_DIR := build/fuzz
# `make fuzz` runs every fuzz target this many seconds; CI runs them 60 s each.
FUZZ_SECONDS ?= 600
FUZZ_TARGETS ?=

.PHONY: all demo test bench build fuzz clean

all: build

build:
	./scripts/install-deps.sh build
	cmake -S . -B $(APP_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTELVORN_BUILD_TESTS=OFF
	cmake --build $(APP_DIR) -j $(JOBS)

test:
	./scripts/install-deps.sh test
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  -DTELVORN_SANITIZE=$(if $(filter 1,$(SANITIZE)),ON,OFF) -DTELVORN_WERROR=ON -DTELVORN_BUILD_BENCH=OFF
	cmake --build $(TEST_DIR) -j $(JOBS)
	ctest --test-dir $(TEST_DIR) --output-on-failure -j $(JOBS)

# The window on the built-in board emulator, with settings in a demo folder;
# without a display, the live terminal table of the monitor instead.
demo: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(APP_DIR)/app/telvorn/telvorn --demo; \
	else \
	  echo "No display: the live table of 'telvorn monitor --demo --table' (Ctrl-C ends it)"; \
	  $(APP_DIR)/app/telvorn/telvorn monitor --demo --table; \
	fi

bench: build
	$(APP_DIR)/bench/telvorn-bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

# libFuzzer targets (tests/fuzz), built with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer; FUZZ_TARGETS="receive_path alert" picks some.
fuzz:
	./scripts/install-deps.sh fuzz
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
	  -DTELVORN_FUZZ=ON -DTELVORN_BUILD_TESTS=OFF -DTELVORN_BUILD_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target telvorn_fuzzers
	./tests/fuzz/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	rm -rf build
