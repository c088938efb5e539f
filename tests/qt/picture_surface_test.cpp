// The Qt drawing surface of the analog graph: what GraphMake draws must come
// out of the picture in the right places and colours at any scale, clipped to
// the drawing area, and the font must be an Arial-metric one sized in twips.
#include <gtest/gtest.h>
#include <QFontInfo>
#include <QImage>
#include <QPainter>

#include "graph/graph.h"
#include "qt/picture_surface.h"

namespace vexa::qt {
namespace {

constexpr Rgb kBg{200, 190, 180};
const AnalogScale kPercent{0, 100, 1, "%"};

// Renders the surface into an image with a margin of `margin` pixels around
// the drawing area, at `scale` pixels per twip, through the QPicture or the
// direct replay.
QImage Render(const PictureSurface& s, double scale, int margin, bool viaPicture) {
  const int w = static_cast<int>(s.Width() * scale) + 2 * margin;
  const int h = static_cast<int>(s.Height() * scale) + 2 * margin;
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  const QRectF target(margin, margin, s.Width() * scale, s.Height() * scale);
  if (viaPicture) {
    p.save();
    p.setClipRect(target);
    p.translate(target.topLeft());
    p.scale(scale, scale);
    p.drawPicture(0, 0, s.Picture());
    p.restore();
  } else {
    s.PaintInto(p, target);
  }
  return img;
}

Rgb At(const QImage& img, double xTwips, double yTwips, double scale, int margin) {
  const QColor c = img.pixelColor(static_cast<int>(xTwips * scale) + margin, static_cast<int>(yTwips * scale) + margin);
  return Rgb{c.red(), c.green(), c.blue()};
}

TEST(PictureSurface, FontIsArialMetricSizedInTwips) {
  const QFont f = GraphFont();
  EXPECT_EQ(f.pixelSize(), 135);  // 6.75 pt
  const QString family = QFontInfo(f).family();
  EXPECT_TRUE(family == "Arial" || family == "Liberation Sans" || family == "Arimo") << family.toStdString();
  PictureSurface s(kGraphWidth, kGraphHeight, kBg);
  // Arial's line is 1.15 em high (155 twips at 135); "medium" is 3.56 em
  // wide (480 twips) with Arial's advance widths.
  EXPECT_NEAR(s.TextHeight("medium"), 155, 8);
  EXPECT_NEAR(s.TextWidth("medium"), 480, 5);
  EXPECT_GT(s.TextWidth("CL1 (12,5 ± 1)V"), s.TextWidth("CL1 (12,5 1)V"));
  EXPECT_EQ(s.TextWidth(""), 0);
}

TEST(PictureSurface, GraphColoursLandInPlaceAtEveryScale) {
  PictureSurface s(kGraphWidth, kGraphHeight, kBg);
  // CL1 2 +- 5.1 leaves the range at the bottom (red, clipped); CL2 70.2 +- 10.2
  // is a green band between 60 and 80.4.
  GraphMake(s, kPercent, {"2", "5", "70", "10"}, ',');
  const Rgb bg = kBg;
  struct Probe {
    const char* what;
    double x, y;
    Rgb colour;
  };
  // y(v) = floor(2335 - v * 21.35)
  const Probe probes[] = {
      {"background left of the bar", 800, 1200, bg},
      {"blue bar between the bands", 3000, std::floor(2335 - 40 * 21.35), kBlue},
      {"green upper band of CL2", 3000, std::floor(2335 - 75 * 21.35), Rgb{0, 255, 0}},
      {"green lower band of CL2", 3000, std::floor(2335 - 65 * 21.35), Rgb{0, 255, 0}},
      {"red CL1 band below min, under the bar", 3000, 2380, kRed},
      {"background right of the bar", 3450, 1200, bg},
  };
  for (double scale : {96.0 / 1440, 300.0 / 1440}) {
    for (bool viaPicture : {false, true}) {
      SCOPED_TRACE(std::to_string(scale) + (viaPicture ? " picture" : " direct"));
      const int margin = 20;
      const QImage img = Render(s, scale, margin, viaPicture);
      for (const auto& p : probes) {
        const Rgb c = At(img, p.x, p.y, scale, margin);
        EXPECT_EQ(c, p.colour) << p.what << " got " << c.r << "," << c.g << "," << c.b;
      }
      // The red band reaches below min, but nothing leaves the drawing area.
      const QColor below =
          img.pixelColor(static_cast<int>(3000 * scale) + margin, static_cast<int>(kGraphHeight * scale) + margin + 5);
      EXPECT_EQ(below, QColor(Qt::white));
    }
  }
}

TEST(PictureSurface, LabelsAreDrawnInBlackLeftOfTheBar) {
  PictureSurface s(kGraphWidth, kGraphHeight, kBg);
  GraphMake(s, kPercent, {"30", "0", "70", "0", true}, ',');
  const double scale = 300.0 / 1440;
  for (bool viaPicture : {false, true}) {
    const QImage img = Render(s, scale, 0, viaPicture);
    // The bottom label "0% (100% vstup)" ends 50 twips left of 1500 around
    // y = 2335; count the dark pixels in its band.
    int dark = 0;
    for (int y = static_cast<int>((2335 - 70) * scale); y < static_cast<int>((2335 + 70) * scale); ++y) {
      for (int x = 0; x < static_cast<int>(1450 * scale); ++x) dark += qGray(img.pixel(x, y)) < 100 ? 1 : 0;
    }
    EXPECT_GT(dark, 50) << (viaPicture ? "picture" : "direct");
    // Nothing dark right of the label's end, before the tick.
    int strayDark = 0;
    for (int y = static_cast<int>((2335 - 70) * scale); y < static_cast<int>((2335 - 10) * scale); ++y) {
      for (int x = static_cast<int>(1460 * scale); x < static_cast<int>(1490 * scale); ++x)
        strayDark += qGray(img.pixel(x, y)) < 100 ? 1 : 0;
    }
    EXPECT_EQ(strayDark, 0);
  }
}

TEST(PictureSurface, ClearStartsAFreshDrawing) {
  PictureSurface s(1000, 500, kBg);
  s.SetColour(kRed);
  s.FillRect(0, 0, 1000, 500);
  s.Clear();
  const QImage img = Render(s, 0.1, 0, true);
  EXPECT_EQ(img.pixelColor(50, 25), QColor(kBg.r, kBg.g, kBg.b));
  EXPECT_EQ(s.Picture().boundingRect(), QRect(0, 0, 1000, 500));
}

TEST(GraphView, SizeFollowsTheLogicalDpi) {
  GraphView view;
  EXPECT_EQ(view.objectName(), "Graph");
  const QSize hint = view.sizeHint();
  EXPECT_EQ(hint.width(), qRound(kGraphWidth * view.logicalDpiX() / 1440));
  EXPECT_EQ(hint.height(), qRound(kGraphHeight * view.logicalDpiY() / 1440));
  view.Redraw(kPercent, {"30", "5", "70", "5"}, ',');
  view.resize(hint);
  const QImage shot = view.grab().toImage();
  ASSERT_FALSE(shot.isNull());
  const double k = view.logicalDpiX() / 1440.0;
  // Middle of the bar, at 50 %: blue.
  EXPECT_EQ(shot.pixelColor(static_cast<int>(3000 * k), static_cast<int>((2335 - 50 * 21.35) * k)), QColor(0, 0, 255));
}

}  // namespace
}  // namespace vexa::qt
