#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tapwise/control/FuzzyRule.h"
#include "tapwise/control/InferenceSettings.h"
#include "tapwise/fuzzy/MembershipShape.h"

// An FCL function block as read, before it becomes a controller: the reader checks the
// syntax, the builder what the pieces mean together. Lines are kept for the builder's errors.

namespace tapwise::detail {

struct TFclTerm {
  std::string Name;
  /// A point list is Discrete, a lone number Singleton.
  TMembershipShape Shape;
  int Line = 0;
};

/// A setting with the word that named it, for messages.
template <class Value>
struct TFclSetting {
  Value Setting;
  std::string Word;
};

struct TFclVariable {
  std::string Name;
  bool IsOutput = false;
  int Line = 0;
  /// The line of its FUZZIFY or DEFUZZIFY block; 0 without one.
  int BlockLine = 0;
  std::vector<TFclTerm> Terms;
  std::optional<std::pair<TFzyFloat, TFzyFloat>> Range;
  std::optional<TFclSetting<TDefuzzification>> Method;
  std::optional<TFclSetting<TAggregation>> Accumulation;
  std::optional<TFzyFloat> Default;
};

struct TFclRuleBlock {
  std::string Name;
  int Line = 0;
  std::optional<TFuzzyOperation> And;
  std::optional<TFuzzyOperation> Or;
  TImplication Activation = TImplication::Clip;
  std::optional<TFclSetting<TAggregation>> Accumulation;
  std::vector<TFuzzyRule> Rules;
};

struct TFclDocument {
  std::vector<TFclVariable> Variables;
  std::vector<TFclRuleBlock> Blocks;
};

/// The function block of `text`; EFzyParseException with the line when it does not read.
TFclDocument ParseFcl(std::string_view text);

}  // namespace tapwise::detail
