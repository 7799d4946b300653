#include "tapwise/fuzzy/DegreeOperations.h"

#include <cmath>

namespace tapwise {

namespace {

// The AND (index 0) and OR (index 1) of each operation family; the AND by foSum does not
// exist.
constexpr TDegreeOperation kCombine[7][2] = {
    {[](TFzyFloat a, TFzyFloat b) { return std::fmin(a, b); },
     [](TFzyFloat a, TFzyFloat b) { return std::fmax(a, b); }},
    {[](TFzyFloat a, TFzyFloat b) { return (a + b) / 2; },
     [](TFzyFloat a, TFzyFloat b) { return (2 * std::fmin(a, b) + 4 * std::fmax(a, b)) / 6; }},
    {[](TFzyFloat a, TFzyFloat b) { return (a + b) / 2 * ((a + b) / 2); },
     [](TFzyFloat a, TFzyFloat b) { return (a + b) / 2 * ((a + b) / 2); }},
    {[](TFzyFloat a, TFzyFloat b) { return std::sqrt((a + b) / 2); },
     [](TFzyFloat a, TFzyFloat b) { return std::sqrt((a + b) / 2); }},
    {[](TFzyFloat a, TFzyFloat b) { return a * b; },
     [](TFzyFloat a, TFzyFloat b) { return a + b - a * b; }},
    {[](TFzyFloat a, TFzyFloat b) { return std::fmax(0.0, a + b - 1); },
     [](TFzyFloat a, TFzyFloat b) { return std::fmin(1.0, a + b); }},
    {nullptr, [](TFzyFloat a, TFzyFloat b) { return a + b; }},
};

}  // namespace

TDegreeOperation DegreeAnd(TFuzzyOperation operation) {
  return operation <= foSum ? kCombine[operation][0] : nullptr;
}

TDegreeOperation DegreeOr(TFuzzyOperation operation) {
  return operation <= foSum ? kCombine[operation][1] : nullptr;
}

}  // namespace tapwise
