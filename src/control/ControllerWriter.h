#pragma once

#include <string>

namespace tapwise::detail {

class TControllerModel;

/// The model as definition text that reads back to the same model: the variables' forms,
/// then one "(definput" per input, one "(defoutput" per output and one "(defrules" per rule
/// block, every setting written out.
std::string ControllerText(const TControllerModel& model);

}  // namespace tapwise::detail
