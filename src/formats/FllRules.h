#pragma once

#include <string>
#include <string_view>

#include "tapwise/control/FuzzyRule.h"

namespace tapwise::detail::fll {

/// The rule `text` of an FLL rule block, named `name`:
///
///     if service is very good and food is not rancid then tip is generous with 0.5
///
/// "and" binds closer than "or"; parentheses group. fuzzylite's hedges become the library's
/// hedges of the same formula (not, somewhat as moreorless, very, extremely as positively);
/// a leading "not" of a test becomes the antecedent's NOT. EFzyParseException at `line` for
/// a rule that does not read and for the hedges the library lacks ("Unsupported hedge
/// seldom").
TFuzzyRule ReadRule(std::string_view text, std::string name, int line);

}  // namespace tapwise::detail::fll
