#pragma once

// The two flavours of the parser differ only in how they make, find, copy and store sets;
// the grammar and the expression evaluator (ParserWalk) are written once over these.

#include <string>
#include <utility>

#include "ParserScratch.h"
#include "tapwise/foundation/Collection.h"
#include "tapwise/foundation/ExactType.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzyVariable.h"
#include "tapwise/fuzzy/IFuzzySet.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"
#include "tapwise/fuzzy/InterfacedFuzzySet.h"
#include "tapwise/fuzzy/InterfacedFuzzyVariable.h"
#include "tapwise/language/FuzzyLogicParser.h"

namespace tapwise::detail {

// Counted sets of an `IFuzzyVariable`.
struct TInterfacedFlavour {
  using Var = IntfPtr<IFuzzyVariable>;
  using Set = IntfPtr<IFuzzySet>;

  static bool HasVariable(const Var& variable) { return static_cast<bool>(variable); }
  static bool IsNull(const Set& set) { return !set; }
  static const IFuzzySet* Identity(const Set& set) { return set.Get(); }

  // A blank set of the variable's set class, linked to it but never stored.
  static Set NewScratch(TParserScratch& scratch, const Var& variable, const std::string& name) {
    Set set;
    if (!name.empty() && MakesPlainSets(*variable)) {
      // What adding an empty set and renaming it comes to for the library's own variable
      // and set classes: a set of that name linked to the variable, neither stored nor
      // reported (the empty name marks no term, and the rename finds nothing to re-key).
      // A blank name is left to the rename, which checks it where a new set would not.
      set = TIFuzzySet::Create(variable, name);
    } else {
      set = variable->AddFuzzySet(std::string(EmptySetName));
      if (name != EmptySetName) set->SetName(name);
    }
    scratch.Add(set);
    return set;
  }
  // Whether `variable` is of the library's own class and makes sets of the library's own.
  static bool MakesPlainSets(const IFuzzyVariable& variable) {
    const auto* own = ExactCast<const TIFuzzyVariable>(&variable);
    if (own == nullptr) return false;
    const TIFuzzySetClass make = own->GetFuzzySetClass();
    return make == nullptr || make == &TIFuzzySet::Create;
  }
  static Set FindTerm(const Var& variable, const std::string& name) {
    Set set;
    variable->TryGetFuzzySet(name, set);
    return set;
  }
  static Set EmptyTerm(TParserScratch& scratch, const Var& variable) {
    Set set = FindTerm(variable, std::string(EmptySetName));
    return set ? set : NewScratch(scratch, variable, std::string(EmptySetName));
  }
  // A scratch copy of `source` (points, type, expression), named like it, linked to
  // `variable`.
  static Set Copy(TParserScratch& scratch, const Var& variable, const Set& source) {
    Set copy = NewScratch(scratch, variable, source->GetName());
    copy->AssignFromInterface(source);
    if (copy->GetVariable().Get() != variable.Get()) copy->SetVariable(variable);
    return copy;
  }
  static bool Owns(const TParserScratch& scratch, const Set& set) {
    return scratch.Owns(set.Get());
  }
  static void ApplyHedge(const Set& set, int hedge) { set->ApplyHedge(hedge); }
  static void ApplyOperator(const Set& set, int op, bool on_y, TFzyFloat value) {
    set->ApplyOperator(op, on_y, value);
  }
  static TFzyFloat MeanOfMaxima(const Set& set) { return set->MeanOfMaxima(); }
  static Set Combine(TParserScratch& scratch, const Set& a, const Set& b, bool is_and,
                     TFuzzyOperation operation) {
    Set result = is_and ? a->Intersection(*b, operation) : a->Union(*b, operation);
    scratch.Add(result);
    return result;
  }
  static void Spike(const Set& set, TFzyFloat value, const std::string& /*text*/) {
    set->SetTriangle(value, value, value);
  }
  static void BeginUpdate(const Set& set) { set->BeginUpdate(); }
  static void EndUpdate(const Set& set) { set->EndUpdate(); }
  static void AddPoint(const Set& set, TFzyFloat x, TFzyFloat y) { set->AddPoint(x, y); }
  static Set CalcFunction(TZTFuzzyLogicParser& parser, const Set& set, const std::string& name,
                          const IntfPtr<IFuzzyStreamTokenList>& list) {
    Set result = parser.CalcFuzzyFunction(set, name, list);
    return result ? result : set;
  }
  // Whether a call goes straight to the parser's built-in table (no hook of this flavour).
  static bool CalcsBuiltInOnly(const TZTFuzzyLogicParser& parser) {
    return !parser.GetOnCalcFuzzyFunctionIntf();
  }
  static Set Carried(const IFuzzyStreamToken& token) {
    if (token.GetDataType() != dtFuzzySet) return {};
    return Supports<IFuzzySet>(token.GetFuzzySetValue());
  }
  static void SetName(const Set& set, const std::string& name) { set->SetName(name); }

  // Makes `body` the term `name` of `variable`: a set the body made becomes the term, an
  // existing set is copied. The term is stored (replacing one of its name) and `Defined`.
  static Set FinishTerm(TParserScratch& scratch, const Var& variable, Set body,
                        const std::string& name, const std::string& comment) {
    Set term = scratch.Owns(body.Get()) ? std::move(body) : Copy(scratch, variable, body);
    term->SetName(name);
    term->SetComment(comment);
    term->MarkDefined();
    variable->AddFuzzySet(term);
    return term;
  }

  static void SetComment(const Var& variable, const std::string& comment) {
    variable->SetComment(comment);
  }
  static void SetRange(const Var& variable, TFzyFloat minimum, TFzyFloat maximum) {
    variable->SetMinimum(minimum);
    variable->SetMaximum(maximum);
  }
  static void SetUnits(const Var& variable, const std::string& units) { variable->SetUnits(units); }

