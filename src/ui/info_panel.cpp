#include "ui/info_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <utility>

#include "ui/captions.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"

namespace vexa::ui {

InfoPanel::InfoPanel() : QGroupBox(QStringLiteral("Informace o připojeném zařízení")) {
  setObjectName(QStringLiteral("frInformace"));
  auto* il = new QGridLayout(this);
  il->setHorizontalSpacing(8);
  // Wide enough for what the unit reports, so the panel does not shift.
  auto value = [&](const char* name, const char* widest) {
    auto* l = new QLabel(QStringLiteral("?"));
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
  // A screen reader names each value by its caption, not by the value.
  const std::pair<QLabel*, const char*> names[] = {
      {lblInfoProdukt_, "Produkt"},         {lblInfoVerze_, "Verze"},
      {lblInfoModem_, "Typ modemu"},        {lblInfoPamSize_, "Velikost paměti"},
      {lblInfoVelikost_, "Velikost nastavení"}, {lblInfoVolno_, "Volné místo"},
  };
  for (const auto& [label, name] : names) label->setAccessibleName(QString::fromUtf8(name));
  il->addWidget(MakeCaption(QStringLiteral("Produkt:"), nullptr, lblInfoProdukt_), 0, 0);
  il->addWidget(lblInfoProdukt_, 0, 1);
  il->addWidget(MakeCaption(QStringLiteral("Verze:"), nullptr, lblInfoVerze_), 1, 0);
  il->addWidget(lblInfoVerze_, 1, 1);
  il->addWidget(MakeCaption(QStringLiteral("Typ modemu:"), nullptr, lblInfoModem_), 2, 0);
  il->addWidget(lblInfoModem_, 2, 1);
  il->addWidget(MakeCaption(QStringLiteral("Velikost paměti:"), nullptr, lblInfoPamSize_), 0, 2);
  il->addWidget(lblInfoPamSize_, 0, 3);
  il->addWidget(MakeCaption(QStringLiteral("Velikost nastavení:"), nullptr, lblInfoVelikost_), 1, 2);
  il->addWidget(lblInfoVelikost_, 1, 3);
  il->addWidget(MakeCaption(QStringLiteral("Volné místo:"), nullptr, lblInfoVolno_), 2, 2);
  il->addWidget(lblInfoVolno_, 2, 3);
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
