#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tapwise/control/ControllerPorts.h"
#include "tapwise/control/FuzzyRule.h"
#include "tapwise/fuzzy/FuzzyTypes.h"
#include "tapwise/fuzzy/MembershipShape.h"

namespace tapwise {

class TFuzzyLogic;
class TFuzzySet;
class TFuzzyVariable;

/// How one rule fared in the last `Process`: its strength (the antecedent's degree times the
/// rule's weight) and whether it fired (a positive strength at least its block's threshold).
/// The names point into the controller and stay valid until its structure changes.
struct TRuleActivation {
  std::string_view Block;
  std::string_view Rule;
  TFzyFloat Strength = 0;
  bool Fired = false;
};

/// One fired rule's consequent for one output, shaped by the rule's strength (the
/// implication): what the aggregate is made of. Valid until the next `Process`.
struct TImpliedConsequent {
  std::string_view Rule;
  TFzyFloat Strength = 0;
  const TFuzzySet* Set = nullptr;
};

/// A whole fuzzy controller: variables, inputs, outputs and rule blocks with their inference
/// settings, evaluated exactly on the library's point lists.
///
///     auto tipping = TFuzzyController::FromFile("examples/tipping.fzl");
///     tipping.SetInput("quality", 6.5);
///     tipping.SetInput("service", 9.8);
///     tipping.Process();
///     double tip = tipping.GetOutput("tip");
///
/// The parser, the fuzzy-logic component and the rule firing underneath are wired inside;
/// the variables stay reachable (`GetFuzzyLogic`) for code that builds or inspects them.
/// Structure and evaluation are checked where they happen: a rule naming what does not
/// exist is refused when it is added, a missing input value when `Process` runs, and an
/// output without a value (no rule fired, no default) when it is read.
///
/// Independent controllers may run on different threads at once; one controller is not to be
/// used by two threads at the same time.
class TFuzzyController {
 public:
  TFuzzyController();
  ~TFuzzyController();
  TFuzzyController(TFuzzyController&&) noexcept;
  TFuzzyController& operator=(TFuzzyController&&) noexcept;

  /// A controller read from definition text (see `Define`).
  static TFuzzyController FromText(const std::string& text);
  /// A controller read from the definition text of a file; EStreamError when the file cannot
  /// be read.
  static TFuzzyController FromFile(const std::string& path);

  // ---- Structure ----

  /// Reads every form of `text` into this controller: "(deffuzzy" variables, "(definput",
  /// "(defoutput" and "(defrules" forms (see docs/language.md). Errors are
  /// EFzyParseException with the line; what was read before the error stays.
  void Define(const std::string& text);
  /// The variables, in a collection-flavour fuzzy-logic component. Reaching them through
  /// the non-const form counts as a change of the controller: the next `Process` prepares
  /// its rules again, and until then the results of the last run are gone.
  TFuzzyLogic& GetFuzzyLogic();
  const TFuzzyLogic& GetFuzzyLogic() const;
  /// The variable `name` (EFzyException "No such element: <name>" when there is none).
  const TFuzzyVariable& GetVariable(std::string_view name) const;
  /// A new variable over `min`..`max` without terms.
  TFuzzyVariable& AddVariable(const std::string& name, TFzyFloat min, TFzyFloat max);
  /// A new term of `variable` from a term body of the language: "((0 1) (5 0))",
  /// "(tri 0 5 10)" or an expression over the variable's terms.
  TFuzzySet& AddTerm(const std::string& variable, const std::string& name, const std::string& body);
  /// A new term of `variable` made from a membership function of the exchange formats: its
  /// point list over the variable's range (`ShapePoints`). The controller remembers the shape,
  /// so that a writer can write the term as it was read.
  TFuzzySet& AddTerm(const std::string& variable, const std::string& name,
                     const TMembershipShape& shape);
  /// The shape term `term` of `variable` was made from by the form above, while the term
  /// still has the points the shape gave it; none otherwise.
  std::optional<TMembershipShape> FindTermShape(std::string_view variable,
                                                std::string_view term) const;
  /// Declares an input, or changes the declaration of the input of that name.
  void AddInput(TControllerInput input);
  /// Declares an output; an output of that name may not exist yet.
  void AddOutput(TControllerOutput output);
  /// Adds a rule block after checking every rule. Variables its antecedents test that are
  /// not inputs yet become crisp inputs; outputs its consequents name that are not declared
  /// become Mamdani outputs over the variable of the same name.
  void AddRuleBlock(TRuleBlock block);
  const std::vector<TControllerInput>& GetInputs() const;
  const std::vector<TControllerOutput>& GetOutputs() const;
  const std::vector<TRuleBlock>& GetRuleBlocks() const;
  /// The whole controller as definition text that `Define` reads back to the same
  /// controller: the variables, then the inputs, outputs and rule blocks.
  std::string ToText() const;

  // ---- Evaluation ----

  /// Sets the crisp value of input `name`; EFzyException when there is no such input or
  /// `value` is NaN.
  void SetInput(std::string_view name, TFzyFloat value);
  /// The value last set (NaN before any).
  TFzyFloat GetInput(std::string_view name) const;
  /// Fires every rule on the current input values and computes every output.
  void Process();
  /// The value of output `name` after `Process`; none when no rule for it fired and it has
  /// no default.
  std::optional<TFzyFloat> FindOutput(std::string_view name) const;
  /// As `FindOutput`, raising EFzyException "No rule fired for output <name>, and it has no
  /// default" instead of giving none.
  TFzyFloat GetOutput(std::string_view name) const;
  /// Every rule of every block, in order, as the last `Process` left it.
  std::span<const TRuleActivation> GetActivations() const;
  /// The aggregated set of the Mamdani output `name` after `Process`, or null when no rule
  /// for it fired (and for a Sugeno output). The set belongs to no variable: its points are
  /// the aggregate, but its own `CenterOfGravity` measures flat tails over an unbounded
  /// universe. The output's value (`GetOutput`) is measured over the output's range.
  const TFuzzySet* GetAggregate(std::string_view name) const;
  /// The implied consequents of the Mamdani output `name` after `Process`, one per fired rule
  /// that concludes it, in firing order (empty for a Sugeno output).
  std::vector<TImpliedConsequent> GetImpliedConsequents(std::string_view name) const;

 private:
  struct TState;
  std::unique_ptr<TState> FState;
};

}  // namespace tapwise
