# Entry points. `make test` is what CI runs.
JOBS ?= $(shell nproc)
TEST_DIR := build/test
TSAN_DIR := build/tsan
RELEASE_DIR := build/release
BENCH_DIR := build/bench
GAME_DIR := build/game

.PHONY: deps test tsan tsan-run build run bench clean

deps:
	@bash scripts/install-deps

# Sanitized build (AddressSanitizer + UndefinedBehaviorSanitizer) and every
# test, then the threaded test programs under ThreadSanitizer.
test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQOR_SANITIZE=ON -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory tsan-run

# ThreadSanitizer cannot share a build with AddressSanitizer: a tree of its
# own with only the test programs that run threads. OpenAL Soft's null output
# keeps the uninstrumented sound server library out of the run.
tsan: deps tsan-run

tsan-run:
	cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQOR_TSAN=ON -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
	cmake --build $(TSAN_DIR) -j $(JOBS) --target test_engine test_net tsan_probe
	cd $(TSAN_DIR) && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan/system-libraries.supp" \
		ALSOFT_DRIVERS=null \
		ctest --output-on-failure -j $(JOBS) -R '^(engine|net|tsan_probe)$$'

build: deps
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQOR_TESTS=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

# Optimised client in the sample game folder.
run: build
	@if [ -x $(RELEASE_DIR)/tools/MakeGameFolder ]; then $(RELEASE_DIR)/tools/MakeGameFolder $(GAME_DIR); else mkdir -p $(GAME_DIR); fi
	cd $(GAME_DIR) && ../../$(RELEASE_DIR)/QOR.run go

bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQOR_TESTS=OFF -DQOR_BENCH=ON
	cmake --build $(BENCH_DIR) -j $(JOBS)
	@for b in $(BENCH_DIR)/bench/bench_*; do echo "== $$b"; $$b || exit 1; done

clean:
	rm -rf build
