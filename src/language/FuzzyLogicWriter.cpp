#include <string>
#include <vector>

#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzyVariable.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"
#include "tapwise/language/FuzzyLogicParser.h"
#include "tapwise/language/FuzzyWriter.h"

namespace tapwise {

namespace {

std::string ShortName(const std::string& name) {
  return name == EmptySetName ? std::string() : name;
}

std::string FullForm(const TFuzzySet& set, writer::TNumberForm form = writer::TNumberForm::Fixed4) {
  return writer::TermText(set.GetName(), set.GetComment(), writer::ShapeText(set, form));
}

// Only real terms with a name a term form can carry are written.
bool IsWritten(const TFuzzySet& set) {
  return set.GetDefined() && writer::IsUsableName(set.GetName());
}

}  // namespace

std::string TZTFuzzyLogicParser::FuzzySetToString(const IFuzzySet& fuzzy_set, bool full_form) {
  if (!full_form) return ShortName(fuzzy_set.GetName());
  return FullForm(fuzzy_set.AsFuzzySet());
}

std::string TZTFuzzyLogicParser::FuzzySetToString(const TFuzzySet& fuzzy_set, bool full_form) {
  if (!full_form) {
    std::string name = ShortName(fuzzy_set.GetName());
    return name.empty() ? fuzzy_set.GetExpression() : name;
  }
  return FullForm(fuzzy_set);
}

std::string TZTFuzzyLogicParser::FuzzyVariableToString(const IFuzzyVariable& variable) {
  std::vector<writer::TTermLine> terms;
  for (int i = 0; i < variable.GetFuzzySetCount(); ++i) {
    IntfPtr<IFuzzySet> term = variable.GetFuzzySetAt(i);
    if (!IsWritten(term->AsFuzzySet())) continue;
    terms.push_back({term->GetOrderNumber(), FuzzySetToString(*term, true)});
  }
  return writer::VariableText(variable.GetName(), variable.GetComment(), variable.GetMinimum(),
                              variable.GetMaximum(), variable.GetUnits(), std::move(terms));
}

std::string TZTFuzzyLogicParser::FuzzyVariableToString(const TFuzzyVariable& variable) {
  return writer::FuzzyVariableText(variable, writer::TNumberForm::Fixed4);
}

std::string writer::FuzzyVariableText(const TFuzzyVariable& variable, TNumberForm form) {
  std::vector<TTermLine> terms;
  const TFuzzySets& items = variable.GetItems();
  for (int i = 0; i < items.GetCount(); ++i) {
    const TFuzzySet& term = *items.GetSet(i);
    if (IsWritten(term)) terms.push_back({i, FullForm(term, form)});
  }
  return VariableText(variable.GetName(), variable.GetComment(), variable.GetMinimum(),
                      variable.GetMaximum(), variable.GetUnits(), std::move(terms), form);
}

}  // namespace tapwise
