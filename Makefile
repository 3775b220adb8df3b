# Thin driver around CMake.  make · make program · make check · make demo · make bench · make fuzz
#                            make windows · make check-windows
BUILD ?= build
WINBUILD ?= build-win
SANBUILD ?= build-asan
TSANBUILD ?= build-tsan
FUZZBUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
JOBS ?= 2
EXTRA_TARGETS ?=

.PHONY: all build program sanbuild tsanbuild fuzzbuild check demo bench fuzz clean deps windows check-windows windeps

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

# The program alone, without the tests (what the demo needs; the benchmarks add y8gen).
program: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target tsgraf $(EXTRA_TARGETS)

$(SANBUILD)/CMakeCache.txt:
	cmake -S . -B $(SANBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTSGRAF_SANITIZE=ON

sanbuild: $(SANBUILD)/CMakeCache.txt
	cmake --build $(SANBUILD) -j$(JOBS)

# The program and its scenario tests under the thread sanitizer.
$(TSANBUILD)/CMakeCache.txt:
	cmake -S . -B $(TSANBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTSGRAF_TSAN=ON

tsanbuild: $(TSANBUILD)/CMakeCache.txt
	cmake --build $(TSANBUILD) -j$(JOBS) --target tsgraf cli_tests

# All three builds must pass: the optimised one, the address and undefined-behaviour
# sanitizer one, and the thread sanitizer one (the scenario tests but the bad-input
# corpus, which adds nothing for threads and doubles the time).
check: deps
	$(MAKE) build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)
	$(MAKE) sanbuild
	cd $(SANBUILD) && ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(JOBS)
	$(MAKE) tsanbuild
	cd $(TSANBUILD) && TSAN_OPTIONS=halt_on_error=1:exitcode=66 \
	  ctest --output-on-failure -j$(JOBS) -E BadInput

$(FUZZBUILD)/CMakeCache.txt:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTSGRAF_FUZZ=ON -DTSGRAF_TESTS=OFF

fuzzbuild: $(FUZZBUILD)/CMakeCache.txt
	cmake --build $(FUZZBUILD) -j$(JOBS)

# Every fuzz target (or those in FUZZ_TARGETS) for FUZZ_SECONDS each, starting from its
# seeds under tests/fuzz/corpus.
fuzz:
	@scripts/install-deps --fuzz
	$(MAKE) fuzzbuild
	scripts/run-fuzz $(FUZZBUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

demo: deps
	$(MAKE) program
	scripts/run-demo $(BUILD)/tsgraf

bench: deps
	$(MAKE) program EXTRA_TARGETS=y8gen
	bench/run $(BUILD)/tsgraf

# The Windows console program, cross-compiled with MinGW-w64 and linked statically:
# $(WINBUILD)/tsgraf.exe. libpng and libgd are built once into $(WINBUILD)/deps.
windeps:
	@scripts/install-deps --windows
	scripts/build-windows-deps $(WINBUILD)/deps

$(WINBUILD)/CMakeCache.txt:
	cmake -S . -B $(WINBUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DTSGRAF_WIN_DEPS=$(abspath $(WINBUILD))/deps

windows: windeps $(WINBUILD)/CMakeCache.txt
	cmake --build $(WINBUILD) -j$(JOBS) --target tsgraf

# The unit and scenario tests of the Windows program, run under wine.
check-windows: windows
	cmake --build $(WINBUILD) -j$(JOBS)
	scripts/run-windows-tests $(WINBUILD) $(BUILD)

clean:
	rm -rf $(BUILD) $(SANBUILD) $(TSANBUILD) $(FUZZBUILD) $(WINBUILD) demo
