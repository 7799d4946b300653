#pragma once

#include <string>

#include "tapwise/control/ControllerPorts.h"
#include "tapwise/control/FuzzyRule.h"
#include "tapwise/language/FuzzyLogicParser.h"

namespace tapwise::detail {

class TControllerModel;

/// The definition language with the controller forms: "(definput", "(defoutput" and
/// "(defrules" beside the variables' "(deffuzzy" (docs/language.md has the grammar). Each
/// form goes into `model` as soon as it is read whole; a form with an error leaves the model
/// as it was before the form. Errors are parse errors with the line, like the variables'.
class TControllerParser : public TZTFuzzyLogicParser {
 public:
  explicit TControllerParser(TControllerModel& model) : FModel(model) {}

  std::string ClassName() const override { return "TControllerParser"; }

 protected:
  void ParseDefinitionForm(const std::string& keyword, bool interfaced) override;

 private:
  void ParseInput();
  void ParseOutput();
  void ParseRuleBlock();
  void ParseSetting(TInferenceSettings& settings, const std::string& word);
  TFuzzyRule ParseRule();
  TSugenoTerm ParseSugenoTerm();
  TAntecedent ParseDisjunction();
  TAntecedent ParseConjunction();
  TAntecedent ParseFactor();
  // "( variable hedge... term )" after its "(" is read.
  TTermTest ParseTermTest();

  TTokenView Next();
  bool NextIs(char ch);
  bool NextIsWord(const char* word);
  void Expect(char ch);
  void ExpectWord(const char* keyword);
  // A word; with `numbered`, a whole number too, as its text.
  std::string ReadName(bool numbered = false);
  TFzyFloat ReadNumber();
  // "( keyword NAME": the form's name.
  std::string ReadFormHeader(const char* keyword, bool numbered = false);
  // "( keyword NUMBER )".
  TFzyFloat ReadNumberClause(const char* keyword);
  // A setting's word; an unknown word is an error listing the known ones.
  template <class Setting>
  Setting ReadSetting(const char* what);
  // Runs a check of the model, turning its refusal into a parse error at the current line.
  template <class Check>
  void Checked(const char* routine, Check&& check);

  TControllerModel& FModel;
  // The routine named in errors: the form being read.
  const char* FRoutine = "";
};

}  // namespace tapwise::detail
