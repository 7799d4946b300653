// The controller of tipping.fzl built in code: the variables and their terms, then one rule
// block whose conditions are written with TAntecedent::Is and ||. It gives the file's tips.
//
//   build-release/examples/tipping_in_code
#include <exception>
#include <iostream>
#include <string>

#include "tapwise/control/FuzzyController.h"

namespace {

tapwise::TFuzzyController MakeTipping() {
  tapwise::TFuzzyController tipping;
  for (const std::string rating : {"quality", "service"}) {
    tipping.AddVariable(rating, 0, 10);
    tipping.AddTerm(rating, "poor", "((0 1) (5 0))");
    tipping.AddTerm(rating, "average", "(tri 0 5 10)");
    tipping.AddTerm(rating, "good", "((5 0) (10 1))");
  }
  tipping.AddVariable("tip", 0, 25);
  tipping.AddTerm("tip", "low", "((0 1) (13 0))");
  tipping.AddTerm("tip", "medium", "(tri 0 13 25)");
  tipping.AddTerm("tip", "high", "((13 0) (25 1))");

  // The default settings are the file's: Zadeh AND and OR, clip, maximum, centroid.
  using tapwise::TAntecedent;
  tipping.AddRuleBlock({
      .Name = "tipping",
      .Settings = {},
      .Rules = {{"stingy",
                 TAntecedent::Is("quality", "poor") || TAntecedent::Is("service", "poor"),
                 {{"tip", "low"}}},
                {"usual", TAntecedent::Is("service", "average"), {{"tip", "medium"}}},
                {"generous",
                 TAntecedent::Is("service", "good") || TAntecedent::Is("quality", "good"),
                 {{"tip", "high"}}}},
  });
  return tipping;
}

}  // namespace

int main() {
  try {
    auto tipping = MakeTipping();
    struct Rating {
      double quality, service;
    };
    for (auto [quality, service] : {Rating{6.5, 9.8}, {3, 8}, {5, 5}, {0, 0}, {10, 10}}) {
      tipping.SetInput("quality", quality);
      tipping.SetInput("service", service);
      tipping.Process();
      // Some rule always fires here; FindOutput is how a program asks without an exception.
      if (auto tip = tipping.FindOutput("tip"))
        std::cout << "quality " << quality << ", service " << service << ": tip " << std::fixed
                  << *tip << std::defaultfloat << "\n";
    }
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
}
