// The tipping controller of tipping.fzl: the tip, in percent of the bill, for a few ratings
// of the food and the service (0 to 10 each).
//
//   build-release/examples/tipping examples/tipping.fzl
#include <exception>
#include <iostream>

#include "tapwise/control/FuzzyController.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: tipping FILE.fzl\n";
    return 1;
  }
  try {
    auto tipping = tapwise::TFuzzyController::FromFile(argv[1]);
    struct Rating {
      double quality, service;
    };
    for (auto [quality, service] : {Rating{6.5, 9.8}, {3, 8}, {5, 5}, {0, 0}, {10, 10}}) {
      tipping.SetInput("quality", quality);
      tipping.SetInput("service", service);
      tipping.Process();
      std::cout << "quality " << quality << ", service " << service << ": tip " << std::fixed
                << tipping.GetOutput("tip") << std::defaultfloat << "\n";
    }
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
}
