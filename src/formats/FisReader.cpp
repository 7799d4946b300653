#include <algorithm>
#include <numeric>
#include <span>

#include "FisRules.h"
#include "FisText.h"
#include "FisVocabulary.h"
#include "FormatCodecs.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::detail {

namespace {

using namespace fis;

constexpr std::string_view kSystemKeys[] = {"Name",       "Type",      "Version",     "NumInputs",
                                            "NumOutputs", "NumRules",  "AndMethod",   "OrMethod",
                                            "ImpMethod",  "AggMethod", "DefuzzMethod"};

// Runs a step of building the controller, giving any error it raises the line it came from.
template <class Step>
void AtLine(int line, const std::string& context, Step&& step) {
  try {
    step();
  } catch (const Exception& error) {
    throw EFzyParseException(context + error.what(), line);
  }
}

template <class Value, size_t Count>
Value MethodOf(const TSection& system, std::string_view key, const TWord<Value> (&words)[Count]) {
  const TEntry& entry = system.Get(key);
  const std::string word = TextOf(entry);
  if (const std::optional<Value> meaning = MeaningOf(words, word)) return *meaning;
  throw EFzyParseException("Unsupported " + std::string(key) + " " + word, entry.Line);
}

class TFisReader {
 public:
  explicit TFisReader(const std::string& text) : FSections(ReadSections(text)) {}

  TFuzzyController Read() {
    const TSection& system = Section("System");
    ReadSystem(system);
    for (const TSection& section : FSections)
      if (!IsExpected(section.Name))
        throw EFzyParseException("Unexpected section [" + section.Name + "]", section.Line);
    for (int64_t i = 1; i <= FInputCount; ++i)
      ReadVariable(Section("Input" + IntToStr(i), &system.Get("NumInputs")), false);
    for (int64_t i = 1; i <= FOutputCount; ++i)
      ReadVariable(Section("Output" + IntToStr(i), &system.Get("NumOutputs")), true);
    ReadRules(system);
    return std::move(FController);
  }

 private:
  const TSection* FindSection(std::string_view name) const {
    for (const TSection& section : FSections)
      if (section.Name == name) return &section;
    return nullptr;
  }
  const TSection& Section(const std::string& name, const TEntry* count = nullptr) const {
    if (const TSection* section = FindSection(name)) return *section;
    if (count == nullptr) throw EFzyParseException("Missing [" + name + "]", 1);
    throw EFzyParseException("Missing [" + name + "] (" + count->Key + "=" + count->Value + ")",
                             count->Line);
  }
  bool IsExpected(std::string_view name) const {
    if (name == "System" || name == "Rules") return true;
    for (const auto& [prefix, count] : {std::pair{std::string_view("Input"), FInputCount},
                                        std::pair{std::string_view("Output"), FOutputCount}}) {
      if (!name.starts_with(prefix)) continue;
      const std::optional<int64_t> number = TryStrToInt(name.substr(prefix.size()));
      if (number && *number >= 1 && *number <= count &&
          IntToStr(*number) == name.substr(prefix.size()))
        return true;
    }
    return false;
  }

