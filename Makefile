# SPDX-License-Identifier: GPL-3.0-or-later
# Front door: `make run` and `make test` work on a fresh Debian 12, 13 or
# testing machine. `make run` installs what the program needs, `make test`
# what the tests need too.
JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
DESTDIR ?=

RELEASE ?= trixie

.PHONY: all deps deps-program build program run install uninstall package test test-asan \
	test-plain test-release bench fuzz fuzz-smoke format format-check clean

all: build

deps:
	@bash scripts/install-deps.sh build package test

deps-program:
	@bash scripts/install-deps.sh build

# A build folder made for the program alone needs no test libraries; `make
# build` turns the tests and benchmarks on in it.
$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESUKO_WERROR=ON \
		-DTESUKO_TESTS=OFF -DTESUKO_BENCH=OFF $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	@grep -q '^TESUKO_TESTS:BOOL=ON' $(BUILD)/CMakeCache.txt || \
		cmake -S . -B $(BUILD) -DTESUKO_TESTS=ON -DTESUKO_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)

# The program and what installing it needs, without the tests and benchmarks.
# Configured again first: a folder built before a pull knows no target added since.
program: deps-program $(BUILD)/CMakeCache.txt
	@cmake -S . -B $(BUILD) >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target tesuko tesuko-tray tesuko_compressed_docs

run: program
	@bash scripts/run.sh $(BUILD)

# `make install PREFIX=/usr DESTDIR=/tmp/root`; PREFIX is /usr/local by default.
install: program
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)" --strip

# What the last `make install` installed, with the same DESTDIR.
uninstall:
	sed 's|^|$(DESTDIR)|' $(BUILD)/install_manifest.txt | tr '\n' '\0' | xargs -0 -r rm -f --

# A Debian package in $(BUILD): `sudo apt install ./$(BUILD)/tesuko_*.deb`.
package: program
	@bash scripts/install-deps.sh package
	cd $(BUILD) && cpack -G DEB

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTESUKO_WERROR=ON -DTESUKO_SANITIZE=ON $(CMAKE_FLAGS)

# Every test program gives itself a private home; HOME points at an empty
# folder during the run, and anything a test leaves there escaped that.
define run-tests
	rm -rf $(1)/guarded-home && mkdir -p $(1)/guarded-home
	cd $(1) && HOME=$(abspath $(1))/guarded-home ctest --output-on-failure -j $(JOBS)
	@test -z "$$(ls -A $(1)/guarded-home)" || \
		{ echo "A test wrote into the home folder:"; ls -AR $(1)/guarded-home; exit 1; }
endef

test-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	$(call run-tests,$(ASAN_BUILD))

test-plain: build
	$(call run-tests,$(BUILD))

# The plain suite, the real desktops included, in a chroot of another Debian
# release (made once and kept in /var/cache/tesuko-chroot): `make
# test-release RELEASE=forky` for Debian testing.
test-release:
	@bash scripts/install-deps.sh release
	bash scripts/test-release.sh $(RELEASE)

# The sanitizer run comes first so that the plain run's ctest summary is the last thing printed.
test: format-check test-asan fuzz-smoke test-plain

$(BENCH_BUILD)/CMakeCache.txt:
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

bench: deps $(BENCH_BUILD)/CMakeCache.txt
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@bash bench/run.sh $(BENCH_BUILD)

$(FUZZ_BUILD)/CMakeCache.txt:
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESUKO_FUZZ=ON \
		-DTESUKO_TESTS=OFF -DTESUKO_BENCH=OFF $(CMAKE_FLAGS)

fuzz: deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets
	bash tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# A few seconds per target: enough to catch a harness or invariant that broke.
fuzz-smoke:
	$(MAKE) fuzz FUZZ_SECONDS=5

SOURCES = $(shell git ls-files '*.cpp' '*.h')

format:
	clang-format -i $(SOURCES)

format-check: deps
	@clang-format --dry-run --Werror $(SOURCES)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
