#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
# the unit, tool and end-to-end tests; the unit tests again under ASan and
# UBSan; and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
./scripts/install-deps.sh

jobs=${JOBS:-2}
fuzz_seconds=${FUZZ_SECONDS:-10}
export SDL_AUDIODRIVER=dummy
export MESA_GL_VERSION_OVERRIDE=2.1

echo "== Build and test (RelWithDebInfo)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j"$jobs")

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCORSAVEL_SANITIZE=ON -DCORSAVEL_TOOLS=OFF -DCORSAVEL_BENCH=OFF
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$root/scripts/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j"$jobs")

echo "== Fuzz targets (${fuzz_seconds} s each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORSAVEL_FUZZ=ON
cmake --build build-fuzz -j"$jobs"
./scripts/run-fuzzers.sh build-fuzz "$fuzz_seconds"
