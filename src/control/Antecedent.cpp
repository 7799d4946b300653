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

std::string TAntecedent::InfixText(const std::function<std::string(const TTermTest&)>& test_text,
                                   const TConnectives& words) const {
  // How tightly a part binds: a test, a group or a negation binds tightest.
  enum TLevel { kOr = 1, kAnd = 2, kFactor = 3 };
  struct TPart {
    std::string Text;
    int Level;
  };
  const auto at_least = [](const TPart& part, int level) {
    return part.Level >= level ? part.Text : "(" + part.Text + ")";
  };
  std::vector<TPart> stack;
  size_t test = 0;
  for (TStep step : FSteps) {
    if (step == TStep::Test) {
      stack.push_back({test_text(FTests[test++]), kFactor});
    } else if (step == TStep::Not) {
      stack.back() = {std::string(words.Not) + " " + at_least(stack.back(), kFactor), kFactor};
    } else {
      TPart right = std::move(stack.back());
      stack.pop_back();
      const bool is_and = step == TStep::And;
      const int level = is_and ? kAnd : kOr;
      stack.back() = {at_least(stack.back(), level) + " " +
                          std::string(is_and ? words.And : words.Or) + " " +
                          at_least(right, level + 1),
                      level};
    }
  }
  return stack.empty() ? std::string() : stack.back().Text;
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
