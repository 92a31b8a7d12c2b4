# make       installs what is missing, builds the five DLLs into dist/ and
#            shows the driver working against the simulated instrument
# make test  installs what is missing, builds and runs every test
# make bench prints the benchmark figures
# make endurance runs the fault and long-run tests at full size
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps build dist demo test bench endurance clean

all: demo

deps:
	tools/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

dist: build
	mkdir -p dist
	cp $(BUILD)/win/bin/vantor_jenway_com[1-5].dll dist/

demo: dist
	tools/run-demo.sh

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j 2

bench: deps
	cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVJ_SANITIZE=OFF
	cmake --build $(BUILD)-bench -j $(JOBS)
	tools/run-bench.sh $(BUILD)-bench

endurance: build
	VJ_ENDURANCE_SCALE=full ctest --test-dir $(BUILD) --output-on-failure -R endurance_test

clean:
	rm -rf $(BUILD) $(BUILD)-bench dist
