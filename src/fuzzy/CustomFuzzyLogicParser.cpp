#include "tapwise/fuzzy/CustomFuzzyLogicParser.h"

#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/CustomFuzzyLogic.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzySet.h"
#include "tapwise/fuzzy/IFuzzySet.h"

namespace tapwise {

namespace {

// Echoes longer than this are cut down to their two ends.
constexpr size_t kLongEchoLength = 255;
// How much of either end of a long echo stays.
constexpr size_t kEchoEndLength = 128;

std::string ShortenEcho(const std::string& text) {
  if (text.size() <= kLongEchoLength) return text;
  std::string shortened = text.substr(0, kEchoEndLength);
  shortened += "... \r\n";
  shortened += text.substr(text.size() - kEchoEndLength);
  return shortened;
}

}  // namespace

TCustomFuzzyLogicParser::TCustomFuzzyLogicParser(TComponent* owner) : TComponent(owner) {}

TCustomFuzzyLogicParser::~TCustomFuzzyLogicParser() {
  // A parser that goes without `delete` (a local, a member) comes here before the removal
  // steps: the linked component must hear of it before the link is dropped, and while this
  // part still answers the references its variables and sets let go of.
  BeforeDestruction();
  SetFuzzyLogic(nullptr);
}

void TCustomFuzzyLogicParser::SetFuzzyLogic(TCustomFuzzyLogic* value) {
  if (value == FFuzzyLogic) return;
  if (FFuzzyLogic != nullptr) FFuzzyLogic->RemoveFreeNotification(this);
  FFuzzyLogic = value;
  if (FFuzzyLogic != nullptr) FFuzzyLogic->FreeNotification(this);
}

void TCustomFuzzyLogicParser::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == FFuzzyLogic) {
    SetFuzzyLogic(nullptr);
  }
}

void TCustomFuzzyLogicParser::Parse(const std::string& text) {
  if (FFuzzyLogic == nullptr) throw EFzyParseException(messages::kComponentRequiredToParse);
  if (FOnBeforeParse) FOnBeforeParse(this);
  ParseFuzzyLogic(text);
  if (FOnAfterParse) FOnAfterParse(this);
}

TFuzzySet* TCustomFuzzyLogicParser::CalcFuzzyFunction(TFuzzySet& fuzzy_set,
                                                      const std::string& func_name,
                                                      const IntfPtr<IFuzzyStreamTokenList>& list) {
  TFuzzySet* result = &fuzzy_set;
  bool handled = false;
  if (FOnCalcFuzzyFunction) FOnCalcFuzzyFunction(this, func_name, list, result, handled);
  if (!handled) CalcBuiltInFunction(func_name, list, fuzzy_set);
  return result;
}

IntfPtr<IFuzzySet> TCustomFuzzyLogicParser::CalcFuzzyFunction(
    const IntfPtr<IFuzzySet>& fuzzy_set, const std::string& func_name,
    const IntfPtr<IFuzzyStreamTokenList>& list) {
  IntfPtr<IFuzzySet> result = fuzzy_set;
  bool handled = false;
  if (FOnCalcFuzzyFunctionIntf) FOnCalcFuzzyFunctionIntf(this, func_name, list, result, handled);
  if (handled) return result;
  if (!fuzzy_set) {
    throw EFzyException(Format(messages::kNilArgument, messages::kCalcFuzzyFunctionRoutine, "Set"));
  }
  CalcBuiltInFunction(func_name, list, *fuzzy_set);
  return result;
}

void TCustomFuzzyLogicParser::Error(const std::string& routine, const std::string& msg) const {
  const int line = CurrentLine();
  const std::string text = CurrentTokenText();
  ParseError(routine, msg, line, text);
  // An override that returns after all still ends the parse, with the standard exception.
  TCustomFuzzyLogicParser::ParseError(routine, msg, line, text);
}

void TCustomFuzzyLogicParser::ParseError(const std::string& routine, const std::string& msg,
                                         int line, const std::string& token_text) const {
  throw EFzyParseException(Format(messages::kParseErrorFormat, msg, routine, std::to_string(line),
                                  ShortenEcho(token_text)),
                           line);
}

}  // namespace tapwise
