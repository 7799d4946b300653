#!/usr/bin/env bash
# Installs what is missing, checks formatting, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/, and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
scripts/ensure-packages.sh "${TAPWISE_BUILD_PACKAGES[@]}"

# The number-text tests prove independence from a comma-decimal locale; make sure one exists.
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  scripts/ensure-packages.sh locales
  localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || echo "note: no de_DE locale available"
fi

echo "== formatting"
mapfile -t cpp_files < <(git ls-files '*.h' '*.cpp')
if [ ${#cpp_files[@]} -gt 0 ]; then
  clang-format --dry-run --Werror "${cpp_files[@]}"
fi

echo "== build (ASan + UBSan)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAPWISE_SANITIZE=ON \
  -DTAPWISE_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -- -j"$(nproc)"

echo "== tests"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"

# Independent controllers evaluated on several threads at once, under ThreadSanitizer: only
# the library and the controller tests are built for it.
echo "== threads (ThreadSanitizer)"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAPWISE_SANITIZE_THREADS=ON \
  -DTAPWISE_BUILD_BENCHMARKS=OFF -DTAPWISE_BUILD_TOOLS=OFF -DTAPWISE_BUILD_APP=OFF >/dev/null
cmake --build build-tsan --target tapwise_control_tests -- -j"$(nproc)"
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/tapwise_control_tests --gtest_filter='*Thread*'

# A short bounded fuzzing run of every harness (clang, libFuzzer) from the committed seeds;
# any crash, leak, hang or broken invariant fails the script. TAPWISE_FUZZ_SECONDS=0 skips it.
fuzz_seconds=${TAPWISE_FUZZ_SECONDS:-20}
if [ "$fuzz_seconds" -gt 0 ]; then
  echo "== fuzz (${fuzz_seconds}s per harness)"
  tests/fuzz/run.sh "$fuzz_seconds"
fi
