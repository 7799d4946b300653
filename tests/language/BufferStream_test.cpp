#include "tapwise/language/BufferStream.h"

#include <gtest/gtest.h>

#include <string>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"

namespace tapwise {
namespace {

// A string stream that counts how often it is read.
class CountingStream : public TZTStringStream {
 public:
  using TZTStringStream::TZTStringStream;
  int64_t Read(void* buffer, int64_t count) override {
    ++reads;
    return TZTStringStream::Read(buffer, count);
  }
  int reads = 0;
};

// A sink that accepts at most `limit` bytes in all.
class LimitedStream : public TZTStringStream {
 public:
  explicit LimitedStream(int64_t limit) : FLimit(limit) {}
  int64_t Write(const void* buffer, int64_t count) override {
    const int64_t n = std::min(count, FLimit);
    FLimit -= n;
    return TZTStringStream::Write(buffer, n);
  }

 private:
  int64_t FLimit;
};

std::string ReadAll(TGBufferStream& stream) {
  std::string text;
  for (int ch = stream.ReadByte(); ch >= 0; ch = stream.ReadByte())
    text.push_back(char(ch));
  return text;
}

TEST(BufferStream, EmptySourceReadsNothing) {
  TZTStringStream source;
  TGBufferStream stream(source);
  char byte = 'x';
  EXPECT_EQ(stream.Read(&byte, 1), 0);
  EXPECT_EQ(byte, 'x');
  EXPECT_TRUE(stream.Eof());
  EXPECT_EQ(stream.GetState(), TGBufferState::bsIdle);
}

TEST(BufferStream, ReadsLongSourcesBlockByBlock) {
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text.push_back(static_cast<char>('a' + i % 26));
  CountingStream source(text);
  TGBufferStream stream(source);
  int fills = 0;
  stream.OnFillBuffer = [&fills](TGBufferStream&) { ++fills; };
  EXPECT_EQ(ReadAll(stream), text);
  EXPECT_TRUE(stream.Eof());
  // Three blocks of 8192 bytes cover 20000; the fourth fill finds the end.
  EXPECT_EQ(source.reads, 4);
  EXPECT_EQ(fills, 4);
}

TEST(BufferStream, BulkReadCrossesBlocks) {
  std::string text(10000, 'q');
  text[8191] = 'x';
  text[8192] = 'y';
  TZTStringStream source(text);
  TGBufferStream stream(source);
  std::string part(9000, '\0');
  EXPECT_EQ(stream.Read(part.data(), 9000), 9000);
  EXPECT_EQ(part.substr(8191, 2), "xy");
  EXPECT_EQ(stream.GetPosition(), 9000);
  part.assign(5000, '\0');
  EXPECT_EQ(stream.Read(part.data(), 5000), 1000);
}

TEST(BufferStream, PushBackReplacesTheNextByte) {
  TZTStringStream source("AB");
  TGBufferStream stream(source);
  EXPECT_EQ(stream.ReadByte(), 'A');
  stream.PushBack('X');
  EXPECT_EQ(stream.ReadByte(), 'X');
  EXPECT_EQ(stream.ReadByte(), 'B');
  EXPECT_EQ(stream.ReadByte(), -1);
}

TEST(BufferStream, PushBackNeedsAByteTakenFromThePresentFill) {
  TZTStringStream source("AB");
  TGBufferStream stream(source);
  EXPECT_THROW_MSG(stream.PushBack('X'), EStreamError, "Overflow on push back");
  // Right after a refill nothing has been taken from the new block.
  EXPECT_TRUE(stream.FillBuffer());
  EXPECT_THROW_MSG(stream.PushBack('X'), EStreamError, "Overflow on push back");
  EXPECT_EQ(stream.ReadByte(), 'A');
  stream.PushBack('Y');
  EXPECT_THROW_MSG(stream.PushBack('Z'), EStreamError, "Overflow on push back");
  EXPECT_EQ(ReadAll(stream), "YB");
}

TEST(BufferStream, AskingThePositionLeavesTheBlockAlone) {
  CountingStream source("0123456789");
  TGBufferStream stream(source);
  EXPECT_EQ(stream.ReadByte(), '0');
  EXPECT_EQ(stream.ReadByte(), '1');
  EXPECT_EQ(stream.Seek(0, TSeekOrigin::soCurrent), 2);
  EXPECT_EQ(stream.BufferOffset(), -8);
  EXPECT_EQ(source.GetPosition(), 10);
  EXPECT_EQ(stream.ReadByte(), '2');
  EXPECT_EQ(source.reads, 1);
  // A push back moves the logical position back too.
  stream.PushBack('2');
  EXPECT_EQ(stream.GetPosition(), 2);
}

TEST(BufferStream, SeekFromEachOrigin) {
  TZTStringStream source("0123456789");
  TGBufferStream stream(source);
  EXPECT_EQ(stream.Seek(3, TSeekOrigin::soEnd), 7);
  EXPECT_EQ(stream.ReadByte(), '7');
  EXPECT_EQ(stream.Seek(-5, TSeekOrigin::soCurrent), 3);
  EXPECT_EQ(stream.ReadByte(), '3');
  EXPECT_EQ(stream.Seek(1, TSeekOrigin::soBeginning), 1);
  EXPECT_EQ(ReadAll(stream), "123456789");
  EXPECT_EQ(stream.GetSize(), 10);
  EXPECT_THROW_MSG(stream.Seek(0, static_cast<TSeekOrigin>(7)), EStreamError,
                   "Invalid Origin Point specified: 7");
}

TEST(BufferStream, WritesReachTheSourceOnFlushSeekAndDestruction) {
  TZTStringStream sink;
  {
    TGBufferStream stream(sink);
    int flushes = 0;
    stream.OnFlushBuffer = [&flushes](TGBufferStream&) { ++flushes; };
    EXPECT_EQ(stream.Write("hello", 5), 5);
    EXPECT_EQ(stream.GetState(), TGBufferState::bsWriting);
    EXPECT_EQ(stream.GetPosition(), 5);
    EXPECT_EQ(stream.GetSize(), 5);
    EXPECT_EQ(sink.GetDataString(), "");
    EXPECT_EQ(stream.Seek(0, TSeekOrigin::soBeginning), 0);
    EXPECT_EQ(flushes, 1);
    EXPECT_EQ(sink.GetDataString(), "hello");
    EXPECT_EQ(stream.Write("J", 1), 1);
  }
  // The string stream keeps its text only up to the end of each write.
  EXPECT_EQ(sink.GetDataString(), "J");
}

TEST(BufferStream, LongWritesPassFullBlocksOn) {
  TZTStringStream sink;
  const std::string text(20000, 'w');
  {
    TGBufferStream stream(sink);
    EXPECT_EQ(stream.Write(text.data(), 20000), 20000);
    EXPECT_EQ(sink.GetDataString().size(), 16384u);
  }
  EXPECT_EQ(sink.GetDataString(), text);
}

TEST(BufferStream, RefusedWritesAreReported) {
  LimitedStream sink(100);
  TGBufferStream stream(sink);
  const std::string text(9000, 'w');
  // The first block reaches the source only in part; what it refused is not counted.
  EXPECT_EQ(stream.Write(text.data(), 9000), 100);
  EXPECT_EQ(stream.Write("abc", 3), 3);
  EXPECT_THROW_MSG(stream.Seek(0, TSeekOrigin::soBeginning), EStreamError,
                   "Error seeking in buffer");
}

TEST(BufferStream, WritingAfterReadingContinuesAtTheLogicalPosition) {
  TZTStringStream source("abcdef");
  {
    TGBufferStream stream(source);
    EXPECT_EQ(stream.ReadByte(), 'a');
    EXPECT_EQ(stream.ReadByte(), 'b');
    EXPECT_EQ(stream.Write("XY", 2), 2);
    EXPECT_EQ(stream.ReadByte(), -1);  // the string stream was cut after the write
  }
  EXPECT_EQ(source.GetDataString(), "abXY");
}

}  // namespace
}  // namespace tapwise
