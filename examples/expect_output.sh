#!/usr/bin/env bash
# Runs an example program and compares what it prints, line by line, with the expected lines.
# The program must also exit with status 0 (a sanitizer's report makes it fail).
#
# Usage: expect_output.sh PROGRAM [ARGUMENT]... -- EXPECTED-LINE...
set -euo pipefail
command=()
while [ "$1" != "--" ]; do
  command+=("$1")
  shift
done
shift
expected=$(printf '%s\n' "$@")
actual=$("${command[@]}")
if [ "$actual" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
