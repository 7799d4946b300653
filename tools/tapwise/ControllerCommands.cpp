#include "ControllerCommands.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "ToolError.h"
#include "ToolText.h"
#include "tapwise/foundation/Format.h"
#include "tapwise/foundation/Messages.h"
#include "tapwise/foundation/NumberText.h"

namespace tapwise::tool {

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

std::string Joined(const std::vector<std::string>& items, std::string_view separator = ", ") {
  std::string text;
  for (const std::string& item : items) {
    if (&item != &items.front()) text += separator;
    text += item;
  }
  return text;
}

// The text `name` gives each of `items`, separated by ", ".
template <class Item, class Name>
std::string Listed(const std::vector<Item>& items, Name name) {
  std::vector<std::string> texts;
  for (const Item& item : items)
    texts.push_back(name(item));
  return Joined(texts);
}

std::string NameOf(const TControllerInput& input) {
  return input.Name;
}

std::string InputText(const TControllerInput& input) {
  if (input.Spread == 0) return input.Name;
  return input.Name + " (spread " + FloatToStr(input.Spread) + ")";
}

std::string OutputText(const TControllerOutput& output) {
  std::vector<std::string> traits;
  if (output.IsSugeno) {
    traits.push_back("sugeno, " + IntToStr(static_cast<int64_t>(output.SugenoTerms.size())) +
                     (output.SugenoTerms.size() == 1 ? " term" : " terms"));
  } else if (output.Variable != output.Name) {
    traits.push_back("variable " + output.Variable);
  }
  if (output.Default) traits.push_back("default " + FloatToStr(*output.Default));
  if (traits.empty()) return output.Name;
  return output.Name + " (" + Joined(traits) + ")";
}

std::string SettingsText(const TInferenceSettings& settings) {
  return "and " + std::string(SettingWord(settings.And)) + ", or " +
         std::string(SettingWord(settings.Or)) + ", implication " +
         std::string(SettingWord(settings.Implication)) + ", aggregation " +
         std::string(SettingWord(settings.Aggregation)) + ", defuzzification " +
         std::string(SettingWord(settings.Defuzzification)) + ", threshold " +
         FloatToStr(settings.Threshold);
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = line.find_first_not_of(kBlanks); start != std::string_view::npos;) {
    const std::size_t end = std::min(line.find_first_of(kBlanks, start), line.size());
    fields.push_back(line.substr(start, end - start));
    start = line.find_first_not_of(kBlanks, end);
  }
  return fields;
}

}  // namespace

std::string ControllerCheckText(const TFuzzyController& controller) {
  std::string text = "  inputs: " + Listed(controller.GetInputs(), InputText) + "\n";
  text += "  outputs: " + Listed(controller.GetOutputs(), OutputText) + "\n";
  for (const TRuleBlock& block : controller.GetRuleBlocks()) {
    const std::size_t rules = block.Rules.size();
    text += "  rule block " + block.Name + ": " + IntToStr(static_cast<int64_t>(rules)) +
            (rules == 1 ? " rule\n" : " rules\n");
    text += "    " + SettingsText(block.Settings) + "\n";
  }
  return text;
}

void SetInputs(TFuzzyController& controller, std::span<const std::string> assignments) {
  for (const std::string& assignment : assignments) {
    const std::size_t equals = assignment.find('=');
    if (equals == 0 || equals == std::string::npos)
      throw EToolError(Format(messages::kToolBadAssignment, assignment));
    const std::string name = assignment.substr(0, equals);
    const std::string text = assignment.substr(equals + 1);
    // The name first: whether the input exists matters more than what its value says.
    controller.GetInput(name);
    const std::optional<double> value = TryStrToFloat(text);
    if (!value) throw EToolError(Format(messages::kToolValueNotNumber, name, text));
    controller.SetInput(name, *value);
  }
  std::vector<std::string> missing;
  for (const TControllerInput& input : controller.GetInputs())
    if (std::isnan(controller.GetInput(input.Name))) missing.push_back(input.Name);
  if (!missing.empty())
    throw EToolError(Format(messages::kToolInputsWithoutValue, Joined(missing),
                            Listed(controller.GetInputs(), NameOf)));
}

std::string RunText(TFuzzyController& controller, std::span<const std::string> assignments,
                    bool explain) {
  SetInputs(controller, assignments);
  controller.Process();

  std::string text;
  for (const TControllerOutput& output : controller.GetOutputs()) {
    const std::optional<TFzyFloat> value = controller.FindOutput(output.Name);
    text += output.Name + (value ? " = " + FixedText(*value, 4) : ": no rule fired") + "\n";
  }
  if (!explain) return text;
  text += "rules (* fired):\n";
  for (const TRuleActivation& activation : controller.GetActivations()) {
    text += activation.Fired ? "  * " : "    ";
    text += FixedText(activation.Strength, 4) + " " + std::string(activation.Block) + " " +
            std::string(activation.Rule) + "\n";
  }
  return text;
}

std::string TableText(TFuzzyController& controller, std::string_view data,
                      const std::string& data_name) {
  const std::vector<TControllerInput>& inputs = controller.GetInputs();
  const std::vector<TControllerOutput>& outputs = controller.GetOutputs();
  // The header's column count (0 before the header), and the column of each input.
  std::size_t columns = 0;
  std::vector<std::size_t> input_columns;
  std::string text;
  int line_number = 0;
  for (std::size_t start = 0; start < data.size(); ++line_number) {
    const std::size_t end = std::min(data.find('\n', start), data.size());
    const std::vector<std::string_view> fields = Fields(data.substr(start, end - start));
    start = end + 1;
    const auto fail = [&](const char* message, const auto&... details) {
      return EToolError(Format(message, data_name, line_number + 1, details...));
    };
    if (fields.empty()) continue;

    if (columns == 0) {
      columns = fields.size();
      std::vector<std::string> missing;
      for (const TControllerInput& input : inputs) {
        const auto column = std::find(fields.begin(), fields.end(), input.Name);
        if (column == fields.end()) {
          missing.push_back(input.Name);
        } else if (std::find(column + 1, fields.end(), input.Name) != fields.end()) {
          throw fail(messages::kToolDuplicateColumn, input.Name);
        }
        input_columns.push_back(static_cast<std::size_t>(column - fields.begin()));
      }
      if (!missing.empty()) throw fail(messages::kToolMissingColumns, Joined(missing));
      std::vector<std::string> names;
      for (const TControllerInput& input : inputs)
        names.push_back(input.Name);
      for (const TControllerOutput& output : outputs)
        names.push_back(output.Name);
      text += Joined(names, "\t") + "\n";
      continue;
    }

    if (fields.size() != columns)
      throw fail(messages::kToolWrongFieldCount, fields.size(), columns);
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      const std::string_view field = fields[input_columns[i]];
      const std::optional<double> value = TryStrToFloat(field);
      if (!value) throw fail(messages::kToolFieldNotNumber, field, inputs[i].Name);
      controller.SetInput(inputs[i].Name, *value);
      cells.push_back(FixedText(*value, 6));
    }
    controller.Process();
    for (const TControllerOutput& output : outputs) {
      const std::optional<TFzyFloat> value = controller.FindOutput(output.Name);
      cells.push_back(value ? FixedText(*value, 6) : std::string("nan"));
    }
    text += Joined(cells, "\t") + "\n";
  }
  if (columns == 0) throw EToolError(Format(messages::kToolNoDataHeader, data_name));
  return text;
}

}  // namespace tapwise::tool
