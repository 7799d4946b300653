// What an FCL function block means as a controller: variables over their ranges, outputs
// Mamdani or (COGS over singletons) Sugeno, and one rule block per RULEBLOCK with the
// settings of its own words and of the outputs it concludes.

#include <algorithm>
#include <utility>

#include "FclDocument.h"
#include "FclWords.h"
#include "FormatCodecs.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzyVariable.h"

namespace tapwise::detail {

namespace {

// Runs `step`, giving whatever the library refuses in it the line it comes from.
template <class Step>
void AtLine(int line, Step&& step) {
  try {
    step();
  } catch (const Exception& error) {
    throw EFzyParseException(error.what(), line);
  }
}

std::string TermOf(const TFclTerm& term, const TFclVariable& variable) {
  return "term " + term.Name + " of " + variable.Name;
}

bool IsSugeno(const TFclVariable& variable) {
  return variable.Method && IsSugenoDefuzzification(variable.Method->Setting);
}

// The span of the X positions a linear term's parameters name; none for a smooth shape.
std::optional<std::pair<TFzyFloat, TFzyFloat>> SpanOf(const TMembershipShape& shape) {
  std::vector<TFzyFloat> xs;
  switch (shape.Kind) {
    case TShapeKind::Discrete:
      for (size_t i = 0; i < shape.Parameters.size(); i += 2)
        xs.push_back(shape.Parameters[i]);
      break;
    case TShapeKind::Triangle:
    case TShapeKind::Trapezoid:
    case TShapeKind::Rectangle:
    case TShapeKind::Ramp:
    case TShapeKind::Singleton:
      xs = shape.Parameters;
      break;
    default:
      return std::nullopt;
  }
  if (xs.empty()) return std::nullopt;
  const auto [low, high] = std::minmax_element(xs.begin(), xs.end());
  return std::pair{*low, *high};
}

// The RANGE, or the span of the terms' points.
std::pair<TFzyFloat, TFzyFloat> RangeOf(const TFclVariable& variable) {
  if (variable.Range) return *variable.Range;
  const int line = variable.BlockLine != 0 ? variable.BlockLine : variable.Line;
  if (variable.Terms.empty())
    throw EFzyParseException("Variable " + variable.Name + " has neither a RANGE nor terms", line);
  std::optional<std::pair<TFzyFloat, TFzyFloat>> range;
  for (const TFclTerm& term : variable.Terms) {
    const auto span = SpanOf(term.Shape);
    if (!span)
      throw EFzyParseException("Variable " + variable.Name + " needs a RANGE for its " +
                                   std::string(FclTermForm(term.Shape.Kind)) + " term " + term.Name,
                               term.Line);
    range = range ? std::pair{std::min(range->first, span->first),
                              std::max(range->second, span->second)}
                  : *span;
  }
  if (!(range->first < range->second))
    throw EFzyParseException(
        "Variable " + variable.Name + " needs a RANGE: its terms span no width", line);
  return *range;
}

// The points of a point list within min..max: a segment that crosses a bound is cut there,
// so that the term keeps its degrees inside the range.
std::vector<TShapePoint> PointsWithin(const TFclTerm& term, const TFclVariable& variable,
                                      TFzyFloat min, TFzyFloat max) {
  const std::vector<TFzyFloat>& p = term.Shape.Parameters;
  std::vector<TShapePoint> given;
  for (size_t i = 0; i + 1 < p.size(); i += 2) {
    if (!given.empty() && p[i] < given.back().X)
      throw EFzyParseException("The points of " + TermOf(term, variable) + " go back in x",
                               term.Line);
    if (!(p[i + 1] >= 0 && p[i + 1] <= 1))
      throw EFzyParseException("The degree " + ExactFloatToStr(p[i + 1]) + " of " +
                                   TermOf(term, variable) + " is outside 0..1",
                               term.Line);
    given.push_back({p[i], p[i + 1]});
  }
  std::vector<TShapePoint> points;
  const auto cut = [](const TShapePoint& a, const TShapePoint& b, TFzyFloat x) {
    return TShapePoint{x, a.Y + (b.Y - a.Y) * (x - a.X) / (b.X - a.X)};
  };
  for (size_t i = 0; i < given.size(); ++i) {
    if (i > 0) {
      const TShapePoint& a = given[i - 1];
      const TShapePoint& b = given[i];
      if (a.X < min && b.X > min) points.push_back(cut(a, b, min));
      if (a.X < max && b.X > max) points.push_back(cut(a, b, max));
    }
    if (given[i].X >= min && given[i].X <= max) points.push_back(given[i]);
  }
  if (points.empty())
    points.push_back({min, given.front().X > max ? given.front().Y : given.back().Y});
  return points;
}

void AddTerm(TFuzzyController& controller, TFuzzyVariable& owner, const TFclVariable& variable,
             const TFclTerm& term) {
  const TFzyFloat min = owner.GetMinimum();
  const TFzyFloat max = owner.GetMaximum();
  std::vector<TShapePoint> points;
  if (term.Shape.Kind == TShapeKind::Discrete) {
    points = PointsWithin(term, variable, min, max);
  } else if (term.Shape.Kind == TShapeKind::Singleton) {
    const TFzyFloat x = term.Shape.Parameters.front();
    if (!(x >= min && x <= max))
      throw EFzyParseException("The singleton " + ExactFloatToStr(x) + " of " +
                                   TermOf(term, variable) + " lies outside its range",
                               term.Line);
    points = {{x, 0}, {x, 1}, {x, 0}};
  } else {
    AtLine(term.Line, [&] { controller.AddTerm(variable.Name, term.Name, term.Shape); });
    return;
  }
  AtLine(term.Line, [&] {
    TFuzzySet& set = *owner.GetItems().AddSet(term.Name);
    set.BeginUpdate();
    for (const TShapePoint& point : points)
      set.AddPoint(point.X, point.Y);
    set.EndUpdate();
  });
}

TControllerOutput SugenoOutput(const TFclVariable& variable) {
  TControllerOutput output;
  output.Name = variable.Name;
  output.Default = variable.Default;
  output.IsSugeno = true;
  for (const TFclTerm& term : variable.Terms) {
    if (term.Shape.Kind != TShapeKind::Singleton)
      throw EFzyParseException("Unsupported " + variable.Method->Word + " over the " +
                                   std::string(FclTermForm(term.Shape.Kind)) + " " +
                                   TermOf(term, variable),
                               term.Line);
    output.SugenoTerms.push_back({term.Name, term.Shape.Parameters.front(), {}});
  }
  return output;
}

void AddVariable(TFuzzyController& controller, const TFclVariable& variable) {
  if (IsSugeno(variable)) {
    TControllerOutput output = SugenoOutput(variable);
    AtLine(variable.BlockLine, [&] { controller.AddOutput(std::move(output)); });
    return;
  }
  const std::pair<TFzyFloat, TFzyFloat> range = RangeOf(variable);
  TFuzzyVariable* owner = nullptr;
  AtLine(variable.Line,
         [&] { owner = &controller.AddVariable(variable.Name, range.first, range.second); });
  for (const TFclTerm& term : variable.Terms)
    AddTerm(controller, *owner, variable, term);
  AtLine(variable.Line, [&] {
    if (variable.IsOutput)
      controller.AddOutput({variable.Name, variable.Name, variable.Default, false, {}});
    else
      controller.AddInput({variable.Name, 0});
  });
}

const TFclVariable* FindVariable(const TFclDocument& document, std::string_view name) {
  for (const TFclVariable& variable : document.Variables)
    if (variable.Name == name) return &variable;
  return nullptr;
}

// One value for the whole block from the words of the block and of its outputs: FCL says
// METHOD and (in fuzzylite's files) ACCU per output, Tapwise per rule block.
template <class Value>
std::optional<TFclSetting<Value>> AgreedSetting(
    const TFclRuleBlock& block, const std::vector<const TFclVariable*>& outputs,
    std::optional<TFclSetting<Value>> TFclVariable::*member,
    std::optional<TFclSetting<Value>> agreed, std::string_view what) {
  std::string named_by = agreed ? "RULEBLOCK " + block.Name : "";
  for (const TFclVariable* output : outputs) {
    const std::optional<TFclSetting<Value>>& own = output->*member;
    if (!own) continue;
    if (agreed && agreed->Setting != own->Setting)
      throw EFzyParseException("Unsupported " + std::string(what) + " " + own->Word + " of " +
                                   output->Name + " beside " + agreed->Word + " of " + named_by +
                                   ": one RULEBLOCK has one " + std::string(what),
                               block.Line);
    agreed = own;
    named_by = output->Name;
  }
  return agreed;
}

TRuleBlock RuleBlockOf(const TFclDocument& document, const TFclRuleBlock& fcl) {
  std::vector<const TFclVariable*> outputs;
  for (const TFuzzyRule& rule : fcl.Rules)
    for (const TTermTest& consequent : rule.Then)
      if (const TFclVariable* output = FindVariable(document, consequent.Variable);
          output != nullptr && output->IsOutput &&
          std::find(outputs.begin(), outputs.end(), output) == outputs.end())
        outputs.push_back(output);
  TRuleBlock block{fcl.Name, {}, fcl.Rules};
  TInferenceSettings& settings = block.Settings;
  // AND and OR go in De Morgan's pairs when a block names only one of them.
  settings.And = fcl.And.value_or(fcl.Or.value_or(foZadeh));
  settings.Or = fcl.Or.value_or(settings.And);
  settings.Implication = fcl.Activation;
  if (const auto method =
          AgreedSetting(fcl, outputs, &TFclVariable::Method, {}, "defuzzification method"))
    settings.Defuzzification = method->Setting;
  const TAggregation accumulation =
      AgreedSetting(fcl, outputs, &TFclVariable::Accumulation, fcl.Accumulation, "accumulation")
          .value_or(TFclSetting<TAggregation>{TAggregation::Maximum, "MAX"})
          .Setting;
  if (IsSugenoDefuzzification(settings.Defuzzification))
    settings.TermAggregation = accumulation;
  else
    settings.Aggregation = accumulation;
  return block;
}

}  // namespace

TFuzzyController ReadFcl(const std::string& text) {
  const TFclDocument document = ParseFcl(text);
  TFuzzyController controller;
  for (const TFclVariable& variable : document.Variables)
    if (!variable.IsOutput) AddVariable(controller, variable);
  for (const TFclVariable& variable : document.Variables)
    if (variable.IsOutput) AddVariable(controller, variable);
  for (const TFclRuleBlock& block : document.Blocks) {
    TRuleBlock rules = RuleBlockOf(document, block);
    AtLine(block.Line, [&] { controller.AddRuleBlock(std::move(rules)); });
  }
  return controller;
}

}  // namespace tapwise::detail
