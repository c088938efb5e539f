#include "ui/about_box.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "texts/texts_window.h"

namespace vexa::ui {

QString AboutText() {
  const QString rule(92, QLatin1Char('-'));
  QStringList lines;
  for (const char* line : texts::kAboutLines) lines << (line != nullptr ? QString::fromUtf8(line) : rule);
  return lines.join(QStringLiteral("\r\n"));
}

QIcon ProgramIcon() {
  QIcon themed = QIcon::fromTheme(QStringLiteral("vexa-init"));
  if (!themed.isNull()) return themed;
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 64.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x8c));
    p.drawRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 10 * s, 10 * s);
    // The "V" of the unit, with the waves of its GSM link above it.
    QPen pen(Qt::white, 7 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF v[3] = {{16 * s, 24 * s}, {32 * s, 54 * s}, {48 * s, 24 * s}};
    p.drawPolyline(v, 3);
    pen.setWidthF(3.5 * s);
    pen.setColor(QColor(0xff, 0xc8, 0x3d));
    p.setPen(pen);
    p.drawArc(QRectF(22 * s, 8 * s, 20 * s, 20 * s), 45 * 16, 90 * 16);
    p.drawArc(QRectF(14 * s, 2 * s, 36 * s, 36 * s), 50 * 16, 80 * 16);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("InfoProgram"));
  setWindowTitle(QString::fromUtf8(texts::kAboutTitle));
  setModal(true);

  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("Obrazek"));
  QIcon icon = QApplication::windowIcon();
  if (icon.isNull()) icon = ProgramIcon();
  picture->setPixmap(icon.pixmap(64, 64));
  picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("Text"));
  text_->setAccessibleName(QString::fromUtf8(texts::kProgramInfoTip));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  // The rules of dashes line up only in a fixed-pitch font.
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  QString shown = AboutText();
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text_->setPlainText(shown);
  const QFontMetrics fm(text_->font());
  text_->setMinimumSize(fm.horizontalAdvance(QString(94, QLatin1Char('-'))) + 24, fm.lineSpacing() * 10 + 16);

  auto* postal = new QLabel(QString::fromUtf8(texts::kAboutSupport), this);
  postal->setObjectName(QStringLiteral("lblAdresa"));
  auto* contact = new QLabel(QString::fromUtf8(texts::kAboutContact), this);
  contact->setObjectName(QStringLiteral("lblKontakt"));

  zavrit_ = new QPushButton(QString::fromUtf8(texts::kClose), this);
  zavrit_->setObjectName(QStringLiteral("blZavrit"));
  zavrit_->setDefault(true);
  connect(zavrit_, &QPushButton::clicked, this, &QDialog::hide);

  auto* top = new QHBoxLayout;
  top->addWidget(picture, 0, Qt::AlignTop);
  top->addWidget(text_, 1);
  auto* bottom = new QHBoxLayout;
  auto* labels = new QVBoxLayout;
  labels->addWidget(postal);
  labels->addWidget(contact);
  bottom->addLayout(labels, 1);
  bottom->addWidget(zavrit_, 0, Qt::AlignBottom);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addLayout(bottom);
}

}  // namespace vexa::ui
