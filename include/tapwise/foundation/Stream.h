#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tapwise {

enum class TSeekOrigin : uint8_t { soBeginning, soCurrent, soEnd };

/// The byte-stream abstraction: read, write, seek, size and position.
class TStream {
 public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  /// Reads up to `count` bytes into `buffer`; returns how many were read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  /// Writes up to `count` bytes from `buffer`; returns how many were written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  /// Moves the position and returns the new one.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  virtual int64_t GetSize();
  int64_t GetPosition() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }

  /// Reads exactly `count` bytes or raises EStreamError "Stream read error".
  void ReadBuffer(void* buffer, int64_t count);
  /// Writes exactly `count` bytes or raises EStreamError "Stream write error".
  void WriteBuffer(const void* buffer, int64_t count);
};

/// An in-memory stream over a string, starting at position 0. A write replaces the bytes at
/// the position and keeps the text only up to the end of that write: writing "ab" at 0 into
/// "xyz" leaves "ab".
class TZTStringStream : public TStream {
 public:
  /// Tag of the constructor that reads a text in place.
  struct TInPlace {};

  explicit TZTStringStream(std::string text = {})
      : FDataString(std::move(text)), FText(FDataString) {}
  /// A stream over `text` that behaves as one over a copy of it, but takes the copy only
  /// when it is written to or asked for its data string. `text` must outlive the stream.
  TZTStringStream(TInPlace, std::string_view text) : FText(text), FInPlace(true) {}

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t GetSize() override { return static_cast<int64_t>(FText.size()); }

  const std::string& GetDataString() const {
    if (FInPlace) TakeCopy();
    return FDataString;
  }

 private:
  void TakeCopy() const;

  mutable std::string FDataString;
  // The bytes read: FDataString, or the text read in place until a copy is taken.
  mutable std::string_view FText;
  mutable bool FInPlace = false;
  int64_t FPosition = 0;
};

}  // namespace tapwise
