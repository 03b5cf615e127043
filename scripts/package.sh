#!/usr/bin/env bash
# Installs what is missing, builds the game and its data in build-release
# and makes the Debian package build-release/package/corsavel_*.deb.
# Install it with: sudo apt install ./build-release/package/corsavel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DCORSAVEL_TESTS=OFF -DCORSAVEL_BENCH=OFF
cmake --build build-release -j2 --target corsavel corsavel_data
(cd build-release && cpack -G DEB)
ls -l build-release/package/corsavel_*.deb
