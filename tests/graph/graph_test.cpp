// The analog threshold graph drawn on a recording surface with fixed text
// metrics: every character 60 twips wide, every text 150 twips high.
//
// Surface 3495 x 2535 gives W = 1795, H = 2135: the bar spans x 1600..3395 and
// y 200 (max) .. 2335 (min); xc = 2497.5. On a 0-100 scale one unit is 21.35
// twips high.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "codec/cp1250.h"
#include "graph/graph.h"

namespace vexa {
namespace {

constexpr Rgb kBg{212, 208, 200};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

struct Op {
  enum Kind { Clear, Fill, Line, Text } kind;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Text: the text position in x1, y1
  Rgb colour;
  std::string text;
};

class RecordingSurface : public DrawingSurface {
 public:
  RecordingSurface(double w = kGraphWidth, double h = kGraphHeight) : w_(w), h_(h) {}
  double Width() const override { return w_; }
  double Height() const override { return h_; }
  void Clear() override {
    ops.clear();
    ops.push_back({Op::Clear, 0, 0, w_, h_, kBg, {}});
  }
  Rgb Background() const override { return kBg; }
  void SetColour(Rgb c) override { colour_ = c; }
  Rgb Colour() const override { return colour_; }
  void FillRect(double x1, double y1, double x2, double y2) override {
    ops.push_back({Op::Fill, x1, y1, x2, y2, colour_, {}});
  }
  void Line(double x1, double y1, double x2, double y2) override {
    ops.push_back({Op::Line, x1, y1, x2, y2, colour_, {}});
  }
  double TextWidth(const std::string& s) const override { return 60.0 * static_cast<double>(Utf8Length(s)); }
  double TextHeight(const std::string&) const override { return 150; }
  void SetTextPosition(double x, double y) override { tx_ = x, ty_ = y; }
  void PrintText(const std::string& s) override { ops.push_back({Op::Text, tx_, ty_, 0, 0, colour_, s}); }

  std::vector<Op> ops;

  std::vector<Op> Of(Op::Kind k) const {
    std::vector<Op> out;
    for (const auto& o : ops)
      if (o.kind == k) out.push_back(o);
    return out;
  }
  const Op* TextOp(const std::string& t) const {
    for (const auto& o : ops)
      if (o.kind == Op::Text && o.text == t) return &o;
    return nullptr;
  }
  bool HasText(const std::string& t) const { return TextOp(t) != nullptr; }
  int FillsIn(Rgb c) const {
    int n = 0;
    for (const auto& o : ops) n += (o.kind == Op::Fill && o.colour == c) ? 1 : 0;
    return n;
  }

