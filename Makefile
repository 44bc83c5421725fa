# The two commands: `make run` and `make test`. Both install what is missing first.
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS = -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

.PHONY: deps build run test test-plain test-asan test-tsan bench install package clean

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B build $(CMAKE_FLAGS)
	cmake --build build

run: build
	scripts/run

# The whole suite three times: plain, with AddressSanitizer + UndefinedBehaviorSanitizer, with ThreadSanitizer.
test: deps
	$(MAKE) test-plain test-asan test-tsan

test-plain:
	scripts/test-build build

test-asan:
	scripts/test-build build-asan -DNOMVARA_SANITIZE=address

test-tsan:
	scripts/test-build build-tsan -DNOMVARA_SANITIZE=thread

# The speed goals, as ratios against baselines measured in the same run.
bench: build
	build/bench/lookup_bench

# `make install PREFIX=/somewhere` (default /usr/local).
PREFIX ?= /usr/local
install: build
	cmake --install build --prefix $(PREFIX)

# A Debian package in build/: nomvara_1.3.1_<arch>.deb
package: build
	cd build && cpack

clean:
	rm -rf build build-asan build-tsan
