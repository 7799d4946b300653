#include "DefinitionLint.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/language/TokenStream.h"

namespace tapwise::tool {

namespace {

// A token, or a parenthesised group of them, with the line it starts on.
struct TNode {
  std::string Text;
  std::optional<double> Number;
  int Line = 0;
  bool IsList = false;
  std::vector<TNode> Items;

  bool IsWord(std::string_view word) const { return !IsList && !Number && Text == word; }
};

struct TRange {
  double Minimum;
  double Maximum;

  bool Holds(double x) const { return Minimum <= x && x <= Maximum; }
};

// What a variable's range is before its range clause.
constexpr TRange kNewVariableRange{0, 1};

TNode ReadNode(TFuzzyLogicTokenStream& tokens, const IntfPtr<IFuzzyStreamToken>& token) {
  TNode node;
  node.Line = token->GetLineNumber();
  const int32_t type = token->GetDataType();
  if (type == dtInteger || type == dtFloat) node.Number = token->GetNumber();
  node.Text = token->GetText();
  if (type == dtString || node.Text != "(") return node;
  node.IsList = true;
  for (auto next = tokens.NextToken(); next->GetDataType() != dtEOF; next = tokens.NextToken()) {
    if (next->GetDataType() != dtString && next->GetText() == ")") break;
    node.Items.push_back(ReadNode(tokens, next));
  }
  return node;
}

// The numbers of a list that holds only numbers after its first item.
std::optional<std::vector<double>> Numbers(const TNode& list) {
  std::vector<double> numbers;
  for (std::size_t i = 1; i < list.Items.size(); ++i) {
    if (!list.Items[i].Number) return std::nullopt;
    numbers.push_back(*list.Items[i].Number);
  }
  return numbers;
}

std::string ShapeText(const TNode& shape, const std::vector<double>& numbers) {
  std::string text = "(" + shape.Items[0].Text;
  for (const double number : numbers)
    text += " " + FloatToStr(number);
  return text + ")";
}

class TLinter {
 public:
  TLinter(const std::string& path, std::string_view severity) : FPath(path), FSeverity(severity) {}

  void Variable(const TNode& form) {
    if (form.Items.size() < 2) return;
    const TNode& name = form.Items[1];
    if (const auto [first, added] = FVariables.try_emplace(name.Text, name.Line); !added)
      Report(messages::kLintDuplicateVariable, name.Line, name.Text, first->second);
    std::optional<TRange> range = kNewVariableRange;
    std::unordered_map<std::string, int> terms;
    for (const TNode& clause : form.Items) {
      if (!clause.IsList || clause.Items.empty()) continue;
      const std::optional<std::vector<double>> numbers = Numbers(clause);
      if (clause.Items[0].IsWord("range") && numbers && numbers->size() == 2) {
        const double minimum = (*numbers)[0], maximum = (*numbers)[1];
        range = TRange{minimum, maximum};
        if (minimum > maximum) {
          Report(messages::kLintReversedRange, clause.Line, name.Text, FloatToStr(minimum),
                 FloatToStr(maximum));
          // What it is repaired to is no business of a file's author: its terms are not
          // measured against it.
          range.reset();
        }
      } else if (clause.Items[0].IsWord("values")) {
        for (const TNode& term : clause.Items)
          if (term.IsList && term.Items.size() >= 3 && term.Items[0].IsWord("term"))
            Term(name.Text, term, range, terms);
      }
    }
  }

  std::string TakeText() { return std::move(FText); }

 private:
  void Term(const std::string& variable, const TNode& term, const std::optional<TRange>& range,
            std::unordered_map<std::string, int>& terms) {
    const TNode& name = term.Items[1];
    if (const auto [first, added] = terms.try_emplace(name.Text, name.Line); !added)
      Report(messages::kLintDuplicateTerm, name.Line, name.Text, variable, first->second);
    const TNode& body = term.Items.back();
    if (!body.IsList || body.Items.empty()) return;
    if (body.Items[0].IsList) {
      for (const TNode& point : body.Items) {
        if (!range || !point.IsList || point.Items.size() != 2 || !point.Items[0].Number) continue;
        const double x = *point.Items[0].Number;
        if (!range->Holds(x))
          Report(messages::kLintPointOutsideRange, point.Line, name.Text, variable, FloatToStr(x),
                 FloatToStr(range->Minimum), FloatToStr(range->Maximum));
      }
      return;
    }
    const std::optional<std::vector<double>> numbers = Numbers(body);
    if (!numbers || numbers->empty()) return;
    const std::vector<double>& p = *numbers;
    const std::string& shape = body.Items[0].Text;
    // The ends the shape reaches, and whether its parameters are in their order: "tri A M B"
    // and "pi A B CENTRE" are repaired when the middle one is not between the ends.
    std::optional<TRange> reach;
    bool in_order = true;
    if (shape == "tri" && p.size() == 3) {
      reach = TRange{std::min({p[0], p[1], p[2]}), std::max({p[0], p[1], p[2]})};
      in_order = p[0] <= p[1] && p[1] <= p[2];
    } else if ((shape == "s" || shape == "z") && p.size() == 2) {
      reach = TRange{p[0], p[1]};
    } else if (shape == "pi" && p.size() == 2) {
      reach = TRange{p[0] - p[1], p[0] + p[1]};
    } else if (shape == "pi" && p.size() == 3) {
      reach = TRange{std::min({p[0], p[1], p[2]}), std::max({p[0], p[1], p[2]})};
      in_order = p[0] <= p[2] && p[2] <= p[1];
    }
    if (!in_order)
      Report(messages::kLintShapeOutOfOrder, body.Line, name.Text, variable, ShapeText(body, p));
    if (reach && range && !(range->Holds(reach->Minimum) && range->Holds(reach->Maximum)))
      Report(messages::kLintShapeOutsideRange, body.Line, name.Text, variable,
             FloatToStr(range->Minimum), FloatToStr(range->Maximum), ShapeText(body, p));
  }

  template <class... Details>
  void Report(const char* message, int line, const Details&... details) {
    FText += Format(message, FPath, line, FSeverity, details...) + "\n";
  }

  const std::string& FPath;
  std::string_view FSeverity;
  std::unordered_map<std::string, int> FVariables;  // the line of each name's first definition
  std::string FText;
};

}  // namespace

std::string LintDefinitions(const std::string& path, std::string_view text,
                            std::string_view severity) {
  TZTStringStream source(TZTStringStream::TInPlace{}, text);
  TFuzzyLogicTokenStream tokens(source);
  TLinter linter(path, severity);
  for (auto token = tokens.NextToken(); token->GetDataType() != dtEOF; token = tokens.NextToken()) {
    const TNode form = ReadNode(tokens, token);
    if (form.IsList && !form.Items.empty() && form.Items[0].IsWord("deffuzzy"))
      linter.Variable(form);
  }
  return linter.TakeText();
}

}  // namespace tapwise::tool
