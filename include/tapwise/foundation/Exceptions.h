#pragma once

#include <stdexcept>
#include <string>

namespace tapwise {

/// The general exception base: every failure the library reports is one of these.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

/// The library's own base; the fuzzy code's exceptions derive from it.
class EZTException : public Exception {
 public:
  using Exception::Exception;
};

/// A value or object that cannot be converted or assigned ("Cannot assign a %s to a %s").
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

/// Index and argument errors of the list classes ("List index out of bounds (%d)").
class EListError : public Exception {
 public:
  using Exception::Exception;
};

/// Read, write and seek failures of byte streams.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

/// A file that cannot be opened for reading or writing ("Cannot open file \"%s\"").
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

/// Misuse of components: duplicate names, ownership cycles.
class EComponentError : public Exception {
 public:
  using Exception::Exception;
};

/// Errors of the string hash tables ("Argument is null", "Table is empty", ...).
class EGHashtableError : public Exception {
 public:
  using Exception::Exception;
};

/// Raised before an operation would divide by zero and store an infinity or NaN.
class EZeroDivide : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace tapwise
