#pragma once

#include <string>

#include "tapwise/foundation/Exceptions.h"

namespace tapwise::tool {

/// A failure the tool reports to its user on standard error (exit status 1): a wrong command
/// line, an unreadable file, a definition that does not parse. The message is one line; an
/// error in a file may add an excerpt shown under it, the source line and a caret under the
/// place.
class EToolError : public Exception {
 public:
  using Exception::Exception;
  EToolError(const std::string& message, std::string excerpt)
      : Exception(message), FExcerpt(std::move(excerpt)) {}
  /// Whole lines, each ending in a line break; empty when there is none.
  const std::string& GetExcerpt() const { return FExcerpt; }

 private:
  std::string FExcerpt;
};

}  // namespace tapwise::tool
