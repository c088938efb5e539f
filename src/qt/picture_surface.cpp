#include "qt/picture_surface.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace vexa::qt {

namespace {
constexpr double kTwipsPerInch = 1440;
constexpr int kGraphFontTwips = 135;  // 6.75 pt x 20 twips per point
}  // namespace

QString ArialMetricFamily() {
  static const QString family = [] {
    if (!QGuiApplication::instance()) return QStringLiteral("Arial");
    const QStringList installed = QFontDatabase::families();
    for (const char* name : {"Arial", "Liberation Sans", "Arimo", "Helvetica", "Nimbus Sans", "Nimbus Sans L"}) {
      const QString candidate = QString::fromLatin1(name);
      if (installed.contains(candidate, Qt::CaseInsensitive)) return candidate;
    }
    return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  }();
  return family;
}

QFont GraphFont() {
  QFont f(ArialMetricFamily());
  f.setPixelSize(kGraphFontTwips);
  f.setWeight(QFont::Normal);
  f.setItalic(false);
  f.setStyleStrategy(QFont::PreferOutline);
  f.setHintingPreference(QFont::PreferNoHinting);  // metrics that scale with the picture
  return f;
}

Rgb SystemWindowColour() {
  if (!QGuiApplication::instance()) return Rgb{240, 240, 240};
  const QColor c = QGuiApplication::palette().color(QPalette::Active, QPalette::Window);
  return Rgb{c.red(), c.green(), c.blue()};
}

PictureSurface::PictureSurface(double width, double height) : PictureSurface(width, height, SystemWindowColour()) {}

PictureSurface::PictureSurface(double width, double height, Rgb background)
    : width_(width), height_(height), background_(background), font_(GraphFont()) {
  Clear();
}

void PictureSurface::Clear() {
  ops_.clear();
  ops_.push_back(Op{Kind::Fill, QRectF(0, 0, width_, height_), ToQColor(background_), {}});
  pictureStale_ = true;
}

void PictureSurface::FillRect(double x1, double y1, double x2, double y2) {
  const QRectF r = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
  ops_.push_back(Op{Kind::Fill, r, ToQColor(colour_), {}});
  pictureStale_ = true;
}

void PictureSurface::Line(double x1, double y1, double x2, double y2) {
  ops_.push_back(Op{Kind::Line, QRectF(QPointF(x1, y1), QPointF(x2, y2)), ToQColor(colour_), {}});
  pictureStale_ = true;
}

double PictureSurface::TextWidth(const std::string& utf8) const {
  return QFontMetricsF(font_).horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

double PictureSurface::TextHeight(const std::string&) const { return QFontMetricsF(font_).height(); }

void PictureSurface::PrintText(const std::string& utf8) {
  ops_.push_back(Op{Kind::Text, QRectF(textPos_, QSizeF()), ToQColor(colour_),
                    QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))});
  pictureStale_ = true;
}

void PictureSurface::Record(QPainter& p) const {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setClipRect(QRectF(0, 0, width_, height_));
  p.setBackgroundMode(Qt::TransparentMode);
  p.setFont(font_);
  const double ascent = QFontMetricsF(font_).ascent();
  for (const Op& op : ops_) {
    switch (op.kind) {
      case Kind::Fill:
        if (op.rect.width() > 0 && op.rect.height() > 0) p.fillRect(op.rect, op.colour);
        break;
      case Kind::Line:
        p.setPen(QPen(op.colour, 0));  // cosmetic: one device pixel wherever it is shown
        p.drawLine(op.rect.topLeft(), op.rect.bottomRight());
        break;
      case Kind::Text:
        p.setPen(op.colour);
        p.drawText(QPointF(op.rect.left(), op.rect.top() + ascent), op.text);
        break;
    }
  }
}

const QPicture& PictureSurface::Picture() const {
  if (pictureStale_) {
    picture_ = QPicture();
    {
      QPainter p(&picture_);
      Record(p);
    }
    picture_.setBoundingRect(QRect(0, 0, static_cast<int>(std::ceil(width_)), static_cast<int>(std::ceil(height_))));
    pictureStale_ = false;
  }
  return picture_;
}

void PictureSurface::PaintInto(QPainter& painter, const QRectF& target) const {
  if (width_ <= 0 || height_ <= 0 || target.isEmpty()) return;
  painter.save();
  painter.setClipRect(target, Qt::IntersectClip);
  painter.translate(target.topLeft());
  painter.scale(target.width() / width_, target.height() / height_);
  // Replaying directly keeps the text crisp at any scale.
  Record(painter);
  painter.restore();
}

GraphView::GraphView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Graph"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void GraphView::Redraw(const AnalogScale& scale, const GraphInput& in, char decimalSeparator) {
  GraphMake(surface_, scale, in, decimalSeparator);
  update();
}

QSize GraphView::sizeHint() const {
  return QSize(static_cast<int>(std::lround(surface_.Width() * logicalDpiX() / kTwipsPerInch)),
               static_cast<int>(std::lround(surface_.Height() * logicalDpiY() / kTwipsPerInch)));
}

void GraphView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QSize size = sizeHint();
  // Whatever the layout gives beyond the picture shows the window colour.
  p.fillRect(rect(), palette().color(QPalette::Window));
  surface_.PaintInto(p, QRectF(QPointF(0, 0), QSizeF(size)));
}

}  // namespace vexa::qt
