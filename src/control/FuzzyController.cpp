#include "tapwise/control/FuzzyController.h"

#include <cmath>
#include <limits>

#include "ControllerEvaluation.h"
#include "ControllerModel.h"
#include "ControllerParser.h"
#include "ControllerWriter.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/foundation/StringList.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyVariable.h"
#include "tapwise/language/FuzzyWriter.h"

namespace tapwise {

namespace {

// A term made from a membership shape, with the points it was given: while the term still
// has them, the shape describes it.
struct TShapedTerm {
  std::string Variable;
  std::string Term;
  TMembershipShape Shape;
  std::vector<TShapePoint> Points;
};

bool HasPoints(const TFuzzySet& set, const std::vector<TShapePoint>& points) {
  if (set.GetCount() != static_cast<int>(points.size())) return false;
  for (int i = 0; i < set.GetCount(); ++i) {
    const TShapePoint& point = points[static_cast<size_t>(i)];
    if (set.GetX(i) != point.X || set.GetY(i) != point.Y) return false;
  }
  return true;
}

}  // namespace

struct TFuzzyController::TState {
  detail::TControllerModel Model;
  std::vector<TShapedTerm> ShapedTerms;
  std::vector<TFzyFloat> Inputs;
  // Made from the model when it runs first after a change.
  std::unique_ptr<detail::TControllerEvaluation> Evaluation;
  uint64_t EvaluationRevision = 0;
  bool HasRun = false;

