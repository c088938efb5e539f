// The panel "Nastavení": the tool buttons of the configuration's commands
// (print, preview, EEPROM write and read, file save and load) in one row,
// and the program options below them ("Kontrolovat zápis do EEPROM", the
// full read, the backup before a write) and "Porovnat se souborem". A new
// command button or option of the panel is built here; its command is bound
// through the window's command runner.
#pragma once

#include <QGroupBox>

class QCheckBox;
class QHBoxLayout;
class QPushButton;
class QToolButton;

namespace vexa {
struct ProgramSettings;
}

namespace vexa::ui {

class FieldController;

class SettingsPanel : public QGroupBox {
  Q_OBJECT
 public:
  SettingsPanel(FieldController& fields, ProgramSettings& settings);

  QToolButton* btTisk() const { return btTisk_; }
  QToolButton* btNahled() const { return btNahled_; }
  QToolButton* btEEPROMSave() const { return btEEPROMSave_; }
  QToolButton* btEEPROMLoad() const { return btEEPROMLoad_; }
  QToolButton* btFileSave() const { return btFileSave_; }
  QToolButton* btFileLoad() const { return btFileLoad_; }
  QPushButton* btPorovnat() const { return btPorovnat_; }
  // The check box showing one of the program settings (tabCheckWrite,
  // tabFullRead, tabBackup, tabFullWrite); null for another setting.
  QCheckBox* settingBox(bool ProgramSettings::*setting) const;

 private:
  QToolButton* AddTool(QHBoxLayout* row, const char* name, const QString& tip, const QIcon& icon);

  QToolButton* btTisk_ = nullptr;
  QToolButton* btNahled_ = nullptr;
  QToolButton* btEEPROMSave_ = nullptr;
  QToolButton* btEEPROMLoad_ = nullptr;
  QToolButton* btFileSave_ = nullptr;
  QToolButton* btFileLoad_ = nullptr;
  QPushButton* btPorovnat_ = nullptr;
  QCheckBox* tabCheckWrite_ = nullptr;
  QCheckBox* tabFullRead_ = nullptr;
  QCheckBox* tabBackup_ = nullptr;
  QCheckBox* tabFullWrite_ = nullptr;
};

}  // namespace vexa::ui
