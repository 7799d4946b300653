#include "tapwise/language/TextStream.h"

#include <utility>

#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Messages.h"

namespace tapwise {
namespace {

TStream& Required(const std::unique_ptr<TStream>& source) {
  if (source == nullptr) throw EStreamError(messages::kNoSourceStream);
  return *source;
}

}  // namespace

TGTextStream::TGTextStream(TStream& source) : TGBufferStream(source) {}

TGTextStream::TGTextStream(std::unique_ptr<TStream> source)
    : TGBufferStream(Required(source)), FOwnedSource(std::move(source)) {}

TGTextStream::~TGTextStream() {
  // The base would flush after the source is gone; flush while it still exists.
  if (GetState() == TGBufferState::bsWriting) FlushPending();
  ReleaseSource();
}

void TGTextStream::ReleaseSource() {
  if (FOwnedSource == nullptr) return;
  if (GetState() == TGBufferState::bsWriting) FlushPending();
  DetachSource();
  FOwnedSource.reset();
}

bool TGTextStream::SkipWhitespace() {
  for (;;) {
    const int ch = ReadByte();
    if (ch < 0) return false;
    if (ch >= 33) {
      PushBack(static_cast<char>(ch));
      return false;
    }
    if (ch == '\n') return true;
    if (ch == '\r') {
      const int next = ReadByte();
      if (next >= 0 && next != '\n') PushBack(static_cast<char>(next));
      return true;
    }
  }
}

char TGTextStream::ReadChar() {
  const int ch = ReadByte();
  return ch < 0 ? '\0' : static_cast<char>(ch);
}

std::string TGTextStream::ReadLine() {
  std::string line;
  for (;;) {
    const int ch = ReadByte();
    if (ch < 0 || ch == '\n') break;
    if (ch == '\r') {
      const int next = ReadByte();
      if (next >= 0 && next != '\n') PushBack(static_cast<char>(next));
      break;
    }
    line.push_back(static_cast<char>(ch));
  }
  return line;
}

void TGTextStream::WriteChar(char ch) {
  WriteBuffer(&ch, 1);
}

void TGTextStream::WriteString(const std::string& text) {
  WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TGTextStream::WriteLine(const std::string& text) {
  WriteString(text);
  WriteLineEnd();
}

void TGTextStream::WriteLineEnd() {
  WriteString("\r\n");
}

}  // namespace tapwise
