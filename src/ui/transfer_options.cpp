#include "ui/transfer_options.h"

#include <QBoxLayout>
#include <QCheckBox>

#include "workspace/device_config.h"

namespace vexa::ui {

TransferBoxes AddTransferOptions(QBoxLayout& layout, ProgramSettings& settings) {
  // The two options of the write share a row, so the panel keeps its height.
  auto* writeRow = new QHBoxLayout;
  auto add = [](QBoxLayout& into, const char* name, const QString& caption, const QString& tooltip, bool& setting) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(caption);
    box->setToolTip(tooltip);
    box->setChecked(setting);
    QObject::connect(box, &QCheckBox::toggled, box, [&setting](bool on) { setting = on; });
    into.addWidget(box);
    return box;
  };
  TransferBoxes boxes;
  boxes.fullRead = add(layout, "tabFullRead", QStringLiteral("Načíst celou paměť EEPROM"),
      QStringLiteral("Při načítání z EEPROM číst celou paměť zařízení, ne jen bloky s nastavením"), settings.FullRead);
  boxes.backup = add(*writeRow, "tabBackup", QStringLiteral("Zálohovat před zápisem"),
      QStringLiteral("Před zápisem do EEPROM uložit dosavadní nastavení zařízení do souboru se zálohou"),
      settings.Backup);
  boxes.fullWrite = add(*writeRow, "tabFullWrite", QStringLiteral("Zapisovat celou konfiguraci"),
      QStringLiteral("Při zápisu do EEPROM zapsat všechny bloky nastavení, ne jen ty, které se liší od obsahu zařízení"),
      settings.FullWrite);
  writeRow->addStretch(1);
  layout.addLayout(writeRow);
  return boxes;
}

}  // namespace vexa::ui