  void ReadSystem(const TSection& system) {
    for (const TEntry& entry : system.Entries)
      if (std::find(std::begin(kSystemKeys), std::end(kSystemKeys), entry.Key) ==
          std::end(kSystemKeys))
        throw EFzyParseException("Unsupported key " + entry.Key + " in [System]", entry.Line);
    const TEntry& type = system.Get("Type");
    const std::string type_word = TextOf(type);
    if (type_word != "mamdani" && type_word != "sugeno")
      throw EFzyParseException("Unsupported FIS type " + type_word, type.Line);
    FSugeno = type_word == "sugeno";
    FInputCount = CountOf(system.Get("NumInputs"));
    FOutputCount = CountOf(system.Get("NumOutputs"));
    TInferenceSettings& settings = FRules.Settings;
    settings.And = MethodOf(system, "AndMethod", kAndMethods);
    settings.Or = MethodOf(system, "OrMethod", kOrMethods);
    settings.Implication = MethodOf(system, "ImpMethod", kImpMethods);
    settings.Aggregation = MethodOf(system, "AggMethod", kAggMethods);
    settings.Defuzzification = MethodOf(system, "DefuzzMethod", kDefuzzMethods);
    const TEntry& defuzz = system.Get("DefuzzMethod");
    if (IsSugenoDefuzzification(settings.Defuzzification) != FSugeno)
      throw EFzyParseException(
          "DefuzzMethod " + TextOf(defuzz) + " does not suit a " + type_word + " system",
          defuzz.Line);
    // MATLAB's Sugeno systems add up every rule on its own; another word means something
    // else to each tool that writes it, so only the sum is taken.
    const TEntry& aggregation = system.Get("AggMethod");
    if (FSugeno && settings.Aggregation != TAggregation::Sum)
      throw EFzyParseException(
          "Unsupported AggMethod " + TextOf(aggregation) + " in a sugeno system", aggregation.Line);
    const TEntry* name = system.Find("Name");
    FRules.Name = name != nullptr && !TextOf(*name).empty() ? TextOf(*name) : "fis";
  }

  void ReadVariable(const TSection& section, bool output) {
    const std::string kind = output ? "output" : "input";
    const std::string name = TextOf(section.Get("Name"));
    if (name.empty()) throw EFzyParseException("[" + section.Name + "] has no name", section.Line);
    for (const TVariableTerms& other : FVariables)
      if (other.Name == name)
        throw EFzyParseException("Variable " + name + " is defined twice",
                                 section.Get("Name").Line);
    const TEntry& range_entry = section.Get("Range");
    const std::vector<TFzyFloat> range = NumbersOf(range_entry.Value, range_entry.Line);
    if (range.size() != 2 || !(range[0] < range[1]))
      throw EFzyParseException(
          "The range of " + name + " must be [min max] with min < max, not " + range_entry.Value,
          range_entry.Line);
    const int64_t count = FunctionCount(section);
    const bool sugeno_output = output && FSugeno;
    TVariableTerms& variable = FVariables.emplace_back();
    variable.Name = name;
    if (!sugeno_output)
      AtLine(section.Line, "", [&] { FController.AddVariable(name, range[0], range[1]); });
    TControllerOutput declared{
        name, sugeno_output ? "" : name, std::midpoint(range[0], range[1]), sugeno_output, {}};
    for (int64_t k = 1; k <= count; ++k) {
      const TEntry& entry = section.Get("MF" + IntToStr(k));
      const TFunctionText function = FunctionOf(entry);
      const std::string owner = " of " + kind + " " + name;
      if (function.Name.empty())
        throw EFzyParseException(entry.Key + owner + " has no name", entry.Line);
      for (const std::string& other : variable.Terms)
        if (other == function.Name)
          throw EFzyParseException("Term " + function.Name + owner + " is defined twice",
                                   entry.Line);
      variable.Terms.push_back(function.Name);
      const std::string term = "Term " + function.Name + owner + ": ";
      if (sugeno_output) {
        declared.SugenoTerms.push_back(SugenoTerm(function, term, entry.Line));
        continue;
      }
      const TMembershipShape shape = MamdaniShape(function, term, owner, entry.Line);
      AtLine(entry.Line, term, [&] { FController.AddTerm(name, function.Name, shape); });
    }
    if (output) {
      AtLine(section.Line, "", [&] { FController.AddOutput(std::move(declared)); });
    } else {
      AtLine(section.Line, "", [&] { FController.AddInput({name, 0}); });
    }
  }

