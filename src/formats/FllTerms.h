#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "FllDocument.h"
#include "tapwise/control/ControllerPorts.h"
#include "tapwise/fuzzy/MembershipShape.h"

namespace tapwise::detail::fll {

/// Whether `kind` is a term of Takagi-Sugeno outputs (Constant, Linear).
bool IsSugenoKind(std::string_view kind);

/// The membership function of `term` of `variable`, its parameters in the library's order
/// (a Gaussian's "mean sd" become "sigma c", a Bell's "center width slope" become "a b c").
/// EFzyParseException at the term's line for a kind the library has no shape of ("Unsupported
/// term Spike (peak of level)"), a height other than 1, or parameters that are no numbers or
/// not as many as the kind takes.
TMembershipShape ShapeOfTerm(const TTermLine& term, std::string_view variable);

/// The Takagi-Sugeno term `term` of `output`: a Constant, or a Linear whose coefficients
/// belong to `inputs` in their order and whose one extra parameter is the constant.
TSugenoTerm SugenoTermOf(const TTermLine& term, std::string_view output,
                         const std::vector<std::string>& inputs);

}  // namespace tapwise::detail::fll
