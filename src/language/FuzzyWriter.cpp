#include "tapwise/language/FuzzyWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tapwise/foundation/NumberText.h"
#include "tapwise/foundation/Stream.h"
#include "tapwise/fuzzy/FuzzyConsts.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/FuzzyTypes.h"
#include "tapwise/fuzzy/StreamTokenInterfaces.h"
#include "tapwise/language/TokenStream.h"

namespace tapwise::writer {

namespace {

std::string Num(double value, TNumberForm form) {
  std::string fixed = FormatFixed(value, 4);
  if (form == TNumberForm::Fixed4 || std::strtod(fixed.c_str(), nullptr) == value) return fixed;
  return ExactFloatToStr(value);
}

// Characters that end a word or start another token, and the escape character itself.
bool IsSpecial(char ch) {
  return static_cast<unsigned char>(ch) <= 32 ||
         std::string_view("\"&();<[]|~\\").find(ch) != std::string_view::npos;
}

std::string PointListText(const TFuzzySet& set, TNumberForm form) {
  std::string text = "(";
  for (int i = 0; i < set.GetCount(); ++i)
    text += "(" + Num(set.GetX(i), form) + " " + Num(set.GetY(i), form) + ") ";
  return text + ")";
}

// The weight of a beta curve, recovered from a point strictly between 0 and 1:
// y = 1 / (1 + w * ((x - c) / i)^2). 1 when no point tells.
double BetaWeight(const TFuzzySet& set, double center, double inflection) {
  for (int i = 0; i < set.GetCount(); ++i) {
    const double y = set.GetY(i);
    const double x = set.GetX(i);
    if (!(y > 0 && y < 1) || x == center || inflection == 0) continue;
    const double ratio = (x - center) / inflection;
    const double denominator = ratio * ratio;
    if (denominator == 0 || !std::isfinite(denominator)) continue;
    return (1 / y - 1) / denominator;
  }
  return 1;
}

}  // namespace

bool IsUsableName(std::string_view name) {
  return !name.empty() && name != EmptySetName;
}

std::string ShapeText(const TFuzzySet& set, TNumberForm form) {
  const int count = set.GetCount();
  if (set.GetSetType() != fstUserDefined && count >= 2) {
    const double first = set.GetX(0);
    const double last = set.GetX(count - 1);
    switch (set.GetSetType()) {
      case fstTriangle:
        if (count >= 3) {
          return "(tri " + Num(set.GetX(0), form) + " " + Num(set.GetX(1), form) + " " +
                 Num(set.GetX(2), form) + ")";
        }
        break;
      case fstDeclineCurve:
        return "(z " + Num(first, form) + " " + Num(last, form) + ")";
      case fstGrowthCurve:
        return "(s " + Num(first, form) + " " + Num(last, form) + ")";
      case fstPICurve: {
        // The generator keeps its inflection point halfway between centre and right end,
        // which gives the centre exactly even where no point lies on the peak.
        const double center = 2 * set.GetInflectionPoint() - last;
        if (SameFloat(last - center, center - first))
          return "(pi " + Num(center, form) + " " + Num(center - first, form) + ")";
        return "(pi " + Num(first, form) + " " + Num(last, form) + " " + Num(center, form) + ")";
      }
      case fstBetaCurve: {
        // The samples span centre +- range evenly, with or without a point on the peak.
        const double center = (first + last) / 2;
        const double range = (last - first) / 2;
        const double inflection = set.GetInflectionPoint();
        std::string text =
            "(beta " + Num(range, form) + " " + Num(center, form) + " " + Num(inflection, form);
        const double weight = BetaWeight(set, center, inflection);
        if (!SameFloat(1, weight)) text += " " + Num(weight, form);
        return text + ")";
      }
      default:
        break;
    }
  }
  // Always the points, never the expression text: that may name the set itself (the
  // automatic terms), terms since changed or gone, or groups that are no terms at all.
  if (count == 0) return std::string(EmptySetName);
  return PointListText(set, form);
}

std::string WordText(std::string_view name) {
  std::string text;
  for (size_t i = 0; i < name.size(); ++i) {
    if (i > 0 && IsSpecial(name[i])) text += '\\';
    text += name[i];
  }
  return text;
}

bool ReadsBackAsWord(std::string_view name, bool numbered) {
  const std::string text = WordText(name);
  TZTStringStream source(TZTStringStream::TInPlace{}, text);
  TFuzzyLogicTokenStream tokens(source);
  const IntfPtr<IFuzzyStreamToken> word = tokens.NextToken();
  if (tokens.NextToken()->GetDataType() != dtEOF) return false;
  if (word->GetDataType() == dtSymbol) return word->GetText() == name;
  return numbered && word->GetDataType() == dtInteger && std::fabs(word->GetNumber()) < 1e15 &&
         IntToStr(static_cast<int64_t>(word->GetNumber())) == name;
}

std::string QuotedText(std::string_view value) {
  std::string text = "\"";
  for (char ch : value) {
    if (ch == '"' || ch == '\\') text += '\\';
    text += ch;
  }
  return text + "\"";
}

std::string UnitsText(std::string_view units) {
  // A units clause holding a string stores the string token's text form \"...\".
  if (units.size() >= 4 && units.substr(0, 2) == "\\\"" && units.substr(units.size() - 2) == "\"\\")
    return QuotedText(units.substr(2, units.size() - 4));
  const bool plain = !units.empty() && !std::any_of(units.begin(), units.end(), IsSpecial);
  return plain ? std::string(units) : QuotedText(units);
}

std::string TermText(std::string_view name, std::string_view comment, std::string_view shape) {
  if (!IsUsableName(name)) return std::string(shape);
  std::string text = "(term " + WordText(name) + " ";
  if (!comment.empty()) text += QuotedText(comment) + " ";
  text += shape;
  return text + ")";
}

std::string VariableText(std::string_view name, std::string_view comment, double minimum,
                         double maximum, std::string_view units, std::vector<TTermLine> terms,
                         TNumberForm form) {
  std::string text = "(deffuzzy " + WordText(name) + " ";
  if (!comment.empty()) {
    text += LineBreak;
    text += Indent;
    text += QuotedText(comment);
  }
  text += LineBreak;
  text += std::string(Indent) + "(range " + Num(minimum, form) + " " + Num(maximum, form) + ")";
  text += LineBreak;
  if (!units.empty()) {
    text += std::string(Indent) + "(units " + UnitsText(units) + ")";
    text += LineBreak;
  }
  text += std::string(Indent) + "(values ";
  text += LineBreak;
  std::stable_sort(terms.begin(), terms.end(), [](const TTermLine& a, const TTermLine& b) {
    return a.OrderNumber < b.OrderNumber;
  });
  for (const TTermLine& term : terms) {
    text += std::string(Indent) + std::string(Indent) + term.Text;
    text += LineBreak;
  }
  text += std::string(Indent) + ")";
  text += LineBreak;
  return text + ")";
}

}  // namespace tapwise::writer
