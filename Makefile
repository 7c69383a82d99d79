# Two commands do everything: `make run` and `make test`.  Both install what is
# missing first (tools/bootstrap.sh), then build with CMake.
JOBS ?= 2

.PHONY: all deps build run test bench screenshot clean

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

bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTARVO_BENCH=ON >/dev/null
	cmake --build build/bench -j$(JOBS)
	@for b in build/bench/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

# Regenerates the README screenshot through the automation interface.
screenshot: build
	bash tools/screenshot.sh build/release/tarvo docs/screenshot.png

clean:
	rm -rf build
