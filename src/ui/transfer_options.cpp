#include "ui/transfer_options.h"

#include <QBoxLayout>
#include <QCheckBox>

#include "workspace/device_config.h"

namespace vexa::ui {

void AddTransferOptions(QBoxLayout& layout, ProgramSettings& settings) {
  auto add = [&layout](const char* name, const QString& caption, const QString& tooltip, bool& setting) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(caption);
    box->setToolTip(tooltip);
    box->setChecked(setting);
    QObject::connect(box, &QCheckBox::toggled, box, [&setting](bool on) { setting = on; });
    layout.addWidget(box);
  };
  add("tabFullRead", QStringLiteral("Načíst celou paměť EEPROM"),
      QStringLiteral("Při načítání z EEPROM číst celou paměť zařízení, ne jen bloky s nastavením"), settings.FullRead);
  add("tabBackup", QStringLiteral("Zálohovat před zápisem"),
      QStringLiteral("Před zápisem do EEPROM uložit dosavadní nastavení zařízení do souboru se zálohou"),
      settings.Backup);
  add("tabFullWrite", QStringLiteral("Zapisovat celou konfiguraci"),
      QStringLiteral("Při zápisu do EEPROM zapsat všechny bloky nastavení, ne jen ty, které se liší od zařízení"),
      settings.FullWrite);
}

}  // namespace vexa::ui
