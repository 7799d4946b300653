#pragma once

#include <string>
#include <vector>

namespace tapwise::bench {

/// The size of a generated controller: `Inputs` inputs of `Terms` terms each, one output of
/// `Terms` terms, and `Rules` rules (0: one rule for every combination of the inputs' terms).
struct TGeneratedSize {
  int Inputs;
  int Terms;
  int Rules = 0;
};

/// A Mamdani controller in the definition language, sized by `size`. Input `xI` and the
/// output `y` range over 0..Terms-1; term `tJ` is the triangle with its peak at J and its
/// feet at the neighbouring whole numbers, the first and last terms shoulders. Rule `rK`
/// tests one term of every input (joined by `and`) and concludes the term nearest the mean of
/// the tested terms' indexes. With fewer rules than combinations, the rules are spread
/// evenly over the combinations. Minimum and maximum, clip, centroid.
std::string GeneratedControllerText(TGeneratedSize size);

/// `count` input vectors for a controller of `inputs` inputs of `terms` terms: a Halton
/// sequence over the inputs' ranges, the same on every run.
std::vector<std::vector<double>> GeneratedInputVectors(int inputs, int terms, int count);

}  // namespace tapwise::bench
