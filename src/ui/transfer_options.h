// The "Nastavení" panel's options for reading and writing the unit, kept
// with the program's settings (never written into the unit):
//   - tabFullRead "Načíst celou paměť EEPROM" (ProgramSettings::FullRead),
//   - tabBackup "Zálohovat před zápisem" (ProgramSettings::Backup),
//   - tabFullWrite "Zapisovat celou konfiguraci" (ProgramSettings::FullWrite).
#pragma once

class QBoxLayout;
class QCheckBox;

namespace vexa {
struct ProgramSettings;
}

namespace vexa::ui {

struct TransferBoxes {
  QCheckBox* fullRead;
  QCheckBox* backup;
  QCheckBox* fullWrite;
};

// Adds the three check boxes to `layout`, ticked as `settings` holds them; each
// click writes its setting. `settings` outlives the check boxes.
TransferBoxes AddTransferOptions(QBoxLayout& layout, ProgramSettings& settings);

}  // namespace vexa::ui
