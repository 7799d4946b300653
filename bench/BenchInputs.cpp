#include "BenchInputs.h"

#include "tapwise/faucet/FaucetRules.h"
#include "tapwise/foundation/NumberText.h"

namespace tapwise::bench {
namespace {

double RadicalInverse(int index, int base) {
  double result = 0.0;
  double scale = 1.0 / base;
  for (int rest = index; rest > 0; rest /= base) {
    result += scale * (rest % base);
    scale /= base;
  }
  return result;
}

// The point at `fraction` (0..1) of the way across the universe of `scale`.
double Within(const TOutletScale& scale, double fraction) {
  return scale.Min + (scale.Max - scale.Min) * fraction;
}

std::vector<OutletReading> MakeReadings() {
  constexpr int kCount = 1000;
  std::vector<OutletReading> readings;
  readings.reserve(kCount);
  // Index 0 would give the corner (5, 0); start at 1 so that every reading lies inside.
  for (int i = 1; i <= kCount; ++i) {
    readings.push_back({Within(kOutletTemperature, RadicalInverse(i, 2)),
                        Within(kOutletFlow, RadicalInverse(i, 3))});
  }
  return readings;
}

// The triangles of one generated variable: `terms` overlapping triangles over 0..width,
// the width differing per variable so that no two variables read alike.
struct Triangle {
  double left;
  double middle;
  double right;
};

double VariableWidth(int variable) {
  return 100.0 + variable * 0.25;
}

Triangle TermTriangle(int variable, int term, int terms) {
  const double step = VariableWidth(variable) / (terms + 1);
  return {term * step, (term + 1) * step, (term + 2) * step};
}

std::string Number(double value) {
  return FormatFixed(value, 4);
}

}  // namespace

const std::vector<OutletReading>& OutletReadings() {
  static const std::vector<OutletReading> readings = MakeReadings();
  return readings;
}

std::string GenerateFllText(int variables, int terms) {
  std::string text = "Engine: generated\n";
  for (int v = 0; v < variables; ++v) {
    text += "InputVariable: v" + IntToStr(v) + "\n";
    text += "  enabled: true\n";
    text += "  range: 0.0000 " + Number(VariableWidth(v)) + "\n";
    text += "  lock-range: false\n";
    for (int t = 0; t < terms; ++t) {
      const Triangle shape = TermTriangle(v, t, terms);
      text += "  term: t" + IntToStr(t) + " Triangle " + Number(shape.left) + " " +
              Number(shape.middle) + " " + Number(shape.right) + "\n";
    }
  }
  return text;
}

std::string GenerateDefinitionText(int variables, int terms) {
  std::string text;
  for (int v = 0; v < variables; ++v) {
    text += "(deffuzzy v" + IntToStr(v) + "\n";
    text += "  (range 0.0000 " + Number(VariableWidth(v)) + ")\n";
    text += "  (values\n";
    for (int t = 0; t < terms; ++t) {
      const Triangle shape = TermTriangle(v, t, terms);
      text += "    (term t" + IntToStr(t) + " (tri " + Number(shape.left) + " " +
              Number(shape.middle) + " " + Number(shape.right) + "))\n";
    }
    text += "  ))\n";
  }
  return text;
}

}  // namespace tapwise::bench
