#include "ToolCommands.h"

#include "ControllerCommands.h"
#include "ToolText.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/MembershipShape.h"
#include "tapwise/language/FuzzyWriter.h"

namespace tapwise::tool {

namespace {

std::string Counted(std::size_t count, const char* noun) {
  return IntToStr(static_cast<int64_t>(count)) + " " + noun + (count == 1 ? "" : "s");
}

std::string Fixed4(double value) {
  return FixedText(value, 4);
}

// A term as `check` lists it: a smooth shape of an exchange format by its kind, parameters
// and the number of points that draw it; anything else as the writer writes it.
std::string TermShapeText(const TDefinitionFile& file, const IFuzzyVariable& variable,
                          const IFuzzySet& term) {
  const TFuzzyController* controller = file.FindController();
  const std::optional<TMembershipShape> shape =
      controller ? controller->FindTermShape(variable.GetName(), term.GetName()) : std::nullopt;
  if (!shape || IsPiecewiseLinear(shape->Kind)) return writer::ShapeText(term.AsFuzzySet());
  std::string text(ShapeKindName(shape->Kind));
  for (const TFzyFloat parameter : shape->Parameters)
    text += " " + FloatToStr(parameter);
  return text + " (" + Counted(static_cast<std::size_t>(term.GetCount()), "point") + ")";
}

}  // namespace

std::string CheckText(const TDefinitionFile& file) {
  std::string text = file.GetPath() + ": " + Counted(file.GetVariables().size(), "variable") + "\n";
  for (const auto& variable : file.GetVariables()) {
    const auto terms = TermsInOrder(*variable);
    text += "  " + variable->GetName();
    if (!variable->GetComment().empty()) text += " " + writer::QuotedText(variable->GetComment());
    text += ": range " + FloatToStr(variable->GetMinimum()) + " to " +
            FloatToStr(variable->GetMaximum()) + ", ";
    text += variable->GetUnits().empty() ? std::string("no units")
                                         : "units " + writer::UnitsText(variable->GetUnits());
    text += ", " + Counted(terms.size(), "term") + "\n";
    for (const auto& term : terms) {
      text += "    " + term->GetName() + " ";
      if (!term->GetComment().empty()) text += writer::QuotedText(term->GetComment()) + " ";
      text += TermShapeText(file, *variable, *term) + "\n";
    }
  }
  if (const TFuzzyController* controller = file.FindController())
    text += ControllerCheckText(*controller);
  return text;
}

std::string FormatText(TDefinitionFile& file) {
  // The controller's text holds the variables too, as the controller read them.
  if (const TFuzzyController* controller = file.FindController()) return controller->ToText();
  std::string text;
  for (const auto& variable : file.GetVariables()) {
    text += file.GetParser().FuzzyVariableToString(*variable);
    text += writer::LineBreak;
  }
  return text;
}

std::string EvalText(TDefinitionFile& file, const IntfPtr<IFuzzyVariable>& variable,
                     const std::string& expression) {
  const IntfPtr<IFuzzySet> result = file.GetParser().EvaluateExpression(variable, expression);
  const std::string& shown = result->GetExpression().empty() ? expression : result->GetExpression();
  std::string text = "name: " + result->GetName() + "\n";
  text += "expression: " + shown + "\n";
  for (int i = 0; i < result->GetCount(); ++i)
    text += "(" + Fixed4(result->GetX(i)) + " " + Fixed4(result->GetY(i)) + ")\n";
  text += "cog: " + Fixed4(result->CenterOfGravity()) + "\n";
  text += "mom: " + Fixed4(result->MeanOfMaxima()) + "\n";
  return text;
}

}  // namespace tapwise::tool
