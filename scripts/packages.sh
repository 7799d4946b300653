# The Debian packages the build needs; sourced by run.sh and test.sh.
TAPWISE_BUILD_PACKAGES=(cmake ninja-build g++ libgtest-dev libbenchmark-dev clang-format)
