#include "DefinitionFile.h"

#include <algorithm>
#include <array>
#include <exception>
#include <filesystem>
#include <fstream>
#include <istream>
#include <string_view>
#include <system_error>
#include <unordered_set>

#include "ParseErrorPlace.h"
#include "ToolError.h"
#include "ToolText.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/fuzzy/IFuzzySet.h"

namespace tapwise::tool {

namespace {

// Definition files are text written by people; anything this large is no definition file.
constexpr std::size_t kMaxFileMiB = 64;

}  // namespace

std::string ReadFileText(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  const auto fail = [&path](const std::string& reason) {
    return EToolError(Format(messages::kToolCannotRead, path, reason));
  };
  if (!fs::exists(status)) throw fail(messages::kToolNoSuchFile);
  if (fs::is_directory(status)) throw fail(messages::kToolIsDirectory);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw fail(messages::kToolCannotOpen);
  return ReadStreamText(in, path);
}

std::string ReadStreamText(std::istream& in, const std::string& name) {
  const auto fail = [&name](const std::string& reason) {
    return EToolError(Format(messages::kToolCannotRead, name, reason));
  };
  // Read in pieces up to a bound, so that a device that never ends (/dev/zero) is refused
  // instead of filling the memory; pipes and process substitutions still work.
  std::string text;
  std::array<char, 65536> buffer;
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    text.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxFileMiB * 1024 * 1024)
      throw fail(Format(messages::kToolFileTooLarge, kMaxFileMiB));
  }
  if (in.bad()) throw fail(messages::kToolReadFailed);
  return text;
}

std::vector<IntfPtr<IFuzzySet>> TermsInOrder(const IFuzzyVariable& variable) {
  std::vector<IntfPtr<IFuzzySet>> terms;
  for (int i = 0; i < variable.GetFuzzySetCount(); ++i)
    terms.push_back(variable.GetFuzzySetAt(i));
  std::stable_sort(terms.begin(), terms.end(), [](const auto& a, const auto& b) {
    return a->GetOrderNumber() < b->GetOrderNumber();
  });
  return terms;
}

void TVariableFormsParser::ParseDefinitionForm(const std::string& keyword, bool interfaced) {
  if (keyword != "definput" && keyword != "defoutput" && keyword != "defrules")
    return TZTFuzzyLogicParser::ParseDefinitionForm(keyword, interfaced);
  FHasControllerForms = true;
  GetTokenStream()->NextToken();
  // A form that never closes runs to the end here; the controller's parse reports it.
  GetTokenStream()->SkipToBalance();
}

TDefinitionFile::TDefinitionFile(std::string path, bool auto_terms) : FPath(std::move(path)) {
  FText = ReadFileText(FPath);
  const std::string& text = FText;
  // Editors on some systems start UTF-8 text with a byte-order mark; it is no token.
  if (FText.starts_with("\xEF\xBB\xBF")) FText.erase(0, 3);
  FLogic.SetAutoTerms(auto_terms);
  FLogic.SetParser(&FParser);
  FParser.SetFuzzyLogic(&FLogic);
  std::vector<IntfPtr<IFuzzyVariable>> parsed;
  FParser.SetOnParseFuzzyVariableIntf([&parsed](IFuzzyVariable& variable) {
    parsed.push_back(IntfPtr<IFuzzyVariable>(&variable));
  });
  FFormat = FormatOfPath(FPath).value_or(TControllerFormat::Tapwise);
  try {
    if (FFormat == TControllerFormat::Tapwise) {
      FParser.Parse(text);
      if (FParser.HasControllerForms()) FController = TFuzzyController::FromText(text);
    } else {
      FController = ReadController(text, FFormat);
      FParser.Parse(FController->ToText());
    }
    FParser.SetOnParseFuzzyVariableIntf(nullptr);
  } catch (const EFzyParseException& e) {
    FParser.SetOnParseFuzzyVariableIntf(nullptr);
    throw FileParseError(FPath, text, e);
  } catch (const std::exception& e) {
    FParser.SetOnParseFuzzyVariableIntf(nullptr);
    throw EToolError(Format(messages::kToolFileError, FPath, OneLine(e.what())));
  }
  // A variable defined again replaced the earlier one in the component: keep only the
  // variables the component still holds, each at the place of its last definition. Walking
  // back from the end meets each name's last definition first.
  std::unordered_set<std::string_view> seen;
  for (auto variable = parsed.rbegin(); variable != parsed.rend(); ++variable)
    if (seen.insert((*variable)->GetName()).second) FVariables.push_back(*variable);
  std::reverse(FVariables.begin(), FVariables.end());
}

TDefinitionFile::~TDefinitionFile() = default;

TFuzzyController& TDefinitionFile::GetController() {
  if (!FController) throw EToolError(Format(messages::kToolNoController, FPath));
  return *FController;
}

IntfPtr<IFuzzyVariable> TDefinitionFile::FindVariable(const std::string& name) const {
  std::string names;
  for (const auto& variable : FVariables) {
    if (variable->GetName() == name) return variable;
    names += (names.empty() ? "" : ", ") + variable->GetName();
  }
  if (FVariables.empty()) throw EToolError(Format(messages::kToolNoVariables, FPath));
  throw EToolError(Format(messages::kToolNoSuchVariable, FPath, name, names));
}

}  // namespace tapwise::tool