 private:
  double w_, h_;
  Rgb colour_{};
  double tx_ = 0, ty_ = 0;
};

const AnalogScale kPercent{0, 100, 1, "%"};
const AnalogScale kBattery{0, 27, 1, "V"};

// y of a value on the 0..100 scale of the standard surface.
double YPercent(double v) { return std::floor(2335 - v * 2135 / 100); }

RecordingSurface Draw(const AnalogScale& s, GraphInput in, char sep = '.') {
  RecordingSurface surface;
  GraphMake(surface, s, in, sep);
  return surface;
}

TEST(GraphMake, DrawsBarBandsAndMarksInOrder) {
  // 30 +- 10 and 70 +- 5 on 0..100: every band inside, no overlap.
  RecordingSurface s = Draw(kPercent, {"30", "10", "70", "5"});
  // Values after the code grid: 30 -> 30.2, 10 -> 10.2, 70 -> 70.2, 5 -> 5.1.
  const double cl1 = 30.2, h1 = 10.2, cl2 = 70.2, h2 = 5.1;
  ASSERT_GE(s.ops.size(), 11u);
  EXPECT_EQ(s.ops[0].kind, Op::Clear);
  const Op& bar = s.ops[1];
  EXPECT_EQ(bar.kind, Op::Fill);
  EXPECT_EQ(bar.colour, kBlue);
  EXPECT_EQ(bar.x1, 1600);
  EXPECT_EQ(bar.y1, 200);
  EXPECT_EQ(bar.x2, 3395);
  EXPECT_EQ(bar.y2, 2335);

  struct Band {
    double from, to;
  };
  const Band bands[] = {{cl1 - h1, cl1}, {cl1, cl1 + h1}, {cl2 - h2, cl2}, {cl2, cl2 + h2}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const Op& b = s.ops[2 + i];
    EXPECT_EQ(b.kind, Op::Fill);
    EXPECT_EQ(b.colour, kGreen);
    EXPECT_EQ(b.x1, 1600);
    EXPECT_EQ(b.x2, 3395);
    EXPECT_EQ(b.y1, YPercent(bands[i].from));
    EXPECT_EQ(b.y2, YPercent(bands[i].to));
  }
  EXPECT_EQ(s.FillsIn(kRed), 0);

  const auto lines = s.Of(Op::Line);
  ASSERT_EQ(lines.size(), 4u);
  const double ys[] = {200, 2335, YPercent(cl1), YPercent(cl2)};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(lines[i].colour, kBlack);
    EXPECT_EQ(lines[i].x1, 1500);
    EXPECT_EQ(lines[i].x2, 3395);
    EXPECT_EQ(lines[i].y1, ys[i]);
    EXPECT_EQ(lines[i].y2, ys[i]);
  }
  // All three band names fit: LOW 0..20, MEDIUM 40.4..65.1, HIGH 75.3..100.
  for (const char* name : {"low", "medium", "high"}) {
    const Op* t = s.TextOp(name);
    ASSERT_NE(t, nullptr) << name;
    EXPECT_EQ(t->colour, kWhite);
    EXPECT_EQ(t->x1, 2497.5 - std::floor(60.0 * std::string(name).size() / 2));
  }
  EXPECT_EQ(s.TextOp("low")->y1, std::floor(2335 - 21.35 * (cl1 - h1) / 2) - 75);
  EXPECT_EQ(s.TextOp("medium")->y1, std::floor(2335 - 21.35 * ((cl2 - h2 - cl1 + h1) / 2 + cl1)) - 75);
  EXPECT_EQ(s.TextOp("high")->y1, std::floor(2335 - 21.35 * ((100 - cl2 + h2) / 2 + cl2)) - 75);
}

TEST(GraphMake, CoincidingLevelsShowNoBandAndCl1LabelWins) {
  RecordingSurface s = Draw(kPercent, {"50", "0", "50", "0"});
  const double y = YPercent(49.8);
  EXPECT_EQ(s.FillsIn(kRed), 0);  // no overlap when both bands are empty
  for (int i = 2; i < 6; ++i) {
    EXPECT_EQ(s.ops[i].y1, y);
    EXPECT_EQ(s.ops[i].y2, y);
  }
  const auto lines = s.Of(Op::Line);
  EXPECT_EQ(lines[2].y1, lines[3].y1);
  // CL2's label is drawn first, then CL1's wipe covers it and CL1 prints.
  const Op* cl2 = s.TextOp("CL2 (49.8 ± 0)%");
  const Op* cl1 = s.TextOp("CL1 (49.8 ± 0)%");
  ASSERT_NE(cl2, nullptr);
  ASSERT_NE(cl1, nullptr);
  EXPECT_LT(cl2, cl1);
  const Op& wipe = *(cl1 - 1);
  EXPECT_EQ(wipe.kind, Op::Fill);
  EXPECT_EQ(wipe.colour, kBg);
  EXPECT_LE(wipe.y1, cl2->y1);
  EXPECT_GE(wipe.y2, cl2->y1 + 150);
  EXPECT_GE(wipe.x2, cl2->x1 + 60.0 * 15);
}

TEST(GraphMake, BandLeavingTheRangeIsRed) {
  struct Case {
    const char* name;
    GraphInput in;
    int redIndex;     // index of the red band among the four band fills
    double from, to;  // its values
  };
  const Case cases[] = {
      // 2 stays 2; 5 -> 5.1: the lower CL1 band reaches -3.1, below the bar.
      {"cl1 below min", {"2", "5", "100", "0"}, 0, 2 - 5.1, 2},
      // 98 -> 98, 5 -> 5.1: the upper CL2 band reaches 103.1.
      {"cl2 above max", {"0", "0", "98", "5"}, 3, 98, 98 + 5.1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSurface s = Draw(kPercent, c.in);
    for (int i = 0; i < 4; ++i) {
      const Op& band = s.ops[2 + i];
      EXPECT_EQ(band.colour, i == c.redIndex ? kRed : kGreen) << i;
    }
    const Op& red = s.ops[2 + c.redIndex];
    EXPECT_EQ(red.y1, YPercent(c.from));
    EXPECT_EQ(red.y2, YPercent(c.to));
  }
  // The band below min extends past the bar's bottom edge.
  EXPECT_GT(Draw(kPercent, {"2", "5", "100", "0"}).ops[2].y1, 2335);
}

TEST(GraphMake, OverlapIsRedAndTouchingIsNot) {
  // 50 -> 49.8 + 10.2 reaches 60; 55 -> 54.9 - 10.2 = 44.7: they overlap.
  RecordingSurface overlap = Draw(kPercent, {"50", "10", "55", "10"});
  ASSERT_EQ(overlap.FillsIn(kRed), 1);
  const Op& red = overlap.ops[6];
  EXPECT_EQ(red.colour, kRed);
  EXPECT_EQ(red.y1, YPercent(54.9 - 10.2));
  EXPECT_EQ(red.y2, YPercent(49.8 + 10.2));

  // 40 +- 20 and 80 +- 20 lie on the code grid and touch at 60 and at max.
  RecordingSurface touching = Draw(kPercent, {"40", "20", "80", "20"});
  EXPECT_EQ(touching.FillsIn(kRed), 0);
  EXPECT_TRUE(touching.HasText("CL1 (40 ± 20)%"));
  EXPECT_TRUE(touching.HasText("CL2 (80 ± 20)%"));
  EXPECT_TRUE(touching.HasText("low"));
  EXPECT_FALSE(touching.HasText("medium"));  // 60..60
  EXPECT_FALSE(touching.HasText("high"));    // 100..100
}

TEST(GraphMake, BandNamesNeedMoreThanFiveUnits) {
  struct Case {
    AnalogScale scale;
    GraphInput in;
    const char* name;
    bool drawn;
  };
  const Case cases[] = {
      {kPercent, {"4,7", "0", "100", "0"}, "low", false},  // 4.7 stays 4.7
      {kPercent, {"5,1", "0", "100", "0"}, "low", true},   // 5.1 stays 5.1
      {kPercent, {"5", "0", "100", "0"}, "low", true},     // 5 becomes 5.1 on the code grid
      {kPercent, {"0", "0", "95", "0"}, "high", true},     // 95 -> 94.9
      {kPercent, {"0", "0", "96", "0"}, "high", false},    // 96 -> 96.1
      {kBattery, {"0", "0", "22", "0"}, "high", false},    // 27 - 5 = 22 exactly
      {kBattery, {"0", "0", "21,8", "0"}, "high", true},
      {kPercent, {"20", "0", "24,7", "0"}, "medium", false},  // 4.7 apart
      {kPercent, {"20", "0", "25", "0"}, "medium", true},     // 25 -> 25.1
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.in.cl1Text) + " / " + c.in.cl2Text + " " + c.name);
    RecordingSurface s = Draw(c.scale, c.in, ',');
    EXPECT_EQ(s.HasText(c.name), c.drawn);
  }
  RecordingSurface s = Draw(kPercent, {"5,1", "0", "100", "0"});
  ASSERT_TRUE(s.HasText("low"));
  EXPECT_EQ(s.TextOp("low")->y1, std::floor(2335 - 21.35 * 5.1 / 2) - 75);
}

