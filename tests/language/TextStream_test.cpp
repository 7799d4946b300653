#include "tapwise/language/TextStream.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"

namespace tapwise {
namespace {

TEST(TextStream, ReadCharGivesNulAtTheEnd) {
  TZTStringStream source;
  TGTextStream stream(source);
  EXPECT_EQ(stream.ReadChar(), '\0');
  EXPECT_TRUE(stream.Eof());
}

TEST(TextStream, EachLineEndFormEndsOneLine) {
  TZTStringStream source("a\r\nb\rc\nd\r\n\re");
  TGTextStream stream(source);
  EXPECT_EQ(stream.ReadLine(), "a");
  EXPECT_EQ(stream.ReadLine(), "b");
  EXPECT_EQ(stream.ReadLine(), "c");
  EXPECT_EQ(stream.ReadLine(), "d");
  EXPECT_EQ(stream.ReadLine(), "");
  EXPECT_EQ(stream.ReadLine(), "e");
  EXPECT_TRUE(stream.Eof());
  EXPECT_EQ(stream.ReadLine(), "");
}

TEST(TextStream, ReadLineEndingInCrAtTheEnd) {
  TZTStringStream source("last\r");
  TGTextStream stream(source);
  EXPECT_EQ(stream.ReadLine(), "last");
  EXPECT_TRUE(stream.Eof());
}

TEST(TextStream, SkipWhitespaceStopsAtVisibleBytesAndAfterOneLineEnd) {
  TZTStringStream blanks("  \t x");
  TGTextStream first(blanks);
  EXPECT_FALSE(first.SkipWhitespace());
  EXPECT_EQ(first.ReadChar(), 'x');

  TZTStringStream line(" \r\n x");
  TGTextStream second(line);
  EXPECT_TRUE(second.SkipWhitespace());
  EXPECT_EQ(second.ReadChar(), ' ');
  EXPECT_EQ(second.ReadChar(), 'x');

  TZTStringStream cr("\r\r");
  TGTextStream third(cr);
  EXPECT_TRUE(third.SkipWhitespace());
  EXPECT_TRUE(third.SkipWhitespace());
  EXPECT_FALSE(third.SkipWhitespace());
}

TEST(TextStream, WritesLinesWithCrLf) {
  TZTStringStream sink;
  {
    TGTextStream stream(sink);
    stream.WriteLine("(deffuzzy x");
    stream.WriteChar('\t');
    stream.WriteString("(range 0 1))");
    stream.WriteLineEnd();
  }
  EXPECT_EQ(sink.GetDataString(), "(deffuzzy x\r\n\t(range 0 1))\r\n");
}

TEST(TextStream, OwnedSourceIsFlushedAndFreed) {
  auto owned = std::make_unique<TZTStringStream>("abc");
  TZTStringStream* source = owned.get();
  TGTextStream stream(std::move(owned));
  EXPECT_TRUE(stream.GetOwnsSource());
  EXPECT_EQ(stream.ReadChar(), 'a');
  stream.Seek(0, TSeekOrigin::soEnd);
  stream.WriteString("d");
  EXPECT_EQ(source->GetDataString(), "abc");
  stream.ReleaseSource();
  EXPECT_FALSE(stream.GetOwnsSource());
  EXPECT_EQ(stream.GetSource(), nullptr);
  EXPECT_EQ(stream.ReadChar(), '\0');
  EXPECT_THROW_MSG(TGTextStream(std::unique_ptr<TStream>()), EStreamError,
                   "A text stream needs a source stream");
}

}  // namespace
}  // namespace tapwise
