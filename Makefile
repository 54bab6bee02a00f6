# Entry point: make deps | make | make test | make demo | make format
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

NATIVE := build/native
WIN32 := build/win32
WIN64 := build/win64

.PHONY: all deps native win32 win64 test test-native test-win32 test-win64 demo format clean

all: native win32 win64

deps:
	@scripts/deps.sh

$(NATIVE)/build.ninja:
	cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

$(WIN32)/build.ninja:
	cmake -S . -B $(WIN32) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

$(WIN64)/build.ninja:
	cmake -S . -B $(WIN64) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

native: $(NATIVE)/build.ninja
	cmake --build $(NATIVE) -j $(JOBS)

win32: $(WIN32)/build.ninja
	cmake --build $(WIN32) -j $(JOBS)

win64: $(WIN64)/build.ninja
	cmake --build $(WIN64) -j $(JOBS)

# Each test may take 15 minutes at most, so one that hangs cannot stall the
# run. Native first, then the 64-bit Windows tree (runs on every x86_64 host), then
# the shipped 32-bit tree where this host can start 32-bit programs.
test: deps
	@$(MAKE) --no-print-directory all
	@status=0; \
	$(MAKE) --no-print-directory test-native || status=1; \
	$(MAKE) --no-print-directory test-win64 || status=1; \
	$(MAKE) --no-print-directory test-win32 || status=1; \
	[ $$status -eq 0 ] || scripts/failure-summary.sh $(NATIVE) $(WIN64) $(WIN32); \
	exit $$status

test-native: native
	@echo "== native tests =="
	ctest --test-dir $(NATIVE) --output-on-failure --timeout 900 -j $(JOBS)

test-win64: win64
	@scripts/wine-tests.sh $(WIN64)

test-win32: win32
	@scripts/wine-tests.sh $(WIN32)

demo: deps
	@$(MAKE) --no-print-directory all
	scripts/demo.sh

# One style for every C and C++ source of ours (.clang-format).
format:
	git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format -i

clean:
	rm -rf build dist out
