# Two entry points for newcomers:
#   make run   builds an optimised solver and starts it on the bundled practice puzzle in play/
#   make test  builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test
JOBS ?= $(shell nproc)
RELEASE := build/release
PGO_RELEASE := build/release-pgo
CHECK := build/check
FUZZ := build/fuzz
FUZZ_SECONDS ?= 60
PACKAGE := build/package
PREFIX ?= /usr/local

.PHONY: run test release release-pgo check-build cluster-test fuzz fuzz-smoke format clean
.PHONY: install package package-test man-lint

release:
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSALY_TESTS=OFF -DTESSALY_NATIVE=ON
	cmake --build $(RELEASE) -j $(JOBS)

# The same programs built by clang with profile-guided optimisation, in build/release-pgo/: an
# instrumented bench is built and trained in build/release-pgo-instrumented/ first. Opt-in: it
# measured no steady gain over make release (docs/building.md).
release-pgo:
	JOBS=$(JOBS) bash cmake/pgo_build.sh $(PGO_RELEASE) -DTESSALY_NATIVE=ON

run: release
	mkdir -p play
	test -f play/k7pieces.txt || cp puzzles/practice/k7pieces.txt play/k7pieces.txt
	cd play && ../$(RELEASE)/tessaly

check-build:
	cmake -S . -B $(CHECK) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSALY_SANITIZE=ON -DCMAKE_CXX_FLAGS=-O1 \
		-DTESSALY_WERROR=ON
	cmake --build $(CHECK) -j $(JOBS)

test: check-build
	cd $(CHECK) && ctest --output-on-failure -j $(JOBS)

# Starts a one-node Slurm cluster on this machine (needs root; installs Slurm and munge when
# missing) and runs deploy/slurm/tessaly.sbatch on it.
cluster-test:
	bash deploy/slurm/cluster_test.sh

# libFuzzer targets of every input format (clang, in build/fuzz), and a bounded run of each from
# its committed seed corpus (FUZZ_SECONDS each) that fails when one finds a crash.
fuzz:
	cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
		-DCMAKE_CXX_FLAGS=-O1 -DTESSALY_FUZZ=ON -DTESSALY_TESTS=OFF
	cmake --build $(FUZZ) -j $(JOBS) --target fuzz_targets

fuzz-smoke: fuzz
	bash fuzz/smoke.sh $(FUZZ)/fuzz $(FUZZ_SECONDS)

# The release programs, man pages and batch script under PREFIX (bin/, share/man/man1/ and man5/,
# share/tessaly/).
install: release
	cmake --install $(RELEASE) --prefix $(PREFIX)

# The Debian package, built in its own tree for a portable processor baseline (not -march=native),
# written as build/release/tessaly_VERSION_ARCH.deb.
package:
	cmake -S . -B $(PACKAGE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSALY_TESTS=OFF \
		-DTESSALY_NATIVE=OFF -DTESSALY_WERROR=ON -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build $(PACKAGE) -j $(JOBS)
	cd $(PACKAGE) && cpack -G DEB
	mkdir -p $(RELEASE)
	cp $(PACKAGE)/tessaly_*.deb $(RELEASE)/

# Builds the package and tries it: its file list, and its programs unpacked into a temporary root.
package-test: package
	bash deploy/package_test.sh

# mandoc's lint of every man page, sections 1 and 5; a STYLE warning (a line over 80 bytes, say)
# fails it too.
man-lint: check-build
	for page in $(CHECK)/man/*.1 $(CHECK)/man/*.5; do mandoc -T lint "$$page" || exit 1; done

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
