// The analog graph's drawing surface on Qt: what GraphMake draws is kept and
// turned into a QPicture whose coordinates are twips, so the same picture can
// be shown in the analog editor and placed on a printed page at its size.
#pragma once

#include <QColor>
#include <QFont>
#include <QPicture>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "graph/graph.h"
#include "graph/surface.h"

class QPainter;

namespace vexa::qt {

// The family that stands for "Arial" (and "Arial CE") here: Arial itself when
// installed, otherwise a font with Arial's metrics (Liberation Sans, Arimo),
// otherwise the default sans-serif family.
QString ArialMetricFamily();

// The graph's font, "Arial" 6.75 points, sized in twips (135 units) so that
// it keeps its size in a picture measured in twips on any device.
QFont GraphFont();

// The system's window background colour (light grey when no application runs).
Rgb SystemWindowColour();

inline QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

class PictureSurface : public DrawingSurface {
 public:
  explicit PictureSurface(double width = kGraphWidth, double height = kGraphHeight);
  PictureSurface(double width, double height, Rgb background);

  double Width() const override { return width_; }
  double Height() const override { return height_; }
  void Clear() override;
  Rgb Background() const override { return background_; }
  void SetColour(Rgb c) override { colour_ = c; }
  Rgb Colour() const override { return colour_; }
  void FillRect(double x1, double y1, double x2, double y2) override;
  void Line(double x1, double y1, double x2, double y2) override;
  double TextWidth(const std::string& utf8) const override;
  double TextHeight(const std::string& utf8) const override;
  void SetTextPosition(double x, double y) override { textPos_ = QPointF(x, y); }
  void PrintText(const std::string& utf8) override;

  void SetBackground(Rgb c) { background_ = c; }

  // The drawing as a picture in twips, clipped to the drawing area
  // (0, 0)-(Width, Height).
  const QPicture& Picture() const;
  // Paints the drawing into target (in the painter's coordinates), scaled from
  // twips to the target's size and clipped to it.
  void PaintInto(QPainter& painter, const QRectF& target) const;

 private:
  enum class Kind { Fill, Line, Text };
  struct Op {
    Kind kind;
    QRectF rect;  // Fill: the area; Line: from topLeft to bottomRight
    QColor colour;
    QString text;
  };
  void Record(QPainter& p) const;

  double width_, height_;
  Rgb background_;
  Rgb colour_{0, 0, 0};
  QPointF textPos_;
  QFont font_;
  std::vector<Op> ops_;
  mutable QPicture picture_;
  mutable bool pictureStale_ = true;
};

// The picture box "Graph" of the analog editor: shows a PictureSurface at its
// size in twips on the screen (logical DPI).
class GraphView : public QWidget {
  Q_OBJECT
 public:
  explicit GraphView(QWidget* parent = nullptr);

  PictureSurface& surface() { return surface_; }
  const PictureSurface& surface() const { return surface_; }
  // GraphMake on the surface, then repaint.
  void Redraw(const AnalogScale& scale, const GraphInput& in, char decimalSeparator);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PictureSurface surface_;
};

}  // namespace vexa::qt
