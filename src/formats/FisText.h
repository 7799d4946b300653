#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tapwise/fuzzy/FuzzyTypes.h"

// The lines of a .fis file as sections of "key=value" entries, and the values they hold.
// Every error is an EFzyParseException with the line it was found on.

namespace tapwise::detail::fis {

/// "key=value", or a whole line of the [Rules] section (then the key is empty).
struct TEntry {
  std::string Key;
  std::string Value;
  int Line = 0;
};

/// "[Name]" and the entries under it.
struct TSection {
  std::string Name;
  int Line = 0;
  std::vector<TEntry> Entries;

  /// The entry `key`, or null.
  const TEntry* Find(std::string_view key) const;
  /// The entry `key`; "Missing <key> in [<Name>]" at the section's line when there is none.
  const TEntry& Get(std::string_view key) const;
};

/// "Name='name':'type',[p1 p2 ...]" of a membership function.
struct TFunctionText {
  std::string Name;
  std::string Type;
  std::vector<TFzyFloat> Parameters;
};

/// The sections of `text` in file order. Blank lines and lines starting with "%" or "#" are
/// skipped; CR LF and CR end lines as LF does.
std::vector<TSection> ReadSections(const std::string& text);

/// The text of a value, without its single quotes when it has them.
std::string TextOf(const TEntry& entry);
/// A count: a whole number from 0.
int64_t CountOf(const TEntry& entry);
/// "[a b ...]" (numbers separated by blanks or commas) as numbers.
std::vector<TFzyFloat> NumbersOf(std::string_view text, int line);
/// A membership function's value.
TFunctionText FunctionOf(const TEntry& entry);

}  // namespace tapwise::detail::fis
