#include "SvgPlot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "AxisTicks.h"
#include "DefinitionFile.h"
#include "ToolText.h"
#include "tapwise/fuzzy/IFuzzySet.h"

namespace tapwise::tool {

namespace {

// Page and panel geometry, in SVG user units.
constexpr double kWidth = 760;
constexpr double kPanelHeight = 270;
constexpr double kLeft = 64;
constexpr double kRight = 24;
constexpr double kTop = 48;
constexpr double kBottom = 56;
constexpr double kPlotWidth = kWidth - kLeft - kRight;
constexpr double kPlotHeight = kPanelHeight - kTop - kBottom;
constexpr double kTickLength = 5;
// Rough width of one character of the 12-unit sans-serif labels, to keep labels apart.
constexpr double kCharWidth = 7;
constexpr double kLabelHeight = 13;

constexpr std::array<const char*, 10> kPalette = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e",
                                                  "#9467bd", "#8c564b", "#e377c2", "#7f7f7f",
                                                  "#bcbd22", "#17becf"};

std::string Num(double value) {
  return FixedText(value, 2);
}

// Maps universe and degree values into the plot area of one panel.
class TPanelScale {
 public:
  TPanelScale(double x_min, double x_max, double y_max)
      : FXMin(x_min), FXMax(x_max), FYMax(y_max) {}
  double X(double x) const { return kLeft + (x - FXMin) / (FXMax - FXMin) * kPlotWidth; }
  double Y(double y) const {
    return kTop + kPlotHeight - std::clamp(y, 0.0, FYMax) / FYMax * kPlotHeight;
  }
  double XMin() const { return FXMin; }
  double XMax() const { return FXMax; }

 private:
  double FXMin;
  double FXMax;
  double FYMax;
};

// The points a term is drawn through: its own points within the universe, with its first
// and last degrees carried to the universe's ends.
std::vector<std::array<double, 2>> TermOutline(const IFuzzySet& term, double min, double max) {
  std::vector<std::array<double, 2>> points;
  const int count = term.GetCount();
  if (count == 0) return {{min, 0.0}, {max, 0.0}};
  if (term.GetX(0) > min) points.push_back({min, term.GetMembership(min)});
  for (int i = 0; i < count; ++i) {
    const double x = term.GetX(i);
    if (x >= min && x <= max) points.push_back({x, term.GetY(i)});
  }
  if (term.GetX(count - 1) < max) points.push_back({max, term.GetMembership(max)});
  if (points.empty()) points = {{min, term.GetMembership(min)}, {max, term.GetMembership(max)}};
  return points;
}

// Where a term's label goes: its first point of greatest degree within the universe (not
// the flat tail drawn out to the universe's end), else the outline's.
std::array<double, 2> Peak(const IFuzzySet& term,
                           const std::vector<std::array<double, 2>>& outline) {
  std::array<double, 2> peak = {0, -1};
  for (int i = 0; i < term.GetCount(); ++i) {
    const double x = term.GetX(i);
    const double y = term.GetY(i);
    if (x >= outline.front()[0] && x <= outline.back()[0] && y > peak[1]) peak = {x, y};
  }
  if (peak[1] >= 0) return peak;
  return *std::max_element(outline.begin(), outline.end(),
                           [](const auto& a, const auto& b) { return a[1] < b[1]; });
}

// Label boxes already placed in a panel. A label that would overlap one of them tries, in
// turn, one line higher, beside its place (right, left, further out), then lower lines, all
// within the panel; when every place is taken it keeps its own.
class TLabelPlacer {
 public:
  std::array<double, 2> Place(double center, double width, double baseline) {
    std::vector<std::array<double, 2>> candidates = {{center, baseline},
                                                     {center, baseline - kLabelHeight}};
    for (int k = 1; k <= 3; ++k) {
      candidates.push_back({center + k * (width + 4), baseline});
      candidates.push_back({center - k * (width + 4), baseline});
    }
    for (int k = 1; k <= 6; ++k)
      candidates.push_back({center, baseline + k * kLabelHeight});
    for (const auto& [x, y] : candidates) {
      const bool inside = x - width / 2 >= kLeft && x + width / 2 <= kLeft + kPlotWidth &&
                          y >= kTop - 18 && y <= kTop + kPlotHeight - 2;
      if (inside && Free(x, width, y)) {
        FBoxes.push_back({x, width, y});
        return {x, y};
      }
    }
    FBoxes.push_back({center, width, baseline});
    return {center, baseline};
  }

 private:
  bool Free(double x, double width, double y) const {
    for (const auto& box : FBoxes) {
      if (std::fabs(box[0] - x) < (box[1] + width) / 2 + 2 && std::fabs(box[2] - y) < kLabelHeight)
        return false;
    }
    return true;
  }

