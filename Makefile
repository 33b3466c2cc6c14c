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

# `make package`: a Release build without tests with Debian's hardening and reproducibility flags
# (dpkg-buildflags: stack protector, _FORTIFY_SOURCE, relro and bind-now, -ffile-prefix-map), then
# quorvel_<version>_<arch>.deb and quorvel-gui_<version>_<arch>.deb in the top folder. The flags are
# given on every configure, so a build-package/ made before with other flags gets these.
DPKG_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package: deps
	@cmake -S . -B build-package -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_CXX_FLAGS="$$($(DPKG_FLAGS) CXXFLAGS) $$($(DPKG_FLAGS) CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DPKG_FLAGS) LDFLAGS)" -DCMAKE_MODULE_LINKER_FLAGS="$$($(DPKG_FLAGS) LDFLAGS)" \
	  -DCMAKE_SHARED_LINKER_FLAGS="$$($(DPKG_FLAGS) LDFLAGS)" >/dev/null
	@cmake --build build-package -j $(JOBS)
	@cd build-package && cpack -G DEB -B $(CURDIR)
	@rm -rf _CPack_Packages
	@ls -1 quorvel_*.deb quorvel-gui_*.deb

demo: build
	@scripts/run-demo $(BUILD)

test: deps
	@scripts/run-tests

# The benchmarks also compare quorvel with other programs, which only they install.
bench:
	@scripts/install-deps --bench
	@cmake -S . -B build-bench -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BENCH=ON -DQUORVEL_TESTS=OFF >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@scripts/run-bench build-bench

fuzz: deps
	@scripts/run-fuzz

soak: build
	@scripts/run-soak $(BUILD)

screenshots: build
	@cmake --build $(BUILD) -j $(JOBS) --target quorvel_screenshots
	@QT_QPA_PLATFORM=offscreen $(BUILD)/tests/quorvel_screenshots docs/screenshots

clean:
	rm -rf $(BUILD) build-*
