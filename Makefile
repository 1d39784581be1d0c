# Vorlane: the two set-up commands of the README, and a few more for developers.
#   make run    install what is missing, build, start Vorlane
#   make test   install what is missing, build with sanitizers, run every test

SHELL := /bin/bash
JOBS ?= $(shell nproc)
TEST_BUILD := build
RUN_BUILD := build-run
BENCH_BUILD := build-bench
FUZZ_BUILD := build-fuzz
export CCACHE_SLOPPINESS := pch_defines,time_macros,include_file_mtime,include_file_ctime

.PHONY: deps run test build-run build-test bench fuzz fuzz-smoke format install clean

deps:
	@scripts/install-deps

$(RUN_BUILD)/build.ninja: | deps
	cmake -S . -B $(RUN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DVORLANE_BUILD_TESTS=OFF -DVORLANE_BUILD_BENCH=OFF

build-run: deps $(RUN_BUILD)/build.ninja
	cmake --build $(RUN_BUILD) -j $(JOBS)

# On a first start (no configuration yet) the demo library is added as a folder list.
run: build-run
	@scripts/run-vorlane $(RUN_BUILD)/app/vorlane --first-start-folder=$(CURDIR)/$(RUN_BUILD)/demo/Music

$(TEST_BUILD)/build.ninja: | deps
	cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
	    -DVORLANE_SANITIZE=ON -DVORLANE_WERROR=ON -DVORLANE_BUILD_BENCH=OFF

build-test: deps $(TEST_BUILD)/build.ninja
	cmake --build $(TEST_BUILD) -j $(JOBS)

# Every fuzz target runs for a minute after the tests.
test: build-test
	ctest --test-dir $(TEST_BUILD) --output-on-failure -j $(JOBS) --timeout 600
	$(MAKE) fuzz FUZZ_SECONDS=60

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORLANE_BUILD_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	bench/run-all $(BENCH_BUILD)

$(FUZZ_BUILD)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DVORLANE_FUZZ=ON -DVORLANE_BUILD_TESTS=OFF -DVORLANE_BUILD_BENCH=OFF

# FUZZ_SECONDS per target (default 60).
fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	fuzz/run-all $(FUZZ_BUILD) $${FUZZ_SECONDS:-60}

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

install: build-run
	cmake --install $(RUN_BUILD)

clean:
	rm -rf $(TEST_BUILD) $(RUN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
