#include "ui/info_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <utility>

#include "texts/texts_window.h"
#include "ui/captions.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"

namespace vexa::ui {

InfoPanel::InfoPanel() : QGroupBox(Words(texts::kPanelInfo)) {
  setObjectName(QStringLiteral("frInformace"));
  auto* il = new QGridLayout(this);
  il->setHorizontalSpacing(8);
  // Wide enough for what the unit reports, so the panel does not shift.
  auto value = [&](const char* name, const char* widest) {
    auto* l = new QLabel(Words(texts::kInfoUnknown));
    l->setObjectName(QString::fromLatin1(name));
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QString::fromLatin1(widest)));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
  };
  lblInfoProdukt_ = value("lblInfoProdukt", "GM25 Ericsson");
  lblInfoVerze_ = value("lblInfoVerze", "GM25 Ericsson");
  lblInfoModem_ = value("lblInfoModem", "GM25 Ericsson");
  lblInfoPamSize_ = value("lblInfoPamSize", "-65472 byte");
  lblInfoVelikost_ = value("lblInfoVelikost", "-65472 byte");
  lblInfoVolno_ = value("lblInfoVolno", "-65472 byte");
  // The sizes line up on their units: the memory size comes with leading
  // spaces ("  8128 byte") that are narrower than digits.
  for (QLabel* size : {lblInfoPamSize_, lblInfoVelikost_, lblInfoVolno_}) {
    size->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  // Each value beside its caption, in two columns; a screen reader names
  // each value by its caption, not by the value.
  const struct {
    QLabel* value;
    const char* caption;
  } lines[] = {
      {lblInfoProdukt_, texts::kInfoProduct}, {lblInfoVerze_, texts::kInfoVersion},
      {lblInfoModem_, texts::kInfoModem},     {lblInfoPamSize_, texts::kInfoMemorySize},
      {lblInfoVelikost_, texts::kInfoUsage},  {lblInfoVolno_, texts::kInfoFree},
  };
  for (const auto& line : lines) line.value->setAccessibleName(AccessibleFromCaption(Words(line.caption)));
  int i = 0;
  for (const auto& line : lines) {
    const int row = i % 3;
    const int column = 2 * (i / 3);
    il->addWidget(MakeCaption(Words(line.caption), nullptr, line.value), row, column);
    il->addWidget(line.value, row, column + 1);
    ++i;
  }
  il->setColumnStretch(4, 1);
}

void InfoPanel::ShowDevice(const DeviceInfo& device) {
  lblInfoProdukt_->setText(QString::fromStdString(device.Product));
  lblInfoVerze_->setText(QString::fromStdString(device.ProcessorVersion));
  lblInfoModem_->setText(QString::fromStdString(device.ModemType));
  lblInfoPamSize_->setText(QString::fromStdString(device.MemorySize));
}

void InfoPanel::ShowUsage(const MemoryUsage& u) {
  lblInfoVelikost_->setText(QString::fromStdString(u.usageText));
  lblInfoVolno_->setText(QString::fromStdString(u.freeText));
  SetTextColour(lblInfoVolno_, QColor(u.freeColour.r, u.freeColour.g, u.freeColour.b));
}

}  // namespace vexa::ui
