# The commands of the README. Everything else is CMake.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test run bench figures clean

all: build

deps:
	bash tools/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

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

bench: build
	for b in $(BUILD_DIR)/bench/*_bench; do $$b; done

clean:
	rm -rf $(BUILD_DIR)
