#pragma once

#include <string>

#include "tapwise/control/FuzzyController.h"

// One reader per format and one writer per writable format; ControllerFormats.cpp chooses
// among them. Each raises the errors ControllerFormats.h describes.

namespace tapwise::detail {

TFuzzyController ReadFcl(const std::string& text);
std::string WriteFcl(const TFuzzyController& controller);

TFuzzyController ReadFis(const std::string& text);
std::string WriteFis(const TFuzzyController& controller);

TFuzzyController ReadFll(const std::string& text);
std::string WriteFll(const TFuzzyController& controller);

}  // namespace tapwise::detail
