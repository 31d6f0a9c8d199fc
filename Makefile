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
	cmake --build $(TSAN_DIR) -j $(JOBS) --target test_engine test_net test_startup test_screens_game tsan_probe
	cd $(TSAN_DIR) && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan/system-libraries.supp" \
		ALSOFT_DRIVERS=null \
		ctest --output-on-failure -j $(JOBS) -R '^(engine|net|startup|screens_game|tsan_probe)$$'

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
	@rm -rf $(BENCH_DIR)/results && mkdir -p $(BENCH_DIR)/results
	@for b in $(BENCH_DIR)/bench/bench_*; do echo "== $$b"; \
		$$b --benchmark_out=$(BENCH_DIR)/results/$${b##*/}.json --benchmark_out_format=json || exit 1; done
	@python3 scripts/bench-table bench/Targets.tsv $(BENCH_DIR)/results

clean:
	rm -rf build

# Fuzzing with clang and libFuzzer: every target in tests/fuzz/ runs for
# FUZZ_SECONDS from its committed corpus, and what it finds that adds coverage
# is merged (minimized) into tests/fuzz/corpus/<target>/. A crash stops the run
# and leaves its input in the build folder.
FUZZ_DIR := build/fuzz
FUZZ_SECONDS ?= 60

.PHONY: fuzz
fuzz:
	@bash scripts/install-deps fuzz
	CC=clang-16 CXX=clang++-16 cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
		-DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DQOR_TESTS=OFF -DQOR_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_all
	$(FUZZ_DIR)/tests/fuzz/fuzz_seeds tests/fuzz/corpus
	@set -e; for t in $(FUZZ_DIR)/tests/fuzz/fuzz_*; do \
		name=$${t##*/fuzz_}; [ "$$name" = seeds ] && continue; \
		corpus=tests/fuzz/corpus/$$name; found=$(FUZZ_DIR)/found/$$name; \
		mkdir -p $$corpus $$found; \
		echo "== fuzz $$name ($(FUZZ_SECONDS) s)"; \
		(cd $(FUZZ_DIR) && ASAN_OPTIONS=detect_leaks=1 ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-16/bin/llvm-symbolizer ../../$$t -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 \
			-malloc_limit_mb=2048 -timeout=10 -max_len=4096 -print_final_stats=0 \
			-artifact_prefix=found/$$name/ found/$$name ../../$$corpus) ; \
		$$t -merge=1 -rss_limit_mb=2048 -max_len=4096 $$corpus $$found 2>&1 | tail -1; \
	done
