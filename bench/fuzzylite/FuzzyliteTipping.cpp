#include <fl/Headers.h>

#include <memory>
#include <string>

#include "FuzzyliteFaucetController.h"

namespace tapwise::bench {
namespace {

// The textbook tipping controller of examples/tipping.fzl in fuzzylite's own language.
std::string TippingFll(int resolution) {
  const std::string inputs[] = {"quality", "service"};
  std::string fll = "Engine: tipping\n";
  for (const std::string& input : inputs) {
    fll += "InputVariable: " + input +
           "\n  enabled: true\n  range: 0.000 10.000\n"
           "  term: poor Ramp 5.000 0.000\n  term: average Triangle 0.000 5.000 10.000\n"
           "  term: good Ramp 5.000 10.000\n";
  }
  fll +=
      "OutputVariable: tip\n  enabled: true\n  range: 0.000 25.000\n"
      "  aggregation: Maximum\n  defuzzifier: Centroid " +
      std::to_string(resolution) +
      "\n  default: nan\n"
      "  term: low Ramp 13.000 0.000\n  term: medium Triangle 0.000 13.000 25.000\n"
      "  term: high Ramp 13.000 25.000\n"
      "RuleBlock: rules\n  enabled: true\n  conjunction: Minimum\n  disjunction: Maximum\n"
      "  implication: Minimum\n  activation: General\n"
      "  rule: if quality is poor or service is poor then tip is low\n"
      "  rule: if service is average then tip is medium\n"
      "  rule: if service is good or quality is good then tip is high\n";
  return fll;
}

}  // namespace

FuzzyliteTipping::FuzzyliteTipping(int resolution)
    : FEngine(fl::FllImporter().fromString(TippingFll(resolution))) {}

FuzzyliteTipping::~FuzzyliteTipping() = default;

double FuzzyliteTipping::Tip(double quality, double service) {
  FEngine->setInputValue("quality", quality);
  FEngine->setInputValue("service", service);
  FEngine->process();
  return FEngine->getOutputValue("tip");
}

}  // namespace tapwise::bench
