# Front door: `make demo` builds and runs an example design, `make test`
# builds and runs every test. The build lives in build/.
BUILD ?= build
JOBS ?= 2
EXAMPLE ?= examples/lan_demets.dsn
# ON: warnings are errors, with -Wshadow -Wconversion -Wpedantic (as CI builds).
WERROR ?= OFF
# The fuzz run: its length in seconds, and clang with its fuzzer runtime.
FUZZ_SECONDS ?= 60
FUZZ_CXX ?= clang++-14
FUZZ_CORPUS ?= $(BUILD)-fuzz/corpus

.PHONY: all build demo test sanitize fuzz bench bench-check clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DGSDSIM_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	mkdir -p out
	cd out && ../$(BUILD)/gsdsim < ../$(EXAMPLE)
	@echo "---- report ----"
	@# The report the run just wrote is the newest file in out/.
	@cd out && cat "$$(ls -t | head -n 1)"

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Every test and every example design, built with AddressSanitizer and
# UndefinedBehaviorSanitizer (any report fails the run).
sanitize:
	cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGSDSIM_SANITIZE=ON
	cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:abort_on_error=1 ctest --output-on-failure -j $(JOBS)

# Fuzzes the design readers for FUZZ_SECONDS seconds in all, half each:
# the positional reader, starting from the example designs, the reference
# designs and the bad-input table, then the keyed (TOML) reader, starting
# from the keyed examples and the bad keyed designs. New inputs are kept in
# FUZZ_CORPUS and FUZZ_CORPUS-keyed; a finding is written to
# $(BUILD)-fuzz/findings/ and fails the run.
fuzz:
	cmake -S . -B $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGSDSIM_BUILD_FUZZ=ON \
	  -DGSDSIM_BUILD_TESTS=OFF -DCMAKE_CXX_COMPILER=$(FUZZ_CXX)
	cmake --build $(BUILD)-fuzz -j $(JOBS) --target gsdsim_fuzz_design gsdsim_fuzz_keyed
	mkdir -p $(FUZZ_CORPUS) $(FUZZ_CORPUS)-keyed $(BUILD)-fuzz/findings
	ASAN_OPTIONS=detect_leaks=0 $(BUILD)-fuzz/fuzz/gsdsim_fuzz_design \
	  -max_total_time=$$(( ($(FUZZ_SECONDS) + 1) / 2 )) -timeout=10 -max_len=131072 -rss_limit_mb=2048 \
	  -print_final_stats=1 -dict=fuzz/design.dict -artifact_prefix=$(BUILD)-fuzz/findings/ \
	  $(FUZZ_CORPUS) examples tests/e2e/designs tests/bad_designs
	ASAN_OPTIONS=detect_leaks=0 $(BUILD)-fuzz/fuzz/gsdsim_fuzz_keyed \
	  -max_total_time=$$(( $(FUZZ_SECONDS) / 2 )) -timeout=10 -max_len=131072 -rss_limit_mb=2048 \
	  -print_final_stats=1 -dict=fuzz/keyed.dict -artifact_prefix=$(BUILD)-fuzz/findings/keyed- \
	  $(FUZZ_CORPUS)-keyed examples tests/bad_keyed

bench:
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DGSDSIM_BUILD_BENCH=ON -DGSDSIM_BUILD_TESTS=OFF
	cmake --build $(BUILD)-bench -j $(JOBS) --target gsdsim_bench
	$(BUILD)-bench/bench/gsdsim_bench

# Builds every benchmark (so that none can rot) and runs the whole-run
# benchmark once on the small design, which checks its phase-by-phase loop
# against a plain run; no timing is judged.
bench-check:
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DGSDSIM_BUILD_BENCH=ON \
	  -DGSDSIM_BUILD_TESTS=OFF -DGSDSIM_WERROR=$(WERROR)
	cmake --build $(BUILD)-bench -j $(JOBS)
	$(BUILD)-bench/bench/gsdsim_whole_run --runs 1 --threads 1,2 bench/designs/small.dsn

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-asan $(BUILD)-fuzz out
