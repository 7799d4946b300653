#pragma once

// The one table of message texts. Every exception message of the library is formatted from
// a template here (see Format.h); the texts are part of the library's interface and are
// used exactly as written, including their spacing and punctuation.

namespace tapwise::messages {

// Persistent objects and conversions.
inline constexpr char kCannotAssign[] = "Cannot assign a %s to a %s";
inline constexpr char kInvalidFloat[] = "'%s' is not a valid floating point value";
inline constexpr char kInvalidInteger[] = "'%s' is not a valid integer value";
inline constexpr char kInvalidFormat[] = "Format '%s' invalid or incompatible with argument";

// Lists and collections.
inline constexpr char kListIndexOutOfBounds[] = "List index out of bounds (%d)";
inline constexpr char kInvalidPropertyValue[] = "Invalid property value";

// Streams.
inline constexpr char kStreamReadError[] = "Stream read error";
inline constexpr char kStreamWriteError[] = "Stream write error";
inline constexpr char kCannotOpenFile[] = "Cannot open file \"%s\"";

// Division guards.
inline constexpr char kDivisionByZero[] = "Division by zero in %s";

}  // namespace tapwise::messages
