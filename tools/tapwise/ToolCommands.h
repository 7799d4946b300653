#pragma once

#include <string>

#include "DefinitionFile.h"

namespace tapwise::tool {

/// What `tapwise check` prints for one file: a line with the file and its variable count,
/// then per variable its name, range, units and term count, and per term its name and
/// shape as the writer gives it:
///
///     demo.fzl: 3 variables
///       outTemp: range 5 to 65, units Celcius, 3 terms
///         cold (z 10.0000 35.0000)
///
/// A file with a controller goes on with its inputs, outputs and rule blocks (see
/// ControllerCheckText).
std::string CheckText(const TDefinitionFile& file);

/// What `tapwise format` prints: the writer's text of every variable in the order of the
/// file, each followed by a line break. It parses back to the same variables, and formatting
/// it again gives the same text. A file with a controller is written as the controller writes
/// itself (its variables, inputs, outputs and rule blocks), which reads back to the same
/// controller.
std::string FormatText(TDefinitionFile& file);

/// What `tapwise eval` prints: the resulting set's name and expression text, one "(X Y)"
/// line per point, then its centre of gravity and mean of maxima, all numbers "%.4f".
/// The expression is read as the parser reads a term body over the variable's terms.
std::string EvalText(TDefinitionFile& file, const IntfPtr<IFuzzyVariable>& variable,
                     const std::string& expression);

}  // namespace tapwise::tool
