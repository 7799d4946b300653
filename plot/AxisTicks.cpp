#include "AxisTicks.h"

#include <algorithm>
#include <cmath>

#include "tapwise/foundation/NumberText.h"

namespace tapwise::plot {

namespace {

// More ticks than this means the step computation broke down (it aims at a handful).
constexpr double kMaxTicks = 100;

TAxisTicks EndTicks(double min, double max) {
  TAxisTicks ticks;
  ticks.Values.push_back(min);
  ticks.Labels.push_back(FloatToStr(min));
  if (max != min) {
    ticks.Values.push_back(max);
    ticks.Labels.push_back(FloatToStr(max));
  }
  return ticks;
}

}  // namespace

TAxisTicks AxisTicks(double min, double max, int target) {
  const double span = max - min;
  if (!(span > 0) || !std::isfinite(span) || target < 1) return EndTicks(min, max);
  const double raw = span / target;
  const double exponent = std::floor(std::log10(raw));
  const double magnitude = std::pow(10.0, exponent);
  const double ratio = raw / magnitude;
  double factor = 10;
  if (ratio < 1.5)
    factor = 1;
  else if (ratio < 2.25)
    factor = 2;
  else if (ratio < 3.5)
    factor = 2.5;
  else if (ratio < 7.5)
    factor = 5;
  const double step = factor * magnitude;
  // Decimals the labels need: none for a step of 10 or more, one more for a step of 25.
  double decimals = factor == 10 ? -(exponent + 1) : -exponent;
  if (factor == 2.5) decimals += 1;
  decimals = std::max(0.0, decimals);

  // A little slack keeps ends that are multiples of the step despite rounding.
  const double first = std::ceil(min / step - 1e-9);
  const double last = std::floor(max / step + 1e-9);
  if (!(last >= first) || last - first + 1 > kMaxTicks || !std::isfinite(step))
    return EndTicks(min, max);
  TAxisTicks ticks;
  for (double k = first; k <= last; ++k) {
    // Adding +0 turns the -0 of k = -0 into 0, so no label reads "-0.00".
    const double value = k * step + 0.0;
    ticks.Values.push_back(value);
    ticks.Labels.push_back(FormatFixed(value, static_cast<int>(decimals)));
  }
  return ticks;
}

}  // namespace tapwise::plot
