#pragma once

// The version of Tapwise these headers belong to. CMake reads the three numbers from here, so
// that the package version and the headers never disagree.
#define TAPWISE_VERSION_MAJOR 0
#define TAPWISE_VERSION_MINOR 1
#define TAPWISE_VERSION_PATCH 0

namespace tapwise {

/// The version as "major.minor.patch".
inline constexpr char kVersion[] = "0.1.0";
static_assert(TAPWISE_VERSION_MAJOR == 0 && TAPWISE_VERSION_MINOR == 1 &&
                  TAPWISE_VERSION_PATCH == 0,
              "kVersion must spell the version numbers above");

}  // namespace tapwise
