#pragma once

#include <algorithm>

#include "AxisTicks.h"

namespace tapwise::plot {

/// The rectangle a plot's data is drawn in, in the picture's units (SVG user units or
/// widget pixels), y growing downwards.
struct TPlotArea {
  double Left = 0;
  double Top = 0;
  double Width = 0;
  double Height = 0;

  double Right() const { return Left + Width; }
  double Bottom() const { return Top + Height; }
};

/// Maps a universe (x) and membership degrees from 0 to `y_max` (y) into a `TPlotArea`, and
/// gives the round ticks of both axes. Every picture of sets maps through this one class, so
/// a marker drawn at a value sits where the axis says that value is.
///
///     const TPlotScale scale({64, 48, 672, 166}, 5, 65);
///     scale.X(35);  // 400: the middle of the area
///
/// A universe without width is widened by 1 on either side, so its one value still gets a
/// readable axis.
class TPlotScale {
 public:
  TPlotScale(TPlotArea area, double x_min, double x_max, double y_max = 1)
      : FArea(area), FXMin(x_min), FXMax(x_max), FYMax(y_max) {
    if (!(FXMax > FXMin)) {
      FXMin -= 1;
      FXMax += 1;
    }
  }

  double X(double x) const { return FArea.Left + (x - FXMin) / (FXMax - FXMin) * FArea.Width; }
  /// Degrees outside 0..`y_max` are drawn at the nearer edge.
  double Y(double y) const {
    return FArea.Top + FArea.Height - std::clamp(y, 0.0, FYMax) / FYMax * FArea.Height;
  }

  const TPlotArea& Area() const { return FArea; }
  double XMin() const { return FXMin; }
  double XMax() const { return FXMax; }
  double YMax() const { return FYMax; }

  /// About `target` round ticks over the universe.
  TAxisTicks XTicks(int target = 6) const { return AxisTicks(FXMin, FXMax, target); }
  /// About `target` round ticks over the degrees.
  TAxisTicks YTicks(int target = 4) const { return AxisTicks(0, FYMax, target); }

 private:
  TPlotArea FArea;
  double FXMin;
  double FXMax;
  double FYMax;
};

}  // namespace tapwise::plot
