#include "ToolText.h"

#include <gtest/gtest.h>

namespace tapwise::tool {
namespace {

TEST(ToolText, OneLineKeepsAnEchoReadableAndHarmless) {
  EXPECT_EQ(OneLine("\"( deffuzzy outTemp \r\n( range x \""), "\"( deffuzzy outTemp ( range x \"");
  EXPECT_EQ(OneLine("a\nb\r\rc"), "a b c");
  EXPECT_EQ(OneLine("tab\there, escape \x1b[31m, nul"), "tab here, escape ?[31m, nul");
  EXPECT_EQ(OneLine("ends with a break\r\n"), "ends with a break");
}

TEST(ToolText, FixedTextNeverShowsANegativeZero) {
  EXPECT_EQ(FixedText(-1e-9, 4), "0.0000");
  EXPECT_EQ(FixedText(-0.0, 2), "0.00");
  EXPECT_EQ(FixedText(-0.00005, 4), "-0.0001");
  EXPECT_EQ(FixedText(-0.6327160, 4), "-0.6327");
}

TEST(ToolText, UnitsAndMarkup) {
  EXPECT_EQ(PlainUnits("\\\"kilo pascal\"\\"), "kilo pascal");
  EXPECT_EQ(PlainUnits("liters/minute"), "liters/minute");
  EXPECT_EQ(PlainUnits("\\\"\"\\"), "");      // an empty string
  EXPECT_EQ(PlainUnits("\\\"\\"), "\\\"\\");  // no wrapped string at all
  EXPECT_EQ(XmlEscaped("a&b <c> \"d\" 'e'\x01"), "a&amp;b &lt;c&gt; &quot;d&quot; &apos;e&apos; ");
}

}  // namespace
}  // namespace tapwise::tool
