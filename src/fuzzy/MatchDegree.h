#pragma once

#include <memory>

#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

class TFuzzySetValues;
class TMatchMemo;

// The height of the Zadeh intersection of `a` and `b` (`TFuzzySet::MatchDegree`): the merge walk
// over only the points that can give a positive minimum, with the degrees of a narrow `a`
// against short stretches of `b` remembered in `memo` (made when first of use).
TFzyFloat MatchDegreeOf(const TFuzzySetValues& a, const TFuzzySetValues& b,
                        std::unique_ptr<TMatchMemo>& memo);

}  // namespace tapwise