  // NumMFs, after checking that every other key of `section` is one of its MF1..MFn.
  static int64_t FunctionCount(const TSection& section) {
    const TEntry& count_entry = section.Get("NumMFs");
    const int64_t count = CountOf(count_entry);
    for (const TEntry& entry : section.Entries) {
      if (entry.Key == "Name" || entry.Key == "Range" || entry.Key == "NumMFs") continue;
      const std::optional<int64_t> number =
          entry.Key.starts_with("MF") ? TryStrToInt(entry.Key.substr(2)) : std::nullopt;
      if (!number || *number < 1 || IntToStr(*number) != entry.Key.substr(2))
        throw EFzyParseException("Unsupported key " + entry.Key + " in [" + section.Name + "]",
                                 entry.Line);
      if (*number > count)
        throw EFzyParseException(
            "NumMFs=" + count_entry.Value + " but [" + section.Name + "] has " + entry.Key,
            entry.Line);
    }
    return count;
  }

  static TMembershipShape MamdaniShape(const TFunctionText& function, const std::string& term,
                                       const std::string& owner, int line) {
    if (const std::optional<TShapeKind> kind = MeaningOf(kMembershipFunctions, function.Type))
      return {*kind, function.Parameters};
    if (function.Type == "constant" || function.Type == "linear")
      throw EFzyParseException(term + "a " + function.Type + " function belongs to a sugeno output",
                               line);
    throw EFzyParseException("Unsupported membership function " + function.Type + " (term " +
                                 function.Name + owner + ")",
                             line);
  }

  TSugenoTerm SugenoTerm(const TFunctionText& function, const std::string& term, int line) const {
    const std::vector<TFzyFloat>& parameters = function.Parameters;
    TSugenoTerm sugeno{function.Name, 0, {}};
    if (function.Type == "constant" && parameters.size() == 1) {
      sugeno.Constant = parameters[0];
    } else if (function.Type == "linear" &&
               parameters.size() == static_cast<size_t>(FInputCount) + 1) {
      for (int64_t i = 0; i < FInputCount; ++i)
        sugeno.Coefficients.push_back(
            {FVariables[static_cast<size_t>(i)].Name, parameters[static_cast<size_t>(i)]});
      sugeno.Constant = parameters.back();
    } else if (function.Type == "constant" || function.Type == "linear") {
      throw EFzyParseException(
          term + "a " + function.Type + " function takes " +
              (function.Type == "constant" ? std::string("1 parameter")
                                           : IntToStr(FInputCount + 1) + " parameters") +
              ", not " + IntToStr(static_cast<int64_t>(parameters.size())),
          line);
    } else {
      throw EFzyParseException(
          term + "a sugeno output takes constant or linear functions, not " + function.Type, line);
    }
    return sugeno;
  }

  void ReadRules(const TSection& system) {
    const TEntry& count_entry = system.Get("NumRules");
    const int64_t count = CountOf(count_entry);
    const TSection* rules = FindSection("Rules");
    const size_t found = rules != nullptr ? rules->Entries.size() : 0;
    if (static_cast<uint64_t>(count) != found)
      throw EFzyParseException("NumRules=" + count_entry.Value + " but the file has " +
                                   IntToStr(static_cast<int64_t>(found)) + " rules",
                               rules != nullptr ? rules->Line : count_entry.Line);
    const std::span<const TVariableTerms> variables(FVariables);
    const TRuleShape shape{variables.first(static_cast<size_t>(FInputCount)),
                           variables.subspan(static_cast<size_t>(FInputCount))};
    for (size_t i = 0; i < found; ++i)
      FRules.Rules.push_back(
          ReadRule(rules->Entries[i], IntToStr(static_cast<int64_t>(i) + 1), shape));
    AtLine(rules != nullptr ? rules->Line : count_entry.Line, "",
           [&] { FController.AddRuleBlock(std::move(FRules)); });
  }

  std::vector<TSection> FSections;
  TFuzzyController FController;
  bool FSugeno = false;
  int64_t FInputCount = 0;
  int64_t FOutputCount = 0;
  // The inputs', then the outputs' names and term names, in the file's order.
  std::vector<TVariableTerms> FVariables;
  TRuleBlock FRules;
};

}  // namespace

TFuzzyController ReadFis(const std::string& text) {
  return TFisReader(text).Read();
}

}  // namespace tapwise::detail