  // Keeps one input value per input, new inputs without a value.
  void MatchInputs() {
    Inputs.resize(Model.GetInputs().size(), std::numeric_limits<TFzyFloat>::quiet_NaN());
  }
  int InputIndex(std::string_view name) const {
    const int index = Model.FindInput(name);
    if (index < 0) throw EFzyException(Format(messages::kUnknownInput, name, Model.InputNames()));
    return index;
  }
  int OutputIndex(std::string_view name) const {
    const int index = Model.FindOutput(name);
    if (index < 0) throw EFzyException(Format(messages::kUnknownOutput, name, Model.OutputNames()));
    return index;
  }
  // The evaluation of the last Process, when the model has not changed since.
  const detail::TControllerEvaluation& LastRun() const {
    if (!HasRun || Evaluation == nullptr || EvaluationRevision != Model.GetRevision())
      throw EFzyException(messages::kNotProcessed);
    return *Evaluation;
  }
};

TFuzzyController::TFuzzyController() : FState(std::make_unique<TState>()) {}
TFuzzyController::~TFuzzyController() = default;
TFuzzyController::TFuzzyController(TFuzzyController&&) noexcept = default;
TFuzzyController& TFuzzyController::operator=(TFuzzyController&&) noexcept = default;

TFuzzyController TFuzzyController::FromText(const std::string& text) {
  TFuzzyController controller;
  controller.Define(text);
  return controller;
}

TFuzzyController TFuzzyController::FromFile(const std::string& path) {
  TStringList lines;
  lines.LoadFromFile(path);
  return FromText(lines.GetText());
}

// ---- Structure ----

void TFuzzyController::Define(const std::string& text) {
  FState->Model.Touch();
  try {
    FState->Model.GetParser().ParseFuzzyLogic(text);
  } catch (...) {
    FState->MatchInputs();
    throw;
  }
  FState->MatchInputs();
}

TFuzzyLogic& TFuzzyController::GetFuzzyLogic() {
  return FState->Model.GetLogic();
}
const TFuzzyLogic& TFuzzyController::GetFuzzyLogic() const {
  return FState->Model.GetLogic();
}

const TFuzzyVariable& TFuzzyController::GetVariable(std::string_view name) const {
  return *FState->Model.GetLogic().GetVariable(name);
}

TFuzzyVariable& TFuzzyController::AddVariable(const std::string& name, TFzyFloat min,
                                              TFzyFloat max) {
  detail::TControllerModel::CheckWord("Variable", name);
  TFuzzyVariable& variable = *FState->Model.GetLogic().GetFuzzyVariables().AddVariable();
  variable.SetName(name);
  variable.SetMinimum(min);
  variable.SetMaximum(max);
  return variable;
}

TFuzzySet& TFuzzyController::AddTerm(const std::string& variable, const std::string& name,
                                     const std::string& body) {
  TFuzzyVariable& owner = *FState->Model.GetLogic().GetVariable(variable);
  FState->Model.Touch();
  return *FState->Model.GetParser().ParseFuzzySet(owner, "(term " + name + " " + body + ")");
}

TFuzzySet& TFuzzyController::AddTerm(const std::string& variable, const std::string& name,
                                     const TMembershipShape& shape) {
  const TFuzzyVariable& owner = GetVariable(variable);
  std::vector<TShapePoint> points = ShapePoints(shape, owner.GetMinimum(), owner.GetMaximum());
  std::string body = "(";
  for (const TShapePoint& point : points)
    body += "(" + ExactFloatToStr(point.X) + " " + ExactFloatToStr(point.Y) + ")";
  body += ")";
  TFuzzySet& term = AddTerm(variable, writer::WordText(name), body);
  std::erase_if(FState->ShapedTerms, [&](const TShapedTerm& shaped) {
    return shaped.Variable == variable && shaped.Term == name;
  });
  FState->ShapedTerms.push_back({variable, name, shape, std::move(points)});
  return term;
}

std::optional<TMembershipShape> TFuzzyController::FindTermShape(std::string_view variable,
                                                                std::string_view term) const {
  for (const TShapedTerm& shaped : FState->ShapedTerms) {
    if (shaped.Variable != variable || shaped.Term != term) continue;
    const TFuzzyVariable* owner = FState->Model.FindVariable(variable);
    if (owner == nullptr) return std::nullopt;
    const int index = IndexOfName(owner->GetItems(), term);
    if (index < 0 || !HasPoints(*owner->GetItems().GetSet(index), shaped.Points))
      return std::nullopt;
    return shaped.Shape;
  }
  return std::nullopt;
}

void TFuzzyController::AddInput(TControllerInput input) {
  FState->Model.AddInput(std::move(input));
  FState->MatchInputs();
}

void TFuzzyController::AddOutput(TControllerOutput output) {
  FState->Model.Atomically([&] { FState->Model.AddOutput(std::move(output)); });
  FState->MatchInputs();
}

void TFuzzyController::AddRuleBlock(TRuleBlock block) {
  detail::TControllerModel& model = FState->Model;
  model.Atomically([&] {
    model.AddBlock(block.Name, block.Settings);
    for (TFuzzyRule& rule : block.Rules)
      model.AddRule(std::move(rule));
  });
  FState->MatchInputs();
}

const std::vector<TControllerInput>& TFuzzyController::GetInputs() const {
  return FState->Model.GetInputs();
}
const std::vector<TControllerOutput>& TFuzzyController::GetOutputs() const {
  return FState->Model.GetOutputs();
}
const std::vector<TRuleBlock>& TFuzzyController::GetRuleBlocks() const {
  return FState->Model.GetBlocks();
}

std::string TFuzzyController::ToText() const {
  return detail::ControllerText(FState->Model);
}

// ---- Evaluation ----

void TFuzzyController::SetInput(std::string_view name, TFzyFloat value) {
  const int index = FState->InputIndex(name);
  if (std::isnan(value)) throw EFzyException(Format(messages::kInputNotNumber, name));
  FState->Inputs[static_cast<size_t>(index)] = value;
}

TFzyFloat TFuzzyController::GetInput(std::string_view name) const {
  return FState->Inputs[static_cast<size_t>(FState->InputIndex(name))];
}

void TFuzzyController::Process() {
  TState& state = *FState;
  state.HasRun = false;
  for (size_t i = 0; i < state.Inputs.size(); ++i)
    if (std::isnan(state.Inputs[i]))
      throw EFzyException(Format(messages::kInputWithoutValue, state.Model.GetInputs()[i].Name));
  if (state.Evaluation == nullptr || state.EvaluationRevision != state.Model.GetRevision()) {
    state.Evaluation.reset();
    state.Evaluation = std::make_unique<detail::TControllerEvaluation>(state.Model);
    state.EvaluationRevision = state.Model.GetRevision();
  }
  state.Evaluation->Run(state.Inputs);
  state.HasRun = true;
}

std::optional<TFzyFloat> TFuzzyController::FindOutput(std::string_view name) const {
  const int index = FState->OutputIndex(name);
  return FState->LastRun().GetValue(index);
}

TFzyFloat TFuzzyController::GetOutput(std::string_view name) const {
  const std::optional<TFzyFloat> value = FindOutput(name);
  if (!value) throw EFzyException(Format(messages::kNoRuleFired, name));
  return *value;
}

std::span<const TRuleActivation> TFuzzyController::GetActivations() const {
  return FState->LastRun().GetActivations();
}

const TFuzzySet* TFuzzyController::GetAggregate(std::string_view name) const {
  const int index = FState->OutputIndex(name);
  return FState->LastRun().GetAggregate(index);
}

std::vector<TImpliedConsequent> TFuzzyController::GetImpliedConsequents(
    std::string_view name) const {
  const int index = FState->OutputIndex(name);
  const detail::TControllerEvaluation& run = FState->LastRun();
  std::vector<TImpliedConsequent> consequents;
  for (const auto& implied : run.GetImplied(index)) {
    const TRuleActivation& activation = run.GetActivations()[implied.Activation];
    consequents.push_back({activation.Rule, activation.Strength, implied.Set});
  }
  return consequents;
}

}  // namespace tapwise
