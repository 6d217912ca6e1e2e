# The two commands of the README: `make run` and `make test`. Both install what is missing first.
# `make check-sanitize` builds the tests and fuzz harnesses with the sanitizers apart and runs them.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= 2
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 15
# Any report stops the program with a failure; leaks count too.
SANITIZER_ENV = ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1 \
                UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: all setup configure build run test bench clean check-sanitize

all: build

setup:
	@scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

test: build
	@ctest --test-dir $(BUILD) --no-tests=error --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/*; do echo "== $$b"; $$b; done

check-sanitize:
	@scripts/setup.sh --sanitize
	@cmake -S . -B $(SANITIZE_BUILD) -DJXC_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_C_COMPILER=clang-16 -DCMAKE_CXX_COMPILER=clang++-16 >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@$(SANITIZER_ENV) ctest --test-dir $(SANITIZE_BUILD) --no-tests=error --output-on-failure -j $(JOBS)
	@$(SANITIZER_ENV) scripts/fuzz.sh $(SANITIZE_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
