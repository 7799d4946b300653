#!/usr/bin/env bash
# Builds Tapwise as shared libraries in Release, installs it under a fresh prefix and builds
# the program beside this script against the installed package twice: as a CMake project
# with find_package(tapwise) and with the flags pkg-config gives. Both must print the worked
# centres of gravity.
#
# Usage: package_test.sh SOURCE_DIR WORK_DIR BUILD_DIR GENERATOR CXX [LAUNCHER]
#   BUILD_DIR is the build running this test; its export of the targets (written when it
#   has install rules) must not carry its test instrumentation.
set -euo pipefail
source_dir=$1 work=$2 outer_build=$3 generator=$4 cxx=$5 launcher=${6:-}
here=$(cd "$(dirname "$0")" && pwd)
prefix=$work/prefix

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The library build stays between runs so that a rerun only rebuilds what changed.
launcher_args=()
[ -n "$launcher" ] && launcher_args=(-DCMAKE_CXX_COMPILER_LAUNCHER="$launcher")
cmake -S "$source_dir" -B "$work/library" -G "$generator" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER="$cxx" "${launcher_args[@]}" -DBUILD_SHARED_LIBS=ON \
  -DTAPWISE_BUILD_TESTS=OFF -DTAPWISE_BUILD_TOOLS=OFF -DTAPWISE_BUILD_APP=OFF \
  -DTAPWISE_BUILD_BENCHMARKS=OFF -DTAPWISE_BUILD_EXAMPLES=OFF -DTAPWISE_BUILD_DOCS=OFF \
  -DTAPWISE_INSTALL=ON -DCMAKE_INSTALL_LIBDIR=lib >/dev/null
cmake --build "$work/library" >"$work/library-build.log" ||
  fail "the library does not build:"$'\n'"$(cat "$work/library-build.log")"
rm -rf "$prefix" "$work/consumer" "$work/pc-consumer"
cmake --install "$work/library" --prefix "$prefix" >/dev/null

version=$(sed -n 's/^Version: //p' "$prefix/lib/pkgconfig/tapwise.pc")
# The centroid of the triangle (0 0) (2 1) (8 0) is (0 + 2 + 8) / 3; the trapezoid
# (3 0) (5 1) (9 1) (10 0) is a triangle of area 1 at 13/3, a rectangle of area 4 at 7 and a
# triangle of area 1/2 at 28/3: (13/3 + 28 + 14/3) / 5.5 = 37 / 5.5.
expected=$(printf '%s\n' "tapwise $version" "ramp cog 3.3333" "plateau cog 6.7273")
check_output() {  # program, label
  local output
  output=$("$1") || fail "$2 exited with status $?"
  [ "$output" = "$expected" ] || fail "$2 printed:"$'\n'"$output"
  echo "ok: $2"
}

# Shared libraries carry the ABI version in their names.
for library in "$prefix"/lib/libtapwise_*.so; do
  [ -e "$library.${version%.*}" ] || fail "no $(basename "$library").${version%.*}"
done

cmake -S "$here" -B "$work/consumer" -G "$generator" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/consumer" >"$work/consumer-build.log" ||
  fail "the consumer does not build:"$'\n'"$(cat "$work/consumer-build.log")"
check_output "$work/consumer/consumer" "find_package(tapwise)"

export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
# Every installed library once, each before the ones it needs (as the linker wants them).
libs=$(pkg-config --libs tapwise)
mapfile -t listed < <(tr ' ' '\n' <<<"$libs" | sed -n 's/^-l//p')
installed=$(for library in "$prefix"/lib/libtapwise_*.so; do basename "$library" .so; done |
            sed 's/^lib//' | sort)
[ "$(printf '%s\n' "${listed[@]}" | sort)" = "$installed" ] || fail "pkg-config --libs: $libs"
for ((i = 0; i < ${#listed[@]}; ++i)); do
  for needed in $(readelf -d "$prefix/lib/lib${listed[i]}.so" |
                  sed -n 's/.*Shared library: \[lib\(tapwise_[a-z_]*\)\.so.*/\1/p'); do
    printf '%s\n' "${listed[@]:i+1}" | grep -qx "$needed" ||
      fail "pkg-config lists ${listed[i]} after $needed: $libs"
  done
done
# shellcheck disable=SC2046  # the flags are words
"$cxx" -std=c++20 "$here/main.cpp" $(pkg-config --cflags --libs tapwise) -o "$work/pc-consumer"
LD_LIBRARY_PATH=$prefix/lib check_output "$work/pc-consumer" "pkg-config"

# The build's own tests count live objects; what it exports for installing must not.
exports=$(find "$outer_build/CMakeFiles/Export" -name 'tapwiseTargets*.cmake' 2>/dev/null || true)
if [ -n "$exports" ]; then
  # shellcheck disable=SC2086  # one file name a line, no blanks in a build path
  ! grep -l TAPWISE_LIVE_OBJECT_COUNT $exports || fail "the export asks for the live-object count"
  echo "ok: the export carries no test instrumentation"
fi
