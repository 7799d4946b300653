#include "tapwise/language/FuzzyLogicParser.h"

#include <memory>

#include "ParserWalk.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/ScopedAssignment.h"
#include "tapwise/foundation/UpdateScope.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"
#include "tapwise/fuzzy/FuzzyLogic.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/language/FuzzyExpression.h"

namespace tapwise {

template <class Body>
auto TZTFuzzyLogicParser::WithText(const std::string& text, Body&& body) {
  // The text outlives the parse: the stream reads it where it is.
  TZTStringStream source(TZTStringStream::TInPlace{}, text);
  std::unique_ptr<TFuzzyLogicTokenStream> stream = CreateTokenStream(source);
  TScopedAssignment<TFuzzyLogicTokenStream*> reading(FTokenStream, stream.get());
  return body();
}

using detail::TCollectionFlavour;
using detail::TInterfacedFlavour;
using detail::TParserWalk;
using detail::TScratchScope;

using IntfWalk = TParserWalk<TInterfacedFlavour>;
using PlainWalk = TParserWalk<TCollectionFlavour>;

TZTFuzzyLogicParser::TZTFuzzyLogicParser(TComponent* owner) : TCustomFuzzyLogicParser(owner) {}

TZTFuzzyLogicParser::~TZTFuzzyLogicParser() {
  // A linked component drops this parser from its variables when it hears of the removal;
  // it must hear while the parser is whole.
  BeforeDestruction();
}

std::unique_ptr<TFuzzyLogicTokenStream> TZTFuzzyLogicParser::CreateTokenStream(TStream& source) {
  return std::make_unique<TFuzzyLogicTokenStream>(source);
}

std::string TZTFuzzyLogicParser::CurrentTokenText() const {
  return FTokenStream != nullptr ? FTokenStream->ParsedText()
                                 : TCustomFuzzyLogicParser::CurrentTokenText();
}

int TZTFuzzyLogicParser::CurrentLine() const {
  return FTokenStream != nullptr ? FTokenStream->CurrentToken()->GetLineNumber()
                                 : TCustomFuzzyLogicParser::CurrentLine();
}

void TZTFuzzyLogicParser::NoParseInProgress(const char* operation) {
  throw EFzyParseException(Format(messages::kNoParseInProgress, operation));
}

void TZTFuzzyLogicParser::RequireFuzzyLogic() const {
  if (GetFuzzyLogic() == nullptr) throw EFzyParseException(messages::kComponentRequiredToParse);
}

namespace {

// The texts of a variable's header, made once (see ParseFuzzySet).
const std::string& ExpectedDeffuzzy() {
  static const std::string text = messages::kExpectedDeffuzzy;
  return text;
}
const std::string& VariableContext() {
  static const std::string text = detail::kParseFuzzyVariable;
  return text;
}
const std::string& DeffuzzyKeyword() {
  static const std::string text = "deffuzzy";
  return text;
}

}  // namespace

std::string TZTFuzzyLogicParser::GenerateSetName() {
  return expression::GenerateSetName();
}

// ---- Entry points that take a text ----

void TZTFuzzyLogicParser::ParseFuzzyLogic(const std::string& text) {
  RequireFuzzyLogic();
  WithText(text, [&] {
    TScratchScope scope(FScratch);
    const bool interfaced = dynamic_cast<TIFuzzyLogic*>(GetFuzzyLogic()) != nullptr;
    for (;;) {
      const TTokenView token = FTokenStream->Take();
      if (token.DataType == dtEOF) break;
      if (!token.IsChar('(')) {
        ErrorFmt(detail::kParseFuzzyLogic, messages::kUnexpectedToken,
                 FTokenStream->CurrentToken()->GetAsString());
      }
      FTokenStream->PutBack();
      ParseDefinitionForm(FTokenStream->PeekKeyword(), interfaced);
    }
  });
}

void TZTFuzzyLogicParser::ParseDefinitionForm(const std::string& keyword, bool interfaced) {
  (void)keyword;
  if (interfaced) {
    ParseFuzzyVariable();
  } else {
    ParseFuzzyVariableItem();
  }
}

IntfPtr<IFuzzyVariable> TZTFuzzyLogicParser::ParseFuzzyVariable(const std::string& text) {
  RequireFuzzyLogic();
  return WithText(text, [&] {
    TScratchScope scope(FScratch);
    return ParseFuzzyVariable();
  });
}

TFuzzyVariable* TZTFuzzyLogicParser::ParseFuzzyVariableItem(const std::string& text) {
  RequireFuzzyLogic();
  return WithText(text, [&] {
    TScratchScope scope(FScratch);
    return ParseFuzzyVariableItem();
  });
}

IntfPtr<IFuzzySet> TZTFuzzyLogicParser::ParseFuzzySet(const IntfPtr<IFuzzyVariable>& variable,
                                                      const std::string& text) {
  return WithText(text, [&] { return ParseFuzzySet(variable); });
}

TFuzzySet* TZTFuzzyLogicParser::ParseFuzzySet(TFuzzyVariable& variable, const std::string& text) {
  return WithText(text, [&] { return ParseFuzzySet(variable); });
}

IntfPtr<IFuzzySet> TZTFuzzyLogicParser::EvaluateExpression(const IntfPtr<IFuzzyVariable>& variable,
                                                           const std::string& expression) {
  return WithText(expression, [&] {
    TScratchScope scope(FScratch);
    IntfWalk walk(*this);
    IntfPtr<IFuzzyStreamTokenList> items = walk.ReadExpressionList(0);
    return walk.EvalFuzzyExpression(variable, *items);
  });
}

TFzyFloat TZTFuzzyLogicParser::EvaluateValue(const IntfPtr<IFuzzyVariable>& variable,
                                             const std::string& expression,
                                             IntfPtr<IFuzzySet>& fuzzy_set) {
  fuzzy_set = EvaluateExpression(variable, expression);
  const TCustomFuzzyLogic* logic = GetFuzzyLogic();
  if (logic != nullptr && logic->GetDefuzzificationMethod() == dmMeanOfMaxima)
    return fuzzy_set->MeanOfMaxima();
  return fuzzy_set->CenterOfGravity();
}

TFuzzySetResult TZTFuzzyLogicParser::EvaluateExpression(TFuzzyVariable& variable,
                                                        const std::string& expression) {
  return WithText(expression, [&] {
    TScratchScope scope(FScratch);
    PlainWalk walk(*this);
    IntfPtr<IFuzzyStreamTokenList> items = walk.ReadExpressionList(0);
    TFuzzySet* result = walk.EvalFuzzyExpression(&variable, *items);
    return scope.Get().Release(result);
  });
}

TFzyFloat TZTFuzzyLogicParser::EvaluateValue(TFuzzyVariable& variable,
                                             const std::string& expression,
                                             TFuzzySetResult& fuzzy_set) {
  fuzzy_set = EvaluateExpression(variable, expression);
  const TCustomFuzzyLogic* logic = GetFuzzyLogic();
  if (logic != nullptr && logic->GetDefuzzificationMethod() == dmMeanOfMaxima)
    return fuzzy_set->MeanOfMaxima();
  return fuzzy_set->CenterOfGravity();
}

// ---- Reading from the token stream ----

TTokenView TZTFuzzyLogicParser::ReadHeader(std::string& name, std::string& comment,
                                           const std::string& error_message,
                                           const std::string& context, const std::string& keyword,
                                           bool want_comment) {
  TFuzzyLogicTokenStream& stream = Stream("ParseHeader");
  const bool opens = stream.Take().IsChar('(');
  const TTokenView word = stream.Take();
  if (!opens || word.DataType != dtSymbol || word.Text != keyword) Error(context, error_message);
  TTokenView token = stream.Take();
  if (token.DataType != dtSymbol) Error(context, messages::kMissingName);
  name = token.Text;
  comment.clear();
  if (want_comment) {
    token = stream.Take();
    if (token.DataType == dtString) {
      comment = token.Text;
      token = stream.Take();
    }
  }
  return token;
}

void TZTFuzzyLogicParser::ParseHeader(std::string& name, std::string& comment,
                                      IntfPtr<IFuzzyStreamToken>& token,
                                      const std::string& error_message, const std::string& context,
                                      const std::string& keyword, bool want_comment) {
  ReadHeader(name, comment, error_message, context, keyword, want_comment);
  token = Stream("ParseHeader").CurrentToken();
}

IntfPtr<IFuzzyVariable> TZTFuzzyLogicParser::ParseFuzzyVariable() {
  std::string name;
  std::string comment;
  const TTokenView token =
      ReadHeader(name, comment, ExpectedDeffuzzy(), VariableContext(), DeffuzzyKeyword(), true);
  auto* logic = dynamic_cast<TIFuzzyLogic*>(GetFuzzyLogic());
  if (logic == nullptr) throw EFzyParseException(messages::kInterfacedLogicRequired);
  IntfPtr<IFuzzyVariable> variable = logic->CreateVariable(name);
  variable->SetComment(comment);
  variable->SetParser(IntfPtr<IFuzzyParser>(this));
  try {
    IntfWalk(*this).ParseClauses(variable, token);
  } catch (...) {
    // It never reaches the component, which would take this parser from it (and from the
    // terms an event handler may have kept) when the parser goes.
    variable->SetParser(nullptr);
    throw;
  }
  logic->GetVariableTable().PutVariable(name, variable);
  if (const auto& event = GetOnParseFuzzyVariableIntf()) event(*variable);
  return variable;
}

TFuzzyVariable* TZTFuzzyLogicParser::ParseFuzzyVariableItem() {
  std::string name;
  std::string comment;
  const TTokenView token =
      ReadHeader(name, comment, ExpectedDeffuzzy(), VariableContext(), DeffuzzyKeyword(), true);
  auto* logic = dynamic_cast<TFuzzyLogic*>(GetFuzzyLogic());
  if (logic == nullptr) throw EFzyParseException(messages::kCollectionLogicRequired);
  TFuzzyVariables& variables = logic->GetFuzzyVariables();
  TFuzzyVariable* variable = nullptr;
  {
    TUpdateScope<TFuzzyVariables> update(variables);
    variable = variables.AddVariable();
    // With automatic terms the variable joins its collection again only once it is
    // complete (also after an error: it stays in the collection either way).
    struct Reattach {
      TFuzzyVariables& variables;
      std::unique_ptr<TGCollectionItem> detached;
      ~Reattach() noexcept(false) {
        if (detached) variables.AddItem(std::move(detached));
      }
    } reattach{variables, nullptr};
    if (logic->GetAutoTerms()) {
      reattach.detached = variables.Extract(*variable);
      variable->GetItems().Clear();
    }
    variable->SetName(name);
    variable->SetComment(comment);
    PlainWalk(*this).ParseClauses(variable, token);
  }
  if (const auto& event = GetOnParseFuzzyVariable()) event(this, *variable);
  return variable;
}

IntfPtr<IFuzzySet> TZTFuzzyLogicParser::ParseFuzzySet(const IntfPtr<IFuzzyVariable>& variable) {
  return IntfWalk(*this).ParseFuzzySet(variable);
}

TFuzzySet* TZTFuzzyLogicParser::ParseFuzzySet(TFuzzyVariable& variable) {
  return PlainWalk(*this).ParseFuzzySet(&variable);
}

IntfPtr<IFuzzySet> TZTFuzzyLogicParser::ParseSetBody(const IntfPtr<IFuzzyVariable>& variable) {
  return IntfWalk(*this).ParseSetBody(variable);
}

TFuzzySet* TZTFuzzyLogicParser::ParseSetBody(TFuzzyVariable& variable) {
  return PlainWalk(*this).ParseSetBody(&variable);
}

IntfPtr<IFuzzySet> TZTFuzzyLogicParser::ParseFuzzyValuePairs(
    const IntfPtr<IFuzzyVariable>& variable) {
  return IntfWalk(*this).ParseFuzzyValuePairs(variable);
}

TFuzzySet* TZTFuzzyLogicParser::ParseFuzzyValuePairs(TFuzzyVariable& variable) {
  return PlainWalk(*this).ParseFuzzyValuePairs(&variable);
}

IntfPtr<IFuzzySet> TZTFuzzyLogicParser::ParseFuzzyFunction(
    const IntfPtr<IFuzzyVariable>& variable) {
  return IntfWalk(*this).ParseFuzzyFunction(variable);
}

TFuzzySet* TZTFuzzyLogicParser::ParseFuzzyFunction(TFuzzyVariable& variable) {
  return PlainWalk(*this).ParseFuzzyFunction(&variable);
}

IntfPtr<IFuzzyStreamTokenList> TZTFuzzyLogicParser::ReadExpressionList() {
  return IntfWalk(*this).ReadExpressionList(0);
}

IntfPtr<IFuzzySet> TZTFuzzyLogicParser::EvalFuzzyExpression(const IntfPtr<IFuzzyVariable>& variable,
                                                            IFuzzyStreamTokenList& items) {
  return IntfWalk(*this).EvalFuzzyExpression(variable, items);
}

TFuzzySet* TZTFuzzyLogicParser::EvalFuzzyExpression(TFuzzyVariable& variable,
                                                    IFuzzyStreamTokenList& items) {
  return PlainWalk(*this).EvalFuzzyExpression(&variable, items);
}

IntfPtr<IFuzzySet> TZTFuzzyLogicParser::ConvertListToValues(const IntfPtr<IFuzzySet>& fuzzy_set,
                                                            const IFuzzyStreamTokenList& list) {
  return IntfWalk(*this).ConvertListToValues(fuzzy_set, list);
}

TFuzzySet* TZTFuzzyLogicParser::ConvertListToValues(TFuzzySet& fuzzy_set,
                                                    const IFuzzyStreamTokenList& list) {
  return PlainWalk(*this).ConvertListToValues(&fuzzy_set, list);
}

}  // namespace tapwise
