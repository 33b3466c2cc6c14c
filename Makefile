# Front end of the build. `make demo` and `make test` work on a fresh Debian machine: they install
# what is missing first.
BUILD ?= build
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS ?= $(shell nproc)

.PHONY: all deps build install package demo test bench fuzz soak screenshots clean

all: build

deps:
	@scripts/install-deps

# Warnings are shown but never stop a user's build; `make test` builds with -DQUORVEL_WERROR=ON.
build: deps
	@cmake -S . -B $(BUILD) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_WERROR=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# `make install DESTDIR=/tmp/stage PREFIX=/usr`: the built tree's install rules (cmake/Install.cmake).
PREFIX ?= /usr/local
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# `make package`: a Release build without tests, then quorvel_<version>_<arch>.deb in the top folder.
package: deps
	@cmake -S . -B build-package -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
	@cmake --build build-package -j $(JOBS)
	@cd build-package && cpack -G DEB -B $(CURDIR)
	@rm -rf _CPack_Packages
	@ls -1 quorvel_*.deb

demo: build
	@scripts/run-demo $(BUILD)

test: deps
	@scripts/run-tests

bench: deps
	@cmake -S . -B build-bench -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BENCH=ON -DQUORVEL_TESTS=OFF >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@scripts/run-bench build-bench

fuzz: deps
	@scripts/run-fuzz

soak: build
	@scripts/run-soak $(BUILD)

screenshots: build
	@QT_QPA_PLATFORM=offscreen $(BUILD)/tests/quorvel_screenshots docs/screenshots

clean:
	rm -rf $(BUILD) build-*
