#include "SvgPlot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "DefinitionFile.h"
#include "PlotScale.h"
#include "SetOutline.h"
#include "ToolText.h"
#include "tapwise/fuzzy/FuzzySet.h"
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

constexpr plot::TPlotArea kPlotArea{kLeft, kTop, kPlotWidth, kPlotHeight};

// Where a term's label goes: its first point of greatest degree within the universe (not
// the flat tail drawn out to the universe's end), else the outline's.
std::array<double, 2> Peak(const IFuzzySet& term, const std::vector<plot::TOutlinePoint>& outline) {
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

std::string Points(const std::vector<plot::TOutlinePoint>& outline, const plot::TPlotScale& scale) {
  std::string points;
  for (const auto& [x, y] : outline)
    points += (points.empty() ? "" : " ") + Num(scale.X(x)) + "," + Num(scale.Y(y));
  return points;
}

// Opens the panel of `variable` (the caller closes its group): title, axes and every term,
// labelled. Returns the panel's scale, for what the caller draws over the terms.
plot::TPlotScale OpenPanel(std::string& svg, const IFuzzyVariable& variable, int index) {
  const auto terms = TermsInOrder(variable);
  double y_max = 1;
  for (const auto& term : terms)
    if (term->GetCount() > 0) y_max = std::max(y_max, term->GetMaximumYValue());
  const plot::TPlotScale scale(kPlotArea, variable.GetMinimum(), variable.GetMaximum(), y_max);

  const std::string name = XmlEscaped(variable.GetName());
  svg += "<g class=\"variable\" data-variable=\"" + name + "\" transform=\"translate(0," +
         Num(index * kPanelHeight) + ")\">\n";
  svg += "<text class=\"title\" x=\"" + Num(kLeft) + "\" y=\"20\" font-size=\"15\" " +
         "font-weight=\"bold\">" + name + "</text>\n";

  // Degree axis with grid lines.
  const plot::TAxisTicks y_ticks = scale.YTicks();
  for (std::size_t i = 0; i < y_ticks.Values.size(); ++i) {
    const std::string y = Num(scale.Y(y_ticks.Values[i]));
    svg += "<line class=\"grid\" x1=\"" + Num(kLeft) + "\" y1=\"" + y + "\" x2=\"" +
           Num(kLeft + kPlotWidth) + "\" y2=\"" + y + "\" stroke=\"#e4e4e4\"/>\n";
    svg += "<text class=\"tick\" x=\"" + Num(kLeft - kTickLength - 3) + "\" y=\"" + y +
           "\" dy=\"4\" text-anchor=\"end\">" + y_ticks.Labels[i] + "</text>\n";
  }
  // Universe axis: ticks, labels and the units.
  const plot::TAxisTicks x_ticks = scale.XTicks();
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
    const auto outline = plot::SetOutline(term, scale.XMin(), scale.XMax());
    svg += "<polyline class=\"term\" data-term=\"" + term_name + "\" points=\"" +
           Points(outline, scale) + "\" fill=\"none\" stroke=\"" + colour +
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
  return scale;
}

// A vertical line at `value` over the whole plot with `caption` beside its top, written on
// the side with more room.
void AppendValueMark(std::string& svg, const plot::TPlotScale& scale, const std::string& kind,
                     const std::string& colour, double value, const std::string& caption) {
  const double x = scale.X(value);
  const bool right_side = x < kLeft + kPlotWidth / 2;
  svg += "<line class=\"" + kind + "\" x1=\"" + Num(x) + "\" y1=\"" + Num(kTop - 6) + "\" x2=\"" +
         Num(x) + "\" y2=\"" + Num(kTop + kPlotHeight) + "\" stroke=\"" + colour +
         "\" stroke-width=\"2\" stroke-dasharray=\"6 3\"/>\n";
  svg += "<text class=\"" + kind + "\" x=\"" + Num(x + (right_side ? 5 : -5)) + "\" y=\"" +
         Num(kTop - 8) + "\" text-anchor=\"" + (right_side ? "start" : "end") +
         "\" font-weight=\"bold\" fill=\"" + colour + "\">" + XmlEscaped(caption) + "</text>\n";
}

std::string SvgStart(std::size_t panels) {
  const double height = std::max<double>(1, static_cast<double>(panels)) * kPanelHeight;
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(kWidth) + "\" height=\"" +
         Num(height) + "\" viewBox=\"0 0 " + Num(kWidth) + " " + Num(height) +
         "\" font-family=\"sans-serif\" font-size=\"12\">\n";
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  return svg;
}

}  // namespace

std::string PlotSvg(std::span<const IntfPtr<IFuzzyVariable>> variables) {
  std::string svg = SvgStart(variables.size());
  int index = 0;
  for (const auto& variable : variables) {
    OpenPanel(svg, *variable, index++);
    svg += "</g>\n";
  }
  svg += "</svg>\n";
  return svg;
}

std::string PlotRunSvg(const TDefinitionFile& file, const TFuzzyController& controller) {
  std::vector<const TControllerOutput*> drawn_outputs;
  for (const TControllerOutput& output : controller.GetOutputs())
    if (!output.IsSugeno) drawn_outputs.push_back(&output);
  std::string svg = SvgStart(controller.GetInputs().size() + drawn_outputs.size());
  int index = 0;
  for (const TControllerInput& input : controller.GetInputs()) {
    const plot::TPlotScale scale = OpenPanel(svg, *file.FindVariable(input.Name), index++);
    const double value = controller.GetInput(input.Name);
    AppendValueMark(svg, scale, "input-value", "#000", value,
                    input.Name + " = " + FixedText(value, 4));
    svg += "</g>\n";
  }
  for (const TControllerOutput* output : drawn_outputs) {
    const plot::TPlotScale scale = OpenPanel(svg, *file.FindVariable(output->Variable), index++);
    // The aggregate first, filled, so that the consequents' outlines stay visible over it.
    if (const TFuzzySet* aggregate = controller.GetAggregate(output->Name)) {
      auto outline = plot::SetOutline(*aggregate, scale.XMin(), scale.XMax());
      outline.push_back({scale.XMax(), 0});
      outline.push_back({scale.XMin(), 0});
      svg += "<polygon class=\"aggregate\" points=\"" + Points(outline, scale) +
             "\" fill=\"#4a90d9\" fill-opacity=\"0.35\" stroke=\"none\"/>\n";
    }
    for (const TImpliedConsequent& implied : controller.GetImpliedConsequents(output->Name)) {
      const std::string rule = XmlEscaped(implied.Rule);
      svg +=
          "<polyline class=\"consequent\" data-rule=\"" + rule + "\" points=\"" +
          Points(plot::SetOutline(*implied.Set, scale.XMin(), scale.XMax()), scale) +
          "\" fill=\"none\" stroke=\"#333\" stroke-width=\"1.5\" stroke-dasharray=\"4 2\"><title>" +
          rule + " (" + FixedText(implied.Strength, 4) + ")</title></polyline>\n";
    }
    const std::optional<TFzyFloat> value = controller.FindOutput(output->Name);
    if (value)
      AppendValueMark(svg, scale, "centroid", "#c80078", *value,
                      output->Name + " = " + FixedText(*value, 4));
    svg += "</g>\n";
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace tapwise::tool
