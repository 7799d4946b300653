#include "tapwise/language/BufferStream.h"

#include <algorithm>
#include <cstring>

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"

namespace tapwise {

TGBufferStream::TGBufferStream(TStream& source)
    : FSource(&source),
      FBuffer(std::make_unique<char[]>(kBufferSize)),
      FEnd(FBuffer.get() + kBufferSize) {}

TGBufferStream::~TGBufferStream() {
  if (FState == TGBufferState::bsWriting) FlushPending();
}

int64_t TGBufferStream::BufferOffset() const {
  switch (FState) {
    case TGBufferState::bsIdle:
      return 0;
    case TGBufferState::bsReading:
      return FCurrent - FEnd;
    case TGBufferState::bsWriting:
      return FCurrent - FBuffer.get();
  }
  throw EStreamError(messages::kInvalidBufferState);
}

bool TGBufferStream::FillBuffer() {
  const int64_t count = FSource != nullptr ? FSource->Read(FBuffer.get(), kBufferSize) : 0;
  FCurrent = FBuffer.get();
  FEnd = FCurrent + std::max<int64_t>(count, 0);
  FState = count > 0 ? TGBufferState::bsReading : TGBufferState::bsIdle;
  if (OnFillBuffer) OnFillBuffer(*this);
  return count > 0;
}

int64_t TGBufferStream::FlushPending() {
  char* start = FBuffer.get();
  const int64_t pending = FState == TGBufferState::bsWriting ? FCurrent - start : 0;
  const int64_t written = pending > 0 && FSource != nullptr
                              ? std::clamp<int64_t>(FSource->Write(start, pending), 0, pending)
                              : 0;
  FCurrent = start;
  FEnd = start + kBufferSize;
  FState = TGBufferState::bsIdle;
  return pending - written;
}

bool TGBufferStream::FlushBuffer() {
  const bool complete = FlushPending() == 0;
  if (OnFlushBuffer) OnFlushBuffer(*this);
  return complete;
}

int64_t TGBufferStream::Read(void* buffer, int64_t count) {
  if (FState == TGBufferState::bsWriting) FlushBuffer();
  if (FState != TGBufferState::bsReading) {
    // Whatever the block holds is stale: the next byte must come from the source.
    FCurrent = FEnd = FBuffer.get();
  }
  auto* dest = static_cast<char*>(buffer);
  int64_t copied = 0;
  while (copied < count) {
    if (FCurrent == FEnd && !FillBuffer()) break;
    const int64_t n = std::min<int64_t>(count - copied, FEnd - FCurrent);
    std::memcpy(dest + copied, FCurrent, static_cast<size_t>(n));
    FCurrent += n;
    copied += n;
  }
  return copied;
}

int TGBufferStream::ReadByteSlow() {
  char ch = 0;
  return Read(&ch, 1) == 1 ? static_cast<unsigned char>(ch) : -1;
}

void TGBufferStream::DropReadAhead() {
  if (FState == TGBufferState::bsReading && FCurrent != FEnd && FSource != nullptr) {
    FSource->Seek(FSource->GetPosition() + BufferOffset(), TSeekOrigin::soBeginning);
  }
  FCurrent = nullptr;
  FState = TGBufferState::bsIdle;
}

int64_t TGBufferStream::Write(const void* buffer, int64_t count) {
  if (FState == TGBufferState::bsReading) DropReadAhead();
  char* start = FBuffer.get();
  if (FState == TGBufferState::bsIdle) {
    FCurrent = start;
    FEnd = start + kBufferSize;
  }
  const auto* source = static_cast<const char*>(buffer);
  int64_t copied = 0;
  while (copied < count) {
    const int64_t n = std::min<int64_t>(count - copied, FEnd - FCurrent);
    std::memcpy(FCurrent, source + copied, static_cast<size_t>(n));
    FCurrent += n;
    copied += n;
    if (FCurrent == FEnd) {
      FState = TGBufferState::bsWriting;
      const int64_t lost = FlushPending();
      if (OnFlushBuffer) OnFlushBuffer(*this);
      // Only what reached the source counts as accepted.
      if (lost != 0) return copied - lost;
    }
  }
  if (FCurrent != start) FState = TGBufferState::bsWriting;
  return copied;
}

int64_t TGBufferStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t source_position = FSource != nullptr ? FSource->GetPosition() : 0;
  const int64_t position = source_position + BufferOffset();
  int64_t target = 0;
  switch (origin) {
    case TSeekOrigin::soBeginning:
      target = offset;
      break;
    case TSeekOrigin::soCurrent:
      target = position + offset;
      break;
    case TSeekOrigin::soEnd:
      target = GetSize() - offset;
      break;
    default:
      throw EStreamError(Format(messages::kInvalidOriginPoint, IntToStr(static_cast<int>(origin))));
  }
  if (target == position) return target;
  if (FState == TGBufferState::bsWriting && !FlushBuffer()) {
    throw EStreamError(messages::kErrorSeekingInBuffer);
  }
  FCurrent = nullptr;
  FState = TGBufferState::bsIdle;
  return FSource != nullptr ? FSource->Seek(target, TSeekOrigin::soBeginning) : 0;
}

int64_t TGBufferStream::GetSize() {
  if (FSource == nullptr) return 0;
  const int64_t size = FSource->GetSize();
  if (FState != TGBufferState::bsWriting) return size;
  return std::max(size, FSource->GetPosition() + BufferOffset());
}

void TGBufferStream::PushBack(char ch) {
  // Only read-ahead bytes may be overwritten: never pending writes.
  if (FState != TGBufferState::bsReading || FCurrent <= FBuffer.get()) {
    throw EStreamError(messages::kPushBackOverflow);
  }
  *--FCurrent = ch;
}

bool TGBufferStream::Eof() {
  if (FState == TGBufferState::bsReading && FCurrent < FEnd) return false;
  if (FSource == nullptr) return true;
  return FSource->GetPosition() + BufferOffset() >= GetSize();
}

}  // namespace tapwise
