// The panel "Nastavení": the tool buttons of the configuration's commands
// (print, preview, EEPROM write and read, file save and load) in one row,
// and the program options below them, kept with the program's settings and
// never written into the unit: tabCheckWrite "Kontrolovat zápis do EEPROM",
// tabFullRead "Načíst celou paměť EEPROM", then tabBackup "Zálohovat před
// zápisem" and tabFullWrite "Zapisovat celou konfiguraci" on one row; and
// "Porovnat se souborem". A new command button of the panel is built here;
// its command is bound through the window's command runner. An option is a
// field of the field table, bound through the window's field controller.
#pragma once

#include <QGroupBox>
#include <utility>
#include <vector>

#include "model/fields.h"

class QCheckBox;
class QHBoxLayout;
class QPushButton;
class QToolButton;

namespace vexa::ui {

class FieldController;

class SettingsPanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit SettingsPanel(FieldController& fields);

  QToolButton* btTisk() const { return btTisk_; }
  QToolButton* btNahled() const { return btNahled_; }
  QToolButton* btEEPROMSave() const { return btEEPROMSave_; }
  QToolButton* btEEPROMLoad() const { return btEEPROMLoad_; }
  QToolButton* btFileSave() const { return btFileSave_; }
  QToolButton* btFileLoad() const { return btFileLoad_; }
  QPushButton* btPorovnat() const { return btPorovnat_; }
  // "Programování série..." opens the series window.
  QPushButton* btSerie() const { return btSerie_; }
  // The check box of one of the panel's options (CheckWrite, FullRead,
  // Backup, FullWrite); null for another field.
  QCheckBox* settingBox(Field field) const;

 private:
  QToolButton* AddTool(QHBoxLayout* row, const char* name, const QString& tip, const QIcon& icon);
  // The check box of a program setting, named "tab" + its field's name and
  // captioned as the field table has it.
  QCheckBox* AddOption(FieldController& fields, Field field);

  QToolButton* btTisk_ = nullptr;
  QToolButton* btNahled_ = nullptr;
  QToolButton* btEEPROMSave_ = nullptr;
  QToolButton* btEEPROMLoad_ = nullptr;
  QToolButton* btFileSave_ = nullptr;
  QToolButton* btFileLoad_ = nullptr;
  QPushButton* btPorovnat_ = nullptr;
  QPushButton* btSerie_ = nullptr;
  std::vector<std::pair<Field, QCheckBox*>> options_;
};

}  // namespace vexa::ui
