# The Debian packages the build needs; sourced by run.sh and test.sh.
# qt6-base-dev brings Qt 6 Widgets and QtTest for the demo window and its tests; the DejaVu
# fonts give the window text on the offscreen platform (tests, screenshot); pkgconf is the
# pkg-config the package test builds with.
TAPWISE_BUILD_PACKAGES=(cmake ninja-build g++ pkgconf libgtest-dev libbenchmark-dev clang-format
  qt6-base-dev fonts-dejavu-core)
