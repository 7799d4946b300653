#pragma once

#include "tapwise/foundation/Exceptions.h"

namespace tapwise::tool {

/// A failure the tool reports to its user as one line on standard error (exit status 1):
/// a wrong command line, an unreadable file, a definition that does not parse.
class EToolError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace tapwise::tool
