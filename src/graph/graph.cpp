#include "graph/graph.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "codec/values.h"
#include "texts/texts.h"

namespace vexa {
namespace {

constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

constexpr double kPlotLeft = 1600;  // left edge of the bar
constexpr double kPlotTop = 200;    // height of max
constexpr double kTickLeft = 1500;  // marks start 100 twips left of the bar

// The plot's width and height are kept as 16-bit integers, rounded to the
// nearest (half to even, as the conversion of the original drawing did).
double ToInt16(double v) {
  double r = std::nearbyint(v);
  if (!(r >= std::numeric_limits<std::int16_t>::min())) r = std::numeric_limits<std::int16_t>::min();
  if (r > std::numeric_limits<std::int16_t>::max()) r = std::numeric_limits<std::int16_t>::max();
  return r;
}

struct Geometry {
  double W = 0, H = 0;
  double min = 0, max = 0;
  double Y(double v) const { return std::floor((H + 200) - (v - min) * H / (max - min)); }
  double Right() const { return W + kPlotLeft; }
  double Bottom() const { return H + 200; }
};

}  // namespace

void DrawGraphLabel(DrawingSurface& surface, double x, double y, const std::string& text, bool centred) {
  const double th = surface.TextHeight(text);
  const double tw = surface.TextWidth(text);
  if (!centred) {
    // Wipe everything left of x over the label's height, so that a later label
    // at the same height replaces an earlier one.
    const Rgb kept = surface.Colour();
    surface.SetColour(surface.Background());
    surface.FillRect(0, y - std::floor(th / 2), x, y + th / 2);
    surface.SetColour(kept);
  }
  const double tx = centred ? x - std::floor(tw / 2) : x - tw - 50;
  surface.SetTextPosition(tx, y - std::floor(th / 2));
  surface.PrintText(text);
}

namespace {

// The two levels and their hystereses as the unit would store them.
struct Levels {
  double cl1, hcl1, cl2, hcl2;
};

// The range, the hysteresis bands (red where a band leaves the range or
// where they overlap) and the marks of the bottom, the top and both levels.
void DrawBands(DrawingSurface& surface, const Geometry& g, const Levels& l) {
  const double right = g.Right();
  surface.SetColour(kBlue);
  surface.FillRect(kPlotLeft, kPlotTop, right, g.Bottom());

  surface.SetColour(l.cl1 - l.hcl1 >= g.min ? kGreen : kRed);
  surface.FillRect(kPlotLeft, g.Y(l.cl1 - l.hcl1), right, g.Y(l.cl1));
  surface.SetColour(l.cl1 + l.hcl1 > g.max ? kRed : kGreen);
  surface.FillRect(kPlotLeft, g.Y(l.cl1), right, g.Y(l.cl1 + l.hcl1));
  surface.SetColour(l.cl2 - l.hcl2 >= g.min ? kGreen : kRed);
  surface.FillRect(kPlotLeft, g.Y(l.cl2 - l.hcl2), right, g.Y(l.cl2));
  surface.SetColour(l.cl2 + l.hcl2 > g.max ? kRed : kGreen);
  surface.FillRect(kPlotLeft, g.Y(l.cl2), right, g.Y(l.cl2 + l.hcl2));

  surface.SetColour(kRed);
  if (l.cl2 - l.hcl2 < l.cl1 + l.hcl1) surface.FillRect(kPlotLeft, g.Y(l.cl2 - l.hcl2), right, g.Y(l.cl1 + l.hcl1));

  surface.SetColour(kBlack);
  surface.Line(kTickLeft, kPlotTop, right, kPlotTop);
  surface.Line(kTickLeft, g.Bottom(), right, g.Bottom());
  surface.Line(kTickLeft, g.Y(l.cl1), right, g.Y(l.cl1));
  surface.Line(kTickLeft, g.Y(l.cl2), right, g.Y(l.cl2));
}

// Names of the bands, left out when a band is not more than 5 units high.
void DrawBandNames(DrawingSurface& surface, const Geometry& g, const Levels& l) {
  const double span = g.max - g.min;
  const double xc = g.W / 2 + kPlotLeft;
  surface.SetColour(kWhite);
  if (g.min + 5 < l.cl1 - l.hcl1) {
    DrawGraphLabel(surface, xc, std::floor(g.Bottom() - g.H / span * (l.cl1 - l.hcl1 - g.min) / 2), texts::kGraphLow,
                   true);
  }
  if (l.cl2 - l.hcl2 - 5 > l.cl1 + l.hcl1) {
    DrawGraphLabel(surface, xc,
                   std::floor(g.Bottom() - g.H / span * ((l.cl2 - l.hcl2 - l.cl1 + l.hcl1) / 2 + l.cl1 - g.min)),
                   texts::kGraphMedium, true);
  }
  if (g.max - 5 > l.cl2 + l.hcl2) {
    DrawGraphLabel(surface, xc, std::floor(g.Bottom() - g.H / span * ((g.max - l.cl2 + l.hcl2) / 2 + l.cl2 - g.min)),
                   texts::kGraphHigh, true);
  }
}

// Value labels left of the bar; a later one wins at the same height.
void DrawValueLabels(DrawingSurface& surface, const Geometry& g, const Levels& l, const AnalogScale& scale,
                     bool negated, char decimalSeparator) {
  const auto num = [decimalSeparator](double v) { return FormatNumber(v, decimalSeparator); };
  const std::string& unit = scale.Unit;
  surface.SetColour(kBlack);
  std::string bottom = num(g.min) + unit;
  std::string top = num(g.max) + unit;
  if (negated) {
    bottom = texts::GraphNegatedEnd(bottom, num(g.max) + unit);
    top = texts::GraphNegatedEnd(top, num(g.min) + unit);
  }
  DrawGraphLabel(surface, kTickLeft, g.Bottom(), bottom, false);
  DrawGraphLabel(surface, kTickLeft, kPlotTop, top, false);
  DrawGraphLabel(surface, kTickLeft, g.Y(l.cl2), texts::GraphLevelLabel(2, num(l.cl2), num(l.hcl2), unit), false);
  DrawGraphLabel(surface, kTickLeft, g.Y(l.cl1), texts::GraphLevelLabel(1, num(l.cl1), num(l.hcl1), unit), false);
}

}  // namespace

void GraphMake(DrawingSurface& surface, const AnalogScale& scale, const GraphInput& in, char decimalSeparator) {
  // The values the unit would store, whatever the texts hold.
  const Levels levels{CodeToLevel(scale, LevelToCode(scale, in.cl1Text)),
                      CodeToHysteresis(scale, HysteresisToCode(scale, in.hcl1Text)),
                      CodeToLevel(scale, LevelToCode(scale, in.cl2Text)),
                      CodeToHysteresis(scale, HysteresisToCode(scale, in.hcl2Text))};
  Geometry g;
  g.min = scale.Min;
  g.max = scale.Max;
  g.W = ToInt16(surface.Width() - 1700);
  g.H = ToInt16(surface.Height() - 400);

  surface.Clear();
  DrawBands(surface, g, levels);
  DrawBandNames(surface, g, levels);
  DrawValueLabels(surface, g, levels, scale, in.negated, decimalSeparator);
}

}  // namespace vexa
