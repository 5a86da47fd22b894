# The commands of the README. Everything else is CMake.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test run bench figures clean check-sanitize fuzz package check-package

all: build

deps:
	bash tools/install-deps.sh

# The install prefix is the package's, /usr: the programs look for their table and manual there once
# installed, and in the build tree before.
configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The program runs in run/, a working folder holding the table and the example result file.
run: build
	mkdir -p run
	cp -n data/MUs2022.dat run/ 2>/dev/null || true
	cp -n examples/ct-120kv.csv run/ 2>/dev/null || true
	cd run && ../$(BUILD_DIR)/ui/halvorn

# The figures of the manual and the README, redrawn by the program's own screens from the example.
figures: configure
	cmake --build $(BUILD_DIR) --target halvorn-figures -j $(JOBS)
	QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/figures/halvorn-figures docs/figures

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer (any report fails the
# test), benchmarks off. Every leak fails the test that shows it, except one inside a library we use that
# no code of ours allocates, listed in tests/sanitize/lsan.supp (none so far).
SANITIZE_DIR ?= build-sanitize
SANITIZE_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 QT_QPA_PLATFORM=offscreen
check-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVORN_SANITIZE=ON -DHALVORN_BUILD_BENCH=OFF
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && $(SANITIZE_ENV) ctest --output-on-failure -j $(JOBS)

# The fuzz targets (clang, libFuzzer, with both sanitizers), each run for a fixed number of executions from
# its committed seeds (tests/fuzz/<target>/seeds); any finding fails.
FUZZ_DIR ?= build-fuzz
FUZZ_SCALE ?= 1
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DHALVORN_BUILD_FUZZ=ON -DHALVORN_BUILD_GUI=OFF -DHALVORN_BUILD_BENCH=OFF -DHALVORN_BUILD_TESTS=OFF
	cmake --build $(FUZZ_DIR) --target fuzz-targets -j $(JOBS)
	bash tests/fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SCALE)

# The Debian package, $(BUILD_DIR)/halvorn_<version>_<arch>.deb (CPack; its library dependencies from
# dpkg-shlibdeps).
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# The package installed, run and purged again as on a user's machine (as root): tools/check-package.sh.
check-package: package
	bash tools/check-package.sh $(BUILD_DIR)

bench: build
	for b in $(BUILD_DIR)/bench/*_bench; do $$b; done

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
