#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "FuzzInput.h"
#include "tapwise/control/FuzzyController.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise::fuzzing {

/// Every output of `controller` after a run at inputs inside, at and beyond each input's
/// range, as the bits of `mode` pick them; each output finite or absent. None when the run
/// refuses (a set operation's non-finite result).
inline std::optional<std::vector<std::optional<double>>> OutputsAt(TFuzzyController& controller,
                                                                   uint8_t mode) {
  const auto& inputs = controller.GetInputs();
  for (size_t i = 0; i < inputs.size(); ++i) {
    const TFuzzyVariable& variable = controller.GetVariable(inputs[i].Name);
    const double share = ((mode >> (i % 7)) & 3) * 0.4 - 0.1;
    controller.SetInput(inputs[i].Name, variable.GetMinimum() + share * (variable.GetMaximum() -
                                                                         variable.GetMinimum()));
  }
  try {
    controller.Process();
  } catch (const Exception&) {
    return std::nullopt;
  }
  std::vector<std::optional<double>> values;
  for (const TControllerOutput& output : controller.GetOutputs()) {
    values.push_back(controller.FindOutput(output.Name));
    Require(!values.back() || std::isfinite(*values.back()),
            "output " + output.Name + " is not a finite number");
  }
  return values;
}

}  // namespace tapwise::fuzzing
