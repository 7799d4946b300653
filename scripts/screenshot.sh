#!/usr/bin/env bash
# Regenerates docs/window.png, the picture of the demo window in the README: the real window
# in the middle of a run with the initial variables, its plot panel showing the last step,
# drawn on Qt's offscreen platform (no display needed). The optional argument is the number
# of steps before the picture.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
scripts/ensure-packages.sh "${TAPWISE_BUILD_PACKAGES[@]}"

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAPWISE_BUILD_TESTS=OFF \
  -DTAPWISE_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-release --target tapwise-demo -- -j2

mkdir -p docs
QT_QPA_PLATFORM=offscreen build-release/app/tapwise-demo --screenshot docs/window.png \
  --ticks "${1:-6}"
echo "Wrote docs/window.png"
