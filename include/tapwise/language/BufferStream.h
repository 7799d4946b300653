#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "tapwise/foundation/Stream.h"

namespace tapwise {

/// What the block of a TGBufferStream currently holds.
enum class TGBufferState : uint8_t {
  bsIdle,     ///< nothing: the next read fills, the next write starts a fresh block
  bsReading,  ///< bytes read ahead from the source and not yet handed out
  bsWriting,  ///< bytes written by the caller and not yet passed on to the source
};

class TGBufferStream;

/// Raised after the block has been filled from, or flushed to, the source.
using TBufferStreamEvent = std::function<void(TGBufferStream& sender)>;

/// A fixed block buffer in front of another byte stream, so that reading one byte at a time
/// costs a pointer step and the source is touched once per block. A reader can put bytes
/// back (`PushBack`) as long as it has taken them from the present fill of the block.
///
/// The source is not owned; it must outlive the buffer stream (or be released first, see
/// TGTextStream). Reads and writes may be mixed; a `Seek` in between is never needed but
/// costs nothing when it does not move.
class TGBufferStream : public TStream {
 public:
  static constexpr int32_t kBufferSize = 8192;

  explicit TGBufferStream(TStream& source);
  /// Passes pending writes on to the source (a failure there is not reported).
  ~TGBufferStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  /// Copies the bytes into the block, passing each full block on to the source. Returns how
  /// many bytes were accepted; fewer than `count` when the source refused a block.
  int64_t Write(const void* buffer, int64_t count) override;
  /// Moves the logical position. Unlike the other streams of the library, `soEnd` counts the
  /// offset backwards from the end: Seek(3, soEnd) on ten bytes goes to 7. Asking for the
  /// current position (Seek(0, soCurrent)) never disturbs the block. Raises EStreamError
  /// "Invalid Origin Point specified: %s" for an unknown origin and "Error seeking in
  /// buffer" when pending writes cannot be passed on first.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  /// The source's size, including writes still waiting in the block.
  int64_t GetSize() override;

  /// Makes `ch` the next byte read. Only bytes taken from the present fill of the block can
  /// be put back: raises EStreamError "Overflow on push back" otherwise (for instance right
  /// after a refill, before anything was read from it).
  virtual void PushBack(char ch);

  /// True when everything the source holds has been handed out.
  bool Eof();
  /// The logical position minus the source's position: zero or negative while reading (the
  /// bytes read ahead), the pending bytes while writing, 0 when idle.
  int64_t BufferOffset() const;

  /// Reads the next block from the source; false when the source had nothing more.
  virtual bool FillBuffer();
  /// Passes the pending bytes on to the source; false when it did not accept them all.
  virtual bool FlushBuffer();

  TGBufferState GetState() const { return FState; }
  int32_t GetBufferSize() const { return kBufferSize; }
  TStream* GetSource() const { return FSource; }

  TBufferStreamEvent OnFillBuffer;
  TBufferStreamEvent OnFlushBuffer;

  /// The next byte, or -1 when the source is exhausted. Inline so that a lexer reading one
  /// byte at a time pays a compare and a pointer step per byte.
  int ReadByte() {
    if (FState == TGBufferState::bsReading && FCurrent < FEnd) {
      return static_cast<unsigned char>(*FCurrent++);
    }
    return ReadByteSlow();
  }

 protected:
  /// The bytes of the present fill not read yet, for a reader that scans a run of bytes at
  /// once (empty when the stream is not reading or the fill is used up: `ReadByte` then
  /// fetches more). Valid until the next read, push-back, write or seek.
  std::string_view ReadAhead() const {
    if (FState != TGBufferState::bsReading || FCurrent == nullptr) return {};
    return {FCurrent, static_cast<size_t>(FEnd - FCurrent)};
  }
  /// Takes the first `count` bytes of `ReadAhead` as read; `count` must not exceed its size.
  void Consume(size_t count) { FCurrent += count; }
  /// Forgets the source without touching it; later reads find nothing and writes fail.
  void DetachSource() { FSource = nullptr; }
  /// Passes pending writes on, without raising OnFlushBuffer; returns how many bytes the
  /// source did not accept.
  int64_t FlushPending();

 private:
  friend class TTokenReader;  // scans the block in place

  int ReadByteSlow();
  // Puts the source back at the logical position and drops the read-ahead, so that the
  // block can take writes.
  void DropReadAhead();

  TStream* FSource;
  std::unique_ptr<char[]> FBuffer;
  char* FCurrent = nullptr;  // null: not used since creation or the last moving Seek
  char* FEnd;
  TGBufferState FState = TGBufferState::bsIdle;
};

}  // namespace tapwise
