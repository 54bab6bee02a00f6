# Entry point: make deps | make | make test | make demo | make format
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

NATIVE := build/native
WIN32 := build/win32

.PHONY: all deps native win32 test test-native test-win32 demo format clean

all: native win32

deps:
	@scripts/deps.sh

$(NATIVE)/build.ninja:
	cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

$(WIN32)/build.ninja:
	cmake -S . -B $(WIN32) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

native: $(NATIVE)/build.ninja
	cmake --build $(NATIVE) -j $(JOBS)

win32: $(WIN32)/build.ninja
	cmake --build $(WIN32) -j $(JOBS)

test: deps
	@$(MAKE) --no-print-directory all
	@status=0; \
	$(MAKE) --no-print-directory test-native || status=1; \
	$(MAKE) --no-print-directory test-win32 || status=1; \
	exit $$status

test-native: native
	@echo "== native tests =="
	ctest --test-dir $(NATIVE) --output-on-failure -j $(JOBS)

test-win32: win32
	@echo "== Windows tests under Wine =="
	scripts/with-display.sh ctest --test-dir $(WIN32) --output-on-failure -j $(JOBS)

demo: deps
	@$(MAKE) --no-print-directory all
	OVEL_WIN32_TREE=$(WIN32) scripts/demo.sh

# One style for every C and C++ source of ours (.clang-format).
format:
	git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format -i

clean:
	rm -rf build dist out
