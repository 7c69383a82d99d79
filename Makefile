# Two commands do everything: `make run` and `make test`.  Both install what is
# missing first (tools/bootstrap.sh), then build with CMake.
JOBS ?= 2

.PHONY: all deps build run test clang-check bench screenshot fuzz clean

all: build

deps:
	@bash tools/bootstrap.sh

build: deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build/release -j$(JOBS)

run: build
	cd samples && ../build/release/tarvo $$(ls *.wav *.snd *.ils *.mat 2>/dev/null | head -n 5)

test: deps
	cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DTARVO_SANITIZE=ON >/dev/null
	cmake --build build/asan -j$(JOBS)
	cd build/asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j$(JOBS)
	@$(MAKE) --no-print-directory clang-check

# The program and the numerics tests built by clang as well, optimised: the
# code must stay portable between the two compilers.  The optimised program
# also runs the memory check, which ASan builds cannot (ulimit -v).
clang-check: deps
	cmake -S . -B build/clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build/clang -j$(JOBS) --target tarvo tarvo_dsp_tests
	build/clang/tests/tarvo_dsp_tests --gtest_brief=1
	bash tools/memory_check.sh build/clang/tarvo build/clang/memory

bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTARVO_BENCH=ON >/dev/null
	cmake --build build/bench -j$(JOBS)
	@for b in build/bench/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# Builds the fuzz targets with clang (ASan + UBSan + libFuzzer) and runs each
# for FUZZ_SECONDS; a finding stops it and names the reproducer.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= probe load readers headerless tokens
fuzz: deps
	cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_FUZZ=ON >/dev/null
	cmake --build build/fuzz -j$(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@bash fuzz/run.sh build/fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Regenerates the README screenshot through the automation interface.
screenshot: build
	bash tools/screenshot.sh build/release/tarvo docs/screenshot.png

clean:
	rm -rf build
