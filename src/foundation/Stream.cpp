#include "tapwise/foundation/Stream.h"

#include <algorithm>
#include <cstring>

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Messages.h"

namespace tapwise {

int64_t TStream::GetSize() {
  const int64_t position = Seek(0, TSeekOrigin::soCurrent);
  const int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(position, TSeekOrigin::soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EStreamError(messages::kStreamReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count) {
    throw EStreamError(messages::kStreamWriteError);
  }
}

void TZTStringStream::TakeCopy() const {
  FDataString.assign(FText);
  FText = FDataString;
  FInPlace = false;
}

int64_t TZTStringStream::Read(void* buffer, int64_t count) {
  const int64_t available = std::max<int64_t>(0, GetSize() - FPosition);
  const int64_t n = std::clamp<int64_t>(count, 0, available);
  if (n > 0) std::memcpy(buffer, FText.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TZTStringStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (FInPlace) TakeCopy();
  const auto position = static_cast<size_t>(FPosition);
  FDataString.resize(position + static_cast<size_t>(count));
  std::memcpy(FDataString.data() + position, buffer, static_cast<size_t>(count));
  FText = FDataString;
  FPosition += count;
  return count;
}

int64_t TZTStringStream::Seek(int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case TSeekOrigin::soBeginning:
      FPosition = offset;
      break;
    case TSeekOrigin::soCurrent:
      FPosition += offset;
      break;
    case TSeekOrigin::soEnd:
      FPosition = GetSize() + offset;
      break;
  }
  FPosition = std::clamp<int64_t>(FPosition, 0, GetSize());
  return FPosition;
}

}  // namespace tapwise
