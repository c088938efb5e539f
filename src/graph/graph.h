// The analog threshold graph: the range of one analog input as a vertical bar
// with its hysteresis bands, marks, band names and value labels.
#pragma once

#include <string>

#include "graph/surface.h"
#include "model/device_config.h"

namespace vexa {

// Size in twips of the graph's drawing area in the analog editor; the report
// places the picture on the page at this size.
inline constexpr double kGraphWidth = 3495;
inline constexpr double kGraphHeight = 2535;

struct GraphInput {
  std::string cl1Text, hcl1Text, cl2Text, hcl2Text;  // texts as in the level fields
  bool negated = false;
};

// Redraws the whole graph. Never fails, whatever the texts hold.
void GraphMake(DrawingSurface& surface, const AnalogScale& scale, const GraphInput& in, char decimalSeparator);

// Prints text centred on (x, y), or right-aligned ending 50 twips left of x
// after clearing everything left of x over the text's height.
void DrawGraphLabel(DrawingSurface& surface, double x, double y, const std::string& text, bool centred);

}  // namespace vexa
