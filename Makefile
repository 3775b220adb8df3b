# Thin driver around CMake.  make · make check · make demo · make bench
BUILD ?= build
JOBS ?= 2

.PHONY: all build check demo bench clean deps

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

check: deps
	$(MAKE) build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

demo: deps
	$(MAKE) build
	scripts/run-demo $(BUILD)/tsgraf

bench: deps
	$(MAKE) build
	bench/run $(BUILD)/tsgraf

clean:
	rm -rf $(BUILD) demo
