#!/usr/bin/env bash
# Installs what is missing, builds in Release in build-release/, and starts the demo.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/ensure-packages.sh "${TAPWISE_BUILD_PACKAGES[@]}"

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAPWISE_BUILD_TESTS=OFF \
  -DTAPWISE_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-release -- -j"$(nproc)"

echo "Tapwise is built in build-release/: the libraries libtapwise_*.a."
echo "The demo window and the headless faucet simulation are not there yet."
