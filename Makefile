# Thin wrapper over the CMake presets. `make run` and `make test` first make
# sure the Debian packages are present (scripts/bootstrap.sh).
PRESET ?= release
JOBS ?= $(shell nproc)

.PHONY: all bootstrap configure build run robot console test asan tsan lint fuzz bench beacons format format-check package clean

all: build

bootstrap:
	@bash scripts/bootstrap.sh

# KIV_WERROR=ON (as CI sets it) makes the compiler's warnings errors.
configure: bootstrap
	@cmake --preset $(PRESET) $(if $(KIV_WERROR),-DKIV_WERROR=$(KIV_WERROR)) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

# The console driven by the virtual robot (scripts/run.sh; SCENARIO=... picks
# another file of data/robot/).
SCENARIO ?= data/robot/diagonale.scn
run: build
	@bash scripts/run.sh $(PRESET) $(SCENARIO)

# Restarts the virtual robot of `make run` on the same link (another
# terminal); the console reconnects by itself.
robot: build
	@bash scripts/robot.sh $(PRESET) $(SCENARIO)

# The console alone, on the ports of scom.ini in the current folder.
console: build
	./build/$(PRESET)/console/kiv --weights data/beacons.wgh

test: build
	@ctest --preset $(PRESET) -j $(JOBS)

asan:
	@$(MAKE) --no-print-directory test PRESET=asan

tsan:
	@$(MAKE) --no-print-directory test PRESET=tsan

# clang-tidy over the project's own sources (.clang-tidy: bug-prone constructs
# and needless costs); any finding fails.
lint: build
	@run-clang-tidy -p build/$(PRESET) -j $(JOBS) -quiet \
		'^$(CURDIR)/(core|neural|trainer|world|link|robot|console|calibration|tools|bench|tests)/' >build/lint.log 2>&1 \
		|| { grep -E 'error:|warning:' build/lint.log; echo "lint: findings above (build/lint.log)"; exit 1; }
	@echo "lint: clean"

# The fuzz targets of tests/fuzz (clang-14, ASan + UBSan), each for
# FUZZ_SECONDS from its seed corpus (tests/fuzz/corpus/<name>); what they
# find new is kept in build/fuzz/corpus/<name>. A broken invariant fails.
FUZZ_SECONDS ?= 60
fuzz:
	@bash scripts/bootstrap.sh fuzz
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS) --target kiv_fuzzers
	@bash scripts/fuzz.sh $(FUZZ_SECONDS)

# The Debian package (CPack) of the build, in build/package.
package: build
	@cpack -G DEB --config build/$(PRESET)/CPackConfig.cmake -B build/package
	@ls build/package/*.deb

bench: build
	@for b in build/$(PRESET)/bench/bench_*; do echo "== $$b"; $$b; done

# Rebuilds the bundled position network: training set from the beacon model,
# training with a fixed seed, then the accuracy check.
beacons: build
	./build/$(PRESET)/tools/beacons/kiv-beacons generate --dir data
	cd build/$(PRESET) && ./tools/kiv-train/kiv-train --params ../../data/beacons.prm \
		--data ../../data/beacons.dat --out ../../data/beacons.wgh --seed 1
	./build/$(PRESET)/tools/beacons/kiv-beacons check --weights data/beacons.wgh --max-rms 5 --max-error 12.5

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

# Fails when `make format` would change a file (CI runs it first).
format-check:
	@log=$$(mktemp); git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run -Werror 2>"$$log" \
		|| { grep -E 'error:' "$$log" | cut -d: -f1 | sort -u; rm -f "$$log"; \
		     echo "format: the files above differ from clang-format (make format)"; exit 1; }; \
		rm -f "$$log"; echo "format: clean"

clean:
	rm -rf build
