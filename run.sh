#!/usr/bin/env bash
# Installs what is missing, builds in Release in build-release/, and starts the demo.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/ensure-packages.sh "${TAPWISE_BUILD_PACKAGES[@]}"

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAPWISE_BUILD_TESTS=OFF \
  -DTAPWISE_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-release -- -j"$(nproc)"

# Without a display (and until the demo window exists) the demo runs headless: the faucet
# simulation with the initial variables, its log on standard output. Arguments go to
# tapwise-sim (see build-release/tools/tapwise-sim --help).
echo "No demo window available: running the faucet simulation headless." >&2
exec build-release/tools/tapwise-sim "$@"
