# Front door: `make demo` builds and runs an example design, `make test`
# builds and runs every test. The build lives in build/.
BUILD ?= build
JOBS ?= 2
EXAMPLE ?= examples/lan_demets.dsn

.PHONY: all build demo test bench clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	mkdir -p out
	cd out && ../$(BUILD)/gsdsim < ../$(EXAMPLE)
	@echo "---- report ----"
	@cd out && cat "$$(sed -n 14p ../$(EXAMPLE) | awk '{print $$1}')"

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench:
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DGSDSIM_BUILD_BENCH=ON -DGSDSIM_BUILD_TESTS=OFF
	cmake --build $(BUILD)-bench -j $(JOBS) --target gsdsim_bench
	$(BUILD)-bench/bench/gsdsim_bench

clean:
	rm -rf $(BUILD) $(BUILD)-bench out