  static void RaiseParseSet(TZTFuzzyLogicParser& parser, const Var& variable, const Set& term) {
    if (const auto& event = parser.GetOnParseFuzzySetIntf()) event(*variable, *term);
  }
  static Set RaiseEval(TZTFuzzyLogicParser& parser, TParserScratch& /*scratch*/,
                       const Var& variable, const std::string& postfix, Set result) {
    if (const auto& event = parser.GetOnEvalExpressionIntf()) event(*variable, postfix, result);
    return result;
  }
};

// Plain sets, items of the term collection of a `TFuzzyVariable`.
struct TCollectionFlavour {
  using Var = TFuzzyVariable*;
  using Set = TFuzzySet*;

  static bool HasVariable(Var variable) { return variable != nullptr; }
  static bool IsNull(Set set) { return set == nullptr; }
  static const TFuzzySet* Identity(Set set) { return set; }

  static Set NewScratch(TParserScratch& scratch, Var variable, const std::string& name) {
    TFuzzySet* set = variable->GetItems().AddSet();
    scratch.AddItem(set);
    set->SetName(name);
    return set;
  }
  // A term of that name, preferring a `Defined` one.
  static Set FindTerm(Var variable, const std::string& name) {
    const TFuzzySets& items = variable->GetItems();
    TFuzzySet* fallback = nullptr;
    for (int i = 0; i < items.GetCount(); ++i) {
      TFuzzySet* set = items.GetSet(i);
      if (set->GetName() != name) continue;
      if (set->GetDefined()) return set;
      if (fallback == nullptr) fallback = set;
    }
    return fallback;
  }
  static Set EmptyTerm(TParserScratch& scratch, Var variable) {
    Set set = FindTerm(variable, std::string(EmptySetName));
    return set != nullptr ? set : NewScratch(scratch, variable, std::string(EmptySetName));
  }
  static Set Copy(TParserScratch& scratch, Var variable, Set source) {
    Set copy = NewScratch(scratch, variable, source->GetName());
    copy->Assign(*source);
    return copy;
  }
  static bool Owns(const TParserScratch& scratch, Set set) { return scratch.Owns(set); }
  static void ApplyHedge(Set set, int hedge) { set->ApplyHedge(hedge); }
  static void ApplyOperator(Set set, int op, bool on_y, TFzyFloat value) {
    set->ApplyOperator(op, on_y, value);
  }
  static TFzyFloat MeanOfMaxima(Set set) { return set->MeanOfMaxima(); }
  static Set Combine(TParserScratch& scratch, Set a, Set b, bool is_and,
                     TFuzzyOperation operation) {
    return scratch.Hold(is_and ? a->Intersection(*b, operation) : a->Union(*b, operation));
  }
  static void Spike(Set set, TFzyFloat value, const std::string& text) {
    set->SetTriangle(value, value, value);
    set->SetExpression(text);
  }
  static void BeginUpdate(Set set) { set->BeginUpdate(); }
  static void EndUpdate(Set set) { set->EndUpdate(); }
  static void AddPoint(Set set, TFzyFloat x, TFzyFloat y) { set->AddPoint(x, y); }
  static Set CalcFunction(TZTFuzzyLogicParser& parser, Set set, const std::string& name,
                          const IntfPtr<IFuzzyStreamTokenList>& list) {
    Set result = parser.CalcFuzzyFunction(*set, name, list);
    return result != nullptr ? result : set;
  }
  static bool CalcsBuiltInOnly(const TZTFuzzyLogicParser& parser) {
    return !parser.GetOnCalcFuzzyFunction();
  }
  static Set Carried(const IFuzzyStreamToken& token) {
    if (token.GetDataType() != dtFuzzySetObject) return nullptr;
    return dynamic_cast<TFuzzySet*>(token.GetObjectValue());
  }
  static void SetName(Set set, const std::string& name) { set->SetName(name); }

  static Set FinishTerm(TParserScratch& scratch, Var variable, Set body, const std::string& name,
                        const std::string& comment) {
    // A scratch item of this very variable becomes the term; anything else is copied in.
    const bool adopt = scratch.OwnsItem(body) && body->GetCollection() == &variable->GetItems();
    Set term = adopt ? body : Copy(scratch, variable, body);
    scratch.Keep(term);
    term->SetName(name);
    term->SetComment(comment);
    term->SetExpression(name);
    term->SetDefined(true);
    return term;
  }

  static void SetComment(Var variable, const std::string& comment) {
    variable->SetComment(comment);
  }
  static void SetRange(Var variable, TFzyFloat minimum, TFzyFloat maximum) {
    variable->SetMinimum(minimum);
    variable->SetMaximum(maximum);
  }
  static void SetUnits(Var variable, const std::string& units) { variable->SetUnits(units); }

  static void RaiseParseSet(TZTFuzzyLogicParser& parser, Var /*variable*/, Set term) {
    if (const auto& event = parser.GetOnParseFuzzySet()) event(&parser, *term);
  }
  static Set RaiseEval(TZTFuzzyLogicParser& parser, TParserScratch& scratch, Var variable,
                       const std::string& postfix, Set result) {
    const auto& event = parser.GetOnEvalExpression();
    if (!event) return result;
    TFuzzySetResult handle = TFuzzySetResult::Borrowed(*result);
    event(&parser, *variable, postfix, handle);
    if (handle.Get() == result) return result;
    // A set the handler made and handed over is scratch; one it only points at is not.
    if (!handle.Owns()) return handle.Get();
    return scratch.Hold(std::move(handle));
  }
};

}  // namespace tapwise::detail
