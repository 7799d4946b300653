// The built-in shape functions of the definition language, shared by both flavours of the
// parser: the same table drives the generators of a plain set and of a counted one.

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string>

#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/CustomFuzzyLogic.h"
#include "tapwise/fuzzy/CustomFuzzyLogicParser.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/IFuzzySet.h"

namespace tapwise {

namespace {

// The curve point count a parser without a component uses.
constexpr int kDefaultFunctionValues = 7;

// The argument values of a call. No shape takes more than four, so the values live in place;
// `size` still counts every argument, which is what the argument count checks compare.
struct TArguments {
  std::array<TFzyFloat, 4> values{};
  size_t count = 0;

  size_t size() const { return count; }
  TFzyFloat operator[](size_t index) const { return values[index]; }
};

// Reads the argument values, refusing any token that is not a number.
TArguments NumericArguments(const TCustomFuzzyLogicParser& parser, const std::string& func_name,
                            const IntfPtr<IFuzzyStreamTokenList>& list) {
  TArguments arguments;
  const int count = list ? list->GetCount() : 0;
  for (int i = 0; i < count; ++i) {
    IntfPtr<IBaseStreamToken> token = list->GetItem(i);
    const int32_t kind = token ? token->GetDataType() : dtEOF;
    if (kind != dtInteger && kind != dtFloat) {
      parser.ErrorFmt(messages::kCalcFuzzyFunctionRoutine, messages::kFunctionArgumentTypes,
                      func_name, messages::kNumericArgumentType);
    }
    if (arguments.count < arguments.values.size()) {
      arguments.values[arguments.count] = token->GetNumber();
    }
    ++arguments.count;
  }
  return arguments;
}

// The argument values of numbers already read.
TArguments KnownArguments(std::span<const TFzyFloat> values) {
  TArguments arguments;
  arguments.count = values.size();
  std::copy_n(values.begin(), std::min(values.size(), arguments.values.size()),
              arguments.values.begin());
  return arguments;
}

// Runs the table on any set type with the shape generators of `TFuzzySet` and `IFuzzySet`;
// `arguments()` gives the argument values once the function is known.
template <class SetType, class Arguments>
void RunBuiltIn(const TCustomFuzzyLogicParser& parser, const std::string& func_name,
                Arguments&& arguments, SetType& set) {
  const TCustomFuzzyLogic* logic = parser.GetFuzzyLogic();
  const int count = logic != nullptr ? logic->GetNumFunctionValues() : kDefaultFunctionValues;
  auto wrong_count = [&](const char* forms) {
    parser.ErrorFmt(messages::kCalcFuzzyFunctionRoutine, messages::kFunctionArgumentCount,
                    func_name, forms);
  };
  if (func_name == "pi") {
    const TArguments a = arguments();
    // Two numbers read as the centre and the half-width: "(pi 36 2)" peaks at 36 over 34..38.
    if (a.size() == 2) {
      set.SetPICurveRange(count, a[1], a[0]);
    } else if (a.size() == 3) {
      set.SetPICurve(count, a[0], a[1], a[2]);
    } else {
      wrong_count(messages::kPiCurveForms);
    }
  } else if (func_name == "tri") {
    const TArguments a = arguments();
    if (a.size() == 3) {
      set.SetTriangle(a[0], a[1], a[2]);
    } else {
      wrong_count(messages::kTriangleForms);
    }
  } else if (func_name == "s" || func_name == "z") {
    const TArguments a = arguments();
    if (a.size() == 2) {
      set.SetCurve(count, func_name == "s", a[0], a[1], a[1]);
    } else {
      wrong_count(messages::kCurveForms);
    }
  } else if (func_name == "beta") {
    const TArguments a = arguments();
    if (a.size() == 3) {
      set.SetBetaCurve(count, a[0], a[1], a[2]);
    } else if (a.size() == 4) {
      set.SetWeightedBetaCurve(count, a[0], a[1], a[2], a[3]);
    } else {
      wrong_count(messages::kBetaCurveForms);
    }
  } else {
    parser.ErrorFmt(messages::kCalcFuzzyFunctionRoutine, messages::kUnknownFunctionName, func_name);
  }
}

}  // namespace

void TCustomFuzzyLogicParser::CalcBuiltInFunction(const std::string& func_name,
                                                  const IntfPtr<IFuzzyStreamTokenList>& list,
                                                  TFuzzySet& fuzzy_set) {
  RunBuiltIn(
      *this, func_name, [&] { return NumericArguments(*this, func_name, list); }, fuzzy_set);
}

void TCustomFuzzyLogicParser::CalcBuiltInFunction(const std::string& func_name,
                                                  const IntfPtr<IFuzzyStreamTokenList>& list,
                                                  IFuzzySet& fuzzy_set) {
  RunBuiltIn(
      *this, func_name, [&] { return NumericArguments(*this, func_name, list); }, fuzzy_set);
}

void TCustomFuzzyLogicParser::CalcBuiltInNumbers(const std::string& func_name,
                                                 std::span<const TFzyFloat> values,
                                                 TFuzzySet& fuzzy_set) const {
  RunBuiltIn(
      *this, func_name, [&] { return KnownArguments(values); }, fuzzy_set);
}

void TCustomFuzzyLogicParser::CalcBuiltInNumbers(const std::string& func_name,
                                                 std::span<const TFzyFloat> values,
                                                 IFuzzySet& fuzzy_set) const {
  RunBuiltIn(
      *this, func_name, [&] { return KnownArguments(values); }, fuzzy_set);
}

}  // namespace tapwise
