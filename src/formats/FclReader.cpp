#include "FormatCodecs.h"

#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::detail {

TFuzzyController ReadFcl(const std::string&) {
  throw EFzyParseException("Not built yet", 1);
}

}  // namespace tapwise::detail
