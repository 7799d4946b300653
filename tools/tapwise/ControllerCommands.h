#pragma once

#include <span>
#include <string>
#include <string_view>

#include "tapwise/control/FuzzyController.h"

namespace tapwise::tool {

/// What `tapwise check` adds after the variables of a file with a controller: the inputs and
/// outputs with what sets them apart, then every rule block with its rule count and, on the
/// next line, its settings in the words of the language:
///
///       inputs: outTemp (spread 0.1), outFlow (spread 0.5)
///       outputs: hot (variable change_vc, default 0), cold (variable change_vc, default 0)
///       rule block valves: 8 rules
///         and zadeh, or zadeh, implication cap, aggregation maximum, defuzzification ...
std::string ControllerCheckText(const TFuzzyController& controller);

/// Sets every input from a "NAME=VALUE" of `assignments`. Raises EToolError for a malformed
/// assignment, a value that is no number and inputs left without a value, and the library's
/// error for a name that is no input.
void SetInputs(TFuzzyController& controller, std::span<const std::string> assignments);

/// What `tapwise run` prints: the inputs set by `SetInputs`, the controller run, then one line per
/// output in the controller's order, "tip = 19.8578" (four decimals) or "tip: no rule fired" when
/// no rule for it fired and it has no default. With `explain`, every rule follows with its
/// strength, a "*" before the ones that fired. Raises EToolError for a malformed assignment, a
/// value that is no number and inputs left without a value, and the library's error for a name that
/// is no input.
std::string RunText(TFuzzyController& controller, std::span<const std::string> assignments,
                    bool explain);

/// What `tapwise table` prints for the columns of `data` (named `data_name` in errors): a
/// header of the inputs and then the outputs, and per row their values with six decimals
/// ("nan" for an output without a value), all separated by tabs. The first line that is not
/// empty names the columns; the columns named after inputs are read and the others ignored.
/// Raises EToolError "<data_name>:<line>: ..." for a missing input column, a row with the
/// wrong number of fields and a field of an input that is no number.
std::string TableText(TFuzzyController& controller, std::string_view data,
                      const std::string& data_name);

}  // namespace tapwise::tool
