#include <utility>

#include "tapwise/control/FuzzyRule.h"

namespace tapwise {

TAntecedent TAntecedent::Is(std::string variable, std::string term,
                            std::vector<std::string> hedges) {
  TAntecedent test;
  test.FSteps.push_back(TStep::Test);
  test.FTests.push_back({std::move(variable), std::move(term), std::move(hedges)});
  return test;
}

TAntecedent TAntecedent::Join(TAntecedent left, TAntecedent right, TStep step) {
  left.FSteps.insert(left.FSteps.end(), right.FSteps.begin(), right.FSteps.end());
  left.FSteps.push_back(step);
  for (TTermTest& test : right.FTests)
    left.FTests.push_back(std::move(test));
  return left;
}

TAntecedent operator&&(TAntecedent left, TAntecedent right) {
  return TAntecedent::Join(std::move(left), std::move(right), TAntecedent::TStep::And);
}

TAntecedent operator||(TAntecedent left, TAntecedent right) {
  return TAntecedent::Join(std::move(left), std::move(right), TAntecedent::TStep::Or);
}

TAntecedent operator!(TAntecedent operand) {
  operand.FSteps.push_back(TAntecedent::TStep::Not);
  return operand;
}

}  // namespace tapwise
