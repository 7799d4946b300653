#include "FuzzyliteFaucetController.h"

#include <fl/Headers.h>

#include <memory>
#include <string>

#include "tapwise/faucet/FaucetRules.h"

namespace tapwise::bench {
namespace {

// fuzzylite takes ownership of the objects handed to it as plain pointers; each is passed
// on at once, so nothing leaks when a later step throws.
fl::OutputVariable* AddValveChange(fl::Engine& engine, const std::string& name, int resolution) {
  auto* change = new fl::OutputVariable(name, -1.0, 1.0);
  engine.addOutputVariable(change);
  change->setDefuzzifier(new fl::Centroid(resolution));
  change->setAggregation(new fl::Maximum);
  change->setDefaultValue(0.0);
  change->setLockPreviousValue(false);
  change->setLockValueInRange(false);
  change->addTerm(new fl::Ramp("NB", -0.25, -0.5));
  change->addTerm(new fl::Triangle("NM", -0.35, -0.3, -0.15));
  change->addTerm(new fl::Triangle("NS", -0.25, -0.15, 0.0));
  change->addTerm(new fl::Triangle("Z", -0.05, 0.0, 0.05));
  change->addTerm(new fl::Triangle("PS", 0.0, 0.15, 0.25));
  change->addTerm(new fl::Triangle("PM", 0.15, 0.3, 0.35));
  change->addTerm(new fl::Ramp("PB", 0.25, 0.5));
  return change;
}

// The demo's rule as fuzzylite's rule language says it.
std::string RuleText(const TFaucetRule& rule) {
  return std::string("if outTemp is ") + rule.TempTerm + " and outFlow is " + rule.FlowTerm +
         " then hot_change is " + rule.HotConsequent + " and cold_change is " + rule.ColdConsequent;
}

}  // namespace

FuzzyliteFaucetController::FuzzyliteFaucetController(int resolution)
    : FEngine(std::make_unique<fl::Engine>("faucet")) {
  FOutTemp = new fl::InputVariable("outTemp", kOutletTemperature.Min, kOutletTemperature.Max);
  FEngine->addInputVariable(FOutTemp);
  FOutTemp->setLockValueInRange(false);
  FOutTemp->addTerm(new fl::ZShape("cold", 10.0, 35.0));
  FOutTemp->addTerm(new fl::PiShape("OK", 34.0, 36.0, 36.0, 38.0));
  FOutTemp->addTerm(new fl::SShape("hot", 37.0, 60.0));

  FOutFlow = new fl::InputVariable("outFlow", kOutletFlow.Min, kOutletFlow.Max);
  FEngine->addInputVariable(FOutFlow);
  FOutFlow->setLockValueInRange(false);
  FOutFlow->addTerm(new fl::ZShape("low", 3.0, 11.5));
  FOutFlow->addTerm(new fl::PiShape("OK", 11.0, 12.0, 12.0, 13.0));
  FOutFlow->addTerm(new fl::SShape("strong", 12.5, 25.0));

  FHotChange = AddValveChange(*FEngine, "hot_change", resolution);
  FColdChange = AddValveChange(*FEngine, "cold_change", resolution);

  auto* rules = new fl::RuleBlock("faucet");
  FEngine->addRuleBlock(rules);
  rules->setConjunction(new fl::Minimum);
  rules->setDisjunction(new fl::Maximum);
  rules->setImplication(new fl::Minimum);
  // fuzzylite's usual activation fires every rule of non-zero strength, where the demo
  // fires from 0.01 on. Near that floor the two differ (a consequent clipped at 0.0003
  // still moves a centroid), as they do where the smooth Z and S tails and the seven-point
  // curves fall on either side of it; the report's notes show these shares.
  rules->setActivation(new fl::General);
  for (const TFaucetRule& rule : kFaucetRules)
    rules->addRule(fl::Rule::parse(RuleText(rule), FEngine.get()));

  std::string status;
  if (!FEngine->isReady(&status)) throw fl::Exception("fuzzylite engine not ready: " + status);
}

FuzzyliteFaucetController::~FuzzyliteFaucetController() = default;

ValveChanges FuzzyliteFaucetController::Tick(const OutletReading& reading) {
  FOutTemp->setValue(reading.temperature);
  FOutFlow->setValue(reading.flow);
  FEngine->process();
  return {FHotChange->getValue(), FColdChange->getValue()};
}

std::size_t ImportFll(const std::string& text) {
  const fl::FllImporter importer;
  const std::unique_ptr<fl::Engine> engine(importer.fromString(text));
  return engine->numberOfInputVariables();
}

}  // namespace tapwise::bench
