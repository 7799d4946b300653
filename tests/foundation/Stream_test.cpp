#include "tapwise/foundation/Stream.h"

#include <gtest/gtest.h>

#include <string>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"

namespace tapwise {
namespace {

std::string ReadAll(TStream& stream) {
  std::string text;
  char c = 0;
  while (stream.Read(&c, 1) == 1)
    text += c;
  return text;
}

TEST(StringStream, StartsAtTheBeginningOfItsText) {
  TZTStringStream stream("(deffuzzy t)");
  EXPECT_EQ(stream.GetPosition(), 0);
  EXPECT_EQ(stream.GetSize(), 12);
  EXPECT_EQ(ReadAll(stream), "(deffuzzy t)");
  char c = 0;
  EXPECT_EQ(stream.Read(&c, 1), 0);  // at the end
  EXPECT_THROW_MSG(stream.ReadBuffer(&c, 1), EStreamError, "Stream read error");
}

TEST(StringStream, WriteKeepsTheTextOnlyUpToItsEnd) {
  TZTStringStream stream("xyz");
  stream.WriteBuffer("ab", 2);
  EXPECT_EQ(stream.GetDataString(), "ab");
  EXPECT_EQ(stream.GetPosition(), 2);
  stream.Write("cd", 2);  // appending grows the text
  EXPECT_EQ(stream.GetDataString(), "abcd");
  stream.SetPosition(1);
  stream.Write("Q", 1);
  EXPECT_EQ(stream.GetDataString(), "aQ");
  EXPECT_EQ(stream.Write("never", 0), 0);
  EXPECT_EQ(stream.GetDataString(), "aQ");
}

TEST(StringStream, SeekStaysInsideTheText) {
  TZTStringStream stream("hello");
  EXPECT_EQ(stream.Seek(-2, TSeekOrigin::soEnd), 3);
  EXPECT_EQ(ReadAll(stream), "lo");
  EXPECT_EQ(stream.Seek(-1, TSeekOrigin::soCurrent), 4);
  EXPECT_EQ(stream.Seek(99, TSeekOrigin::soBeginning), 5);
  EXPECT_EQ(stream.Seek(-99, TSeekOrigin::soCurrent), 0);
  char buffer[3] = {};
  stream.ReadBuffer(buffer, 3);
  EXPECT_EQ(std::string(buffer, 3), "hel");
}

// A stream that reads its text in place must be indistinguishable from one over a copy,
// and must never write into the text it was given.
TEST(StringStream, ReadingInPlaceBehavesAsACopyAndLeavesTheTextAlone) {
  const std::string text = "(deffuzzy t) and a text too long for a short string";
  TZTStringStream copy(text);
  TZTStringStream in_place(TZTStringStream::TInPlace{}, text);
  EXPECT_EQ(in_place.GetSize(), copy.GetSize());
  EXPECT_EQ(in_place.Seek(-4, TSeekOrigin::soEnd), copy.Seek(-4, TSeekOrigin::soEnd));
  EXPECT_EQ(ReadAll(in_place), ReadAll(copy));
  EXPECT_EQ(in_place.Seek(3, TSeekOrigin::soBeginning), 3);
  char buffer[6] = {};
  in_place.ReadBuffer(buffer, 6);
  EXPECT_EQ(std::string(buffer, 6), "ffuzzy");
  EXPECT_EQ(in_place.GetDataString(), text);
  EXPECT_NE(in_place.GetDataString().data(), text.data());

  // Writes go to the stream's own copy, with the copy's truncation rule.
  TZTStringStream written(TZTStringStream::TInPlace{}, text);
  written.SetPosition(1);
  written.WriteBuffer("XY", 2);
  EXPECT_EQ(written.GetDataString(), "(XY");
  EXPECT_EQ(written.GetSize(), 3);
  written.SetPosition(0);
  EXPECT_EQ(ReadAll(written), "(XY");
  EXPECT_EQ(text, "(deffuzzy t) and a text too long for a short string");

  TZTStringStream empty(TZTStringStream::TInPlace{}, std::string_view());
  char c = 0;
  EXPECT_EQ(empty.GetSize(), 0);
  EXPECT_EQ(empty.Read(&c, 1), 0);
  EXPECT_EQ(empty.GetDataString(), "");
}

}  // namespace
}  // namespace tapwise
