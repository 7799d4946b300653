#pragma once

#include <memory>
#include <string>

#include "tapwise/language/BufferStream.h"

namespace tapwise {

/// Character, line and blank handling over a TGBufferStream. A line ends at CR LF, CR or LF;
/// every byte below 33 counts as a blank.
class TGTextStream : public TGBufferStream {
 public:
  /// Reads and writes `source`, which stays the caller's.
  explicit TGTextStream(TStream& source);
  /// Reads and writes `source` and frees it with the text stream (`OwnsSource` is true).
  /// Raises EStreamError "A text stream needs a source stream" for a null source.
  explicit TGTextStream(std::unique_ptr<TStream> source);
  /// Passes pending writes on, then frees the source when the stream owns it.
  ~TGTextStream() override;

  /// Passes pending writes on and frees the source when the stream owns it; afterwards the
  /// stream has no source (reads find nothing, writes are refused). Does nothing otherwise.
  virtual void ReleaseSource();
  bool GetOwnsSource() const { return FOwnedSource != nullptr; }

  /// Skips blanks up to and including one line end. Returns true when it passed a line end,
  /// false when it stopped in front of a visible byte (which stays unread) or at the end.
  ///   "  \t x"   -> false, "x" is read next
  ///   " \r\n x"  -> true, " x" is read next
  virtual bool SkipWhitespace();
  /// The next byte, or '\0' when nothing is left.
  virtual char ReadChar();
  /// The bytes up to the next line end (CR LF, CR or LF), which is consumed but not returned.
  virtual std::string ReadLine();

  /// Writes every byte or raises EStreamError "Stream write error".
  void WriteChar(char ch);
  void WriteString(const std::string& text);
  /// `WriteString`, then a CR LF.
  virtual void WriteLine(const std::string& text);
  /// Writes CR LF.
  virtual void WriteLineEnd();

 private:
  std::unique_ptr<TStream> FOwnedSource;
};

}  // namespace tapwise
