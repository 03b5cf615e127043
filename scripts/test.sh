#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
# the unit, tool and end-to-end tests; the unit, end-to-end and fault tests
# again under ASan and UBSan; and a short run of every fuzz target.
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

echo "== Unit, end-to-end and fault tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# The game, the harness and the bot under the sanitizers, on the Data folder
# the build above forged. Each test's sanitizer options (any report fails
# it, leaks included) come from CMakeLists.txt.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCORSAVEL_SANITIZE=ON -DCORSAVEL_TOOLS=ON \
  -DCORSAVEL_BENCH=OFF -DCORSAVEL_DATA_DIR="$root/build/Data"
cmake --build build-asan -j"$jobs"
(cd build-asan && xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j"$jobs")

echo "== Fuzz targets (${fuzz_seconds} s each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORSAVEL_FUZZ=ON
cmake --build build-fuzz -j"$jobs"
./scripts/run-fuzzers.sh build-fuzz "$fuzz_seconds"
