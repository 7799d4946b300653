#pragma once

#include <optional>
#include <string>

#include "tapwise/fuzzy/FuzzyTypes.h"

namespace tapwise {

class TFuzzySet;

/// The settings of the fuzzy-logic component that a set reaches through its variable. A set
/// that reaches no component (no variable, a variable outside any component, an interfaced
/// set) works with these defaults.
struct TFuzzySetSettings {
  /// The number of points a curve generator samples.
  int NumFunctionValues = 7;
  TDefuzzificationMethod DefuzzificationMethod = dmCenterOfGravity;
  TFuzzyCorrelationMethod CorrelationMethod = fcmMinimum;
  TFuzzyInferenceMethod InferenceMethod = fimMinMax;
};

/// What a plain set reads from the variable whose term collection holds it: the universe,
/// the rule threshold, the component's settings and the component's parser. The
/// collection-based variable implements this; a set finds it as the owner of its collection
/// (`TFuzzySet::GetFuzzyVariable`), so the set code depends on the variable's class only to
/// find it faster.
class TFuzzySetContext {
 public:
  /// The lower end of the universe.
  virtual TFzyFloat GetMinimum() const = 0;
  /// The upper end of the universe.
  virtual TFzyFloat GetMaximum() const = 0;
  /// The degree a match must reach for a rule to fire (0..1).
  virtual TFzyFloat GetThreshold() const = 0;
  /// The component's settings, or the defaults when the variable belongs to no component.
  virtual TFuzzySetSettings GetSettings() const = 0;
  /// The component parser's text of `set` (its short form), or none when there is no
  /// component or the component has no parser.
  virtual std::optional<std::string> FuzzySetText(const TFuzzySet& set) const = 0;

 protected:
  TFuzzySetContext() = default;
  TFuzzySetContext(const TFuzzySetContext&) = default;
  TFuzzySetContext& operator=(const TFuzzySetContext&) = default;
  ~TFuzzySetContext() = default;
};

}  // namespace tapwise
