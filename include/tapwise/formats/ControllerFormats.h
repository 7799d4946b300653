#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tapwise/control/FuzzyController.h"

namespace tapwise {

/// The file formats a controller is read from and written to.
enum class TControllerFormat : uint8_t {
  /// The definition language (".fzl", docs/language.md).
  Tapwise,
  /// IEC 61131-7 Fuzzy Control Language (".fcl").
  Fcl,
  /// The ".fis" files of MATLAB's Fuzzy Logic Toolbox and Octave's fuzzy-logic toolkit.
  Fis,
  /// fuzzylite's language (".fll").
  Fll,
};

/// "Tapwise", "FCL", "FIS" or "FLL".
std::string_view FormatName(TControllerFormat format);
/// The format a file name's extension names (".fzl", ".fcl", ".fis", ".fll", in any case),
/// or none.
std::optional<TControllerFormat> FormatOfPath(std::string_view path);
/// Whether controllers can be written in `format` (every format is).
bool CanWrite(TControllerFormat format);

/// The controller `text` describes in `format`. A text that does not read, or that uses a
/// feature Tapwise does not have, raises EFzyParseException with the line (1-based) and a
/// message naming what was wrong; unsupported features are refused, never approximated
/// ("Unsupported defuzzification method LM").
TFuzzyController ReadController(const std::string& text, TControllerFormat format);
/// The controller in `format`'s text, which `ReadController` reads back to a controller
/// with the same outputs. EFzyException when the format cannot hold something of it (naming
/// the format and what).
std::string WriteController(const TFuzzyController& controller, TControllerFormat format);

/// The controller of the file `path`, its format chosen by the extension. EStreamError when
/// the file cannot be read, EFzyException when the extension names no format.
TFuzzyController LoadController(const std::string& path);
/// Writes the controller to `path` in the format its extension names.
void SaveController(const TFuzzyController& controller, const std::string& path);

}  // namespace tapwise
