#pragma once

#include <string>
#include <string_view>

namespace tapwise::tool {

/// `text` on one line: every run of line breaks becomes one blank (none after a blank), so
/// that a parse error's echo of the form, which breaks where the source line changes, stays
/// readable in a one-line report. A tab becomes a blank and any other control character
/// a "?".
std::string OneLine(std::string_view text);

/// "%.<decimals>f" with "." whatever the locale, and without the sign of a value that
/// rounds to zero ("0.0000", never "-0.0000").
std::string FixedText(double value, int decimals);

/// The units as a reader wants to see them: a units clause holding a string stores the
/// string token's text form (a backslash and a quote on either side), shown as the string.
std::string PlainUnits(std::string_view units);

/// `text` safe inside XML character data and attribute values.
std::string XmlEscaped(std::string_view text);

}  // namespace tapwise::tool
