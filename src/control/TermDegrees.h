#pragma once

#include <map>
#include <string>
#include <vector>

#include "tapwise/fuzzy/FuzzyGeometry.h"
#include "tapwise/fuzzy/FuzzySet.h"

namespace tapwise::detail {

/// The degrees a run's rules read: every distinct test "input is [hedges] term" gets a slot,
/// measured once per run however many rules share it. A crisp input reads the term's
/// membership from a contiguous copy of its points; an input with a spread matches its
/// reading against the term.
///
///     const int cold = degrees.Add(0, "cold", prepare_cold);  // again for "cold": same slot
///     degrees.Measure(values, readings);
///     degrees[cold];
class TTermDegrees {
 public:
  /// The slot of the test `key` (names the term with its hedges) on input `input`; `prepare`
  /// makes the term, over its variable's universe, when the test is new.
  template <class Prepare>
  int Add(int input, const std::string& key, Prepare&& prepare) {
    const auto [found, added] = FSlots.try_emplace({input, key}, static_cast<int>(FTests.size()));
    if (added) {
      TTest& test = FTests.emplace_back();
      test.Input = input;
      test.Term = prepare();
      for (int i = 0; i < test.Term->GetCount(); ++i)
        test.Points.push_back({test.Term->GetX(i), test.Term->GetY(i)});
    }
    return found->second;
  }

  /// Measures every test: input i at `values[i]`, or by its reading `readings[i]` when that
  /// is not null.
  void Measure(const std::vector<TFzyFloat>& values, const std::vector<TFuzzySet*>& readings);

  TFzyFloat operator[](int slot) const { return FDegrees[static_cast<size_t>(slot)]; }
  /// Every slot's degree, for a loop over many rules.
  const TFzyFloat* GetDegrees() const { return FDegrees.data(); }

 private:
  struct TTest {
    int Input = 0;
    THeldFuzzySet Term;
    std::vector<geometry::TPoint> Points;
  };
  std::map<std::pair<int, std::string>, int> FSlots;
  std::vector<TTest> FTests;
  std::vector<TFzyFloat> FDegrees;
};

}  // namespace tapwise::detail
