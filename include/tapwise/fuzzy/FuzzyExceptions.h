#pragma once

#include <string>

#include "tapwise/foundation/Exceptions.h"

namespace tapwise {

/// Misuse of sets, variables and components.
class EFzyException : public EZTException {
 public:
  using EZTException::EZTException;
};

/// A definition-language parse error; carries the line on which it was found (0 when the
/// error has no line).
class EFzyParseException : public EFzyException {
 public:
  explicit EFzyParseException(const std::string& message, int line = 0)
      : EFzyException(message), FLine(line) {}
  int GetLine() const { return FLine; }

 private:
  int FLine;
};

}  // namespace tapwise
