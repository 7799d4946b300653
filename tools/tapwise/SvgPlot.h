#pragma once

#include <span>
#include <string>

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

}  // namespace tapwise::tool
