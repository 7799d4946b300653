#include "FllTerms.h"

#include <array>
#include <cstdint>
#include <optional>

#include "FuzzyliteShapes.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::detail::fll {

namespace {

std::string Owner(const TTermLine& term, std::string_view variable) {
  return term.Name + " of " + std::string(variable);
}

[[noreturn]] void Unsupported(const TTermLine& term, std::string_view variable) {
  throw EFzyParseException("Unsupported term " + term.Kind + " (" + Owner(term, variable) + ")",
                           term.Line);
}

std::vector<double> Numbers(const TTermLine& term, std::string_view variable) {
  std::vector<double> numbers;
  for (const std::string& word : term.Parameters) {
    const std::optional<double> number = NumberOf(word);
    if (!number)
      throw EFzyParseException(
          "Term " + Owner(term, variable) + ": \"" + word + "\" is not a number", term.Line);
    numbers.push_back(*number);
  }
  return numbers;
}

}  // namespace

bool IsSugenoKind(std::string_view kind) {
  return kind == "Constant" || kind == "Linear";
}

TMembershipShape ShapeOfTerm(const TTermLine& term, std::string_view variable) {
  const TFuzzyliteShape* kind = nullptr;
  for (const TFuzzyliteShape& candidate : kFuzzyliteShapes)
    if (candidate.Word == term.Kind) kind = &candidate;
  if (kind == nullptr) Unsupported(term, variable);
  std::vector<double> numbers = Numbers(term, variable);
  // fuzzylite writes a height after the parameters when it is not 1; the shapes have none.
  const bool with_height =
      kind->Count == 0 ? numbers.size() % 2 == 1 : numbers.size() == kind->Count + 1u;
  if (with_height) {
    if (numbers.back() != 1)
      throw EFzyParseException(
          "Unsupported height " + term.Parameters.back() + " (" + Owner(term, variable) + ")",
          term.Line);
    numbers.pop_back();
  }
  if (kind->Count != 0 && numbers.size() != kind->Count)
    throw EFzyParseException("Term " + Owner(term, variable) + ": " + term.Kind + " takes " +
                                 std::to_string(kind->Count) + " parameters, not " +
                                 std::to_string(term.Parameters.size()),
                             term.Line);
  TMembershipShape shape{kind->Kind, {}};
  if (kind->Count == 0) {
    shape.Parameters = std::move(numbers);
  } else {
    for (size_t i = 0; i < kind->Count; ++i)
      shape.Parameters.push_back(numbers[kind->Order[i]]);
  }
  return shape;
}

TSugenoTerm SugenoTermOf(const TTermLine& term, std::string_view output,
                         const std::vector<std::string>& inputs) {
  if (!IsSugenoKind(term.Kind)) Unsupported(term, output);
  const std::vector<double> numbers = Numbers(term, output);
  TSugenoTerm sugeno{term.Name, 0, {}};
  if (term.Kind == "Constant") {
    if (numbers.size() != 1)
      throw EFzyParseException("Term " + Owner(term, output) +
                                   ": Constant takes 1 parameter, not " +
                                   std::to_string(numbers.size()),
                               term.Line);
    sugeno.Constant = numbers.front();
    return sugeno;
  }
  // One coefficient per input in the file's order, then the constant; fuzzylite counts the
  // inputs a Linear term leaves out as 0.
  if (numbers.size() > inputs.size() + 1)
    throw EFzyParseException("Term " + Owner(term, output) + ": Linear takes at most " +
                                 std::to_string(inputs.size() + 1) +
                                 " parameters (one per input and a constant), not " +
                                 std::to_string(numbers.size()),
                             term.Line);
  for (size_t i = 0; i < numbers.size(); ++i) {
    if (i < inputs.size()) {
      sugeno.Coefficients.push_back({inputs[i], numbers[i]});
    } else {
      sugeno.Constant = numbers[i];
    }
  }
  return sugeno;
}

}  // namespace tapwise::detail::fll
