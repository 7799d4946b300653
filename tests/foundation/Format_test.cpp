#include "tapwise/foundation/Format.h"

#include <gtest/gtest.h>

#include <string>

#include "support/ExpectThrow.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/Messages.h"

namespace tapwise {
namespace {

TEST(Format, FillsTheLibrarysTemplates) {
  EXPECT_EQ(Format(messages::kListIndexOutOfBounds, -1), "List index out of bounds (-1)");
  EXPECT_EQ(Format(messages::kInvalidRangeArguments, 5.0, 2.5),
            "Invalid range arguments.  Left (5.0000) is greater than right (2.5000)");
  EXPECT_EQ(Format(messages::kCannotAssign, std::string("TFuzzySet"), "TStringList"),
            "Cannot assign a TFuzzySet to a TStringList");
  EXPECT_EQ(Format("%.4f %.4f", 0, 1), "0.0000 1.0000");  // integers pass for %f
  EXPECT_EQ(Format("Output Temp is %6.3f degrees C", 36.0), "Output Temp is 36.000 degrees C");
  EXPECT_EQ(Format("no placeholders, 100%%"), "no placeholders, 100%");
}

TEST(Format, WidthAndPrecision) {
  EXPECT_EQ(Format("%9.9d %s", 42, "(t)"), "000000042 (t)");
  EXPECT_EQ(Format("%5.3d|", -7), " -007|");
  EXPECT_EQ(Format("%4d|%-4d|", 12, 12), "  12|12  |");
  EXPECT_EQ(Format("[%-6s]", "ab"), "[ab    ]");
  EXPECT_EQ(Format("%.2s", "abcdef"), "ab");
  // Nine-digit order numbers sort as text in the order of their values.
  EXPECT_LT(Format("%9.9d", 9), Format("%9.9d", 10));
}

TEST(Format, MismatchedArgumentsAreReportedNotGuessed) {
  const std::string invalid = "' invalid or incompatible with argument";
  EXPECT_THROW_MSG(Format("%d", 1.5), EConvertError, "Format '%d" + invalid);
  EXPECT_THROW_MSG(Format("%s and %s", "a"), EConvertError, "Format '%s and %s" + invalid);
  EXPECT_THROW_MSG(Format("%f", "x"), EConvertError, "Format '%f" + invalid);
  EXPECT_THROW_MSG(Format("%q", 1), EConvertError, "Format '%q" + invalid);
  EXPECT_THROW_MSG(Format("ends with %", 1), EConvertError, "Format 'ends with %" + invalid);
  EXPECT_THROW_MSG(Format("%d", "x"), EConvertError,
                   "Format '%d' invalid or incompatible with argument");
}

}  // namespace
}  // namespace tapwise
