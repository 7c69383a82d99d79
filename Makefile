# Two commands do everything: `make run` and `make test`.  Both install what is
# missing first (tools/bootstrap.sh), then build with CMake.
JOBS ?= 2

# Installation: `make install PREFIX=/usr DESTDIR=/tmp/stage`.  BIN names
# the program to install (the release build unless given).
PREFIX ?= /usr/local
DESTDIR ?=
BIN ?= build/release/tarvo
INSTALL_STRIP ?=
INSTALLED = $(PREFIX)/bin/tarvo \
  $(PREFIX)/share/man/man1/tarvo.1 \
  $(PREFIX)/share/applications/tarvo.desktop \
  $(PREFIX)/share/icons/hicolor/scalable/apps/tarvo.svg \
  $(PREFIX)/share/icons/hicolor/48x48/apps/tarvo.png \
  $(PREFIX)/share/icons/hicolor/256x256/apps/tarvo.png

.PHONY: all deps build program run test bench screenshot clean install uninstall refresh-desktop deb clang-check fuzz

all: build

deps:
	@bash tools/bootstrap.sh

build: deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build/release -j$(JOBS)

# The program alone, without the test suite: what install and deb need.
program: deps
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build build/release -j$(JOBS) --target tarvo

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
# also runs the memory check, which ASan builds cannot (ulimit -v).  Their
# font cache is kept under build/, as in the ctest runs.
clang-check: deps
	cmake -S . -B build/clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build build/clang -j$(JOBS) --target tarvo tarvo_dsp_tests
	XDG_CACHE_HOME=$(CURDIR)/build/clang/cache build/clang/tests/tarvo_dsp_tests --gtest_brief=1
	XDG_CACHE_HOME=$(CURDIR)/build/clang/cache bash tools/memory_check.sh build/clang/tarvo build/clang/memory

bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTARVO_BENCH=ON >/dev/null
	cmake --build build/bench -j$(JOBS)
	@for b in build/bench/bench/bench_*; do [ -x "$$b" ] && XDG_CACHE_HOME=$(CURDIR)/build/bench/cache "$$b"; done

# Builds the fuzz targets with clang (ASan + UBSan + libFuzzer) and runs each
# for FUZZ_SECONDS; a finding stops it and names the reproducer.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?= probe load readers headerless tokens
fuzz: deps
	cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_FUZZ=ON >/dev/null
	cmake --build build/fuzz -j$(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@XDG_CACHE_HOME=$(CURDIR)/build/fuzz/cache bash fuzz/run.sh build/fuzz $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Regenerates the README screenshot through the automation interface.
screenshot: build
	bash tools/screenshot.sh build/release/tarvo docs/screenshot.png
	bash tools/screenshot.sh build/release/tarvo docs/spectrum.png spectrum

install: $(if $(filter build/release/tarvo,$(BIN)),program)
	install -D -m 755 $(INSTALL_STRIP) $(BIN) $(DESTDIR)$(PREFIX)/bin/tarvo
	install -D -m 644 data/tarvo.1 $(DESTDIR)$(PREFIX)/share/man/man1/tarvo.1
	install -D -m 644 data/tarvo.desktop $(DESTDIR)$(PREFIX)/share/applications/tarvo.desktop
	install -D -m 644 data/icons/tarvo.svg $(DESTDIR)$(PREFIX)/share/icons/hicolor/scalable/apps/tarvo.svg
	install -D -m 644 data/icons/tarvo-48.png $(DESTDIR)$(PREFIX)/share/icons/hicolor/48x48/apps/tarvo.png
	install -D -m 644 data/icons/tarvo-256.png $(DESTDIR)$(PREFIX)/share/icons/hicolor/256x256/apps/tarvo.png
	@$(MAKE) --no-print-directory refresh-desktop

uninstall:
	rm -f $(addprefix $(DESTDIR),$(INSTALLED))
	@$(MAKE) --no-print-directory refresh-desktop

# A real installation tells the desktop about the new icon and entry.
refresh-desktop:
	@if [ -z "$(DESTDIR)" ]; then \
	  ! command -v gtk-update-icon-cache >/dev/null || gtk-update-icon-cache -q -t -f $(PREFIX)/share/icons/hicolor || true; \
	  ! command -v update-desktop-database >/dev/null || update-desktop-database -q $(PREFIX)/share/applications || true; \
	fi

# A Debian package of the release build, checked by unpacking it.
deb: program
	bash tools/make_deb.sh build/release/tarvo build/deb

clean:
	rm -rf build
