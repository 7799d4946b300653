#include "GeneratedControllers.h"

#include <cmath>
#include <stdexcept>

#include "tapwise/foundation/NumberText.h"

namespace tapwise::bench {
namespace {

// The point list of term `index` of `terms`, on whole numbers.
std::string TermPoints(int index, int terms) {
  const auto point = [](int x, int y) { return "(" + IntToStr(x) + " " + IntToStr(y) + ")"; };
  std::string points = "(";
  if (index > 0) points += point(index - 1, 0) + " ";
  points += point(index, 1);
  if (index < terms - 1) points += " " + point(index + 1, 0);
  return points + ")";
}

std::string VariableText(const std::string& name, int terms) {
  std::string text = "(deffuzzy " + name + "\n  (range 0 " + IntToStr(terms - 1) + ")\n  (values";
  for (int term = 0; term < terms; ++term)
    text += "\n    (term t" + IntToStr(term) + " " + TermPoints(term, terms) + ")";
  return text + "))\n";
}

// The radical inverse of `index` in `base`: one coordinate of the Halton sequence.
double Halton(long index, int base) {
  double value = 0;
  double fraction = 1.0 / base;
  for (long i = index; i > 0; i /= base, fraction /= base)
    value += fraction * static_cast<double>(i % base);
  return value;
}

// The Halton bases, one per input.
constexpr int kPrimes[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 53};

}  // namespace

std::string GeneratedControllerText(TGeneratedSize size) {
  if (size.Inputs < 1 || size.Terms < 2 || size.Rules < 0)
    throw std::invalid_argument("a generated controller needs inputs, two terms and rules");
  double combinations = std::pow(static_cast<double>(size.Terms), size.Inputs);
  if (combinations > 1e9) throw std::invalid_argument("too many combinations of terms");
  const long total = static_cast<long>(combinations);
  const long rules = size.Rules == 0 ? total : size.Rules;
  if (rules > total) throw std::invalid_argument("more rules than combinations of terms");

  std::string text;
  for (int input = 0; input < size.Inputs; ++input)
    text += VariableText("x" + IntToStr(input), size.Terms);
  text += VariableText("y", size.Terms);
  for (int input = 0; input < size.Inputs; ++input)
    text += "(definput x" + IntToStr(input) + ")\n";
  text += "(defoutput y)\n";
  text +=
      "(defrules generated\n  (and zadeh) (implication clip) (aggregation maximum) "
      "(defuzzification centroid)";
  for (long rule = 0; rule < rules; ++rule) {
    long combination = rule * total / rules;
    long index_sum = 0;
    text += "\n  (rule r" + IntToStr(rule) + " (if";
    for (int input = 0; input < size.Inputs; ++input) {
      const long term = combination % size.Terms;
      combination /= size.Terms;
      index_sum += term;
      text += std::string(input == 0 ? " " : " and ") + "(x" + IntToStr(input) + " t" +
              IntToStr(term) + ")";
    }
    const long concluded = std::lround(static_cast<double>(index_sum) / size.Inputs);
    text += ") (then (y t" + IntToStr(concluded) + ")))";
  }
  return text + ")\n";
}

std::vector<std::vector<double>> GeneratedInputVectors(int inputs, int terms, int count) {
  if (inputs > static_cast<int>(std::size(kPrimes)))
    throw std::invalid_argument("too many inputs for the Halton bases");
  std::vector<std::vector<double>> vectors(static_cast<size_t>(count));
  for (int k = 0; k < count; ++k) {
    for (int input = 0; input < inputs; ++input)
      vectors[static_cast<size_t>(k)].push_back(Halton(k + 1, kPrimes[input]) * (terms - 1));
  }
  return vectors;
}

}  // namespace tapwise::bench
