# The two commands: `make run` and `make test`. Both install what is missing first.
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

.PHONY: deps build run test test-plain test-asan test-tsan test-fuzz fuzz bench install package clean

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B build $(CMAKE_FLAGS)
	cmake --build build

run: build
	scripts/run

# The whole suite three times: plain, with AddressSanitizer + UndefinedBehaviorSanitizer, with ThreadSanitizer;
# then each libFuzzer target for 20 seconds from its seed corpus.
test: deps
	$(MAKE) test-plain test-asan test-tsan test-fuzz

test-plain:
	scripts/test-build build

# The sanitizer builds run the 10,000-lookup burst with fewer lookups: every thread costs them far more.
test-asan:
	NOMVARA_BURST=2000 scripts/test-build build-asan -DNOMVARA_SANITIZE=address

test-tsan:
	NOMVARA_BURST=2000 scripts/test-build build-tsan -DNOMVARA_SANITIZE=thread

test-fuzz:
	scripts/fuzz 20

# Each fuzz target for FUZZ_SECONDS (default ten minutes).
FUZZ_SECONDS ?= 600
fuzz: deps
	scripts/fuzz $(FUZZ_SECONDS)

# The speed goals, as ratios against baselines measured in the same run.
bench: build
	build/bench/lookup_bench
	build/bench/startup_bench
	build/bench/repaint_bench
	tests/e2e/netns-run --timeout 5 -- build/bench/burst_bench
	tests/e2e/netns-run --timeout 5 -- build/bench/ipv6_bench
	tests/e2e/netns-run --timeout 5 -- build/bench/soak_bench

# `make install PREFIX=/somewhere` (default /usr/local).
PREFIX ?= /usr/local
install: build
	cmake --install build --prefix $(PREFIX)

# A Debian package in build/: nomvara_1.3.1_<arch>.deb
package: build
	cd build && cpack

clean:
	rm -rf build build-asan build-tsan build-fuzz
