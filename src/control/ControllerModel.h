#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "tapwise/control/ControllerPorts.h"
#include "tapwise/control/FuzzyRule.h"
#include "tapwise/fuzzy/FuzzyLogic.h"
#include "tapwise/language/FuzzyLogicParser.h"

namespace tapwise::detail {

class TControllerParser;

/// What a controller is made of, and the checks that keep it whole: every rule names
/// existing inputs, outputs, terms and hedges; each output is driven by one rule block whose
/// defuzzification suits it. The variables live in a collection-flavour component wired to
/// its own parser. `Revision` counts the changes, so that an evaluation prepared from the
/// model knows when it is stale.
class TControllerModel {
 public:
  TControllerModel();
  ~TControllerModel();
  TControllerModel(const TControllerModel&) = delete;
  TControllerModel& operator=(const TControllerModel&) = delete;

  TFuzzyLogic& GetLogic() {
    Touch();
    return FLogic;
  }
  const TFuzzyLogic& GetLogic() const { return FLogic; }
  /// The parser wired to the variables; reading and writing with it leaves the model as it is.
  TControllerParser& GetParser() const { return *FParser; }
  /// The variable `name`, or null.
  const TFuzzyVariable* FindVariable(std::string_view name) const;
  /// The same, to evaluate expressions over (which leaves the variable as it is).
  TFuzzyVariable* FindVariable(std::string_view name) {
    return const_cast<TFuzzyVariable*>(std::as_const(*this).FindVariable(name));
  }

  const std::vector<TControllerInput>& GetInputs() const { return FInputs; }
  const std::vector<TControllerOutput>& GetOutputs() const { return FOutputs; }
  const std::vector<TRuleBlock>& GetBlocks() const { return FBlocks; }
  int FindInput(std::string_view name) const;
  int FindOutput(std::string_view name) const;

  void AddInput(TControllerInput input);
  void AddOutput(TControllerOutput output);
  /// Checks the block's settings and name; its rules are added with `AddRule` after it.
  void AddBlock(const std::string& name, const TInferenceSettings& settings);
  /// Checks `rule` against the last block and the rest of the model, then adds it to the
  /// last block, declaring the inputs and outputs it introduces.
  void AddRule(TFuzzyRule rule);

  /// Runs `change`, which may only add inputs, outputs, rule blocks and rules to the last
  /// block; when it fails, what it added is taken away again. Nothing is copied, so that a
  /// change costs what it adds however large the model already is.
  template <class Change>
  void Atomically(Change&& change) {
    const TExtent before = Extent();
    try {
      change();
    } catch (...) {
      TruncateTo(before);
      throw;
    }
  }

  /// EFzyException "<what> <name> does not read back as a word ..." unless the controller's
  /// text can hold `name` (with `numbered`, a whole number too).
  static void CheckWord(const char* what, const std::string& name, bool numbered = false);
  /// The names joined by ", ", or "none".
  static std::string NameList(const std::vector<std::string>& names);
  std::string VariableNames() const;
  std::string InputNames() const;
  std::string OutputNames() const;

  uint64_t GetRevision() const { return FRevision; }
  void Touch() { ++FRevision; }

  // How much the model holds, to take back what a failed change added.
  struct TExtent {
    size_t Inputs;
    size_t Outputs;
    size_t Blocks;
    size_t LastBlockRules;
  };
  TExtent Extent() const;
  void TruncateTo(const TExtent& extent);

 private:
  void CheckTest(const TFuzzyRule& rule, const TTermTest& test) const;
  void CheckConsequent(const TRuleBlock& block, const TFuzzyRule& rule,
                       const TTermTest& consequent) const;
  // The output a consequent names: declared, or about to be declared over its variable.
  TControllerOutput OutputFor(const std::string& name, const TFuzzyRule& rule) const;
  // The block that drives output `name`, or null.
  const TRuleBlock* DrivingBlock(std::string_view name) const;

  TFuzzyLogic FLogic;
  std::unique_ptr<TControllerParser> FParser;
  std::vector<TControllerInput> FInputs;
  std::vector<TControllerOutput> FOutputs;
  std::vector<TRuleBlock> FBlocks;
  // The rule names of the last block, so that a duplicate is found without a walk of the
  // block: reading a block of n rules takes time linear in n.
  std::unordered_set<std::string> FLastBlockRuleNames;
  uint64_t FRevision = 0;
};

}  // namespace tapwise::detail
