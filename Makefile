# The two commands of the README (`make run`, `make test`) do all the set-up:
# packages, build, Wine prefix. BUILD_DIR picks the build folder.
BUILD_DIR ?= build
export BUILD_DIR

.PHONY: all deps build prefix run test bench dist clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@scripts/build.sh

prefix: deps
	@scripts/setup-prefix.sh

run: build prefix
	@scripts/run-zav.sh

test: build prefix
	@scripts/run-tests.sh

bench: build prefix
	@scripts/run-bench.sh

# Orrivane-<version>.zip in the build folder, then a check that it starts.
dist: build prefix
	@scripts/make-dist.sh
	@scripts/check-dist.sh

clean:
	rm -rf $(BUILD_DIR)
