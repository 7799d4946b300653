#include "AxisTicks.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace tapwise::plot {
namespace {

using Labels = std::vector<std::string>;

TEST(AxisTicks, RoundStepsWithTheDecimalsTheyNeed) {
  EXPECT_EQ(AxisTicks(5, 65).Labels, (Labels{"10", "20", "30", "40", "50", "60"}));
  EXPECT_EQ(AxisTicks(0, 100).Labels, (Labels{"0", "20", "40", "60", "80", "100"}));
  EXPECT_EQ(AxisTicks(0, 1, 4).Labels, (Labels{"0.00", "0.25", "0.50", "0.75", "1.00"}));
  EXPECT_EQ(AxisTicks(-1, 1).Labels,
            (Labels{"-1.00", "-0.75", "-0.50", "-0.25", "0.00", "0.25", "0.50", "0.75", "1.00"}));
  EXPECT_EQ(AxisTicks(0, 150).Labels, (Labels{"0", "25", "50", "75", "100", "125", "150"}));
  EXPECT_EQ(AxisTicks(0.001, 0.004, 3).Labels, (Labels{"0.001", "0.002", "0.003", "0.004"}));
  const TAxisTicks ticks = AxisTicks(5, 65);
  EXPECT_DOUBLE_EQ(ticks.Values.front(), 10);
  EXPECT_DOUBLE_EQ(ticks.Values.back(), 60);
}

TEST(AxisTicks, DegenerateRangesGetTheirEnds) {
  EXPECT_EQ(AxisTicks(3, 3).Labels, Labels{"3"});
  const double huge = std::numeric_limits<double>::max();
  EXPECT_EQ(AxisTicks(-huge, huge).Values.size(), 2u);
  EXPECT_EQ(AxisTicks(1, 0).Values.size(), 2u);
}

}  // namespace
}  // namespace tapwise::plot
