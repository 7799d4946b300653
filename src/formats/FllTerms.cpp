#include "FllTerms.h"

#include <array>
#include <cstdint>
#include <optional>

#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::detail::fll {

namespace {

// One fuzzylite term kind: the library's shape, how many parameters it takes (0: pairs, as
// many as written) and which of fuzzylite's parameters becomes each of the shape's.
struct TTermKind {
  std::string_view Name;
  TShapeKind Kind;
  size_t Count;
  std::array<uint8_t, 4> Order{0, 1, 2, 3};
};

constexpr std::array kTermKinds{
    TTermKind{"Triangle", TShapeKind::Triangle, 3},
    TTermKind{"Trapezoid", TShapeKind::Trapezoid, 4},
    TTermKind{"Rectangle", TShapeKind::Rectangle, 2},
    TTermKind{"Ramp", TShapeKind::Ramp, 2},
    TTermKind{"Discrete", TShapeKind::Discrete, 0},
    // mean sd -> sigma c
    TTermKind{"Gaussian", TShapeKind::Gaussian, 2, {1, 0}},
    // meanA sdA meanB sdB -> sigma1 c1 sigma2 c2
    TTermKind{"GaussianProduct", TShapeKind::Gaussian2, 4, {1, 0, 3, 2}},
    // center width slope -> a b c
    TTermKind{"Bell", TShapeKind::Bell, 3, {1, 2, 0}},
    // inflection slope -> a c
    TTermKind{"Sigmoid", TShapeKind::Sigmoid, 2, {1, 0}},
    // left rising falling right -> a1 c1 a2 c2
    TTermKind{"SigmoidDifference", TShapeKind::DiffSigmoid, 4, {1, 0, 2, 3}},
    TTermKind{"SigmoidProduct", TShapeKind::ProdSigmoid, 4, {1, 0, 2, 3}},
    TTermKind{"SShape", TShapeKind::SShape, 2},
    TTermKind{"ZShape", TShapeKind::ZShape, 2},
    TTermKind{"PiShape", TShapeKind::PiShape, 4},
    TTermKind{"Cosine", TShapeKind::Cosine, 2},
    TTermKind{"Concave", TShapeKind::Concave, 2},
};

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
  const TTermKind* kind = nullptr;
  for (const TTermKind& candidate : kTermKinds)
    if (candidate.Name == term.Kind) kind = &candidate;
  if (kind == nullptr) Unsupported(term, variable);
  std::vector<double> numbers = Numbers(term, variable);
  // fuzzylite writes a height after the parameters when it is not 1; the shapes have none.
  const bool with_height =
      kind->Count == 0 ? numbers.size() % 2 == 1 : numbers.size() == kind->Count + 1;
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