  std::vector<std::array<double, 3>> FBoxes;
};

void AppendPanel(std::string& svg, const IFuzzyVariable& variable, int index) {
  const auto terms = TermsInOrder(variable);
  double min = variable.GetMinimum();
  double max = variable.GetMaximum();
  // A universe without width still gets a readable axis around its one value.
  if (!(max > min)) {
    min -= 1;
    max += 1;
  }
  double y_max = 1;
  for (const auto& term : terms)
    if (term->GetCount() > 0) y_max = std::max(y_max, term->GetMaximumYValue());
  const TPanelScale scale(min, max, y_max);

  const std::string name = XmlEscaped(variable.GetName());
  svg += "<g class=\"variable\" data-variable=\"" + name + "\" transform=\"translate(0," +
         Num(index * kPanelHeight) + ")\">\n";
  svg += "<text class=\"title\" x=\"" + Num(kLeft) + "\" y=\"20\" font-size=\"15\" " +
         "font-weight=\"bold\">" + name + "</text>\n";

  // Degree axis with grid lines.
  const TAxisTicks y_ticks = AxisTicks(0, y_max, 4);
  for (std::size_t i = 0; i < y_ticks.Values.size(); ++i) {
    const std::string y = Num(scale.Y(y_ticks.Values[i]));
    svg += "<line class=\"grid\" x1=\"" + Num(kLeft) + "\" y1=\"" + y + "\" x2=\"" +
           Num(kLeft + kPlotWidth) + "\" y2=\"" + y + "\" stroke=\"#e4e4e4\"/>\n";
    svg += "<text class=\"tick\" x=\"" + Num(kLeft - kTickLength - 3) + "\" y=\"" + y +
           "\" dy=\"4\" text-anchor=\"end\">" + y_ticks.Labels[i] + "</text>\n";
  }
  // Universe axis: ticks, labels and the units.
  const TAxisTicks x_ticks = AxisTicks(min, max);
  const std::string axis_y = Num(kTop + kPlotHeight);
  for (std::size_t i = 0; i < x_ticks.Values.size(); ++i) {
    const std::string x = Num(scale.X(x_ticks.Values[i]));
    svg += "<line class=\"tick\" x1=\"" + x + "\" y1=\"" + axis_y + "\" x2=\"" + x + "\" y2=\"" +
           Num(kTop + kPlotHeight + kTickLength) + "\" stroke=\"#333\"/>\n";
    svg += "<text class=\"tick\" x=\"" + x + "\" y=\"" + Num(kTop + kPlotHeight + 18) +
           "\" text-anchor=\"middle\">" + XmlEscaped(x_ticks.Labels[i]) + "</text>\n";
  }
  svg += "<line class=\"axis\" x1=\"" + Num(kLeft) + "\" y1=\"" + axis_y + "\" x2=\"" +
         Num(kLeft + kPlotWidth) + "\" y2=\"" + axis_y + "\" stroke=\"#333\"/>\n";
  svg += "<line class=\"axis\" x1=\"" + Num(kLeft) + "\" y1=\"" + Num(kTop) + "\" x2=\"" +
         Num(kLeft) + "\" y2=\"" + axis_y + "\" stroke=\"#333\"/>\n";
  const std::string units = variable.GetUnits().empty()
                                ? std::string("(no units)")
                                : XmlEscaped(PlainUnits(variable.GetUnits()));
  svg += "<text class=\"units\" x=\"" + Num(kLeft + kPlotWidth / 2) + "\" y=\"" +
         Num(kTop + kPlotHeight + 40) + "\" text-anchor=\"middle\">" + units + "</text>\n";
  svg += "<text class=\"axis-label\" transform=\"translate(16," + Num(kTop + kPlotHeight / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">membership</text>\n";

  // The terms, each labelled at its first peak.
  TLabelPlacer labels;
  for (std::size_t t = 0; t < terms.size(); ++t) {
    const IFuzzySet& term = *terms[t];
    const std::string colour = kPalette[t % kPalette.size()];
    const std::string term_name = XmlEscaped(term.GetName());
    const auto outline = TermOutline(term, scale.XMin(), scale.XMax());
    std::string points;
    for (const auto& [x, y] : outline)
      points += (points.empty() ? "" : " ") + Num(scale.X(x)) + "," + Num(scale.Y(y));
    svg += "<polyline class=\"term\" data-term=\"" + term_name + "\" points=\"" + points +
           "\" fill=\"none\" stroke=\"" + colour +
           "\" stroke-width=\"2\" stroke-linejoin=\"round\"><title>" + term_name +
           "</title></polyline>\n";

    const auto [peak_x, peak_y] = Peak(term, outline);
    const double width = kCharWidth * static_cast<double>(term.GetName().size());
    const double center =
        std::clamp(scale.X(peak_x), kLeft + width / 2, kLeft + kPlotWidth - width / 2);
    const auto [label_x, label_y] = labels.Place(center, width, scale.Y(peak_y) - 6);
    svg += "<text class=\"term-label\" x=\"" + Num(label_x) + "\" y=\"" + Num(label_y) +
           "\" text-anchor=\"middle\" fill=\"" + colour + "\">" + term_name + "</text>\n";
  }
  svg += "</g>\n";
}

}  // namespace

std::string PlotSvg(std::span<const IntfPtr<IFuzzyVariable>> variables) {
  const double height = std::max<double>(1, static_cast<double>(variables.size())) * kPanelHeight;
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(kWidth) + "\" height=\"" +
         Num(height) + "\" viewBox=\"0 0 " + Num(kWidth) + " " + Num(height) +
         "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  int index = 0;
  for (const auto& variable : variables)
    AppendPanel(svg, *variable, index++);
  svg += "</svg>\n";
  return svg;
}

}  // namespace tapwise::tool
