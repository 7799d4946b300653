#include "tapwise/formats/ControllerFormats.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <utility>

#include "FormatCodecs.h"
#include "tapwise/foundation/Exceptions.h"
#include "tapwise/foundation/StringList.h"
#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise {

namespace {

struct TFormatEntry {
  TControllerFormat Format;
  std::string_view Name;
  std::string_view Extension;
};

constexpr std::array kFormats{
    TFormatEntry{TControllerFormat::Tapwise, "Tapwise", ".fzl"},
    TFormatEntry{TControllerFormat::Fcl, "FCL", ".fcl"},
    TFormatEntry{TControllerFormat::Fis, "FIS", ".fis"},
    TFormatEntry{TControllerFormat::Fll, "FLL", ".fll"},
};

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<long>(suffix.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

TControllerFormat FormatOfPathOrThrow(const std::string& path) {
  if (auto format = FormatOfPath(path)) return *format;
  throw EFzyException("Unknown controller format of " + path +
                      " (the extensions are .fzl, .fcl, .fis and .fll)");
}

}  // namespace

std::string_view FormatName(TControllerFormat format) {
  for (const TFormatEntry& entry : kFormats)
    if (entry.Format == format) return entry.Name;
  return "unknown";
}

std::optional<TControllerFormat> FormatOfPath(std::string_view path) {
  for (const TFormatEntry& entry : kFormats)
    if (EndsWithIgnoringCase(path, entry.Extension)) return entry.Format;
  return std::nullopt;
}

bool CanWrite(TControllerFormat format) {
  return FormatName(format) != "unknown";
}

TFuzzyController ReadController(const std::string& text, TControllerFormat format) {
  switch (format) {
    case TControllerFormat::Tapwise:
      return TFuzzyController::FromText(text);
    case TControllerFormat::Fcl:
      return detail::ReadFcl(text);
    case TControllerFormat::Fis:
      return detail::ReadFis(text);
    case TControllerFormat::Fll:
      return detail::ReadFll(text);
  }
  throw EFzyException("Unknown controller format");
}

std::string WriteController(const TFuzzyController& controller, TControllerFormat format) {
  switch (format) {
    case TControllerFormat::Tapwise:
      return controller.ToText();
    case TControllerFormat::Fcl:
      return detail::WriteFcl(controller);
    case TControllerFormat::Fis:
      return detail::WriteFis(controller);
    case TControllerFormat::Fll:
      return detail::WriteFll(controller);
  }
  throw EFzyException("Unknown controller format");
}

TFuzzyController LoadController(const std::string& path) {
  const TControllerFormat format = FormatOfPathOrThrow(path);
  TStringList lines;
  lines.LoadFromFile(path);
  return ReadController(lines.GetText(), format);
}

void SaveController(const TFuzzyController& controller, const std::string& path) {
  const std::string text = WriteController(controller, FormatOfPathOrThrow(path));
  std::ofstream file(path, std::ios::binary);
  file << text;
  file.close();
  if (!file) throw EStreamError("Cannot write " + path);
}

}  // namespace tapwise
