#!/usr/bin/env bash
# Installs what is missing, builds in Release in build-release/, and starts the demo: the
# window when a display is available, the headless runner tapwise-sim otherwise.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/ensure-packages.sh "${TAPWISE_BUILD_PACKAGES[@]}"

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAPWISE_BUILD_TESTS=OFF \
  -DTAPWISE_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-release -- -j"$(nproc)"

# The window when there is a display to show it on.
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  if [ -x build-release/app/tapwise-demo ]; then
    exec build-release/app/tapwise-demo
  fi
  echo "Qt 6 Widgets was not found, so the window is not built." >&2
fi
# Otherwise the demo runs headless: the faucet simulation with the initial variables, its log
# on standard output. Arguments go to tapwise-sim (see build-release/tools/tapwise-sim --help).
echo "No display for the demo window: running the faucet simulation headless." >&2
exec build-release/tools/tapwise-sim "$@"
