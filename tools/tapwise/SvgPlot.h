#pragma once

#include <span>
#include <string>

#include "DefinitionFile.h"
#include "tapwise/control/FuzzyController.h"
#include "tapwise/foundation/Interface.h"
#include "tapwise/fuzzy/IFuzzyVariable.h"

namespace tapwise::tool {

/// An SVG picture of the membership functions of `variables`, one panel per variable, top
/// to bottom. A panel draws every stored term as one polyline over the universe (the first
/// and last degrees carried flat to the universe's ends, as the library's measures read a
/// set), labels each term at its first peak, and has a degree axis (0 to 1, or up to the
/// highest degree when a term rises above 1) and a universe axis with round ticks and the
/// units. The picture needs no display and no fonts beyond a generic sans-serif.
///
/// The markup is plain enough to check mechanically: each panel is a
/// `<g class="variable" data-variable="name">`, each term a
/// `<polyline class="term" data-term="name">`, and nothing else is a polyline.
std::string PlotSvg(std::span<const IntfPtr<IFuzzyVariable>> variables);

/// An SVG picture of the last `Process` of `controller`, whose variables `file` holds: a
/// panel per input, drawn as `PlotSvg` draws its variable, with the input's value marked
/// (`class="input-value"`, captioned "quality = 6.5000"), then a panel per Mamdani output
/// over its variable with each fired rule's implied consequent
/// (`<polyline class="consequent" data-rule="name">`), the aggregate filled
/// (`<polygon class="aggregate">`) and the value marked (`class="centroid"`, captioned
/// "tip = 19.8578"; no mark when no rule fired and there is no default).
std::string PlotRunSvg(const TDefinitionFile& file, const TFuzzyController& controller);

}  // namespace tapwise::tool
