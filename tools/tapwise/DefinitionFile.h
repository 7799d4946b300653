#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "tapwise/control/FuzzyController.h"
#include "tapwise/formats/ControllerFormats.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"
#include "tapwise/fuzzy/InterfacedFuzzyLogic.h"
#include "tapwise/language/FuzzyLogicParser.h"

namespace tapwise::tool {

/// The variables' parser of the tool: it reads the "(deffuzzy" forms and passes over the
/// controller forms ("(definput", "(defoutput", "(defrules"), which the controller reads.
class TVariableFormsParser : public TZTFuzzyLogicParser {
 public:
  std::string ClassName() const override { return "TVariableFormsParser"; }
  /// Whether a text it parsed had a controller form.
  bool HasControllerForms() const { return FHasControllerForms; }

 protected:
  void ParseDefinitionForm(const std::string& keyword, bool interfaced) override;

 private:
  bool FHasControllerForms = false;
};

/// One definition file, read and parsed into a component of its own. The variables are kept
/// in the order the file defines them (the component's table has its own order); a name
/// defined twice counts once, at the place of its last definition, which is the one kept.
///
/// Automatic terms ("low", "medium", "high") are added only when asked for: the tool shows
/// what the file says unless the user wants to see what a component would make of it.
///
/// A file with controller forms is also read, whole, into a controller. The variables of the
/// listing, the plot and expressions still come from the component, so that a file of
/// variables alone reads exactly as it always has.
///
/// A file whose extension names an exchange format (".fcl", ".fis", ".fll") is read by that
/// format's reader into the controller; the component then holds the controller's variables
/// as the definition language writes them. Any other file is definition text.
class TDefinitionFile {
 public:
  /// Reads and parses `path`. Raises EToolError "<path>: <reason>" when the file cannot be
  /// read or does not parse (a parse error as FileParseError reports it).
  TDefinitionFile(std::string path, bool auto_terms);
  ~TDefinitionFile();
  TDefinitionFile(const TDefinitionFile&) = delete;
  TDefinitionFile& operator=(const TDefinitionFile&) = delete;

  const std::string& GetPath() const { return FPath; }
  /// The format the file was read in.
  TControllerFormat GetFormat() const { return FFormat; }
  /// The text of the file, without a byte-order mark.
  const std::string& GetText() const { return FText; }
  /// The variables in the order of the file.
  const std::vector<IntfPtr<IFuzzyVariable>>& GetVariables() const { return FVariables; }
  /// The variable named `name` (case-sensitive); EToolError naming the file's variables
  /// otherwise.
  IntfPtr<IFuzzyVariable> FindVariable(const std::string& name) const;
  /// The parser the file was read with; it evaluates expressions and writes text.
  TZTFuzzyLogicParser& GetParser() { return FParser; }
  /// The controller of the file; null when the file has no controller forms.
  const TFuzzyController* FindController() const { return FController ? &*FController : nullptr; }
  /// The controller of the file; EToolError "<path>: the file defines no controller ..."
  /// when it has none.
  TFuzzyController& GetController();

 private:
  std::string FPath;
  std::string FText;
  TControllerFormat FFormat = TControllerFormat::Tapwise;
  std::optional<TFuzzyController> FController;
  // The component goes before its parser, then the variables' last references.
  TVariableFormsParser FParser;
  TIFuzzyLogic FLogic;
  std::vector<IntfPtr<IFuzzyVariable>> FVariables;
};

/// The bytes of the file at `path`; EToolError "<path>: cannot read the file: <reason>".
std::string ReadFileText(const std::string& path);
/// The bytes of `in` up to its end, refused like a file's when there are too many; `name`
/// stands for the stream in errors.
std::string ReadStreamText(std::istream& in, const std::string& name);

/// The terms stored in `variable`, in the order they were stored (the order of the file).
std::vector<IntfPtr<IFuzzySet>> TermsInOrder(const IFuzzyVariable& variable);

}  // namespace tapwise::tool
