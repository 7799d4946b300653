#include "FormatCodecs.h"

#include "tapwise/fuzzy/FuzzyExceptions.h"

namespace tapwise::detail {

std::string WriteFis(const TFuzzyController&) {
  throw EFzyException("Not built yet");
}

}  // namespace tapwise::detail