TEST(GraphMake, ValueLabelsInTheUsersNotation) {
  struct Case {
    AnalogScale scale;
    GraphInput in;
    char sep;
    std::vector<std::string> labels;  // bottom, top, CL2, CL1 in drawing order
  };
  const Case cases[] = {
      {kPercent, {"0", "0", "100", "0"}, ',', {"0%", "100%", "CL2 (100 ± 0)%", "CL1 (0 ± 0)%"}},
      {kPercent,
       {"0", "0", "100", "0", true},
       ',',
       {"0% (100% vstup)", "100% (0% vstup)", "CL2 (100 ± 0)%", "CL1 (0 ± 0)%"}},
      {kBattery, {"12,5", "1", "22", "0"}, ',', {"0V", "27V", "CL2 (22 ± 0)V", "CL1 (12,5 ± 1)V"}},
      {kBattery, {"12.5", "1", "22", "0"}, '.', {"0V", "27V", "CL2 (22 ± 0)V", "CL1 (12.5 ± 1)V"}},
      {kPercent, {"50", "5", "75", "0"}, ',', {"0%", "100%", "CL2 (74,9 ± 0)%", "CL1 (49,8 ± 5,1)%"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.labels.back());
    RecordingSurface s = Draw(c.scale, c.in, c.sep);
    std::vector<Op> black;
    for (const auto& t : s.Of(Op::Text))
      if (t.colour == kBlack) black.push_back(t);
    ASSERT_EQ(black.size(), c.labels.size());
    for (size_t i = 0; i < black.size(); ++i) {
      EXPECT_EQ(black[i].text, c.labels[i]);
      // Right-aligned: ends 50 twips left of x = 1500.
      EXPECT_DOUBLE_EQ(black[i].x1 + 60.0 * static_cast<double>(Utf8Length(c.labels[i])), 1450);
    }
    EXPECT_EQ(black[0].y1, 2335 - 75);
    EXPECT_EQ(black[1].y1, 200 - 75);
  }
}

TEST(DrawGraphLabel, CentredAndRightAlignedPositions) {
  RecordingSurface s;
  s.SetColour(kWhite);
  DrawGraphLabel(s, 2497.5, 1001, "abc", true);
  ASSERT_EQ(s.ops.size(), 1u);
  EXPECT_EQ(s.ops[0].x1, 2497.5 - 90);
  EXPECT_EQ(s.ops[0].y1, 1001 - 75);
  EXPECT_EQ(s.ops[0].colour, kWhite);

  s.ops.clear();
  s.SetColour(kBlack);
  DrawGraphLabel(s, 1500, 1001, "abcd", false);
  ASSERT_EQ(s.ops.size(), 2u);
  const Op& wipe = s.ops[0];
  EXPECT_EQ(wipe.kind, Op::Fill);
  EXPECT_EQ(wipe.colour, kBg);
  EXPECT_EQ(wipe.x1, 0);
  EXPECT_EQ(wipe.y1, 1001 - 75);
  EXPECT_EQ(wipe.x2, 1500);
  EXPECT_EQ(wipe.y2, 1001 + 75);
  EXPECT_EQ(s.ops[1].x1, 1500 - 240 - 50);
  EXPECT_EQ(s.ops[1].colour, kBlack);  // the kept colour is restored
  EXPECT_EQ(s.Colour(), kBlack);
}

TEST(GraphMake, GeometryFollowsTheSurfaceSize) {
  // 2000 x 1400: W = 300, H = 1000, bar 1600..1900 x 200..1200.
  RecordingSurface s(2000, 1400);
  GraphMake(s, kPercent, {"20", "0", "50", "0"}, '.');
  const Op& bar = s.ops[1];
  EXPECT_EQ(bar.x2, 1900);
  EXPECT_EQ(bar.y2, 1200);
  EXPECT_EQ(s.Of(Op::Line)[2].y1, 1000);  // 20 % of 1000 above the bottom
  ASSERT_TRUE(s.HasText("high"));
  EXPECT_EQ(s.TextOp("high")->x1, 1750 - 120);
}

TEST(GraphMake, AnyTextGivesAFiniteDrawingWithinTheScale) {
  const char* texts[] = {"", "abc", "-5", "1e400", "12abc", "99999", ",", "NaN", "  7"};
  for (const char* a : texts) {
    for (const char* b : texts) {
      RecordingSurface s;
      GraphMake(s, kBattery, {a, b, b, a, true}, ',');
      for (const auto& o : s.ops) {
        ASSERT_TRUE(std::isfinite(o.x1) && std::isfinite(o.y1) && std::isfinite(o.x2) && std::isfinite(o.y2));
      }
      // Levels stay within 0..27, so their marks stay on the bar.
      const auto lines = s.Of(Op::Line);
      ASSERT_EQ(lines.size(), 4u);
      for (const auto& l : lines) {
        EXPECT_GE(l.y1, 200);
        EXPECT_LE(l.y1, 2335);
      }
    }
  }
}

}  // namespace
}  // namespace vexa
